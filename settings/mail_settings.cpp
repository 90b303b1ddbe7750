#include "settings/mail_settings.h"

MailSettings mail_settings;
