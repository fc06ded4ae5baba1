#include "link/ApiUsb.h"
#include "link/FakeHidBackend.h"
#include "link/Transaction.h"
#include "values/Colours.h"

#include <gtest/gtest.h>

#include <utility>

namespace pelicard {
namespace {

struct RecordedIndicators : LinkIndicators {
    std::vector<std::string> connection;
    std::vector<std::pair<int, std::uint32_t>> lamps;
    std::vector<std::uint32_t> linkButton;
    int beeps = 0;
    std::vector<std::pair<std::string, std::string>> messages;

    void ShowConnection(const std::string& text) override { connection.push_back(text); }
    void SetLamp(int index, std::uint32_t colour) override { lamps.emplace_back(index, colour); }
    void SetLinkButtonColour(std::uint32_t colour) override { linkButton.push_back(colour); }
    void Beep() override { ++beeps; }
    void CriticalStop(const std::string& text, const std::string& title) override
    {
        messages.emplace_back(text, title);
    }
    std::uint32_t LastLamp(int index) const
    {
        for (auto it = lamps.rbegin(); it != lamps.rend(); ++it) {
            if (it->first == index) {
                return it->second;
            }
        }
        return colour::White;
    }
};

struct LinkFixture : ::testing::Test {
    FakeHidBackend backend;
    RecordedIndicators indicators;
    ApiUsb usb { backend, indicators };
    Transaction link { usb, indicators };
    std::vector<std::string> replies;

