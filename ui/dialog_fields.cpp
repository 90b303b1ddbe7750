#include "ui/dialog_fields.h"

#include "app/text_scratch.h"

std::string field_text(HWND dialog, int id)
{
    text_scratch[0] = '\0';
    GetDlgItemTextA(dialog, id, text_scratch, TEXT_SCRATCH_SIZE);
    return text_scratch;
}

void limit_field(HWND dialog, int id)
{
    SendDlgItemMessageA(dialog, id, EM_SETLIMITTEXT, TEXT_SCRATCH_SIZE - 1, 0);
}
