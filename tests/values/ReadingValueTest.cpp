#include "values/ReadingValue.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pelicard {
namespace {

// Readings as both variants write them, every prefix, overloads and texts that hold no reading.
TEST(ReadingValue, TakesTheNumberTheUnitAndItsPrefixApart)
{
    struct Case {
        const char* text;
        std::optional<double> shown;
        const char* unit;
        double factor;
        const char* baseUnit;
        bool overload;
    };
    const Case cases[] = {
        { "  1.2345V  ", 1.2345, "V", 1, "V", false },
        { " -0.0120mA ", -0.012, "mA", 1e-3, "A", false },
        { "- 012.34mV ", -12.34, "mV", 1e-3, "V", false }, // a space between sign and digits
        { "  4.9990k  ", 4.999, "k", 1e3, "", false }, // kilohm as the meter writes it
        { "  19.99M   ", 19.99, "M", 1e6, "", false },
        { " 0.4700uF  ", 0.47, "uF", 1e-6, "F", false },
        { "  123.4nF  ", 123.4, "nF", 1e-9, "F", false },
        { "  9.999MHz ", 9.999, "MHz", 1e6, "Hz", false },
        { "  99.99mS  ", 99.99, "mS", 1e-3, "S", false },
        { "  050.0%   ", 50, "%", 1, "%", false },
        { "  0.500ohm ", 0.5, "ohm", 1, "ohm", false },
        { "    OL     ", std::nullopt, "", 1, "", true },
        { " -O.L  mV  ", std::nullopt, "", 1, "", true },
        { "           ", std::nullopt, "", 1, "", false },
        { "--EOD---", std::nullopt, "", 1, "", false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ReadingValue r = ParseReading(c.text);
        EXPECT_EQ(r.overload, c.overload);
        ASSERT_EQ(r.shown.has_value(), c.shown.has_value());
        if (c.shown) {
            EXPECT_DOUBLE_EQ(*r.shown, *c.shown);
            EXPECT_DOUBLE_EQ(*r.BaseValue(), *c.shown * c.factor);
        }
        EXPECT_EQ(r.unit, c.unit);
        EXPECT_EQ(r.prefixFactor, c.factor);
        EXPECT_EQ(r.baseUnit, c.baseUnit);
    }
}

} // namespace
} // namespace pelicard
