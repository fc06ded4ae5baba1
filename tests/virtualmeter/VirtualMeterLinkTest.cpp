#include "ProgramSide.h"

#include <gtest/gtest.h>

#include <random>

namespace pelicard {
namespace {

using testing::kAck;
using testing::ProgramSide;

TEST(VirtualMeterLink, EnumeratesTheMeterAfterAnUnrelatedInterface)
{
    for (const MeterVariant v : { MeterVariant::Logger5k, MeterVariant::Logger50k, MeterVariant::Motor }) {
        ManualMeterTime time;
        VirtualMeter meter(v, time);
        const auto list = meter.Enumerate();
        ASSERT_EQ(list.size(), 2u);
        EXPECT_NE(list[0].vendorId, 0x10C4);
        EXPECT_EQ(list[1].vendorId, 0x10C4);
        EXPECT_EQ(list[1].productId, ProductIdOf(v));

        const int handle = meter.Open(list[1].path);
        ASSERT_GE(handle, 0);
        EXPECT_EQ(meter.ReportLengths(handle).input, 65);
        EXPECT_EQ(meter.ReportLengths(handle).output, 65);
        EXPECT_EQ(meter.Open("/dev/hidraw9"), -1);
    }
}

TEST(VirtualMeterLink, HandlesAreIndependentAndTheUnrelatedInterfaceNeverAnswers)
{
    ProgramSide side;
    const int reader = side.meter.Open(std::string(VirtualMeter::kMeterPath));
    ASSERT_GE(reader, 0);
    ASSERT_NE(reader, side.handle);
    // Written on one handle, answered on the other, as the program's two handles work.
    side.Send("MOD??");
    std::vector<std::uint8_t> in;
    ASSERT_EQ(side.meter.Read(reader, in, 6000), ReadOutcome::Arrived);
    EXPECT_EQ(std::string(in.begin() + 2, in.begin() + 7), "mod00");

    side.meter.Close(reader);
    side.meter.Close(reader); // harmless
    EXPECT_EQ(side.meter.Read(reader, in, 10), ReadOutcome::Failed);
    EXPECT_FALSE(side.meter.Write(reader, side.Pack("MOD??")[0]));
    EXPECT_EQ(side.meter.ReportLengths(reader).input, 0);

    const int other = side.meter.Open(std::string(VirtualMeter::kOtherPath));
    ASSERT_GE(other, 0);
    for (const auto& report : side.Pack("FUN03")) {
        EXPECT_TRUE(side.meter.Write(other, report));
    }
    EXPECT_EQ(side.meter.Read(other, in, 6000), ReadOutcome::TimedOut);
    EXPECT_EQ(side.time.NowMs(), 6000); // the closed handle failed at once
    EXPECT_EQ(side.meter.ReceivedCommands().size(), 1u); // only the "MOD??" above
    EXPECT_EQ(side.meter.FunctionIndex(), 0);
}

TEST(VirtualMeterFraming, StaleBytesAfterTheEndByteAreIgnored)
{
    ProgramSide side;
    ASSERT_EQ(side.Ask("FUN??,RGE??,MOD??,HLD??,PST??").size(), 29u);
    // The buffer still holds the longer command behind the short one.
    const auto reports = side.Pack("FUN03");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0][7], 3);
    EXPECT_EQ(reports[0][8], 'R'); // "FUN??,R..." behind the end byte

    for (const auto& r : reports) {
        side.meter.Write(side.handle, r);
    }
    EXPECT_EQ(side.ReadText(), kAck);
    EXPECT_EQ(side.meter.ReceivedCommands().back(), "FUN03");
    EXPECT_EQ(side.meter.FunctionIndex(), 3);
    EXPECT_EQ(side.meter.Mode(), 0);
}

TEST(VirtualMeterFraming, ACommandOfSixtyOneCharactersTakesTwoReports)
{
    ProgramSide side;
    std::string command = "FUN02,RGE03,MOD01,HLD01,F2,PLV0000002,0000010,";
    command += std::string(61 - command.size() - 3, '0') + "100";
    ASSERT_EQ(command.size(), 61u);

    const auto reports = side.Pack(command);
    ASSERT_EQ(reports.size(), 2u);
    // Payload positions 62 and 63 of the first report are stale ("MOD03,F4,..." left there).
    EXPECT_NE(reports[0][63], 0);
    EXPECT_NE(reports[0][64], 0);
    EXPECT_EQ(reports[1][1], 3);

    EXPECT_TRUE(side.meter.Write(side.handle, reports[0]));
    EXPECT_EQ(side.ReadText(0), "<timed out>"); // the frame is not complete yet
    EXPECT_TRUE(side.meter.Write(side.handle, reports[1]));
    EXPECT_EQ(side.ReadText(), kAck);

    EXPECT_EQ(side.meter.ReceivedCommands().back(), command);
    EXPECT_EQ(side.meter.FunctionIndex(), 2);
    EXPECT_FALSE(side.meter.AutoRange());
    EXPECT_EQ(side.meter.RangeIndex(), 3);
    EXPECT_EQ(side.meter.Mode(), 1);
    EXPECT_TRUE(side.meter.Hold());
    EXPECT_EQ(side.meter.ProgramStatus(), 8); // beeper on, not paused by stale "F4"
    EXPECT_EQ(side.meter.Logger(), (LoggerSettings { 2, 10, 100 }));
}

