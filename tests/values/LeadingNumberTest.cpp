#include "values/LeadingNumber.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace pelicard
