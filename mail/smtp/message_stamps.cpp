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
    return MailDate{now.wYear, now.wMonth,  now.wDay,    now.wDayOfWeek,
                    now.wHour, now.wMinute, now.wSecond, static_cast<int>(-bias)};
}

AnsiCharset system_ansi_charset() { return AnsiCharset{charset_name(GetACP()), system_code_page()}; }

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