TEST(VirtualMeterFraming, LongCommandsSpanSeveralReportsAndLongRepliesKeepWholeFields)
{
    ProgramSide side;
    std::string command = "HLD??";
    for (int i = 0; i < 24; ++i) {
        command += ",HLD??";
    }
    ASSERT_EQ(side.Pack(command).size(), 3u);
    const std::string reply = side.Ask(command);
    EXPECT_EQ(side.meter.ReceivedCommands().back(), command);
    // Ten fields of five and nine commas fill the report; the rest are left out whole.
    EXPECT_EQ(reply.size(), 59u);
    for (const std::string& field : testing::Fields(reply)) {
        EXPECT_EQ(field, "hld00");
    }
}

TEST(VirtualMeterFraming, ReportsOutsideAFrameAreIgnoredAndAStartByteRestarts)
{
    ProgramSide side;
    std::vector<std::uint8_t> report(65, 0);
    const std::string noStart = "FUN05\x03";
    std::copy(noStart.begin(), noStart.end(), report.begin() + 1);
    EXPECT_TRUE(side.meter.Write(side.handle, report));
    EXPECT_EQ(side.ReadText(0), "<timed out>");
    EXPECT_TRUE(side.meter.ReceivedCommands().empty());

    // An abandoned frame (no end byte) is dropped when the next one starts.
    report.assign(65, 0);
    const std::string open = "\x02"
                             "FUN0";
    std::copy(open.begin(), open.end(), report.begin() + 1);
    EXPECT_TRUE(side.meter.Write(side.handle, report));
    EXPECT_EQ(side.Ask("MOD02"), kAck);
    EXPECT_EQ(side.meter.ReceivedCommands(), std::vector<std::string> { "MOD02" });
    EXPECT_EQ(side.meter.FunctionIndex(), 0);
}

TEST(VirtualMeterFraming, MalformedReportsAreRefused)
{
    ProgramSide side;
    auto report = side.Pack("FUN03")[0];
    report[0] = 1; // the meter has report id 0 only
    EXPECT_FALSE(side.meter.Write(side.handle, report));
    report[0] = 0;
    report.push_back(0);
    EXPECT_FALSE(side.meter.Write(side.handle, report));
    EXPECT_FALSE(side.meter.Write(side.handle, {}));
    EXPECT_EQ(side.meter.FunctionIndex(), 0);

    // A short report still carries its payload.
    EXPECT_TRUE(side.meter.Write(side.handle, { 0, 2, 'M', 'O', 'D', '0', '4', 3 }));
    EXPECT_EQ(side.ReadText(), kAck);
    EXPECT_EQ(side.meter.Mode(), 4);
}

TEST(VirtualMeterFraming, RandomBytesNeverBreakTheMeter)
{
    ProgramSide side;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> small(0, 9);
    for (int i = 0; i < 3000; ++i) {
        std::vector<std::uint8_t> report(65);
        for (auto& b : report) {
            // Mostly frame bytes and command letters, so frames do form.
            const int pick = small(random);
            b = static_cast<std::uint8_t>(pick == 0 ? 2
                    : pick == 1                     ? 3
                    : pick < 5                      ? "FUNRGEMODPLVPTV0123,?"[byte(random) % 21]
                                                    : byte(random));
        }
        report[0] = 0;
        side.meter.Write(side.handle, report);
    }
    int queued = 0;
    while (side.ReadText(0) != "<timed out>") {
        ++queued;
    }
    EXPECT_LE(queued, static_cast<int>(VirtualMeter::kMaxQueuedReplies));
    EXPECT_GT(side.meter.ReceivedCommands().size(), 100u);

    // Whatever state the noise left, the meter answers consistently.
    EXPECT_EQ(side.Ask("FUN01"), kAck);
    EXPECT_EQ(side.Ask("FUN??"), "fun01");
    EXPECT_EQ(side.Ask("DRM").size(), side.meter.Mode() == 1 ? 56u : side.meter.Mode() == 2 ? 22u : 14u);
}

TEST(VirtualMeterTiming, ReadTimesOutOnMeterTimeAndGtlIsNotAnswered)
{
    ProgramSide side;
    EXPECT_EQ(side.ReadText(6000), "<timed out>");
    EXPECT_EQ(side.time.NowMs(), 6000);
    EXPECT_EQ(side.ReadText(50), "<timed out>");
    EXPECT_EQ(side.time.NowMs(), 6050);
    EXPECT_EQ(side.ReadText(-1), "<timed out>");
    EXPECT_EQ(side.time.NowMs(), 6050);

    EXPECT_TRUE(side.Send("GTL"));
    EXPECT_EQ(side.ReadText(), "<timed out>");
    EXPECT_EQ(side.time.NowMs(), 12050);
    EXPECT_EQ(side.Ask("MOD??"), "mod00");
    // Set commands in a frame with GTL still apply.
    side.Send("MOD03,GTL");
    EXPECT_EQ(side.ReadText(50), "<timed out>");
    EXPECT_EQ(side.meter.Mode(), 3);
}

