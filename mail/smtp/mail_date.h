// The Date header's value (RFC 5322): local time with its offset from UTC, as in
// "Tue, 05 Mar 2024 14:07:09 +0300". Plain values in, text out.
#ifndef TULVO_SMTP_MAIL_DATE_H
#define TULVO_SMTP_MAIL_DATE_H

#include <string>

struct MailDate {
    int year;
    int month;       // 1-12
    int day;         // 1-31
    int day_of_week; // 0 Sunday - 6 Saturday
    int hour;
    int minute;
    int second;
    int utc_offset_minutes; // local time minus UTC: +180 in Moscow, -300 in New York in winter
};

std::string mail_date(const MailDate& date);

#endif
