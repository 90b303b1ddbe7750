#include "text/decimal_text.h"

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::int32_t integer_from_text(const char* text)
{
    while (is_blank(*text)) ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    std::uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) value = value * 10u + static_cast<std::uint32_t>(*text - '0');
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

std::string decimal_text(std::int64_t value)
{
    // Counted as unsigned, so that the most negative value has its digits too.
    std::uint64_t magnitude = value < 0 ? 0u - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    char digits[24];
    char* first = digits + sizeof digits;
    do *--first = static_cast<char>('0' + magnitude % 10);
    while ((magnitude /= 10) != 0);
    if (value < 0) *--first = '-';
    return std::string(first, digits + sizeof digits);
}
