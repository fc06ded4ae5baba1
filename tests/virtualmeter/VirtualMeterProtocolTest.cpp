#include "ProgramSide.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace pelicard {
namespace {

using testing::Fields;
using testing::kAck;
using testing::kEnq;
using testing::ProgramSide;

// The 50,000-count reading form: space, sign or space, five digits with one point, unit.
bool IsReading(const std::string& r)
{
    if (r.size() != 11 || r[0] != ' ' || (r[1] != ' ' && r[1] != '-')) {
        return false;
    }
    int digits = 0;
    int points = 0;
    for (std::size_t i = 2; i < 8; ++i) {
        digits += (r[i] >= '0' && r[i] <= '9') ? 1 : 0;
        points += r[i] == '.' ? 1 : 0;
    }
    return digits == 5 && points == 1 && r.find('O') == std::string::npos;
}

bool IsStamp(const std::string& s)
{
    return s.size() == 8 && s[2] == ':' && s[5] == ':' && std::atoi(s.substr(0, 2).c_str()) < 24;
}

double NumberOf(const std::string& text)
{
    return std::strtod(text.c_str(), nullptr);
}

struct LogRecord {
    std::string address;
    std::string time;
    std::string reading;
};

// Logger records of a "DRL??" reply: 28 characters each, joined by ",".
std::vector<LogRecord> Records(const std::string& text)
{
    std::vector<LogRecord> records;
    for (std::size_t pos = 0; pos + 28 <= text.size(); pos += 29) {
        const std::string r = text.substr(pos, 28);
        EXPECT_EQ(r.substr(0, 3), "plr");
        EXPECT_EQ(r[8], ',');
        EXPECT_EQ(r[17], ',');
        records.push_back({ r.substr(3, 5), r.substr(9, 8), r.substr(18, 10) });
    }
    return records;
}

TEST(VirtualMeterReplies, SetOnlyFramesAreAcknowledgedOthersAnswered)
{
    ProgramSide side;
    for (const char* command : { "FUN01", "RGE02", "MOD02", "F4", "HLD01", "F1", "CLK11-12-21,14:05:09",
             "PLV0000001,0000000,0000500", "PRV+012.50_0", "PCV+5.0000_1,+1.0000_1",
             "PTV-200.00_0,+200.00_0,0000020", "FUN00,MOD00", "" }) {
        EXPECT_EQ(side.Ask(command), kAck) << command;
    }
    side.Send("MOD01");
    std::vector<std::uint8_t> report;
    ASSERT_EQ(side.meter.Read(side.handle, report, 6000), ReadOutcome::Arrived);
    std::vector<std::uint8_t> expected(65, 0);
    expected[1] = 2;
    expected[2] = 6;
    expected[3] = 3;
    EXPECT_EQ(report, expected);

    // Sets in a frame with queries are applied, only the queries answered.
    EXPECT_EQ(side.Ask("HLD01,HLD??"), "hld01");
    EXPECT_EQ(side.Ask("HLD00,HLD??"), "hld00");
    EXPECT_EQ(side.Ask("F4,PST??"), "pst01"); // record mode: pause
    EXPECT_EQ(side.Ask("FUN07,FUN??,MOD03,MOD??"), "fun07,mod03");
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
    EXPECT_EQ(side.meter.FunctionIndex(), 0);
    EXPECT_EQ(side.meter.Mode(), 0);
    EXPECT_FALSE(side.meter.Hold());
    EXPECT_EQ(side.meter.Logger(), LoggerSettings {});
    EXPECT_EQ(side.meter.Trend(), TrendSettings {});

    // The commands the meter could take are applied all the same.
    EXPECT_EQ(side.Ask("FUN02,FUN99,FUN??"), kEnq);
    EXPECT_EQ(side.meter.FunctionIndex(), 2);
}

TEST(VirtualMeterReplies, StatusQueryHasFiveFieldsOfFive)
{
    ProgramSide side;
    const std::string reply = side.Ask("FUN??,RGE??,MOD??,HLD??,PST??");
    ASSERT_EQ(reply.size(), 29u);
    const auto fields = Fields(reply);
    ASSERT_EQ(fields.size(), 5u);
    EXPECT_EQ(fields[0], "fun00");
    EXPECT_EQ(fields[1].substr(0, 4), "rge1");
    EXPECT_TRUE(fields[1][4] >= '0' && fields[1][4] <= '4') << fields[1];
    EXPECT_EQ(fields[2], "mod00");
    EXPECT_EQ(fields[3], "hld00");
    EXPECT_EQ(fields[4], "pst00");
}

TEST(VirtualMeterReplies, DrmFollowsTheMode)
{
    ProgramSide side;
    for (const char* mode : { "MOD00", "MOD03", "MOD04" }) {
        side.Ask(mode);
        const std::string drm = side.Ask("DRM");
        ASSERT_EQ(drm.size(), 14u) << mode;
        EXPECT_EQ(drm.substr(0, 3), "drm");
        EXPECT_TRUE(IsReading(drm.substr(3))) << drm;
    }

    side.Ask("MOD01");
    side.time.Advance(3000);
    const std::string record = side.Ask("DRM");
    ASSERT_EQ(record.size(), 56u);
    EXPECT_TRUE(IsReading(record.substr(3, 11))) << record;
    EXPECT_TRUE(IsReading(record.substr(15, 11))) << record;
    EXPECT_TRUE(IsStamp(record.substr(27, 8))) << record;
    EXPECT_TRUE(IsReading(record.substr(36, 11))) << record;
    EXPECT_TRUE(IsStamp(record.substr(48, 8))) << record;
    for (const std::size_t separator : { 14u, 26u, 35u, 47u }) {
        EXPECT_EQ(record[separator], ',') << record;
    }

    side.Ask("MOD02");
    const std::string relative = side.Ask("DRM");
    ASSERT_EQ(relative.size(), 22u);
    EXPECT_EQ(relative[14], ',');
    EXPECT_EQ(relative.back(), '%');
}

TEST(VirtualMeterReplies, EngineFunctionsHaveSubReadingsOnlyWithTheProgramReading)
{
    ProgramSide motor(MeterVariant::Motor);
    EXPECT_EQ(motor.Ask("FUN12,MOD01"), kAck);
    EXPECT_EQ(motor.Ask("DRM").size(), 14u);
    EXPECT_EQ(motor.Ask("F2,PST??"), "pst08");
    EXPECT_EQ(motor.Ask("DRM").size(), 56u);
    EXPECT_EQ(motor.Ask("MOD02,DRM").size(), 22u);
    // Another function drops the program reading.
    EXPECT_EQ(motor.Ask("FUN13,PST??"), "pst00");
    EXPECT_EQ(motor.Ask("DRM").size(), 14u);

    // F2 is the beeper on resistance and does nothing where neither exists.
    ProgramSide standard;
    EXPECT_EQ(standard.Ask("MOD01,F2,PST??"), "pst00");
    EXPECT_EQ(standard.Ask("FUN02,F2,PST??"), "pst08");
    EXPECT_EQ(standard.Ask("DRM").size(), 56u);
}

TEST(VirtualMeterReplies, IdentityReplies)
{
    for (const MeterVariant v : { MeterVariant::Logger5k, MeterVariant::Logger50k, MeterVariant::Motor }) {
        ProgramSide side(v);
        const std::string caption = side.Ask("SD0");
        EXPECT_EQ(caption, "sd0" + CaptionOf(v));
        EXPECT_GT(caption.size(), 10u);
        EXPECT_EQ(side.Ask("SD9"), "sd9" + std::to_string(ModelIdOf(v)));
    }
}

TEST(VirtualMeterState, FunctionRangeModeAndHoldShowInTheNextQuery)
{
    ProgramSide side;
    EXPECT_EQ(side.Ask("FUN07,FUN??"), "fun07");
    EXPECT_EQ(side.Ask("RGE01,RGE??"), "rge01");
    const std::string autoRange = side.Ask("RGE10,RGE??");
    EXPECT_EQ(autoRange.substr(0, 4), "rge1");
    EXPECT_EQ(side.Ask("MOD03,MOD??"), "mod03");
    // A manual range shows in the readings: 500 mV, or overload for the volts the signal swings to.
    EXPECT_EQ(side.Ask("FUN00,RGE00"), kAck);
    for (int i = 0; i < 40; i += 5) {
        const std::string reading = side.Ask("DRM").substr(3);
        EXPECT_TRUE(reading == "    OL     " || reading.substr(8) == "mV ") << reading;
        side.time.Advance(500);
    }

    // One fixed range: only "00".
    EXPECT_EQ(side.Ask("FUN04,RGE??"), "rge00");
    EXPECT_EQ(side.Ask("RGE10"), kEnq);
    EXPECT_EQ(side.Ask("RGE00"), kAck);
    // The meter ranges by itself: only auto.
    EXPECT_EQ(side.Ask("FUN10"), kAck);
    EXPECT_EQ(side.Ask("RGE00"), kEnq);
    EXPECT_EQ(side.Ask("RGE10,RGE??").substr(0, 4), "rge1");
    // A new function starts on auto again.
    EXPECT_EQ(side.Ask("FUN00,RGE02,FUN01,RGE??").substr(0, 4), "rge1");

    ProgramSide motor(MeterVariant::Motor);
    EXPECT_EQ(motor.Ask("FUN14,FUN??"), "fun14");
    EXPECT_EQ(motor.Ask("FUN15"), kEnq);
}

TEST(VirtualMeterState, ParameterSetsComeBackFromTheirQueries)
{
    ProgramSide side;
    EXPECT_EQ(side.Ask("PLV??"), "plv001,00000,00500");
    EXPECT_EQ(side.Ask("PTV??"), "ptv    0.0000V,    1.0000V,20:");
    EXPECT_EQ(side.Ask("PLV0000010,0000020,0000300"), kAck);
    EXPECT_EQ(side.Ask("PLV??"), "plv010,00020,00300");
    EXPECT_EQ(side.Ask("PRV+012.50_0"), kAck);
    EXPECT_EQ(side.Ask("PRV??"), "prv  012.50mV ");
    // 5 V does not fit the 5 V range, so the meter shows it in the next one.
    EXPECT_EQ(side.Ask("PCV+5.0000_1,+1.0000_1"), kAck);
    EXPECT_EQ(side.Ask("PCV??"), "pcv  05.000V  ,  1.0000V  ");
    EXPECT_EQ(side.Ask("PTV-200.00_0,+200.00_0,0000020"), kAck);
    EXPECT_EQ(side.Ask("PTV??"), "ptv  -200.00mV,   200.00mV,20:");
    EXPECT_EQ(side.Ask("CLK11-12-21,14:05:09"), kAck);
    EXPECT_EQ(side.meter.Clock(), (MeterDateTime { 2011, 12, 21, 14, 5, 9 }));
    side.time.Advance(61000);
    EXPECT_EQ(side.meter.Clock(), (MeterDateTime { 2011, 12, 21, 14, 6, 10 }));

    ProgramSide fiveK(MeterVariant::Logger5k);
    EXPECT_EQ(fiveK.Ask("PRV+012.5_0,PRV??"), "prv 012.5mV   ");
}

TEST(VirtualMeterState, SettersActLikeTheKeysAndRefuseWhatTheMeterCannotTake)
{
    ProgramSide side;
    EXPECT_FALSE(side.meter.SetProgramStatus(6)); // recalling stops logging
    EXPECT_FALSE(side.meter.SetProgramStatus(1)); // no pause in the logger
    EXPECT_TRUE(side.meter.SetProgramStatus(2));
    side.time.Advance(2500);
    EXPECT_EQ(side.meter.LoggerMemory().size(), 3u); // at 0, 1 and 2 seconds
    EXPECT_TRUE(side.meter.SetProgramStatus(4));
    EXPECT_EQ(side.Ask("PST??"), "pst04");

    EXPECT_TRUE(side.meter.SetMode(1));
    EXPECT_FALSE(side.meter.SetMode(5));
    EXPECT_FALSE(side.meter.SetProgramStatus(8)); // direct volts have no beeper
    EXPECT_TRUE(side.meter.SetFunction(2));
    EXPECT_TRUE(side.meter.SetProgramStatus(9));
    EXPECT_EQ(side.Ask("PST??"), "pst09");

    EXPECT_TRUE(side.meter.SetMode(4));
    EXPECT_TRUE(side.meter.SetProgramStatus(2));
    EXPECT_TRUE(side.meter.TrendRunning());
    EXPECT_EQ(side.ReadText().substr(0, 6), "ptr000");

    EXPECT_FALSE(side.meter.SetManualRange(6)); // resistance has six ranges, 0 to 5
    EXPECT_TRUE(side.meter.SetManualRange(5));
    EXPECT_EQ(side.meter.RangeIndex(), 5);
    EXPECT_FALSE(side.meter.SetLogger({ 1, 10, 9 }));
    EXPECT_FALSE(side.meter.SetLoggerMemory({ { 0, "10:00", " 1.0000V  " } }));
    EXPECT_FALSE(side.meter.SetClock({ 2011, 2, 29, 0, 0, 0 }));
    EXPECT_FALSE(side.meter.SetRelativeReference({ 1.0, 6 }));
    EXPECT_FALSE(side.meter.SetTrend({ { 0.0, 1 }, { 0.0, 1 }, 20 }));
    EXPECT_EQ(side.meter.Trend(), TrendSettings {});
}

TEST(VirtualMeterReadings, HoldFreezesTheReading)
{
    ProgramSide side;
    const std::string first = side.Ask("DRM");
    side.time.Advance(5000);
    const std::string later = side.Ask("DRM");
    EXPECT_NE(first, later);

    EXPECT_EQ(side.Ask("HLD01"), kAck);
    const std::string held = side.Ask("DRM");
    side.time.Advance(5000);
    EXPECT_EQ(side.Ask("DRM"), held);
    EXPECT_EQ(side.Ask("HLD00"), kAck);
    EXPECT_NE(side.Ask("DRM"), held);
}

TEST(VirtualMeterReadings, LivingAndDeterministicForASeed)
{
    ProgramSide a;
    ProgramSide b;
    ProgramSide otherSeed(MeterVariant::Logger50k, 99);
    std::set<std::string> distinct;
    int differentNoise = 0;
    for (int i = 0; i < 20; ++i) {
        const std::string reading = a.Ask("DRM");
        EXPECT_EQ(b.Ask("DRM"), reading);
        differentNoise += otherSeed.Ask("DRM") != reading ? 1 : 0;
        distinct.insert(reading);
        for (ProgramSide* s : { &a, &b, &otherSeed }) {
            s->time.Advance(1000);
        }
    }
    EXPECT_GT(distinct.size(), 15u);
    EXPECT_GT(differentNoise, 10);
}

TEST(VirtualMeterModes, RecordModeTracksMaximumAndMinimum)
{
    ProgramSide side;
    side.Ask("FUN01,MOD01"); // AC volts: one range, so the numbers compare directly
    auto drm = side.Ask("DRM");
    EXPECT_EQ(drm.substr(3, 11), drm.substr(15, 11));
    EXPECT_EQ(drm.substr(3, 11), drm.substr(36, 11));

    side.time.Advance(10000);
    drm = side.Ask("DRM");
    const double now = NumberOf(drm.substr(3, 11));
    const double max = NumberOf(drm.substr(15, 11));
    const double min = NumberOf(drm.substr(36, 11));
    EXPECT_GE(max, now);
    EXPECT_LE(min, now);
    EXPECT_GT(max - min, 6.0); // half a period of a 6 V swing
    EXPECT_NE(drm.substr(27, 8), drm.substr(48, 8));

    EXPECT_EQ(side.Ask("F4,PST??"), "pst01"); // paused: the extremes stand still
    side.time.Advance(5000);
    const std::string paused = side.Ask("DRM");
    EXPECT_EQ(paused.substr(14), drm.substr(14));
    EXPECT_EQ(side.Ask("F4,PST??"), "pst00");

    EXPECT_EQ(side.Ask("F3"), kAck); // reset
    drm = side.Ask("DRM");
    EXPECT_EQ(drm.substr(3, 11), drm.substr(15, 11));
    EXPECT_EQ(drm.substr(3, 11), drm.substr(36, 11));
}

TEST(VirtualMeterModes, RelativeModeReportsTheDeviationFromTheReference)
{
    ProgramSide side;
    side.Ask("FUN01,MOD02"); // entering the mode takes the present reading as reference
    EXPECT_EQ(side.Ask("DRM").substr(15), " 00.00%");

    EXPECT_EQ(side.Ask("PRV+200.00_3"), kAck);
    for (int i = 0; i < 10; ++i) {
        side.time.Advance(1700);
        const std::string drm = side.Ask("DRM");
        const double reading = NumberOf(drm.substr(3, 11));
        EXPECT_NEAR(NumberOf(drm.substr(15, 6)), (reading - 200.0) / 200.0 * 100.0, 0.011) << drm;
    }

    EXPECT_EQ(side.Ask("PRV+0.0000_1"), kAck);
    const std::string undefined = side.Ask("DRM").substr(15);
    EXPECT_EQ(undefined.size(), 7u);
    EXPECT_NE(undefined.find('O'), std::string::npos);

    EXPECT_EQ(side.Ask("F3"), kAck); // takes the reference again
    EXPECT_EQ(side.Ask("DRM").substr(15), " 00.00%");
}

TEST(VirtualMeterLogger, DownloadRunsRequestByRequestToTheEndOfData)
{
    ProgramSide side;
    EXPECT_EQ(side.Ask("CLK11-12-21,14:05:09"), kAck);
    EXPECT_EQ(side.Ask("PLV0000001,0000000,0000004"), kAck);
    EXPECT_EQ(side.Ask("F4,PST??"), "pst02");
    side.time.Advance(10000);
    EXPECT_EQ(side.Ask("PST??"), "pst00"); // stopped at the stop address
    EXPECT_EQ(side.meter.LoggerMemory().size(), 5u);
    EXPECT_EQ(side.Ask("F3,PST??"), "pst04");

    std::vector<LogRecord> all;
    std::vector<std::size_t> perReply;
    for (int guard = 0; guard < 10 && (all.empty() || all.back().time != "--EOD---"); ++guard) {
        const auto records = Records(side.Ask("DRL??"));
        perReply.push_back(records.size());
        all.insert(all.end(), records.begin(), records.end());
    }
    ASSERT_EQ(all.size(), 6u);
    EXPECT_EQ(perReply, (std::vector<std::size_t> { 2, 2, 2 }));
    const char* times[] = { "14:05:09", "14:05:10", "14:05:11", "14:05:12", "14:05:13" };
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(all[static_cast<std::size_t>(i)].address, "0000" + std::to_string(i));
        EXPECT_EQ(all[static_cast<std::size_t>(i)].time, times[i]);
        EXPECT_TRUE(IsReading(" " + all[static_cast<std::size_t>(i)].reading))
            << all[static_cast<std::size_t>(i)].reading;
    }
    EXPECT_EQ(all[5].address, "00005");
    EXPECT_EQ(all[5].time, "--EOD---");
    EXPECT_EQ(all[5].reading.size(), 10u);
    EXPECT_EQ(side.Ask("PST??"), "pst00"); // the recall ended with the download
}

