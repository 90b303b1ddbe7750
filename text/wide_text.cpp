#include "text/wide_text.h"

#include <windows.h>

namespace {

std::wstring widened(const std::string& text, UINT code_page)
{
    if (text.empty()) return std::wstring();
    const int length = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string narrowed(const std::wstring& text, UINT code_page)
{
    if (text.empty()) return std::string();
    const int length =
        WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), &narrow[0], length, nullptr, nullptr);
    return narrow;
}

} // namespace

std::wstring wide_of_ansi(const std::string& text) { return widened(text, CP_ACP); }

std::string ansi_of_wide(const std::wstring& text) { return narrowed(text, CP_ACP); }

std::wstring wide_of_utf8(const std::string& text) { return widened(text, CP_UTF8); }

std::string utf8_of_wide(const std::wstring& text) { return narrowed(text, CP_UTF8); }
