#include "ProgramSide.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>

namespace pelicard {
namespace {

using testing::Converse;
using testing::Fields;
using testing::kAck;
using testing::kEnq;
using testing::ProgramSide;

// The 50,000-count reading form: space, sign or space, five digits with one point, unit.
bool IsReading(const std::string& r)
{
    const std::string number = r.size() == 11 ? r.substr(2, 6) : "";
    return number.size() == 6 && r[0] == ' ' && (r[1] == ' ' || r[1] == '-')
        && r.find('O') == std::string::npos && std::count(number.begin(), number.end(), '.') == 1
        && std::count_if(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }) == 5;
}

double NumberAt(const std::string& text, std::size_t pos)
{
    return std::strtod(text.c_str() + std::min(pos, text.size()), nullptr);
}

// Sends `request` until the end-of-data record came, checking each 28-character record and the
// number per reply; gives address and time of every record.
std::vector<std::string> Download(ProgramSide& side, const char* request, std::size_t perReply)
{
    std::vector<std::string> records;
    for (int guard = 0; guard < 20 && (records.empty() || records.back().substr(5) != "--EOD---"); ++guard) {
        const std::string reply = side.Ask(request);
        std::size_t count = 0;
        for (std::size_t pos = reply.find("plr"); pos != std::string::npos && pos + 28 <= reply.size();
             pos += 29, ++count) {
            const std::string r = reply.substr(pos, 28);
            EXPECT_EQ(r.substr(0, 3) + r[8] + r[17], "plr,,") << r;
            records.push_back(r.substr(3, 5) + r.substr(9, 8));
            EXPECT_TRUE(r.substr(9, 8) == "--EOD---" || IsReading(" " + r.substr(18))) << r;
        }
        EXPECT_EQ(count, perReply) << reply;
    }
    return records;
}

TEST(VirtualMeterReplies, SetOnlyFramesAreAcknowledgedOthersAnswered)
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
}

