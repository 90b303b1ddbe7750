#include "ui/dialog_fields.h"

#include "text/text_scratch.h"
#include "text/ansi_text.h"
#include "settings/mail_settings.h"

namespace {

// The most bytes one character of an ANSI code page takes (UTF-8).
const int bytes_per_character = 4;

} // namespace

// Converted here rather than by the control, so that a cut never splits a
// character of a multi-byte code page.
std::string field_text(HWND dialog, int id)
{
    wchar_t typed[TEXT_SCRATCH_SIZE] = {};
    GetDlgItemTextW(dialog, id, typed, TEXT_SCRATCH_SIZE);
    char converted[TEXT_SCRATCH_SIZE * bytes_per_character] = {};
    WideCharToMultiByte(CP_ACP, 0, typed, -1, converted, sizeof converted, nullptr, nullptr);
    const std::string field = cut_at_character(converted, MAIL_FIELD_LIMIT, system_code_page());
    lstrcpynA(text_scratch, field.c_str(), TEXT_SCRATCH_SIZE);
    return text_scratch;
}

void limit_field(HWND dialog, int id) { SendDlgItemMessageA(dialog, id, EM_SETLIMITTEXT, MAIL_FIELD_LIMIT, 0); }

bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on); }
