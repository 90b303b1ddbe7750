#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "text/decimal_text.h"

TEST(DecimalText, IntegerTakesLeadingDecimalNumber)
{
    struct Case {
        const char* text;
        std::int32_t value;
    };
    const Case cases[] = {
        {"25", 25},
        {" 25x", 25},
        {"\t\r\n 25", 25},
        {"abc", 0},
        {"", 0},
        {"-7", -7},
        {"+5", 5},
        {"- 7", 0},
        {"x25", 0},
        {"007", 7},
        {"--7", 0},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", -2147483647 - 1},
        {"4294967296", 0},
        {"99999999999", 1215752191},
    };
    for (const Case& c : cases) EXPECT_EQ(integer_from_text(c.text), c.value) << '"' << c.text << '"';
}

TEST(DecimalText, DecimalTextIsWhatPercentDWrites)
{
    EXPECT_EQ(decimal_text(0), "0");
    EXPECT_EQ(decimal_text(-7), "-7");
    EXPECT_EQ(decimal_text(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(decimal_text(2147483648LL), "2147483648"); // a countdown of the largest minutes shows one more
    EXPECT_EQ(decimal_text(INT64_MIN), "-9223372036854775808");
}