TEST(VirtualMeterLogger, RecordsThatDoNotFitAReplyComeWithTheNext)
{
    ProgramSide side;
    side.Ask("PLV0000001,0000000,0000009,F4");
    side.time.Advance(20000);
    side.Ask("F3");
    std::vector<LogRecord> all;
    for (int guard = 0; guard < 20 && (all.empty() || all.back().time != "--EOD---"); ++guard) {
        const std::string reply = side.Ask("PST??,DRL??");
        ASSERT_EQ(reply.substr(0, 6), "pst04,");
        const auto records = Records(reply.substr(6));
        EXPECT_EQ(records.size(), 1u); // a second record would overflow the report
        all.insert(all.end(), records.begin(), records.end());
    }
    ASSERT_EQ(all.size(), 11u);
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(std::atoi(all[i].address.c_str()), static_cast<int>(i));
    }
}

TEST(VirtualMeterLogger, AnUnansweredFrameKeepsItsRecords)
{
    ProgramSide side;
    ASSERT_TRUE(side.meter.SetLoggerMemory({ { 0, "10:00:00", " 1.0000V  " }, { 1, "10:00:01", " 1.1000V  " },
        { 2, "10:00:02", " 1.2000V  " } }));
    EXPECT_EQ(side.Ask("F3"), kAck);
    EXPECT_EQ(side.Ask("DRL??,FUN99"), kEnq);
    const auto records = Records(side.Ask("DRL??"));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].address, "00000");
    EXPECT_EQ(records[0].reading, " 1.0000V  ");
}

