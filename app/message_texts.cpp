#include "app/message_texts.h"

#include <string>

#include "app/app_instance.h"
#include "app/text_scratch.h"

const char* load_text(int n)
{
    text_scratch[0] = '\0';
    LoadStringA(app_instance, n, text_scratch, TEXT_SCRATCH_SIZE);
    return text_scratch;
}

int show_text(HWND owner, int n, UINT style)
{
    return MessageBoxA(owner, load_text(n), "", style);
}

void show_text_with_value(HWND owner, int n, const char* value)
{
    std::string message = load_text(n);
    message += value;
    MessageBoxA(owner, message.c_str(), "", MB_ICONERROR);
}
