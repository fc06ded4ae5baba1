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

TEST(MeterVariants, ParseAndIdentity)
{
    EXPECT_EQ(ParseVariant("5k"), MeterVariant::Logger5k);
    EXPECT_EQ(ParseVariant("50k"), MeterVariant::Logger50k);
    EXPECT_EQ(ParseVariant("motor"), MeterVariant::Motor);
    EXPECT_FALSE(ParseVariant(""));
    EXPECT_FALSE(ParseVariant("50K"));
    EXPECT_FALSE(ParseVariant("motorcal"));

    EXPECT_EQ(ProductIdOf(MeterVariant::Logger5k), 0xE100);
    EXPECT_EQ(ProductIdOf(MeterVariant::Logger50k), 0xE101);
    EXPECT_EQ(ProductIdOf(MeterVariant::Motor), 0xE102);
    EXPECT_EQ(ModelIdOf(MeterVariant::Logger5k), 2);
    EXPECT_EQ(ModelIdOf(MeterVariant::Logger50k), 1);
    EXPECT_EQ(ModelIdOf(MeterVariant::Motor), 4);
}

TEST(MeterVariants, FunctionListsFollowTheModel)
{
    const auto standard = FunctionsOf(MeterVariant::Logger50k);
    ASSERT_EQ(standard.size(), 14u);
    EXPECT_EQ(standard[3].name, "BEEP");
    EXPECT_EQ(standard[9].name, "ACA");
    EXPECT_EQ(standard[13].name, "TEMP");
    EXPECT_EQ(FunctionsOf(MeterVariant::Logger5k).size(), 14u);

    const auto engine = FunctionsOf(MeterVariant::Motor);
    ASSERT_EQ(engine.size(), 15u);
    EXPECT_EQ(engine[3].name, "DIODE");
    EXPECT_EQ(engine[9].name, "FREQ");
    EXPECT_EQ(engine[12].name, "RPM/IG");
    EXPECT_EQ(engine[13].name, "RPM/IP");
    EXPECT_TRUE(engine[12].isRpm);
}

TEST(ReadingForm, FiftyThousandCountForm)
{
    const MeterFunction& dcv = FunctionNamed(MeterVariant::Logger50k, "DCV");
    const auto v = MeterVariant::Logger50k;
    EXPECT_EQ(FormatReading(4.9999, dcv.ranges[1], v), "  4.9999V  ");
    EXPECT_EQ(FormatReading(-49.999, dcv.ranges[2], v), " -49.999V  ");
    EXPECT_EQ(FormatReading(0.49999, dcv.ranges[0], v), "  499.99mV ");
    EXPECT_EQ(FormatReading(1.5, dcv.ranges[2], v), "  01.500V  ");
    EXPECT_EQ(FormatReading(1000.0, dcv.ranges[4], v), "  1000.0V  ");
    // A value that rounds to zero carries no minus sign.
    EXPECT_EQ(FormatReading(-0.000001, dcv.ranges[1], v), "  0.0000V  ");
    const MeterFunction& ohm = FunctionNamed(v, "OHM");
    EXPECT_EQ(FormatReading(4999.9, ohm.ranges[1], v), "  4.9999k  ");
}

TEST(ReadingForm, FiveThousandCountForm)
{
    const MeterFunction& dcv = FunctionNamed(MeterVariant::Logger5k, "DCV");
    const auto v = MeterVariant::Logger5k;
    EXPECT_EQ(FormatReading(4.999, dcv.ranges[1], v), " 4.999V    ");
    EXPECT_EQ(FormatReading(-4.999, dcv.ranges[1], v), "-4.999V    ");
    EXPECT_EQ(FormatReading(0.4999, dcv.ranges[0], v), " 499.9mV   ");
    EXPECT_EQ(FormatReading(1000.0, dcv.ranges[4], v), " 1000V     ");
}

TEST(ReadingForm, OverloadWhenTheRangeCannotShowTheValue)
{
    const MeterFunction& dcv = FunctionNamed(MeterVariant::Logger50k, "DCV");
    EXPECT_EQ(FormatReading(5.0, dcv.ranges[1], MeterVariant::Logger50k), "    OL     ");
    // 4.99996 rounds up to 5.0000, which the 5 V range cannot show.
    EXPECT_EQ(FormatReading(4.99996, dcv.ranges[1], MeterVariant::Logger50k), "    OL     ");
    EXPECT_EQ(FormatReading(-5.2, dcv.ranges[1], MeterVariant::Logger5k), "    OL     ");
    EXPECT_EQ(FormatReading(NAN, dcv.ranges[1], MeterVariant::Logger50k), "    OL     ");
}