TEST(VirtualMeterLogger, KeysClearRecallAndRestart)
{
    ProgramSide side;
    ASSERT_TRUE(side.meter.SetLoggerMemory({ { 0, "10:00:00", " 1.0000V  " }, { 1, "10:00:01", " 1.1000V  " },
        { 2, "10:00:02", " 1.2000V  " } }));
    // Without recall the memory is not downloadable: only the end of data comes.
    auto records = Records(side.Ask("DRL??"));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].address, "00003");
    EXPECT_EQ(records[0].time, "--EOD---");

    EXPECT_EQ(side.Ask("F3,PST??"), "pst04");
    EXPECT_EQ(side.Ask("F4,PST??"), "pst02"); // start ends the recall
    EXPECT_EQ(side.Ask("F2"), kAck);
    EXPECT_EQ(side.Ask("F4,F2,F3,PST??"), "pst04");
    records = Records(side.Ask("DRL??"));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].address, "00000");
    EXPECT_EQ(records[0].time, "--EOD---");
}

TEST(VirtualMeterTrend, PointsArriveOnTheirOwnAtTheInterval)
{
    ProgramSide side;
    EXPECT_EQ(side.Ask("MOD04,F4,PST??"), "pst02");
    std::set<int> levels;
    for (int i = 0; i < VirtualMeter::kTrendPoints; ++i) {
        const std::string point = side.ReadText(6000);
        ASSERT_EQ(point.size(), 10u) << point;
        EXPECT_EQ(point.substr(0, 3), "ptr");
        EXPECT_EQ(std::atoi(point.substr(3, 3).c_str()), i);
        EXPECT_EQ(point[6], ',');
        const int level = std::atoi(point.substr(7, 3).c_str());
        EXPECT_GE(level, 0);
        EXPECT_LE(level, 25);
        levels.insert(level);
        EXPECT_EQ(side.time.NowMs(), (i + 1) * VirtualMeter::kTrendIntervalMs);
    }
    EXPECT_GT(levels.size(), 5u);
    const std::int64_t end = side.time.NowMs();
    EXPECT_EQ(side.ReadText(6000), "<timed out>");
    EXPECT_EQ(side.time.NowMs(), end + 6000);
    EXPECT_EQ(side.Ask("PST??"), "pst00");
}

