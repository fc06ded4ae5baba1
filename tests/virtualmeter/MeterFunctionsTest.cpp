#include "virtualmeter/MeterFunctions.h"

#include "virtualmeter/MeterClock.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pelicard {
namespace {

const MeterFunction& FunctionNamed(MeterVariant variant, std::string_view name)
{
    for (const MeterFunction& f : FunctionsOf(variant)) {
        if (f.name == name) {
            return f;
        }
    }
    ADD_FAILURE() << "no function " << name;
    return FunctionsOf(variant)[0];
}

TEST(ReadingForm, FiftyAndFiveThousandCountFormsAndOverload)
{
    const auto v50 = MeterVariant::Logger50k;
    const auto v5 = MeterVariant::Logger5k;
    const auto& dcv = FunctionNamed(v50, "DCV").ranges;
    EXPECT_EQ(FormatReading(4.9999, dcv[1], v50), "  4.9999V  ");
    EXPECT_EQ(FormatReading(-49.999, dcv[2], v50), " -49.999V  ");
    EXPECT_EQ(FormatReading(0.49999, dcv[0], v50), "  499.99mV ");
    EXPECT_EQ(FormatReading(-0.000001, dcv[1], v50), "  0.0000V  "); // no minus sign on zero
    EXPECT_EQ(FormatReading(4999.9, FunctionNamed(v50, "OHM").ranges[1], v50), "  4.9999k  ");
    const auto& dcv5 = FunctionNamed(v5, "DCV").ranges;
    EXPECT_EQ(FormatReading(-4.999, dcv5[1], v5), "-4.999V    ");
    EXPECT_EQ(FormatReading(0.4999, dcv5[0], v5), " 499.9mV   ");
    EXPECT_EQ(FormatReading(1000.0, dcv5[4], v5), " 1000V     ");
    // 4.99996 rounds up to 5.0000, which the 5 V range cannot show.
    for (const double value : { 5.0, 4.99996, -5.2, static_cast<double>(NAN) }) {
        EXPECT_EQ(FormatReading(value, dcv[1], v50), "    OL     ") << value;
    }
    EXPECT_EQ(FormatReading(-5.2, dcv5[1], v5), "    OL     ");
}

TEST(ReadingForm, EveryRangeGivesElevenCharactersAndOnlyOverloadHoldsCapitalO)
{
    for (const MeterVariant v : { MeterVariant::Logger5k, MeterVariant::Logger50k, MeterVariant::Motor }) {
        for (const MeterFunction& f : FunctionsOf(v)) {
            for (const MeterRange& r : f.ranges) {
                for (const double share : { 0.0, 0.123, -0.5, 0.98 }) {
                    const std::string reading = FormatReading(share * r.fullScale * r.scale, r, v);
                    SCOPED_TRACE(std::string(f.name) + " " + std::string(r.unit) + " [" + reading + "]");
                    EXPECT_EQ(reading.size(), 11u);
                    EXPECT_EQ(reading.find('O'), std::string::npos);
                    // The leading number reads back as the value, to the shown resolution.
                    EXPECT_NEAR(std::strtod(reading.c_str(), nullptr), share * r.fullScale,
                        std::pow(10.0, -r.decimals + (v == MeterVariant::Logger5k ? 1 : 0)));
                }
            }
        }
    }
}

TEST(ReadingForm, AutoRangeLoggerAndRelativeForms)
{
    const auto v = MeterVariant::Logger50k;
    const MeterFunction& dcv = FunctionNamed(v, "DCV");
    EXPECT_EQ(PickRange(dcv, 0.3, v), 0);
    EXPECT_EQ(PickRange(dcv, -3.0, v), 1);
    EXPECT_EQ(PickRange(dcv, 700.0, v), 4);
    EXPECT_EQ(PickRange(dcv, 4000.0, v), 4); // nothing shows it: the widest range overloads
    // The time ranges are numbered from the widest down.
    EXPECT_EQ(PickRange(FunctionNamed(v, "PERIOD"), 1.5e-3, v), 3);

    EXPECT_EQ(LoggerReading("-4.999V    ", MeterVariant::Logger5k), "-4.999V   ");
    EXPECT_EQ(FormatRelative(-5), "-05.00%");
    EXPECT_EQ(FormatRelative(123.456), " 123.5%");
    EXPECT_EQ(FormatRelative(-0.001), " 00.00%");
    EXPECT_EQ(FormatRelative(-12345.4), "-12345%");
    for (const double bad : { 1e9, -1e6, static_cast<double>(NAN), static_cast<double>(INFINITY) }) {
        const std::string text = FormatRelative(bad);
        EXPECT_TRUE(text.size() == 7 && text.find('O') != std::string::npos) << bad << " [" << text << "]";
    }
}

TEST(SetupValues, CodesCountsLabelsAndVariantNames)
{
    EXPECT_EQ(ParseVariant("motor"), MeterVariant::Motor);
    EXPECT_FALSE(ParseVariant("50K"));
    EXPECT_EQ(ParseSetupCode("+012.50_0"), (SetupCode { 12.5, 0 }));
    EXPECT_EQ(ParseSetupCode("-.4700_1"), (SetupCode { -0.47, 1 }));
    for (const char* bad :
        { "012.50_0", "+_1", "+1.2.3_1", "+12_", "+12_x", "+1e5_1", "+12.5", "", "+1_123" }) {
        EXPECT_FALSE(ParseSetupCode(bad)) << bad;
    }
    EXPECT_EQ(ParseCount("-000001"), -1);
    EXPECT_EQ(ParseCount("000000000000000042"), 42);
    for (const char* bad : { "", "-", "20S", " 10", "1.5", "9999999999999" }) {
        EXPECT_FALSE(ParseCount(bad)) << bad;
    }

    const auto v = MeterVariant::Logger50k;
    const MeterFunction& dcv = FunctionNamed(v, "DCV");
    const MeterFunction& ohm = FunctionNamed(v, "OHM");
    EXPECT_DOUBLE_EQ(BaseValueOf({ 2.2, 4 }, ohm), 2.2e6);
    EXPECT_DOUBLE_EQ(BaseValueOf({ 30, 3 }, FunctionNamed(v, "DUTY")), 30); // held to the last range
    // Labels read back unchanged as typed setup values: number and unit word.
    EXPECT_EQ(SetupLabel({ 1, 1 }, dcv, MeterVariant::Logger5k), "     1.000V");
    EXPECT_EQ(SetupLabel({ 47, 2 }, ohm, v), " 47.000kohm");
    EXPECT_FALSE(SetupLabel({ 123456.0, 1 }, ohm, v));
}

TEST(MeterClock, ParsesTheClockArgumentAndCountsTheCalendar)
{
    EXPECT_EQ(ParseClockArgument("11-12-21,14:05:09"), (MeterDateTime { 2011, 12, 21, 14, 5, 9 }));
    EXPECT_TRUE(ParseClockArgument("00-02-29,00:00:00"));
    for (const char* bad : { "11-02-30,14:05:09", "11-12-21 14:05:09", "11-12-21,24:00:00",
             "11-13-01,00:00:00", "1-12-21,14:05:09", "11-12-21,14:05:09x", "ab-12-21,14:05:09", "" }) {
        EXPECT_FALSE(ParseClockArgument(bad)) << bad;
    }
    const auto leap = ToEpochSeconds({ 2000, 2, 29, 23, 59, 59 });
    ASSERT_TRUE(leap);
    EXPECT_EQ(FromEpochSeconds(*leap + 1), (MeterDateTime { 2000, 3, 1, 0, 0, 0 }));
    EXPECT_EQ(FormatTimeOfDay(FromEpochSeconds(*leap)), "23:59:59");
}

} // namespace
} // namespace pelicard
