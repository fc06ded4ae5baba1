#include "values/ChartModel.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pelicard {
namespace {

// Each reading becomes a point in its base unit; an overload or a text without a number is a gap.
TEST(ChartModel, ReadingsBecomePointsInTheBaseUnitAndOverloadsBecomeGaps)
{
    struct Case {
        const char* reading;
        double value;
        const char* unit;
        bool gap;
    };
    const Case cases[] = {
        { "  1.2345V  ", 1.2345, "V", false },
        { " -012.34mV ", -0.01234, "V", false },
        { "  4.9990k  ", 4999, "ohm", false }, // the meter's bare kilohm
        { "  19.99M   ", 19.99e6, "ohm", false },
        { " 0.500ohm  ", 0.5, "ohm", false },
        { " 0.4700uF  ", 0.47e-6, "F", false },
        { "  123.4nF  ", 123.4e-9, "F", false },
        { " 9.999kHz  ", 9999, "Hz", false },
        { "  2.5000A  ", 2.5, "A", false },
        { "    OL     ", 0, "", true },
        { "  OL  %", 0, "", true },
        { "           ", 0, "", true },
    };
    ChartModel model;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reading);
        model.Append(10, c.reading);
        const ChartModel::Point& point = model.Points().back();
        EXPECT_EQ(point.gap, c.gap);
        if (!c.gap) {
            EXPECT_NEAR(point.value, c.value, std::abs(c.value) * 1e-12);
            EXPECT_EQ(model.UnitOf(point), c.unit);
        }
    }
}

TEST(ChartModel, ReadsTimesOfDayAndRefusesAnythingElse)
{
    const std::pair<const char*, double> good[]
        = { { "14:05:09", 50709 }, { "9:00:00", 32400 }, { " 00:00:00 ", 0 }, { "23:59:59.5", 86399.5 } };
    for (const auto& [text, seconds] : good) {
        EXPECT_EQ(TimeOfDaySeconds(text), seconds) << text;
    }
    for (const char* bad :
        { "", "24:00:00", "12:60:00", "12:00:60", "1:2:3", "12:00", "12:00:00x", "ab:cd:ef" }) {
        EXPECT_FALSE(TimeOfDaySeconds(bad)) << bad;
    }
}

// Past midnight the time goes on into the next day; a clock set back a little holds the time.
TEST(ChartModel, TheTimeAxisNeverRunsBackwards)
{
    ChartModel model;
    for (const double t : { 86398.0, 86399.0, 1.0, 0.5, 2.0 }) {
        model.Append(t, " 1.0000V ");
    }
    std::vector<double> times;
    for (const auto& point : model.Points()) {
        times.push_back(point.time);
    }
    EXPECT_EQ(times, (std::vector<double> { 86398, 86399, 86401, 86401, 86402 }));
}

TEST(ChartModel, TicksAreRoundNumbersInsideTheRange)
{
    struct Case {
        ChartRange range;
        bool time;
        int maxTicks;
        double first;
        double step;
        int count;
    };
    const Case cases[] = {
        { { 0, 1 }, false, 8, 0, 0.2, 6 },
        { { -0.013, 0.047 }, false, 8, -0.01, 0.01, 6 },
        { { 1.2, 1.8 }, false, 8, 1.2, 0.1, 7 },
        { { 4990, 5010 }, false, 5, 4990, 5, 5 },
        { { 3.5e-7, 9.2e-7 }, false, 8, 4e-7, 1e-7, 6 },
        { { 0, 60 }, true, 7, 0, 10, 7 },
        { { 50709, 50769 }, true, 7, 50710, 10, 6 },
        { { 0, 3600 }, true, 7, 0, 600, 7 },
        { { 10, 12 }, true, 7, 10, 0.5, 5 },
        { { 0, 10 * 86400 }, true, 7, 0, 2 * 86400, 6 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.range.lo << ".." << c.range.hi);
        const ChartTicks ticks = c.time ? TimeTicks(c.range, c.maxTicks) : ValueTicks(c.range, c.maxTicks);
        EXPECT_NEAR(ticks.first, c.first, c.step * 1e-9);
        EXPECT_NEAR(ticks.step, c.step, c.step * 1e-9);
        EXPECT_EQ(ticks.count, c.count);
    }
    EXPECT_EQ(ValueTicks({ 1, 1 }, 8).count, 0);
}

