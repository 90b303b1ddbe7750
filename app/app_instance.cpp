#include "app/app_instance.h"

HINSTANCE app_instance;
