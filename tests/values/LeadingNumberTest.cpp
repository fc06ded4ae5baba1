#include "values/LeadingNumber.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace pelicard {
namespace {

struct NumberCase {
    const char* text;
    double expected;
};

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfAText)
{
    const NumberCase cases[] = {
        { "12abc", 12.0 },
        { "abc", 0.0 },
        { "", 0.0 },
        { " - 5", -5.0 },
        { "1.2.3", 1.2 },
        { "-200.00mVdc", -200.0 },
        { ".5", 0.5 },
        { "+7", 7.0 },
        { "  4.9999V  ", 4.9999 },
        { " -49.999V  ", -49.999 },
        { "1 2 3", 123.0 }, // blanks inside the number are skipped
        { "\t3\t.\t25", 3.25 },
        { "12.", 12.0 },
        { "25deg", 25.0 }, // no exponent: "d" and "e" end the number
        { "1e3", 1.0 },
        { "1E3", 1.0 },
        { "--5", 0.0 }, // one sign only
        { "5-3", 5.0 },
        { "0x1F", 0.0 },
        { "    OL     ", 0.0 },
        { "00012", 12.0 },
    };
    for (const NumberCase& c : cases) {
        EXPECT_DOUBLE_EQ(ReadLeadingNumber(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(LeadingNumber, StopsAtANulByte)
{
    using namespace std::string_view_literals;
    EXPECT_EQ(ReadLeadingNumber("4\0"
                                "2"sv),
        4.0);
}

TEST(LeadingNumber, TellsATextWithoutDigitsFromZero)
{
    EXPECT_FALSE(TryReadLeadingNumber("abc").has_value());
    EXPECT_FALSE(TryReadLeadingNumber("-").has_value());
    EXPECT_FALSE(TryReadLeadingNumber(" . ").has_value());
    EXPECT_FALSE(TryReadLeadingNumber("").has_value());
    ASSERT_TRUE(TryReadLeadingNumber("0x").has_value());
    EXPECT_EQ(*TryReadLeadingNumber("0x"), 0.0);
    ASSERT_TRUE(TryReadLeadingNumber("-.5").has_value());
    EXPECT_EQ(*TryReadLeadingNumber("-.5"), -0.5);
}

TEST(LeadingNumber, NegativeZeroIsPlainZero)
{
    EXPECT_FALSE(std::signbit(ReadLeadingNumber("-0")));
    EXPECT_FALSE(std::signbit(ReadLeadingNumber("-0.000")));
}

TEST(LeadingNumber, HugeDigitStringsSaturateAndTinyOnesReadAsZero)
{
    const std::string huge(400, '9');
    EXPECT_EQ(ReadLeadingNumber(huge), std::numeric_limits<double>::max());
    EXPECT_EQ(ReadLeadingNumber("-" + huge), -std::numeric_limits<double>::max());
    const std::string tiny = "0." + std::string(400, '0') + "1";
    EXPECT_EQ(ReadLeadingNumber(tiny), 0.0);
    // Long but representable: correctly rounded, not accumulated digit by digit.
    EXPECT_DOUBLE_EQ(ReadLeadingNumber("0.1000000000000000000000000001"), 0.1);
}

TEST(RoundHalfEven, RoundsHalvesToTheEvenNeighbour)
{
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(2.5001), 3);
    EXPECT_EQ(RoundHalfEven(-2.5001), -3);
    EXPECT_EQ(RoundHalfEven(499.5), 500);
    EXPECT_EQ(RoundHalfEven(0.0), 0);
}

TEST(RoundHalfEven, SaturatesInsteadOfOverflowing)
{
    EXPECT_EQ(RoundHalfEven(1e300), INT_MAX);
    EXPECT_EQ(RoundHalfEven(-1e300), INT_MIN);
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::infinity()), INT_MAX);
    EXPECT_EQ(RoundHalfEven(-std::numeric_limits<double>::infinity()), INT_MIN);
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(RoundHalfEven(2147483646.6), INT_MAX);
    EXPECT_EQ(RoundHalfEven(2147483646.4), INT_MAX - 1);
    EXPECT_EQ(RoundHalfEven(-2147483648.4), INT_MIN);
}

} // namespace
} // namespace pelicard