TEST(ChartModel, TheValueAxisSpansTheReadingsToWholeTicksAndAFlatLineGetsRoom)
{
    const struct {
        double lo, hi;
        ChartRange expected;
    } cases[] = {
        { 1.23, 1.78, { 1.2, 1.8 } },
        { -0.0131, 0.0472, { -0.02, 0.05 } },
        { 1.2345, 1.2345, { 1.22, 1.25 } },
        { 0, 0, { -1, 1 } },
    };
    for (const auto& c : cases) {
        const ChartRange range = NiceValueRange(c.lo, c.hi, ChartModel::MaxValueTicks);
        EXPECT_NEAR(range.lo, c.expected.lo, 1e-12) << c.lo;
        EXPECT_NEAR(range.hi, c.expected.hi, 1e-12) << c.hi;
    }
    const auto [factor, prefix] = EngineeringPrefix(0.047);
    EXPECT_EQ(factor, 1e-3);
    EXPECT_EQ(prefix, "m");
    EXPECT_EQ(EngineeringPrefix(19.99e6).second, "M");
    EXPECT_EQ(EngineeringPrefix(0).second, "");
}

// Following, the view grows by pages with all readings and moves on by tenths of a window.
TEST(ChartModel, TheTimeViewFollowsTheNewestReadingInSteps)
{
    ChartModel model;
    EXPECT_EQ(model.TimeView(), (ChartRange { 0, 60 }));
    const struct {
        double window;
        double last;
        ChartRange view;
    } cases[] = {
        { 0, 1030, { 1000, 1060 } },
        { 0, 1060, { 1000, 1060 } },
        { 0, 1061, { 1000, 1120 } },
        { 0, 1000 + 4000, { 1000, 1000 + 7200 } },
        { 60, 1030, { 1000, 1060 } },
        { 60, 1061, { 1006, 1066 } },
        { 60, 1066, { 1006, 1066 } },
        { 600, 1000 + 3600, { 4000, 4600 } },
    };
    for (const auto& c : cases) {
        model.Clear();
        model.SetWindow(c.window);
        model.Append(1000, " 1.0V ");
        model.Append(c.last, " 2.0V ");
        EXPECT_EQ(model.TimeView(), c.view) << c.window << " " << c.last;
    }
}

// The statistics kept up reading by reading are those counted afresh over the view.
TEST(ChartModel, StatisticsInViewLeaveOverloadsOutAndStayRightAsReadingsArrive)
{
    ChartModel kept;
    kept.SetWindow(60);
    (void)kept.StatisticsInView();
    for (int i = 0; i < 500; ++i) {
        const double value = std::sin(i * 0.1) * 3;
        const std::string text = i % 17 == 0 ? "  OL  " : std::to_string(value) + "V";
        kept.Append(100 + i * 0.7, text);
        if (i % 50 == 49) {
            ChartModel fresh;
            fresh.SetWindow(60);
            for (const auto& point : kept.Points()) {
                fresh.Append(point.time, point.gap ? "OL" : std::to_string(point.value) + "V");
            }
            const ChartStatistics a = kept.StatisticsInView();
            const ChartStatistics b = fresh.StatisticsInView();
            ASSERT_EQ(a.count, b.count) << i;
            EXPECT_NEAR(a.minimum, b.minimum, 1e-9);
            EXPECT_NEAR(a.maximum, b.maximum, 1e-9);
            EXPECT_NEAR(a.mean, b.mean, 1e-9);
        }
    }

    ChartModel model;
    for (const auto& [t, text] : std::vector<std::pair<double, const char*>> {
             { 0, "1V" }, { 1, "OL" }, { 2, "3V" }, { 3, "-2V" }, { 30, "10V" } }) {
        model.Append(t, text);
    }
    const ChartStatistics all = model.StatisticsInView();
    EXPECT_EQ(all.count, 4);
    EXPECT_EQ(all.minimum, -2);
    EXPECT_EQ(all.maximum, 10);
    EXPECT_DOUBLE_EQ(all.mean, 3);
    model.ZoomTime(0, 0.05); // the first three seconds
    const ChartStatistics zoomed = model.StatisticsInView();
    EXPECT_FALSE(model.Following());
    EXPECT_EQ(zoomed.count, 3);
    EXPECT_EQ(zoomed.maximum, 3);
    EXPECT_EQ(model.ValueView(), (ChartRange { -2, 3 })) << "the values fit the readings in view";
    model.ResetView();
    EXPECT_TRUE(model.Following());
    EXPECT_EQ(model.StatisticsInView().count, 4);
}

