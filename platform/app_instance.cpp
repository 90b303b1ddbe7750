#include "platform/app_instance.h"

HINSTANCE app_instance;