TEST(VirtualMeterFaults, UnpluggedMeterFailsEverythingUntilReopened)
{
    ProgramSide side;
    ASSERT_EQ(side.Ask("FUN05"), kAck);
    side.meter.SetUnplugged(true);
    const auto list = side.meter.Enumerate();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_NE(list[0].vendorId, VirtualMeter::kVendorId);
    EXPECT_EQ(side.meter.Open(std::string(VirtualMeter::kMeterPath)), -1);
    EXPECT_FALSE(side.Send("FUN??"));
    EXPECT_EQ(side.ReadText(), "<failed>");
    EXPECT_EQ(side.time.NowMs(), 0); // a lost device fails at once
    EXPECT_EQ(side.meter.ReportLengths(side.handle).input, 0);

    side.meter.SetUnplugged(false);
    EXPECT_EQ(side.meter.Enumerate().size(), 2u);
    EXPECT_FALSE(side.Send("FUN??")); // the old handle died with the unplug
    side.handle = side.meter.Open(std::string(VirtualMeter::kMeterPath));
    ASSERT_GE(side.handle, 0);
    EXPECT_EQ(side.Ask("FUN??"), "fun05");
}

TEST(VirtualMeterFaults, AFailedWriteDeliversNothingOnce)
{
    ProgramSide side;
    side.meter.FailNextWrite();
    EXPECT_FALSE(side.Send("FUN04"));
    EXPECT_TRUE(side.meter.ReceivedCommands().empty());
    EXPECT_EQ(side.meter.FunctionIndex(), 0);
    EXPECT_EQ(side.ReadText(0), "<timed out>");
    EXPECT_EQ(side.Ask("FUN04"), kAck);
    EXPECT_EQ(side.meter.FunctionIndex(), 4);
}

TEST(VirtualMeterFaults, ADroppedReplyIsAppliedButNeverAnswered)
{
    ProgramSide side;
    side.meter.DropNextReply();
    side.Send("FUN05");
    EXPECT_EQ(side.ReadText(), "<timed out>");
    EXPECT_EQ(side.meter.ReceivedCommands().back(), "FUN05");
    EXPECT_EQ(side.meter.FunctionIndex(), 5);
    EXPECT_EQ(side.Ask("FUN??"), "fun05");
}

TEST(VirtualMeterFaults, ACutReplyLacksItsEndByte)
{
    ProgramSide side;
    side.meter.CutEndByteOfNextReply();
    side.Send("MOD??");
    std::vector<std::uint8_t> report;
    ASSERT_EQ(side.meter.Read(side.handle, report, 6000), ReadOutcome::Arrived);
    ASSERT_EQ(report.size(), 65u);
    EXPECT_EQ(report[1], 2);
    EXPECT_EQ(std::string(report.begin() + 2, report.begin() + 7), "mod00");
    EXPECT_EQ(std::count(report.begin(), report.end(), 3), 0);
    EXPECT_EQ(side.Ask("MOD??"), "mod00");
}

TEST(VirtualMeterFaults, GarbageReplacesOneReply)
{
    ProgramSide side;
    side.meter.SendGarbageNext();
    side.Send("MOD??");
    std::vector<std::uint8_t> garbage;
    ASSERT_EQ(side.meter.Read(side.handle, garbage, 6000), ReadOutcome::Arrived);
    ASSERT_EQ(garbage.size(), 65u);
    EXPECT_EQ(garbage[0], 0);
    EXPECT_NE(std::string(garbage.begin() + 1, garbage.begin() + 8), std::string("\x02mod00\x03"));
    // Not a mostly empty report either.
    EXPECT_GT(std::count_if(garbage.begin() + 1, garbage.end(), [](std::uint8_t b) { return b != 0; }), 50);
    EXPECT_EQ(side.Ask("MOD??"), "mod00");
}

TEST(VirtualMeterFaults, RepliesQueueInOrderAndStayBounded)
{
    ProgramSide side;
    side.Send("MOD01");
    side.Send("MOD??");
    EXPECT_EQ(side.ReadText(), kAck);
    EXPECT_EQ(side.ReadText(), "mod01");

    for (int i = 0; i < 100; ++i) {
        side.Send("F1");
    }
    side.Send("HLD??");
    int acks = 0;
    std::string text;
    while ((text = side.ReadText(0)) == kAck) {
        ++acks;
    }
    EXPECT_EQ(acks, static_cast<int>(VirtualMeter::kMaxQueuedReplies) - 1);
    EXPECT_EQ(text, "hld00"); // the newest reply survives
}

} // namespace
} // namespace pelicard
