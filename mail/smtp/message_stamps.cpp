#include "mail/smtp/message_stamps.h"

#include <windows.h>

#include <ntsecapi.h>

#include "mail/smtp/submission_message.h"

MailDate local_mail_date()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    TIME_ZONE_INFORMATION zone;
    const DWORD season = GetTimeZoneInformation(&zone);
    // The bias is UTC minus local time, in minutes.
    LONG bias = zone.Bias;
    if (season == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
    if (season == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
    return MailDate{now.wYear, now.wMonth, now.wDay, now.wDayOfWeek, now.wHour, now.wMinute, now.wSecond,
                    static_cast<int>(-bias)};
}

AnsiCharset system_ansi_charset()
{
    const UINT code_page = GetACP();
    AnsiCharset charset{charset_name(code_page), code_page == CP_UTF8, {}};
    if (!charset.utf8)
        for (int byte = 0; byte < 256; ++byte)
            charset.lead_byte[byte] = IsDBCSLeadByteEx(code_page, static_cast<BYTE>(byte)) != FALSE;
    return charset;
}

std::string new_message_id(const std::string& mailbox)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER stamp;
    stamp.LowPart = now.dwLowDateTime;
    stamp.HighPart = now.dwHighDateTime;
    ULONG random = 0;
    RtlGenRandom(&random, sizeof random);
    return message_id(stamp.QuadPart, GetTickCount(), random, mailbox);
}