TEST(ChartModel, PanMovesBothViewsAndZoomKeepsThePointUnderThePointer)
{
    ChartModel model;
    model.Append(0, "0V");
    model.Append(30, "1V");
    const ChartRange values = model.ValueView();
    model.Pan(10, 0.5);
    EXPECT_EQ(model.TimeView(), (ChartRange { 10, 70 }));
    EXPECT_EQ(model.ValueView(), (ChartRange { values.lo + 0.5, values.hi + 0.5 }));
    model.ZoomTime(40, 0.5);
    EXPECT_EQ(model.TimeView(), (ChartRange { 25, 55 }));
    model.ZoomTime(40, 1e-6);
    EXPECT_DOUBLE_EQ(model.TimeView().Span(), 1) << "zooming in stops at a second";
}

// Columns join a point to the one before unless a gap or a change of unit lies between them.
TEST(ChartModel, ColumnsBreakTheLineAtGapsAndUnitChangesAndReachPastTheEdges)
{
    ChartModel model;
    const std::pair<double, const char*> readings[] = { { 0, "1V" }, { 10, "2V" }, { 11, "5V" }, { 20, "OL" },
        { 30, "3V" }, { 40, "4mA" }, { 50, "1mA" }, { 70, "2mA" } };
    for (const auto& [t, text] : readings) {
        model.Append(t, text);
    }
    const std::vector<ChartModel::Column> columns = model.Columns({ 5, 55 }, 5);
    ASSERT_EQ(columns.size(), 7U);
    EXPECT_TRUE(columns[0].filled); // the point at 0 s, left of the view
    EXPECT_EQ(columns[0].first, 1);
    EXPECT_TRUE(columns[1].joined);
    EXPECT_EQ(columns[1].minimum, 2);
    EXPECT_EQ(columns[1].maximum, 5);
    EXPECT_EQ(columns[1].last, 5);
    EXPECT_FALSE(columns[2].filled);
    EXPECT_FALSE(columns[3].joined) << "the overload breaks the line";
    EXPECT_FALSE(columns[4].joined) << "volts do not join amperes";
    EXPECT_TRUE(columns[5].joined);
    EXPECT_TRUE(columns[6].filled); // the point at 70 s, right of the view
    EXPECT_EQ(columns[6].first, 2e-3);
    EXPECT_EQ(model.UnitInView(), "V/A");
}

TEST(ChartModel, TheLivePointIsDrawnNotCountedAndLeftOutWithAFile)
{
    ChartModel model;
    model.Append(0, "1V");
    model.SetLive(20, "9V");
    ASSERT_TRUE(model.Live());
    EXPECT_EQ(model.StatisticsInView().count, 1);
    EXPECT_GE(model.ValueView().hi, 9);
    model.Clear();
    EXPECT_FALSE(model.Live());
    model.Append(0, "1V");
    model.MarkFromFile();
    model.SetLive(20, "9V");
    EXPECT_FALSE(model.Live());
}

} // namespace
} // namespace pelicard
