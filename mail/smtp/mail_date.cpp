#include "mail/smtp/mail_date.h"

#include "settings/value_rules.h"

namespace {

const char* const day_names[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const month_names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// A number of at least width digits, leading zeros added.
std::string digits(int value, std::size_t width)
{
    const std::string text = decimal_text(value);
    return text.size() < width ? std::string(width - text.size(), '0') + text : text;
}

} // namespace

std::string mail_date(const MailDate& date)
{
    const int offset = date.utc_offset_minutes < 0 ? -date.utc_offset_minutes : date.utc_offset_minutes;
    return std::string(day_names[date.day_of_week % 7]) + ", " + digits(date.day, 2) + " " +
           month_names[(date.month + 11) % 12] + " " + digits(date.year, 4) + " " + digits(date.hour, 2) + ":" +
           digits(date.minute, 2) + ":" + digits(date.second, 2) + " " + (date.utc_offset_minutes < 0 ? '-' : '+') +
           digits(offset / 60, 2) + digits(offset % 60, 2);
}
