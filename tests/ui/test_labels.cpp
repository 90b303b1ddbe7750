// Every label of both templates shows its whole text in the dialog's own font at
// the screen's DPI; the test runs at 96 dpi and, in a prefix of its own, at 144.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/app_instance.h"
#include "app/resource.h"

namespace {

INT_PTR CALLBACK template_only(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct Label {
    std::wstring text;
    SIZE needed;
    SIZE shown;
};

std::vector<Label> labels_of(HWND dialog)
{
    std::vector<Label> labels;
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    const HDC dc = GetDC(dialog);
    const HGDIOBJ old = SelectObject(dc, font);
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t class_name[16] = {};
        GetClassNameW(child, class_name, 16);
        if (lstrcmpiW(class_name, L"Static") != 0) continue;
        wchar_t text[128] = {};
        GetWindowTextW(child, text, 128);
        RECT needed{0, 0, 0, 0};
        DrawTextW(dc, text, -1, &needed, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        RECT shown;
        GetClientRect(child, &shown);
        labels.push_back({text, {needed.right, needed.bottom}, {shown.right, shown.bottom}});
    }
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    return labels;
}

} // namespace

TEST(Labels, EveryStaticOfBothTemplatesShowsItsTextWhole)
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    std::printf("labels measured at %d dpi\n", dpi);
    for (int id : {IDD_MAIN, IDD_SMTP}) {
        const HWND dialog = CreateDialogParamW(app_instance, MAKEINTRESOURCEW(id), nullptr, template_only, 0);
        ASSERT_NE(dialog, nullptr) << id;
        const std::vector<Label> labels = labels_of(dialog);
        EXPECT_FALSE(labels.empty()) << id;
        for (const Label& label : labels) {
            SCOPED_TRACE(testing::Message() << "template " << id << " at " << dpi << " dpi: " << label.text);
            EXPECT_LE(label.needed.cx, label.shown.cx);
            EXPECT_LE(label.needed.cy, label.shown.cy);
        }
        DestroyWindow(dialog);
    }
}
