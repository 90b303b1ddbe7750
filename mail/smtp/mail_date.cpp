#include "mail/smtp/mail_date.h"

#include <cstdio>

namespace {

const char* const day_names[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const month_names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

} // namespace

std::string mail_date(const MailDate& date)
{
    const int offset = date.utc_offset_minutes < 0 ? -date.utc_offset_minutes : date.utc_offset_minutes;
    char text[40];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02d%02d", day_names[date.day_of_week % 7],
                  date.day, month_names[(date.month + 11) % 12], date.year, date.hour, date.minute, date.second,
                  date.utc_offset_minutes < 0 ? '-' : '+', offset / 60, offset % 60);
    return text;
}
