#include "values/LeadingNumber.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace pelicard {
namespace {

using namespace std::string_view_literals;

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfAText)
{
    const std::pair<std::string_view, double> cases[] = { { "12abc", 12.0 }, { "abc", 0.0 }, { "", 0.0 },
        { " - 5", -5.0 }, { "+7", 7.0 }, { "1.2.3", 1.2 }, { ".5", 0.5 }, { "-200.00mVdc", -200.0 },
        { "1 2 3", 123.0 }, { "\t3\t.\t25", 3.25 }, // blanks inside the number are skipped
        { "25deg", 25.0 }, { "1e3", 1.0 }, // no exponent
        { "--5", 0.0 }, { "5-3", 5.0 }, { "0x1F", 0.0 }, { "    OL     ", 0.0 }, { "4\0002"sv, 4.0 },
        { "0.1000000000000000000000000001", 0.1 } };
    for (const auto& [text, expected] : cases) {
        EXPECT_DOUBLE_EQ(ReadLeadingNumber(text), expected) << '"' << text << '"';
    }
    EXPECT_FALSE(TryReadLeadingNumber("-") || TryReadLeadingNumber(" . ") || TryReadLeadingNumber("abc"));
    EXPECT_EQ(TryReadLeadingNumber("-.5").value_or(0), -0.5);
    EXPECT_FALSE(std::signbit(ReadLeadingNumber("-0.000")));
}

TEST(LeadingNumber, HugeDigitStringsSaturateAndTinyOnesReadAsZero)
{
    const std::string huge(400, '9');
    EXPECT_EQ(ReadLeadingNumber(huge), std::numeric_limits<double>::max());
    EXPECT_EQ(ReadLeadingNumber("-" + huge), -std::numeric_limits<double>::max());
    EXPECT_EQ(ReadLeadingNumber("0." + std::string(400, '0') + "1"), 0.0);
}

TEST(RoundHalfEven, RoundsHalvesToTheEvenNeighbourAndSaturates)
{
    const std::pair<double, int> cases[] = { { 0.5, 0 }, { 1.5, 2 }, { 2.5, 2 }, { -2.5, -2 }, { -3.5, -4 },
        { 2.4999, 2 }, { -2.5001, -3 }, { 1e300, INT_MAX }, { -1e300, INT_MIN },
        { std::numeric_limits<double>::infinity(), INT_MAX }, { std::numeric_limits<double>::quiet_NaN(), 0 },
        { 2147483646.6, INT_MAX }, { -2147483648.4, INT_MIN } };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(RoundHalfEven(value), expected) << value;
    }
}

} // namespace
} // namespace pelicard