TEST(VirtualMeterReplies, CommandsTheMeterCannotTakeAreAnsweredWithAnEnquiry)
{
    ProgramSide side;
    for (const char* command : { "XYZ", "??", "FUN99", "FUN1", "FUN14", "RGE05", "RGE2x", "MOD05", "HLD02",
             "F5", "F0", "CLK11-13-21,14:05:09", "CLK11-12-21", "PLV0000000,0000000,0000500",
             "PLV0000001,0000010,0000005", "PLV0000001,0000000,0010000", "PLV0000001,0000000",
             "PLV20S,0000000,0000500", "PRV+1.0000_9", "PRV12.5mV", "PCV+1.0000_1",
             "PTV+0.0000_1,+0.0000_1,0000020", "PTV+0.0000_1,+1.0000_1,0000000", "FUN??,", "DRL" }) {
        EXPECT_EQ(side.Ask(command), kEnq) << command;
    }
    EXPECT_EQ(side.meter.Mode(), 0);
    EXPECT_EQ(side.meter.Logger(), LoggerSettings {});
    EXPECT_EQ(side.meter.Trend(), TrendSettings {});
    // The commands the meter could take are applied all the same.
    EXPECT_EQ(side.Ask("FUN02,FUN99,FUN??"), kEnq);
    EXPECT_EQ(side.meter.FunctionIndex(), 2);
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
    for (const std::string& stamp : { record[2], record[4] })
        EXPECT_TRUE(stamp.size() == 8 && stamp[2] == ':' && stamp[5] == ':') << stamp;

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
            { "HLD01,HLD??", "hld01" }, { "HLD00,MOD00,FUN00", kAck }, { "PLV??", "plv001,00000,00500" },
            { "PLV0000010,0000020,0000300,PLV??", "plv010,00020,00300" },
            { "PRV+012.50_0,PRV??", "prv  012.50mV " },
            // 5 V does not fit the 5 V range, so the meter shows it in the next one.
            { "PCV+5.0000_1,+1.0000_1,PCV??", "pcv  05.000V  ,  1.0000V  " },
            { "PTV-200.00_0,+200.00_0,0000020,PTV??", "ptv  -200.00mV,   200.00mV,20:" },
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

TEST(VirtualMeterReadings, LivingDeterministicForASeedAndFrozenByHold)
{
    ProgramSide a;
    ProgramSide b;
    std::set<std::string> distinct;
    for (int i = 0; i < 10; ++i, a.time.Advance(1000), b.time.Advance(1000))
        EXPECT_EQ(b.Ask("DRM"), *distinct.insert(a.Ask("DRM")).first);
    EXPECT_GT(distinct.size(), 7u);
    EXPECT_NE(ProgramSide(MeterVariant::Logger50k, 99).Ask("DRM"), ProgramSide().Ask("DRM"));

    const std::string held = a.Ask("HLD01,DRM");
    a.time.Advance(5000);
    EXPECT_EQ(a.Ask("DRM"), held);
    EXPECT_NE(a.Ask("HLD00,DRM"), held);
}

TEST(VirtualMeterModes, RecordModeTracksExtremesAndRelativeModeTheDeviation)
{
    ProgramSide side;
    // AC volts: one range, so the numbers compare directly. Entering the mode resets the extremes.
    std::string drm = side.Ask("FUN01,MOD01,DRM");
    EXPECT_EQ(drm.substr(15, 11) + drm.substr(36, 11), drm.substr(3, 11) + drm.substr(3, 11));
    side.time.Advance(10000);
    drm = side.Ask("DRM");
    EXPECT_GE(NumberAt(drm, 15), NumberAt(drm, 3));
    EXPECT_LE(NumberAt(drm, 36), NumberAt(drm, 3));
    EXPECT_GT(NumberAt(drm, 15) - NumberAt(drm, 36), 6.0); // half a period of a 6 V swing
    EXPECT_EQ(side.Ask("F4,PST??"), "pst01"); // paused: the extremes stand still
    side.time.Advance(5000);
    EXPECT_EQ(side.Ask("DRM").substr(14), drm.substr(14));
    drm = side.Ask("F4,F3,DRM"); // resumed and reset
    EXPECT_EQ(drm.substr(15, 11) + drm.substr(36, 11), drm.substr(3, 11) + drm.substr(3, 11));

    EXPECT_EQ(side.Ask("MOD02,DRM").substr(15), " 00.00%"); // the present reading is the reference
    EXPECT_EQ(side.Ask("PRV+200.00_3"), kAck);
    for (int i = 0; i < 10; ++i) {
        side.time.Advance(1700);
        drm = side.Ask("DRM");
        EXPECT_NEAR(NumberAt(drm, 15), (NumberAt(drm, 3) - 200.0) / 200.0 * 100.0, 0.011) << drm;
    }
    EXPECT_NE(side.Ask("PRV+0.0000_1,DRM").substr(15).find('O'), std::string::npos); // no deviation from 0
    EXPECT_EQ(side.Ask("F3,DRM").substr(15), " 00.00%");
}

TEST(VirtualMeterLogger, DownloadRunsRequestByRequestToTheEndOfData)
{
    ProgramSide side;
    // Logging stops after the stop address; an unanswered frame keeps its records.
    Converse(side, { { "CLK11-12-21,14:05:09,PLV0000001,0000000,0000004,F4,PST??", "pst02" } });
    side.time.Advance(10000);
    Converse(side, { { "PST??", "pst00" }, { "F3,PST??", "pst04" }, { "DRL??,FUN99", kEnq } });
    EXPECT_EQ(Download(side, "DRL??", 2),
        (std::vector<std::string> { "0000014:05:09", "0000114:05:10", "0000214:05:11", "0000314:05:12",
            "0000414:05:13", "00005--EOD---" }));
    EXPECT_EQ(side.Ask("PST??"), "pst00"); // the recall ended with the download

    // Records that do not fit the reply with another field come with the next.
    side.Ask("PLV0000001,0000000,0000009,F4");
    side.time.Advance(20000);
    side.Ask("F3");
    const auto records = Download(side, "PST??,DRL??", 1);
    ASSERT_EQ(records.size(), 11u);
    EXPECT_EQ(records[9].substr(0, 5) + records[10], "0000900010--EOD---");

    // Without recall only the end of data comes; F4 ends a recall and F2 clears the memory.
    ASSERT_TRUE(
        side.meter.SetLoggerMemory({ { 0, "10:00:00", " 1.0000V  " }, { 1, "10:00:01", " 1.1000V  " } }));
    EXPECT_EQ(Download(side, "DRL??", 1), std::vector<std::string> { "00002--EOD---" });
    Converse(side, { { "F3,PST??", "pst04" }, { "F4,PST??", "pst02" }, { "F4,F2,F3,PST??", "pst04" } });
    EXPECT_EQ(Download(side, "DRL??", 1), std::vector<std::string> { "00000--EOD---" });
}

TEST(VirtualMeterTrend, PointsArriveOnTheirOwnAtTheIntervalAfterReplies)
{
    ProgramSide side;
    EXPECT_EQ(side.Ask("MOD04,F4,PST??"), "pst02");
    std::set<int> levels;
    for (int i = 0; i < VirtualMeter::kTrendPoints; ++i) {
        const std::string point = side.ReadText(6000);
        char start[9];
        std::snprintf(start, sizeof start, "ptr%03d,", i);
        ASSERT_EQ(point.substr(0, 7), start);
        ASSERT_EQ(point.size(), 10u);
        levels.insert(std::atoi(point.substr(7).c_str()));
        EXPECT_EQ(side.time.NowMs(), (i + 1) * VirtualMeter::kTrendIntervalMs);
    }
    EXPECT_GT(levels.size(), 5u);
    EXPECT_TRUE(*levels.begin() >= 0 && *levels.rbegin() <= 25);
    EXPECT_EQ(side.ReadText(6000), "<timed out>");
    EXPECT_EQ(side.Ask("PST??"), "pst00");

    // A reply comes before the points already due, and reading them does not wait.
    side.Ask("F4");
    side.time.Advance(2000);
    const std::int64_t now = side.time.NowMs();
    side.Send("PST??");
    EXPECT_EQ(side.ReadText(0), "pst02");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(side.ReadText(0).substr(0, 6), "ptr00" + std::to_string(i));
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
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(std::atoi(side.ReadText(6000).substr(7).c_str()), expected) << setup;
    }

    ProgramSide side;
    auto next = [&side](const char* command) {
        EXPECT_EQ(*command ? side.Ask(command) : kAck, kAck);
        return side.ReadText().substr(0, 6);
    };
    EXPECT_EQ(next("MOD04,F4"), "ptr000");
    EXPECT_EQ(next(""), "ptr001");
    EXPECT_EQ(next("F4"), "<timed");
    EXPECT_EQ(next("F4"), "ptr000"); // a new trend starts at index 0
    EXPECT_EQ(next("F3"), "ptr000"); // clearing a running trend restarts it
    EXPECT_EQ(next("MOD00"), "<timed");
}

} // namespace
} // namespace pelicard
