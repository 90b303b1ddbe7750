// The module whose resources (texts, icon, dialog templates) the program uses.
#ifndef TULVO_APP_INSTANCE_H
#define TULVO_APP_INSTANCE_H

#include <windows.h>

extern HINSTANCE app_instance;

#endif
