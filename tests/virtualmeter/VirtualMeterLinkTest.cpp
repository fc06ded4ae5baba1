#include "ProgramSide.h"

#include <gtest/gtest.h>

#include <random>

namespace pelicard {
namespace {

using testing::kAck;
using testing::ProgramSide;
using testing::Report;

const std::string kMeter(VirtualMeter::kMeterPath);

TEST(VirtualMeterLink, EnumeratesTheMeterAfterAnUnrelatedInterfaceAndKeepsHandlesApart)
{
    for (const MeterVariant v : { MeterVariant::Logger5k, MeterVariant::Logger50k, MeterVariant::Motor }) {
        ManualMeterTime time;
        VirtualMeter meter(v, time);
        const auto list = meter.Enumerate();
        ASSERT_EQ(list.size(), 2u);
        EXPECT_NE(list[0].vendorId, VirtualMeter::kVendorId);
        EXPECT_EQ(std::pair(list[1].vendorId, list[1].productId),
            std::pair(VirtualMeter::kVendorId, ProductIdOf(v)));
        EXPECT_EQ(meter.ReportLengths(meter.Open(list[1].path)).input, 65);
        EXPECT_EQ(meter.Open("/dev/hidraw9"), -1);
    }

    // The unrelated interface swallows writes and never answers.
    ProgramSide side;
    Report in;
    const int other = side.meter.Open(std::string(VirtualMeter::kOtherPath));
    EXPECT_TRUE(side.meter.Write(other, side.Pack("FUN03")[0]));
    EXPECT_EQ(side.meter.Read(other, in, 6000), ReadOutcome::TimedOut);
    EXPECT_TRUE(side.meter.ReceivedCommands().empty());
    const int reader = side.meter.Open(kMeter);
    side.meter.Close(reader);
    side.meter.Close(reader); // harmless
    EXPECT_EQ(side.meter.Read(reader, in, 6000), ReadOutcome::Failed);
    EXPECT_FALSE(side.meter.Write(reader, side.Pack("MOD??")[0]));
    EXPECT_EQ(side.time.NowMs(), 6000) << "a closed handle fails at once";
}

TEST(VirtualMeterFraming, StaleBytesAfterTheEndByteAndBeyondPosition61AreNeverRead)
{
    ProgramSide side;
    side.Ask("FUN??,RGE??,MOD??,HLD??,PST??");
    EXPECT_EQ(side.Pack("FUN03")[0][8], 'R') << "the longer command stays behind the short one";
    EXPECT_EQ(side.Ask("FUN03"), kAck);
    EXPECT_EQ(side.meter.ReceivedCommands().back(), "FUN03");

    std::string command = "FUN02,RGE03,MOD01,HLD01,F2,PLV0000002,0000010,";
    command += std::string(61 - command.size() - 3, '0') + "100";
    const auto reports = side.Pack(command);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_NE(reports[0][63], 0) << "payload positions 62 and 63 hold stale bytes";
    EXPECT_EQ(reports[1][1], 3);
    EXPECT_TRUE(side.meter.Write(side.handle, reports[0]));
    EXPECT_EQ(side.ReadText(0), "<timed out>"); // the frame is not complete yet
    EXPECT_TRUE(side.meter.Write(side.handle, reports[1]));
    EXPECT_EQ(side.ReadText(), kAck);
    EXPECT_EQ(side.meter.ReceivedCommands().back(), command);
    // The beeper is on, not paused by a stale "F4".
    EXPECT_EQ(
        side.Ask("FUN??,RGE??,MOD??,HLD??,PST??,PLV??"), "fun02,rge03,mod01,hld01,pst08,plv002,00010,00100");

    // Three reports of queries; the reply keeps only the whole fields that fit one report.
    std::string queries = "HLD??";
    std::string expected = "hld01";
    for (int i = 0; i < 24; ++i) {
        queries += ",HLD??";
        expected += i < 9 ? ",hld01" : "";
    }
    ASSERT_EQ(side.Pack(queries).size(), 3u);
    EXPECT_EQ(side.Ask(queries), expected);
}

TEST(VirtualMeterFraming, BytesOutsideAFrameMalformedReportsAndNoiseAreHarmless)
{
    ProgramSide side;
    // Bytes without a start byte are ignored; a frame without an end byte is dropped when the next
    // one starts; short reports carry their payload.
    EXPECT_TRUE(side.meter.Write(side.handle, { 0, 'F', 'U', 'N', '0', '5', 3 }));
    EXPECT_TRUE(side.meter.Write(side.handle, { 0, 2, 'F', 'U', 'N', '0' }));
    EXPECT_EQ(side.Ask("MOD02"), kAck);
    EXPECT_EQ(side.meter.ReceivedCommands(), std::vector<std::string> { "MOD02" });

    Report report = side.Pack("FUN03")[0];
    report[0] = 1; // the meter has report id 0 only
    EXPECT_FALSE(side.meter.Write(side.handle, report));
    report[0] = 0;
    report.push_back(0);
    EXPECT_FALSE(side.meter.Write(side.handle, report));
    EXPECT_FALSE(side.meter.Write(side.handle, {}));
    EXPECT_EQ(side.meter.FunctionIndex(), 0);

    report.resize(65);
    std::mt19937 random(7);
    const std::string_view frameBytes = "\x02\x03\x02\x03FUNRGEMODPLVPTV0123,?"; // so frames do form
    for (int i = 0; i < 3000; ++i) {
        for (std::size_t k = 1; k < report.size(); ++k) {
            report[k] = static_cast<std::uint8_t>(
                random() % 2 ? frameBytes[random() % frameBytes.size()] : random());
        }
        side.meter.Write(side.handle, report);
    }
    std::size_t queued = 0;
    while (side.ReadText(0) != "<timed out>") {
        ++queued;
    }
    EXPECT_LE(queued, VirtualMeter::kMaxQueuedReplies);
    EXPECT_GT(side.meter.ReceivedCommands().size(), 100u);
    EXPECT_EQ(side.Ask("FUN01,FUN??"), "fun01");
}

TEST(VirtualMeterTiming, ReadTimesOutOnMeterTimeGtlIsNotAnsweredAndRepliesQueue)
{
    ProgramSide side;
    EXPECT_EQ(side.ReadText(50), "<timed out>");
    EXPECT_EQ(side.ReadText(-1), "<timed out>");
    EXPECT_EQ(side.time.NowMs(), 50);
    EXPECT_TRUE(side.Send("GTL"));
    EXPECT_EQ(side.ReadText(), "<timed out>");
    EXPECT_EQ(side.time.NowMs(), 6050);
    side.Send("MOD03,GTL"); // set commands in a frame with GTL still apply
    EXPECT_EQ(side.ReadText(50), "<timed out>");
    EXPECT_EQ(side.Ask("MOD??"), "mod03");

    // Replies queue in order, and only so many: the newest survives.
    for (int i = 0; i < 100; ++i) {
        side.Send("F1");
    }
    side.Send("HLD??");
    std::size_t acks = 0;
    std::string text;
    while ((text = side.ReadText(0)) == kAck) {
        ++acks;
    }
    EXPECT_EQ(acks, VirtualMeter::kMaxQueuedReplies - 1);
    EXPECT_EQ(text, "hld00");
}

TEST(VirtualMeterFaults, AnUnplugLosesTheQueuedReplyAndTheOpenHandles)
{
    ProgramSide side;
    ASSERT_EQ(side.Ask("FUN05"), kAck);
    side.Send("MOD??");
    side.meter.SetUnplugged(true);
    EXPECT_EQ(side.ReadText(), "<failed>");
    EXPECT_EQ(side.time.NowMs(), 0);
    side.meter.SetUnplugged(false);
    EXPECT_FALSE(side.Send("FUN??")) << "the old handle died with the unplug";
    side.handle = side.meter.Open(kMeter);
    EXPECT_EQ(side.Ask("FUN??"), "fun05"); // not the lost "mod00"
}

TEST(VirtualMeterFaults, OneShotFaultsHitOnce)
{
    ProgramSide side;
    side.meter.FailNextWrite();
    EXPECT_FALSE(side.Send("FUN04"));
    EXPECT_TRUE(side.meter.ReceivedCommands().empty());
    EXPECT_EQ(side.ReadText(0), "<timed out>");

    side.meter.DropNextReply(); // applied but never answered
    side.Send("FUN05");
    EXPECT_EQ(side.ReadText(), "<timed out>");
    EXPECT_EQ(side.Ask("FUN??"), "fun05");

    side.meter.CutEndByteOfNextReply();
    EXPECT_EQ(side.Ask("MOD??"), "<no end byte>");
    EXPECT_EQ(side.Ask("MOD??"), "mod00");

    side.meter.SendGarbageNext();
    side.Send("MOD??");
    Report garbage;
    side.meter.Read(side.handle, garbage, 6000);
    ASSERT_EQ(garbage.size(), 65u);
    EXPECT_EQ(garbage[0], 0);
    EXPECT_LT(std::count(garbage.begin() + 1, garbage.end(), 0), 14) << "not a mostly empty report";
    EXPECT_EQ(side.Ask("MOD??"), "mod00");
}

} // namespace
} // namespace pelicard
