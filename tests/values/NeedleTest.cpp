#include "values/Needle.h"

#include <gtest/gtest.h>

#include <string>

namespace pelicard {
namespace {

struct NeedleCase {
    const char* reading;
    const char* function;
    double modelId;
    double needle;
    const char* scale; // expected scaleText; "keep" where the call must leave it alone
};

TEST(ReadingToNeedle, PointPositionSetsTheMultiplier)
{
    const NeedleCase cases[] = {
        // The standard readings start with a space, so the point stands one place further right.
        { "  4.9999V  ", "DCV", 1, 49.99, "/10" },
        { "  49.999V  ", "DCV", 1, 49.99, "X1" },
        { "  499.99V  ", "ACV", 1, 49.99, "X10" },
        { "  4999.9mV ", "DCV", 1, 49.99, "X100" },
        { " -49.999V  ", "DCV", 1, -49.99, "X1" },
        // The 5k variant has no leading space: the same texts read one place further left.
        { "  49.999V  ", "DCV", 2, 4.999, "X10" },
        { " 4.999V    ", "OHM", 2, 49.99, "/10" },
        { "  49.99V   ", "DCmA", 2.0, 4.999, "X10" },
        // The capacitance ranges always subtract, whatever the model.
        { "  4.999uF  ", "CAP", 2, 49.99, "/10" },
        { "  49.99nF  ", "CAP", 1, 49.99, "X1" },
        // Frequency and period keep the position.
        { "  4.999kHz ", "FREQ", 1, 4.999, "X1" },
        { "  49.99kHz ", "PERIOD", 1, 4.999, "X10" },
        { " 4.999ms   ", "PERIOD", 4, 49.99, "/10" },
        // Temperature and duty ignore the point.
        { "  250.0C   ", "TEMP", 1, 25.0, "X10" },
        { "  2500C    ", "TEMP", 4, 250.0, "X10" },
        { "  50.00%   ", "DUTY", 1, 50.0, "X1" },
        { "  5000%    ", "DUTY", 4, 5000.0, "X1" },
        // Only the first seven characters make the number.
        { "  4.99999V ", "DCV", 1, 49.99, "/10" },
        // The point counts even where no number stands before it.
        { "abc.def", "DCV", 1, 0.0, "/10" },
        // An unknown or empty function text takes the general rule.
        { "  49.999V  ", "", 1, 49.99, "X1" },
    };
    for (const NeedleCase& c : cases) {
        std::string scale = "keep";
        EXPECT_NEAR(ReadingToNeedle(c.reading, c.function, c.modelId, scale), c.needle, 1e-9)
            << '"' << c.reading << "\" " << c.function << " model " << c.modelId;
        EXPECT_EQ(scale, c.scale) << '"' << c.reading << "\" " << c.function << " model " << c.modelId;
    }
}

TEST(ReadingToNeedle, LeavesTheMultiplierWhereThePointSaysNothing)
{
    const NeedleCase cases[] = {
        { "   1234 V  ", "DCV", 1, 1234.0, "keep" }, // no point: position -1
        { "", "DCV", 1, 0.0, "keep" },
        { " 4.999V    ", "DCV", 1, 4.999, "keep" }, // position 2 after the subtraction
        { "4.9999V    ", "FREQ", 1, 4.9999, "keep" },
        { "  49999.V  ", "DCV", 1, 49999.0, "keep" }, // position 7
    };
    for (const NeedleCase& c : cases) {
        std::string scale = "keep";
        EXPECT_DOUBLE_EQ(ReadingToNeedle(c.reading, c.function, c.modelId, scale), c.needle) << c.reading;
        EXPECT_EQ(scale, c.scale) << c.reading;
    }
}

TEST(ReadingToNeedle, OverloadGoesToTheEndOfTheScaleWithoutTouchingTheMultiplier)
{
    for (const char* function : { "TEMP", "DUTY", "PERIOD", "FREQ" }) {
        std::string scale = "X10";
        EXPECT_EQ(ReadingToNeedle("    OL     ", function, 1, scale), 100.0) << function;
        EXPECT_EQ(scale, "X10");
    }
    for (const char* function : { "DCV", "OHM", "CAP", "RPM/IG", "" }) {
        std::string scale = "/10";
        EXPECT_EQ(ReadingToNeedle("    OL     ", function, 1, scale), 50.0) << function;
        EXPECT_EQ(scale, "/10");
    }
    // Any capital O counts, even after a number.
    std::string scale = "X1";
    EXPECT_EQ(ReadingToNeedle("  4.9999O  ", "DCV", 1, scale), 50.0);
    EXPECT_EQ(scale, "X1");
    // A lower-case o is no overload.
    EXPECT_DOUBLE_EQ(ReadingToNeedle("  49.99o   ", "DCV", 1, scale), 49.99);
}

TEST(PercentToNeedle, LimitsTheValueToPlusMinusHundred)
{
    EXPECT_DOUBLE_EQ(PercentToNeedle(" 12.34%"), 12.34);
    EXPECT_DOUBLE_EQ(PercentToNeedle("-12.34%"), -12.34);
    EXPECT_DOUBLE_EQ(PercentToNeedle("100"), 100.0);
    EXPECT_DOUBLE_EQ(PercentToNeedle("-100.0%"), -100.0);
    EXPECT_DOUBLE_EQ(PercentToNeedle("100.5"), 100.0);
    EXPECT_DOUBLE_EQ(PercentToNeedle("-250"), -100.0);
    EXPECT_DOUBLE_EQ(PercentToNeedle(" 12.345%"), 12.34); // six characters only
    EXPECT_DOUBLE_EQ(PercentToNeedle(""), 0.0);
}

TEST(PercentToNeedle, OverloadGoesToAnEndBySign)
{
    EXPECT_DOUBLE_EQ(PercentToNeedle("   OL  "), -100.0); // reads 0, which counts as below
    EXPECT_DOUBLE_EQ(PercentToNeedle(" 50.0 O"), 100.0);
    EXPECT_DOUBLE_EQ(PercentToNeedle("-50.0 O"), -100.0);
}

} // namespace
} // namespace pelicard
