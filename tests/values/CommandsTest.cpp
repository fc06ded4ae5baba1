#include "values/Commands.h"

#include <gtest/gtest.h>

namespace pelicard::command {
namespace {

TEST(Commands, ClockTextHasTwoDigitsEverywhere)
{
    EXPECT_EQ(BuildClockCommand(2011, 12, 21, 14, 5, 9), "CLK11-12-21,14:05:09");
    EXPECT_EQ(BuildClockCommand(2000, 1, 2, 0, 0, 0), "CLK00-01-02,00:00:00");
    EXPECT_EQ(BuildClockCommand(2105, 1, 1, 9, 8, 7), "CLK05-01-01,09:08:07");
    // Values that would break the fixed layout are held to two digits.
    EXPECT_EQ(BuildClockCommand(-1, -3, 100, 7, 0, 0), "CLK99-00-99,07:00:00");
}

TEST(Commands, FunctionHoldKeyAndMode)
{
    EXPECT_EQ(BuildFunctionCommand(7), "FUN07");
    EXPECT_EQ(BuildFunctionCommand(12), "FUN12");
    EXPECT_EQ(BuildFunctionCommand(100), "FUN100");
    EXPECT_FALSE(BuildFunctionCommand(-1).has_value());
    EXPECT_EQ(BuildHoldCommand(true), "HLD01,HLD??");
    EXPECT_EQ(BuildHoldCommand(false), "HLD00,HLD??");
    EXPECT_EQ(BuildKeyCommand(2), "F2");
    EXPECT_FALSE(BuildKeyCommand(0).has_value());
    EXPECT_FALSE(BuildKeyCommand(5).has_value());
    EXPECT_EQ(BuildModeCommand(4), "MOD04");
    EXPECT_FALSE(BuildModeCommand(-1).has_value());
    EXPECT_FALSE(BuildModeCommand(5).has_value());
}

TEST(Commands, RangeCommandFollowsTheRangeList)
{
    EXPECT_EQ(BuildRangeCommand(0, 6, "Auto"), "RGE10");
    EXPECT_EQ(BuildRangeCommand(-1, 6, "Auto"), "RGE10");
    EXPECT_EQ(BuildRangeCommand(0, 1, "Auto"), "RGE10");
    EXPECT_EQ(BuildRangeCommand(0, 1, "5V"), "RGE00"); // one fixed entry
    EXPECT_EQ(BuildRangeCommand(1, 6, "500mV"), "RGE00");
    EXPECT_EQ(BuildRangeCommand(2, 6, "5V"), "RGE01");
    EXPECT_EQ(BuildRangeCommand(5, 6, "1000V"), "RGE04");
    EXPECT_EQ(BuildRangeCommand(6, 7, "20M"), "RGE05");
    // Nothing valid to send.
    EXPECT_FALSE(BuildRangeCommand(-1, 6, "50V").has_value());
    EXPECT_FALSE(BuildRangeCommand(0, 6, "typed").has_value());
    EXPECT_FALSE(BuildRangeCommand(-1, 0, "").has_value());
    EXPECT_FALSE(BuildRangeCommand(6, 6, "1000V").has_value());
}

TEST(Commands, TabQueriesAndParameterCommands)
{
    EXPECT_EQ(BuildModeStatusQuery(0), "PLV??,PST??");
    EXPECT_EQ(BuildModeStatusQuery(1), "PST??");
    EXPECT_EQ(BuildModeStatusQuery(4), "PTV??,PST??");
    EXPECT_EQ(BuildModeStatusQuery(5), "PST??");
    EXPECT_EQ(ParameterQueryForTab(1), "");
    EXPECT_EQ(BuildParameterCommand(LoggerParameters, { "0000001", "0000000", "0000500" }),
        "PLV0000001,0000000,0000500");
    EXPECT_EQ(BuildParameterCommand(RelativeParameters, { "+012.50_0" }), "PRV+012.50_0");
    EXPECT_EQ(BuildParameterQuery(CompareParameters), "PCV??");
}

} // namespace
} // namespace pelicard::command
