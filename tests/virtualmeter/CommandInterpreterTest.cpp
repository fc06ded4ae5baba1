// The command language through the HID face: which frames are acknowledged, answered or refused,
// and what each query answers.

#include "ProgramSide.h"

#include <gtest/gtest.h>

namespace pelicard {
namespace {

using testing::Converse;
using testing::Fields;
using testing::IsReading;
using testing::kAck;
using testing::kEnq;
using testing::ProgramSide;

TEST(VirtualMeterReplies, SetOnlyFramesAreAcknowledgedQueriesAnsweredAndWhatCannotBeTakenRefused)
{
    ProgramSide side;
    for (const char* command :
        { "FUN01", "RGE02", "MOD02", "F4", "HLD01", "CLK11-12-21,14:05:09", "PLV0000001,0000000,0000500",
            "PRV+012.50_0", "PCV+5.0000_1,+1.0000_1", "PTV-200.00_0,+200.00_0,0000020", "FUN00,MOD01", "" }) {
        EXPECT_EQ(side.Ask(command), kAck) << command;
    }
    // Sets in a frame with queries are applied, only the queries answered.
    Converse(side,
        { { "HLD00,HLD??", "hld00" }, { "F4,PST??", "pst01" },
            { "FUN07,FUN??,MOD03,MOD??", "fun07,mod03" } });
    side.Send("F1");
    std::vector<std::uint8_t> report;
    side.meter.Read(side.handle, report, 6000);
    std::vector<std::uint8_t> expected = { 0, 2, 6, 3 };
    expected.resize(65);
    EXPECT_EQ(report, expected);

    ProgramSide fresh;
    for (const char* command : { "XYZ", "??", "FUN99", "FUN1", "FUN14", "RGE05", "RGE2x", "MOD05", "HLD02",
             "F5", "F0", "CLK11-13-21,14:05:09", "CLK11-12-21", "PLV0000000,0000000,0000500",
             "PLV0000001,0000010,0000005", "PLV0000001,0000000,0010000", "PLV0000001,0000000",
             "PLV20S,0000000,0000500", "PRV+1.0000_9", "PRV12.5mV", "PCV+1.0000_1",
             "PTV+0.0000_1,+0.0000_1,0000020", "PTV+0.0000_1,+1.0000_1,0000000", "FUN??,", "DRL" }) {
        EXPECT_EQ(fresh.Ask(command), kEnq) << command;
    }
    EXPECT_EQ(fresh.meter.Mode(), 0);
    EXPECT_EQ(fresh.meter.Logger(), LoggerSettings {});
    EXPECT_EQ(fresh.meter.Trend(), TrendSettings {});
    // The commands the meter could take are applied all the same.
    EXPECT_EQ(fresh.Ask("FUN02,FUN99,FUN??"), kEnq);
    EXPECT_EQ(fresh.meter.FunctionIndex(), 2);
}

TEST(VirtualMeterReplies, EachQueryHasItsFieldLength)
{
    ProgramSide side;
    const auto status = Fields(side.Ask("FUN??,RGE??,MOD??,HLD??,PST??"));
    ASSERT_EQ(status.size(), 5u);
    EXPECT_EQ(status, (std::vector<std::string> { "fun00", status[1], "mod00", "hld00", "pst00" }));
    EXPECT_TRUE(status[1].size() == 5 && status[1].substr(0, 4) == "rge1") << status[1];
    for (const auto& [query, length] : { std::pair { "PLV??", 18u }, std::pair { "PRV??", 14u },
             std::pair { "PCV??", 26u }, std::pair { "PTV??", 30u }, std::pair { "MOD00,DRM", 14u },
             std::pair { "MOD03,DRM", 14u }, std::pair { "MOD04,DRM", 14u }, std::pair { "MOD02,DRM", 22u },
             std::pair { "MOD01,DRM", 56u } }) {
        EXPECT_EQ(side.Ask(query).size(), length) << query;
    }
    // Record mode: the reading, then maximum and minimum each with its time stamp.
    side.time.Advance(3000);
    const auto record = Fields(side.Ask("DRM"));
    ASSERT_EQ(record.size(), 5u);
    EXPECT_EQ(record[0].substr(0, 3), "drm");
    EXPECT_TRUE(IsReading(record[0].substr(3)) && IsReading(record[1]) && IsReading(record[3])) << record[0];
    for (const std::string& stamp : { record[2], record[4] }) {
        EXPECT_TRUE(stamp.size() == 8 && stamp[2] == ':' && stamp[5] == ':') << stamp;
    }

    // Engine speed has sub readings only with the program reading (F2) on.
    ProgramSide motor(MeterVariant::Motor);
    Converse(motor,
        { { "SD9", "sd94" }, { "FUN12,MOD01", kAck }, { "F2,PST??", "pst08" }, { "FUN13,PST??", "pst00" } });
    EXPECT_EQ(motor.Ask("FUN12,MOD01,DRM").size(), 14u);
    EXPECT_EQ(motor.Ask("F2,DRM").size(), 56u);
}

TEST(VirtualMeterState, SetsShowInTheNextQuery)
{
    ProgramSide side;
    Converse(side,
        { { "FUN07,FUN??", "fun07" }, { "RGE01,RGE??", "rge01" }, { "MOD03,MOD??", "mod03" },
            { "HLD01,HLD??", "hld01" }, { "HLD00,MOD00,FUN00", kAck },
            // 5 V does not fit the 5 V range, so the meter shows it in the next one.
            { "PCV+5.0000_1,+1.0000_1,PCV??", "pcv  05.000V  ,  1.0000V  " },
            { "CLK11-12-21,14:05:09", kAck } });
    side.time.Advance(61000);
    EXPECT_EQ(side.meter.Clock(), (MeterDateTime { 2011, 12, 21, 14, 6, 10 }));
    EXPECT_EQ(ProgramSide(MeterVariant::Logger5k).Ask("PRV+012.5_0,PRV??"), "prv 012.5mV   ");

    // A manual range shows in the readings: 500 mV, or overload for the volts the signal swings to.
    EXPECT_EQ(side.Ask("RGE00"), kAck);
    for (int i = 0; i < 8; ++i) {
        const std::string reading = side.Ask("DRM").substr(3);
        EXPECT_TRUE(reading == "    OL     " || reading.substr(8) == "mV ") << reading;
        side.time.Advance(500);
    }
    // A fixed range takes only "00", an automatic one only auto; a new function starts on auto.
    Converse(side, { { "FUN04,RGE10", kEnq }, { "RGE00", kAck }, { "FUN10,RGE00", kEnq } });
    EXPECT_EQ(side.Ask("RGE10,RGE??").substr(0, 4), "rge1");
    EXPECT_EQ(side.Ask("FUN00,RGE02,FUN01,RGE??").substr(0, 4), "rge1");
}

} // namespace
} // namespace pelicard