TEST(ReadingForm, EveryRangeGivesElevenCharactersAndOnlyOverloadHoldsCapitalO)
{
    for (const MeterVariant v : { MeterVariant::Logger5k, MeterVariant::Logger50k, MeterVariant::Motor }) {
        for (const MeterFunction& f : FunctionsOf(v)) {
            for (const MeterRange& r : f.ranges) {
                for (const double share : { 0.0, 0.123, -0.5, 0.98 }) {
                    const double value = share * r.fullScale * r.scale;
                    const std::string reading = FormatReading(value, r, v);
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

TEST(ReadingForm, AutoRangePicksTheFinestRangeThatShowsTheValue)
{
    const auto v = MeterVariant::Logger50k;
    const MeterFunction& dcv = FunctionNamed(v, "DCV");
    EXPECT_EQ(PickRange(dcv, 0.3, v), 0);
    EXPECT_EQ(PickRange(dcv, -3.0, v), 1);
    EXPECT_EQ(PickRange(dcv, 30.0, v), 2);
    EXPECT_EQ(PickRange(dcv, 700.0, v), 4);
    EXPECT_EQ(PickRange(dcv, 4000.0, v), 4); // nothing shows it: the widest range overloads
    // The time ranges are numbered from the widest down.
    const MeterFunction& period = FunctionNamed(v, "PERIOD");
    EXPECT_EQ(PickRange(period, 1.5e-3, v), 3);
    EXPECT_EQ(PickRange(period, 0.5e-3, v), 4);
    EXPECT_EQ(PickRange(period, 2.0, v), 0);
}

TEST(ReadingForm, LoggerAndRelativeForms)
{
    EXPECT_EQ(LoggerReading("  4.9999V  ", MeterVariant::Logger50k), " 4.9999V  ");
    EXPECT_EQ(LoggerReading("-4.999V    ", MeterVariant::Logger5k), "-4.999V   ");

    EXPECT_EQ(FormatRelative(12.34), " 12.34%");
    EXPECT_EQ(FormatRelative(-5), "-05.00%");
    EXPECT_EQ(FormatRelative(123.456), " 123.5%");
    EXPECT_EQ(FormatRelative(99.999), " 100.0%");
    EXPECT_EQ(FormatRelative(-0.001), " 00.00%");
    EXPECT_EQ(FormatRelative(-12345.4), "-12345%");
    for (const double bad : { 1e9, -1e6, static_cast<double>(NAN), static_cast<double>(INFINITY) }) {
        const std::string text = FormatRelative(bad);
        EXPECT_EQ(text.size(), 7u);
        EXPECT_NE(text.find('O'), std::string::npos) << bad;
    }
}

TEST(SetupValues, CodesAndCounts)
{
    EXPECT_EQ(ParseSetupCode("+012.50_0"), (SetupCode { 12.5, 0 }));
    EXPECT_EQ(ParseSetupCode("-.4700_1"), (SetupCode { -0.47, 1 }));
    EXPECT_EQ(ParseSetupCode("+000025_0"), (SetupCode { 25, 0 }));
    EXPECT_EQ(ParseSetupCode("+1000.00_3"), (SetupCode { 1000, 3 }));
    for (const char* bad :
        { "012.50_0", "+_1", "+1.2.3_1", "+12_", "+12_x", "+1e5_1", "+12.5", "", "+1_123" }) {
        EXPECT_FALSE(ParseSetupCode(bad)) << bad;
    }

    EXPECT_EQ(ParseCount("0000500"), 500);
    EXPECT_EQ(ParseCount("-000001"), -1);
    EXPECT_EQ(ParseCount("000000000000000042"), 42);
    for (const char* bad : { "", "-", "20S", " 10", "1.5", "9999999999999" }) {
        EXPECT_FALSE(ParseCount(bad)) << bad;
    }
}

TEST(SetupValues, CodesFollowTheRangesOfTheFunction)
{
    const auto v = MeterVariant::Logger50k;
    const MeterFunction& dcv = FunctionNamed(v, "DCV");
    EXPECT_DOUBLE_EQ(BaseValueOf({ 12.5, 0 }, dcv), 0.0125);
    EXPECT_DOUBLE_EQ(BaseValueOf({ 12.5, 2 }, dcv), 12.5);
    const MeterFunction& ohm = FunctionNamed(v, "OHM");
    EXPECT_DOUBLE_EQ(BaseValueOf({ 4.7, 1 }, ohm), 4700);
    EXPECT_DOUBLE_EQ(BaseValueOf({ 2.2, 4 }, ohm), 2.2e6);
    // A range number the function lacks is held to its last range.
    const MeterFunction& duty = FunctionNamed(v, "DUTY");
    EXPECT_DOUBLE_EQ(BaseValueOf({ 30, 3 }, duty), 30);

    // Labels read back unchanged as typed setup values: number and unit word.
    EXPECT_EQ(SetupLabel({ -200, 0 }, dcv, v), "  -200.00mV");
    EXPECT_EQ(SetupLabel({ 1, 1 }, dcv, v), "    1.0000V");
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
