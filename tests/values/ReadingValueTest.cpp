#include "values/ReadingValue.h"

#include <gtest/gtest.h>

namespace pelicard {
namespace {

// Readings as both variants write them, every prefix, overloads and texts that hold no reading.
TEST(ReadingValue, TakesTheNumberTheUnitAndItsPrefixApart)
{
    struct Case {
        const char* text;
        std::optional<double> shown;
        const char* decimal;
        const char* unit;
        double factor;
        const char* baseUnit;
        bool overload;
    };
    const Case cases[] = {
        { "  4.9999V  ", 4.9999, "4.9999", "V", 1, "V", false },
        { " -49.999V  ", -49.999, "-49.999", "V", 1, "V", false },
        { " -0.0120mA ", -0.012, "-0.0120", "mA", 1e-3, "A", false },
        { "- 012.34mV ", -12.34, "-12.34", "mV", 1e-3, "V", false }, // a space after the sign
        { "  4.9990k  ", 4.999, "4.9990", "k", 1e3, "", false }, // kilohm as the meter writes it
        { "  19.99M   ", 19.99, "19.99", "M", 1e6, "", false },
        { " 0.4700uF  ", 0.47, "0.4700", "uF", 1e-6, "F", false },
        { "  123.4nF  ", 123.4, "123.4", "nF", 1e-9, "F", false },
        { "  9.999MHz ", 9.999, "9.999", "MHz", 1e6, "Hz", false },
        { "  99.99mS  ", 99.99, "99.99", "mS", 1e-3, "S", false },
        { "  0025.0C  ", 25.0, "25.0", "C", 1, "C", false },
        { "   1500RPM ", 1500.0, "1500", "RPM", 1, "RPM", false },
        { " .5 k", 0.5, "0.5", "k", 1e3, "", false },
        { " -0.0000V  ", 0.0, "0.0000", "V", 1, "V", false },
        { "  0.500ohm ", 0.5, "0.500", "ohm", 1, "ohm", false },
        { "    OL     ", std::nullopt, "", "", 1, "", true },
        { "  OL  Mohm", std::nullopt, "", "Mohm", 1e6, "ohm", true },
        { "  OL.0%", std::nullopt, "", "%", 1, "%", true },
        { "----------", std::nullopt, "", "", 1, "", false },
        { "", std::nullopt, "", "", 1, "", false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ReadingValue r = ParseReading(c.text);
        EXPECT_EQ(r.shown, c.shown);
        EXPECT_EQ(r.decimal, c.decimal);
        EXPECT_EQ(r.unit, c.unit);
        EXPECT_EQ(r.prefixFactor, c.factor);
        EXPECT_EQ(r.baseUnit, c.baseUnit);
        EXPECT_EQ(r.overload, c.overload);
        if (c.shown) {
            EXPECT_DOUBLE_EQ(*r.BaseValue(), *c.shown * c.factor);
        }
    }
}

} // namespace
} // namespace pelicard
