#include "values/Commands.h"

#include <gtest/gtest.h>

namespace pelicard::command {
namespace {

TEST(Commands, ClockTextKeepsItsFixedLayout)
{
    EXPECT_EQ(BuildClockCommand(2011, 12, 21, 14, 5, 9), "CLK11-12-21,14:05:09");
    EXPECT_EQ(BuildClockCommand(2105, 1, 1, 9, 8, 7), "CLK05-01-01,09:08:07");
    // Values that would break the layout are held to two digits.
    EXPECT_EQ(BuildClockCommand(-1, -3, 100, 7, 0, 0), "CLK99-00-99,07:00:00");
}

TEST(Commands, NumbersOutsideTheVocabularySendNothing)
{
    EXPECT_EQ(BuildFunctionCommand(7), "FUN07");
    EXPECT_EQ(BuildFunctionCommand(12), "FUN12");
    EXPECT_FALSE(BuildFunctionCommand(-1) || BuildKeyCommand(0) || BuildKeyCommand(5) || BuildModeCommand(-1)
        || BuildModeCommand(5));
    EXPECT_EQ(BuildParameterCommand(LoggerParameters, { "0000001", "0000000", "0000500" }),
        "PLV0000001,0000000,0000500");
}

TEST(Commands, RangeCommandCountsFromTheEntryAfterAuto)
{
    struct Case {
        int position;
        int entries;
        const char* text;
        const char* command; // nullptr: nothing to send
    };
    const Case cases[] = { { 0, 6, "Auto", "RGE10" }, { -1, 6, "Auto", "RGE10" }, { 0, 1, "5V", "RGE00" },
        { 1, 6, "500mV", "RGE00" }, { 2, 6, "5V", "RGE01" }, { 5, 6, "1000V", "RGE04" },
        { -1, 6, "50V", nullptr }, { 0, 6, "typed", nullptr }, { -1, 0, "", nullptr },
        { 6, 6, "1000V", nullptr } };
    for (const Case& c : cases) {
        const auto command = BuildRangeCommand(c.position, c.entries, c.text);
        EXPECT_EQ(command.value_or("none"), c.command ? c.command : "none") << c.position << " " << c.text;
    }
}

} // namespace
} // namespace pelicard::command