TEST(VirtualMeterTrend, RepliesComeBeforeDuePoints)
{
    ProgramSide side;
    side.Ask("MOD04,F4");
    side.time.Advance(2000);
    side.Send("PST??");
    EXPECT_EQ(side.ReadText(0), "pst02");
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(side.ReadText(0).substr(0, 6), "ptr00" + std::to_string(i));
    }
    EXPECT_EQ(side.ReadText(0), "<timed out>");
    EXPECT_EQ(side.time.NowMs(), 2000);
}

TEST(VirtualMeterTrend, LevelsFollowTheReferenceAndScale)
{
    for (const auto& [setup, expected] : { std::pair { "PTV+400.00_3,+1.0000_1,0000020", 0 },
             std::pair { "PTV-400.00_3,+1.0000_1,0000020", 25 } }) {
        ProgramSide side;
        ASSERT_EQ(side.Ask(setup), kAck);
        side.Ask("MOD04,F4");
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(std::atoi(side.ReadText(6000).substr(7).c_str()), expected) << setup;
        }
    }
}

TEST(VirtualMeterTrend, StoppingOrLeavingTheModeEndsThePoints)
{
    ProgramSide side;
    side.Ask("MOD04,F4");
    EXPECT_EQ(side.ReadText().substr(0, 6), "ptr000");
    EXPECT_EQ(side.ReadText().substr(0, 6), "ptr001");
    EXPECT_EQ(side.Ask("F4"), kAck);
    EXPECT_EQ(side.ReadText(), "<timed out>");

    EXPECT_EQ(side.Ask("F4"), kAck); // a new trend starts at index 0
    EXPECT_EQ(side.ReadText().substr(0, 6), "ptr000");
    EXPECT_EQ(side.Ask("F3"), kAck); // clearing a running trend restarts it
    EXPECT_EQ(side.ReadText().substr(0, 6), "ptr000");
    EXPECT_EQ(side.Ask("MOD00"), kAck);
    EXPECT_EQ(side.ReadText(), "<timed out>");
}

} // namespace
} // namespace pelicard
