#include "app/message_texts.h"

#include <string>

#include "platform/app_instance.h"
#include "text/text_scratch.h"
#include "text/wide_text.h"

const wchar_t* load_text(int n)
{
    wide_text_scratch[0] = L'\0';
    LoadStringW(app_instance, n, wide_text_scratch, TEXT_SCRATCH_SIZE);
    return wide_text_scratch;
}

int show_text(HWND owner, int n, UINT style) { return MessageBoxW(owner, load_text(n), L"", style); }

void show_text_with_value(HWND owner, int n, const char* value)
{
    const std::wstring message = load_text(n) + wide_of_ansi(value);
    MessageBoxW(owner, message.c_str(), L"", MB_ICONERROR);
}
