#include "tests/support/owner_window.h"

namespace {

const char owner_class[] = "TulvoTestOwner";

LRESULT CALLBACK owner_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_ENABLE && !wparam) {
        const auto on_box = reinterpret_cast<void (*)()>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (on_box) on_box();
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

} // namespace

OwnerWindow::OwnerWindow(void (*on_box)())
{
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = owner_procedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = owner_class;
    RegisterClassA(&window_class);
    window_ = CreateWindowExA(0, owner_class, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(on_box));
}

OwnerWindow::~OwnerWindow() { DestroyWindow(window_); }