    void SetUp() override
    {
        backend.interfaces = { { "other", 0x046D, 0xC077 }, { "meter", MeterVendorId, 0xE101 } };
        usb.productId = 0xE101;
        link.SetReplyHandler([this](const std::string& text, bool ack, bool enq) {
            replies.push_back(text + (ack ? "|ack" : "") + (enq ? "|enq" : ""));
        });
        ASSERT_TRUE(usb.FindMeter());
    }
    // Payload bytes of written report n (report byte 0 is the id).
    std::vector<std::uint8_t> Payload(std::size_t n) const
    {
        const auto& report = backend.written.at(n);
        return { report.begin() + 1, report.end() };
    }
};

TEST_F(LinkFixture, PacksCommandsIntoReportsOfSixtyTwoPayloadBytes)
{
    const std::string status = "FUN??,RGE??,MOD??,HLD??,PST??";
    ASSERT_EQ(status.size(), 29U);
    backend.QueueReply("fun01");
    link.SendCommand(status);
    ASSERT_EQ(backend.written.size(), 1U);
    EXPECT_EQ(backend.written[0].size(), 65U);
    EXPECT_EQ(backend.written[0][0], 0);
    auto payload = Payload(0);
    EXPECT_EQ(payload[0], 2);
    EXPECT_EQ(std::string(payload.begin() + 1, payload.begin() + 30), status);
    EXPECT_EQ(payload[30], 3);

    const std::string sixtyOne(61, 'A');
    link.SendCommand(sixtyOne);
    ASSERT_EQ(backend.written.size(), 3U);
    payload = Payload(1);
    EXPECT_EQ(payload[0], 2);
    EXPECT_EQ(payload[61], 'A');
    const auto second = Payload(2);
    EXPECT_EQ(second[0], 3) << "the end byte goes alone to position 0 of the second report";
    EXPECT_EQ(second[1], 'A') << "positions after the end byte keep what the first report left";

    link.SendCommand("");
    payload = Payload(3);
    EXPECT_EQ(payload[0], 2);
    EXPECT_EQ(payload[1], 3);
    EXPECT_EQ(payload[2], 'A');
    EXPECT_EQ(backend.Commands(), (std::vector<std::string> { status, sixtyOne, "" }));
}

TEST_F(LinkFixture, OutputBytesBeyondTheLastWrittenKeepTheirContents)
{
    usb.outReport[62] = 0x55;
    usb.outReport[63] = 0x66;
    usb.outReport[64] = 0x77;
    link.SendCommand(std::string(70, 'B'));
    for (std::size_t n = 0; n < backend.written.size(); ++n) {
        const auto payload = Payload(n);
        ASSERT_EQ(payload.size(), 64U);
        EXPECT_EQ(payload[62], 0x55);
        EXPECT_EQ(payload[63], 0x66);
    }
}

TEST_F(LinkFixture, ShortAndLongReportLengthsFromThePlatform)
{
    backend.lengths = { 80, 100 };
    ASSERT_TRUE(usb.FindMeter());
    backend.QueueReply("hld01");
    link.SendCommand("HLD??");
    EXPECT_EQ(backend.written.back().size(), 100U);
    EXPECT_EQ(usb.inReport.size(), 80U);
    EXPECT_EQ(replies, (std::vector<std::string> { "\x02hld01\x03" }));
}

TEST_F(LinkFixture, FramesRepliesAndSetsAcknowledgementFlags)
{
    backend.QueueReply("\x06");
    link.SendCommand("FUN03");
    backend.QueueReply("\x05");
    link.SendCommand("FUN03");
    backend.QueueReply("mod02,pst00");
    link.SendCommand("MOD??,PST??");
    backend.QueueReply("mod02", false);
    link.SendCommand("MOD??");
    EXPECT_EQ(
        replies, (std::vector<std::string> { "\x02\x06\x03|ack", "\x02\x05\x03|enq", "\x02mod02,pst00\x03" }))
        << "a report without its end byte is not parsed";
    EXPECT_FALSE(link.frameDone);
    EXPECT_EQ(indicators.LastLamp(0), colour::White);
    EXPECT_EQ(indicators.LastLamp(1), colour::White);
    EXPECT_EQ(indicators.connection.back(), "Connected");
}

TEST_F(LinkFixture, ReplyTimeoutClosesTheMeterAndBeeps)
{
    backend.QueueTimeout();
    link.SendCommand("DRM");
    EXPECT_EQ(backend.readTimeouts, (std::vector<int> { 6000 }));
    EXPECT_FALSE(usb.deviceFound);
    EXPECT_TRUE(backend.openHandles.empty());
    EXPECT_EQ(backend.cancelledReads, 1);
    EXPECT_EQ(indicators.connection.back(), "Disconnected");
    EXPECT_EQ(indicators.beeps, 1);
    EXPECT_EQ(indicators.LastLamp(1), colour::Green) << "the receive lamp is left green";
    EXPECT_TRUE(indicators.messages.empty());

    // The next command finds the meter again.
    backend.QueueReply("hld00");
    link.SendCommand("HLD??");
    EXPECT_TRUE(usb.deviceFound);
    EXPECT_EQ(replies.size(), 1U);
}

TEST_F(LinkFixture, FailedReadMarksTheMeterLostWithoutClosing)
{
    backend.failReads = true;
    link.SendCommand("DRM");
    EXPECT_FALSE(usb.deviceFound);
    EXPECT_EQ(indicators.connection.back(), "Disconnected");
    EXPECT_EQ(indicators.beeps, 0);
    EXPECT_EQ(backend.cancelledReads, 0);
    backend.failReads = false;
    backend.QueueReply("hld00");
    link.SendCommand("HLD??");
    EXPECT_EQ(backend.openHandles.size(), 2U) << "reopening does not leak the old handles";
}

TEST_F(LinkFixture, GoToLocalOnlyTakesTheShortLook)
{
    link.SendCommand("GTL");
    EXPECT_EQ(backend.readTimeouts, (std::vector<int> { 50 }));
    EXPECT_TRUE(usb.deviceFound);
    EXPECT_EQ(usb.readTimeout, 50);
    EXPECT_EQ(indicators.beeps, 0);
}

TEST_F(LinkFixture, TrailingLookTakesASecondReport)
{
    backend.QueueReply("ptr000,005");
    backend.QueueReply("ptr001,006");
    link.SendCommand("PST??");
    EXPECT_EQ(backend.readTimeouts, (std::vector<int> { 6000, 50 }));
    EXPECT_EQ(replies.size(), 2U);
    EXPECT_FALSE(usb.reportWaiting) << "a report is taken once";
}

TEST_F(LinkFixture, FailedWriteClosesSilently)
{
    backend.failWrites = true;
    link.SendCommand("DRM");
    EXPECT_FALSE(usb.deviceFound);
    EXPECT_TRUE(backend.openHandles.empty());
    EXPECT_TRUE(backend.readTimeouts.empty());
    EXPECT_TRUE(indicators.messages.empty());
    EXPECT_EQ(indicators.beeps, 0);
}

TEST_F(LinkFixture, ConnectionLostWhenTheMeterCannotBeFound)
{
    usb.CloseMeter();
    backend.interfaces.pop_back();
    link.SendCommand("DRM");
    EXPECT_TRUE(backend.written.empty());
    ASSERT_EQ(indicators.messages.size(), 1U);
    EXPECT_EQ(indicators.messages[0].first, "Device not detected...Please check USB cable & connector.");
    EXPECT_EQ(indicators.messages[0].second, "Connection Error");
    EXPECT_EQ(indicators.connection.back(), "Disconnected");
    EXPECT_EQ(indicators.linkButton.back(), colour::ButtonFace);
    EXPECT_EQ(indicators.LastLamp(0), colour::White);
}

TEST_F(LinkFixture, CommandsWhileTheLossIsReportedDoNotStack)
{
    usb.CloseMeter();
    backend.interfaces.clear();
    struct Nested : RecordedIndicators {
        Transaction* link = nullptr;
        void CriticalStop(const std::string& text, const std::string& title) override
        {
            RecordedIndicators::CriticalStop(text, title);
            link->SendCommand("DRM"); // a timer tick while the box is open
        }
    } nested;
    ApiUsb otherUsb(backend, nested);
    Transaction otherLink(otherUsb, nested);
    nested.link = &otherLink;
    otherLink.SendCommand("DRM");
    EXPECT_EQ(nested.messages.size(), 1U);
}

TEST_F(LinkFixture, LoggerRecordsKeepTheReceiveLampGreenUntilTheEnd)
{
    backend.QueueReply("plr00001,12:00:01,  1.2345V");
    link.SendCommand("DRL??");
    EXPECT_EQ(indicators.LastLamp(1), colour::White) << "the transaction itself clears it after the reply";
    usb.inReport.assign(65, 0);
    const std::string record = "\x02plr00001,12:00:01,  1.2345V\x03";
    std::copy(record.begin(), record.end(), usb.inReport.begin() + 1);
    indicators.SetLamp(1, colour::Green);
    link.TakeReport();
    EXPECT_EQ(indicators.LastLamp(1), colour::Green);
    const std::string end = "\x02plr00002,--EOD---,          \x03";
    std::copy(end.begin(), end.end(), usb.inReport.begin() + 1);
    link.TakeReport();
    EXPECT_EQ(indicators.LastLamp(1), colour::White);
}

TEST_F(LinkFixture, NestedCommandFromTheReplyHandlerLeavesTheOuterReplyIntact)
{
    std::vector<std::string> seen;
    link.SetReplyHandler([&](const std::string& text, bool, bool) {
        seen.push_back(text);
        if (text == "\x02mod02\x03") {
            backend.QueueReply("prv  1.0000V ");
            link.SendCommand("PRV??");
        }
    });
    backend.QueueReply("mod02");
    link.SendCommand("MOD??");
    EXPECT_EQ(seen, (std::vector<std::string> { "\x02mod02\x03", "\x02prv  1.0000V \x03" }));
    EXPECT_EQ(backend.Commands(), (std::vector<std::string> { "MOD??", "PRV??" }));
}

TEST(ApiUsbFind, MatchesVendorAndProductAndSkipsDevicesThatWillNotOpen)
{
    FakeHidBackend backend;
    RecordedIndicators indicators;
    ApiUsb usb(backend, indicators);
    backend.interfaces
        = { { "a", MeterVendorId, 0xE100 }, { "b", MeterVendorId, 0xE102 }, { "c", MeterVendorId, 0xE102 } };
    usb.productId = 0xE101;
    EXPECT_FALSE(usb.FindMeter());
    EXPECT_TRUE(usb.lastDevice);
    EXPECT_TRUE(backend.openHandles.empty());

    usb.productId = 0xE102;
    backend.unopenable = { "b" };
    EXPECT_TRUE(usb.FindMeter());
    EXPECT_EQ(usb.devicePath, "c");
    EXPECT_EQ(usb.hidCaps.InputReportByteLength, 65);
    EXPECT_EQ(usb.hidCaps.OutputReportByteLength, 65);

    usb.CloseMeter();
    EXPECT_FALSE(usb.deviceFound);
    EXPECT_TRUE(backend.openHandles.empty());
    usb.CloseMeter(); // closing twice is harmless
}

} // namespace
} // namespace pelicard
