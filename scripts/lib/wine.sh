# Shared Wine set-up for the project's scripts (sourced, not run).
# The project keeps a Wine prefix of its own under build/, never the user's ~/.wine,
# and runs it with the Russian locale so that the ANSI code page is 1251 (another
# locale for one run: TULVO_WINE_LOCALE, e.g. en_US.UTF-8 for code page 1252).

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# Where 32-bit Wine cannot be had (a machine that runs no 32-bit code, or a day on
# which wine32:i386 cannot be installed), the Windows tests are built for 64-bit
# Windows and run by 64-bit Wine in a 64-bit prefix. Everywhere else they run as the
# program ships, 32-bit, and TULVO_WINE_BITS=64 runs the 64-bit build once more.
if [ "${TULVO_WINE_BITS:-}" != 64 ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  tulvo_wine_bits=32
  export WINEARCH=win32
  tulvo_wine_loader=/usr/lib/wine/wine
  tulvo_windows_preset=windows
else
  tulvo_wine_bits=64
  export WINEARCH=win64
  tulvo_wine_loader=/usr/lib/wine/wine64
  export WINELOADER=$tulvo_wine_loader
  tulvo_windows_preset=windows-x64
fi
tulvo_windows_build=$repo_root/build/$tulvo_windows_preset

# One line: which Wine runs the Windows tests, and why.
tulvo_wine_choice() {
  if [ "$tulvo_wine_bits" = 32 ]; then
    echo "32-bit Wine: the Windows tests run the 32-bit build, as the program ships; the window and whole-program tests run once more as the 64-bit build"
  elif ! (source "$repo_root/scripts/lib/bits.sh" && runs_32bit_code); then
    echo "64-bit Wine: this machine runs no 32-bit code, so the Windows tests run the 64-bit build (the 32-bit one is only built)"
  else
    echo "64-bit Wine: 32-bit Wine is not installed (wine32:i386 could not be installed, see bootstrap), so the Windows tests run the 64-bit build (the 32-bit one is only built)"
  fi
}

export WINEPREFIX="${TULVO_WINEPREFIX:-$repo_root/build/wineprefix}-$tulvo_wine_bits"
export WINEDEBUG=-all
export LANG="${TULVO_WINE_LOCALE:-ru_RU.UTF-8}"
export LC_ALL="$LANG"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# Creates the prefix on first use: boot, fonts with Cyrillic, a virtual desktop
# (hidden windows then cost nothing and screenshots show whole windows), no crash
# dialog (a process that crashes prints its backtrace and ends, rather than waiting
# for a click that never comes while CTest waits for its output), and the Windows
# version Wine reports (TULVO_WINE_VERSION: win7, win10, ...; Wine's default when
# unset).
wine() { "$tulvo_wine_loader" "$@"; }

wine_prefix_ready() {
  local marker="$WINEPREFIX/.tulvo-ready-2-${TULVO_WINE_VERSION:-default}"
  if [ -f "$marker" ]; then return 0; fi
  mkdir -p "$WINEPREFIX"
  wine wineboot -i >/dev/null 2>&1
  wineserver -w
  cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  if [ -n "${TULVO_WINE_VERSION:-}" ]; then
    wine reg add 'HKCU\Software\Wine' /v Version /d "$TULVO_WINE_VERSION" /f >/dev/null 2>&1
  fi
  wineserver -w
  touch "$marker"
}

# Makes the prefix, when it is not ready, as a copy of another ready one (given as
# TULVO_WINEPREFIX would name it), which takes seconds where a new prefix takes half
# a minute, then sets the Windows version this one reports.
wine_prefix_copied_from() {
  local marker="$WINEPREFIX/.tulvo-ready-2-${TULVO_WINE_VERSION:-default}"
  [ -f "$marker" ] && return 0
  rm -rf "$WINEPREFIX" && cp -a "$1-$tulvo_wine_bits" "$WINEPREFIX" || return 1
  rm -f "$WINEPREFIX"/.tulvo-ready-*
  if [ -n "${TULVO_WINE_VERSION:-}" ]; then
    wine reg add 'HKCU\Software\Wine' /v Version /d "$TULVO_WINE_VERSION" /f >/dev/null 2>&1
  fi
  wineserver -w
  touch "$marker"
}

# From here on a prefix of its own, "<the session's prefix>-<name>": made on first
# use as a copy of the session's prefix (seconds, where a new prefix takes half a
# minute), then changed by the command given, if any. Its wineserver is not the
# session's, so it may run as another user.
wine_use_derived_prefix() { # name, command to make it different...
  local base=$WINEPREFIX
  export WINEPREFIX="$base-$1"
  shift
  [ -f "$WINEPREFIX/.tulvo-derived" ] && return 0
  (
    flock 9
    [ -f "$WINEPREFIX/.tulvo-derived" ] && exit 0
    rm -rf "$WINEPREFIX" "$WINEPREFIX.copy"
    cp -a "$base" "$WINEPREFIX.copy" && mv "$WINEPREFIX.copy" "$WINEPREFIX" || exit 1
    if [ $# -gt 0 ]; then "$@"; fi
    wineserver -w
    touch "$WINEPREFIX/.tulvo-derived"
  ) 9>"$WINEPREFIX.lock"
}

# The screen of 150 % (144 dpi).
wine_set_144dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
  wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
}

# Starts a display (unless one is given; the first free number from
# TULVO_DISPLAY_BASE, 90 by default) and a persistent wineserver, warmed up once, so
# that each Wine test process starts in a few milliseconds.
wine_session_start() {
  if [ -z "${DISPLAY:-}" ] || [ "${TULVO_OWN_DISPLAY:-0}" = 1 ]; then
    local n="${TULVO_DISPLAY_BASE:-90}"
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    tulvo_xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 1 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
  fi
  wine_prefix_ready
  # A server of an earlier session still ending would make this one's start fail
  # quietly; the first test would then start a server that keeps its output pipe
  # open (CTest waits on it) as long as the session runs.
  timeout 30 wineserver -w || true
  wineserver -p
  wine cmd /c exit >/dev/null 2>&1 </dev/null &
  wait $! || true
}

# Runs the command under the Wine loader, its output relayed to this script's own,
# and ends with the program's status. Wine may leave a helper running that
# inherited the program's output (the desktop's explorer.exe, started by the first
# window of a session), and CTest waits for a test's output to end: the relay ends
# with the program. A program that ends in failure is named with its status, so a
# process that dies before it prints anything still says so.
wine_run_relayed() {
  local fifo program relay status
  fifo=$(mktemp -u) && mkfifo "$fifo" || return 1
  cat <"$fifo" &
  relay=$!
  "$tulvo_wine_loader" "$@" >"$fifo" 2>&1 &
  program=$!
  wait "$program"
  status=$?
  for _ in $(seq 20); do kill -0 "$relay" 2>/dev/null || break; sleep 0.05; done
  kill "$relay" 2>/dev/null
  wait "$relay" 2>/dev/null
  rm -f "$fifo"
  [ "$status" = 0 ] || echo "wine-run: $(basename "$1") ended with status $status" >&2
  return "$status"
}

wine_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  timeout 30 wineserver -w >/dev/null 2>&1 || true
  if [ -n "${tulvo_xvfb_pid:-}" ]; then kill "$tulvo_xvfb_pid" 2>/dev/null || true; fi
}
