#include "platform/paint_only.h"

#include <windows.h>

namespace {

bool serving = false;

// A window that never validates its update region would repaint for ever.
const int most_paints = 64;

void throw_away(UINT first, UINT last)
{
    MSG message;
    while (PeekMessageW(&message, nullptr, first, last, PM_REMOVE)) {
    }
}

} // namespace

void serve_paint_only()
{
    serving = true;
    throw_away(WM_KEYFIRST, WM_KEYLAST);
    throw_away(WM_MOUSEFIRST, WM_MOUSELAST);
    throw_away(WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK);
    MSG message;
    for (int paints = 0; paints < most_paints && PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE);
         ++paints)
        DispatchMessageW(&message);
    serving = false;
}

bool serving_paint_only() { return serving; }
