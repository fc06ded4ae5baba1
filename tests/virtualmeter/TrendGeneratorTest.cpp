// The trend run: on its own (levels, point times, the end of a run), and through the HID face
// (points that arrive on their own between replies).

#include "virtualmeter/TrendGenerator.h"

#include "ProgramSide.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

namespace pelicard {
namespace {

using testing::kAck;
using testing::ProgramSide;

constexpr MeterVariant kVariant = MeterVariant::Logger50k;

const MeterFunction& Dcv()
{
    return FunctionsOf(kVariant)[0];
}

TEST(TrendGenerator, LevelsAreFivePerDivisionAboveTheReferenceHeldToTheScale)
{
    TrendGenerator trend([](std::int64_t) { return 0.0; }, [](int, int) {});
    ASSERT_TRUE(trend.SetSettings({ { 1.0, 1 }, { 2.0, 1 }, 20 }, Dcv(), kVariant)); // 1 V, 2 V per division
    for (const auto& [value, level] :
        { std::pair { 1.0, 0 }, std::pair { 3.0, 5 }, std::pair { 2.0, 3 }, // 2.5 rounds away from zero
            std::pair { 1.39, 1 }, std::pair { 0.0, 0 }, std::pair { 11.0, 25 }, std::pair { 1e6, 25 } }) {
        EXPECT_EQ(trend.LevelOf(value, Dcv()), level) << value;
    }
    // Values are in the ranges the codes name; a negative per-division value counts by its size.
    ASSERT_TRUE(trend.SetSettings({ { 1.0, 1 }, { -500.0, 0 }, 20 }, Dcv(), kVariant));
    EXPECT_EQ(trend.LevelOf(2.0, Dcv()), 10);

    TrendGenerator fresh([](std::int64_t) { return 0.0; }, [](int, int) {});
    for (const TrendSettings& bad :
        { TrendSettings { { 0, 1 }, { 0, 1 }, 20 }, TrendSettings { { 0, 1 }, { 1, 1 }, 0 },
            TrendSettings { { 0, 1 }, { 1, 1 }, 100000 }, TrendSettings { { 0, 9 }, { 1, 1 }, 20 },
            TrendSettings { { NAN, 1 }, { 1, 1 }, 20 }, TrendSettings { { 123456.0, 1 }, { 1, 1 }, 20 } }) {
        EXPECT_FALSE(fresh.SetSettings(bad, Dcv(), kVariant))
            << bad.reference.value << "_" << bad.reference.range << " " << bad.perDivision.value << " "
            << bad.timePerDivision;
    }
    EXPECT_EQ(fresh.Settings(), TrendSettings {});
}

TEST(TrendGenerator, ARunHandsOutItsPointsOnTimeAndEndsAfterTheLastIndex)
{
    std::vector<std::pair<int, int>> points;
    // One volt per second against 0 V and 1 V per division: five levels a second.
    TrendGenerator trend([](std::int64_t ms) { return static_cast<double>(ms) / 1000.0; },
        [&points](int index, int level) { points.emplace_back(index, level); });
    EXPECT_FALSE(trend.NextPointMs());
    // 20 s per division, 20 points a division: one point a second.
    const std::int64_t interval = trend.IntervalMs();
    ASSERT_EQ(interval, 1000);
    trend.Start(1000);
    EXPECT_EQ(trend.NextPointMs(), 2000);
    trend.Run(3999, Dcv());
    EXPECT_EQ(points, (std::vector<std::pair<int, int>> { { 0, 10 }, { 1, 15 } }));

    const std::int64_t last = 1000 + std::int64_t { TrendGenerator::kPoints } * interval;
    trend.Run(last - 1, Dcv());
    EXPECT_EQ(points.size(), static_cast<std::size_t>(TrendGenerator::kPoints) - 1);
    EXPECT_TRUE(trend.Running());
    trend.Run(last, Dcv());
    ASSERT_EQ(points.size(), static_cast<std::size_t>(TrendGenerator::kPoints));
    EXPECT_EQ(points.back(), std::pair(TrendGenerator::kPoints - 1, TrendGenerator::kLevels));
    EXPECT_FALSE(trend.Running());
    EXPECT_FALSE(trend.NextPointMs());

    // A new run starts at index 0 from its own start.
    trend.Start(last);
    trend.Run(last + interval, Dcv());
    EXPECT_EQ(points.back().first, 0);
    EXPECT_EQ(points.size(), static_cast<std::size_t>(TrendGenerator::kPoints) + 1);

    // The pace follows the time per division.
    TrendSettings faster = trend.Settings();
    faster.timePerDivision = 2;
    ASSERT_TRUE(trend.SetSettings(faster, Dcv(), MeterVariant::Logger50k));
    EXPECT_EQ(trend.IntervalMs(), 100);
}

TEST(VirtualMeterTrend, PointsArriveOnTheirOwnAtTheIntervalAfterReplies)
{
    ProgramSide side;
    EXPECT_EQ(side.Ask("MOD04,F4,PST??"), "pst02");
    std::set<int> levels;
    const std::int64_t interval
        = std::int64_t { side.meter.Trend().timePerDivision } * 1000 / TrendGenerator::kPointsPerDivision;
    for (int i = 0; i < VirtualMeter::kTrendPoints; ++i) {
        const std::string point = side.ReadText(6000);
        char start[9];
        std::snprintf(start, sizeof start, "ptr%03d,", i);
        ASSERT_EQ(point.substr(0, 7), start);
        ASSERT_EQ(point.size(), 10u);
        levels.insert(std::atoi(point.substr(7).c_str()));
        EXPECT_EQ(side.time.NowMs(), (i + 1) * interval);
    }
    EXPECT_GT(levels.size(), 5u);
    EXPECT_TRUE(*levels.begin() >= 0 && *levels.rbegin() <= 25);
    EXPECT_EQ(side.ReadText(6000), "<timed out>");
    EXPECT_EQ(side.Ask("PST??"), "pst00");

    // A reply comes before the points already due, and reading them does not wait.
    side.Ask("F4");
    side.time.Advance(4 * interval);
    const std::int64_t now = side.time.NowMs();
    side.Send("PST??");
    EXPECT_EQ(side.ReadText(0), "pst02");
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(side.ReadText(0).substr(0, 6), "ptr00" + std::to_string(i));
    }
    EXPECT_EQ(side.ReadText(0), "<timed out>");
    EXPECT_EQ(side.time.NowMs(), now);
}

TEST(VirtualMeterTrend, LevelsFollowTheReferenceAndKeysOrModeEndThePoints)
{
    for (const auto& [setup, expected] : { std::pair { "PTV+400.00_3,+1.0000_1,0000020", 0 },
             std::pair { "PTV-400.00_3,+1.0000_1,0000020", 25 } }) {
        ProgramSide side;
        side.Ask(setup);
        side.Ask("MOD04,F4");
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(std::atoi(side.ReadText(6000).substr(7).c_str()), expected) << setup;
        }
    }
    ProgramSide side;
    // After each command, the start of what comes next.
    for (const auto& [command, next] : { std::pair { "MOD04,F4", "ptr000" }, { "", "ptr001" },
             { "F4", "<timed" }, { "F4", "ptr000" } /* a new trend starts at index 0 */,
             { "F3", "ptr000" } /* a clear restarts it */, { "MOD00", "<timed" } }) {
        EXPECT_EQ(*command ? side.Ask(command) : kAck, kAck) << command;
        EXPECT_EQ(side.ReadText().substr(0, 6), next) << command;
    }
}

} // namespace
} // namespace pelicard
