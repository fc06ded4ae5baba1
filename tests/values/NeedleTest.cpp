#include "values/Needle.h"

#include <gtest/gtest.h>

#include <string>

namespace pelicard {
namespace {

TEST(ReadingToNeedle, PointPositionSetsTheMultiplier)
{
    struct Case {
        const char* reading;
        const char* function;
        double modelId;
        double needle;
        const char* scale; // "keep": the multiplier must stay as it was
    };
    const Case cases[] = {
        // The standard readings start with a space, so the point stands one place further right.
        { "  4.9999V  ", "DCV", 1, 49.99, "/10" },
        { " -49.999V  ", "DCV", 1, -49.99, "X1" },
        { "  499.99V  ", "ACV", 1, 49.99, "X10" },
        { "  4999.9mV ", "DCV", 1, 49.99, "X100" },
        // The 5k variant has no leading space: the same texts read one place further left.
        { "  49.999V  ", "DCV", 2, 4.999, "X10" },
        { " 4.999V    ", "OHM", 2, 49.99, "/10" },
        { "  4.999uF  ", "CAP", 2, 49.99, "/10" }, // capacitance subtracts whatever the model
        { "  49.99kHz ", "PERIOD", 1, 4.999, "X10" }, // frequency and period keep the position
        { "  250.0C   ", "TEMP", 1, 25.0, "X10" }, // temperature and duty ignore the point
        { "  5000%    ", "DUTY", 4, 5000.0, "X1" },
        { "  4.99999V ", "DCV", 1, 49.99, "/10" }, // seven characters make the number
        // Where the point says nothing the multiplier stays.
        { "   1234 V  ", "DCV", 1, 1234.0, "keep" },
        { "", "DCV", 1, 0.0, "keep" },
        { " 4.999V    ", "DCV", 1, 4.999, "keep" },
        { "  49999.V  ", "DCV", 1, 49999.0, "keep" },
        // An overload (any capital O) goes to the end of the scale and keeps the multiplier.
        { "    OL     ", "FREQ", 1, 100.0, "keep" },
        { "    OL     ", "DCV", 1, 50.0, "keep" },
        { "  4.9999O  ", "DCV", 1, 50.0, "keep" },
        { "  49.99o   ", "DCV", 1, 49.99, "X1" },
    };
    for (const Case& c : cases) {
        std::string scale = "keep";
        EXPECT_NEAR(ReadingToNeedle(c.reading, c.function, c.modelId, scale), c.needle, 1e-9)
            << '"' << c.reading << "\" " << c.function << " model " << c.modelId;
        EXPECT_EQ(scale, c.scale) << '"' << c.reading << "\" " << c.function << " model " << c.modelId;
    }
}

TEST(PercentToNeedle, LimitsTheValueToPlusMinusHundred)
{
    const std::pair<const char*, double> cases[] = { { " 12.34%", 12.34 }, { "100", 100.0 },
        { "100.5", 100.0 }, { "-250", -100.0 }, { " 12.345%", 12.34 }, { "", 0.0 },
        // An overload goes to an end by sign; reading 0 counts as below.
        { "   OL  ", -100.0 }, { " 50.0 O", 100.0 }, { "-50.0 O", -100.0 } };
    for (const auto& [text, needle] : cases) {
        EXPECT_DOUBLE_EQ(PercentToNeedle(text), needle) << '"' << text << '"';
    }
}

} // namespace
} // namespace pelicard
