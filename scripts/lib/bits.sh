# Whether this machine runs 32-bit x86 Linux code (sourced, not run). Some hypervisors
# allow 64-bit user code only; there 32-bit Wine cannot start, and adding the i386
# architecture would only give apt an index it does not need.

# A 93-byte i386 ELF program that exits with 42 through int 0x80.
runs_32bit_code() {
  local probe status
  probe=$(mktemp) || return 1
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000\061\333\263\052\061\300\100\315\200' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null
  status=$?
  rm -f "$probe"
  [ "$status" = 42 ]
}
