#include "link/ApiUsb.h"
#include "link/FakeHidBackend.h"
#include "link/Transaction.h"
#include "values/Colours.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <utility>

namespace pelicard {
namespace {

using Texts = std::vector<std::string>;

struct RecordedIndicators : LinkIndicators {
    std::vector<std::string> connection;
    std::map<int, std::uint32_t> lamps; // the last colour of each lamp
    std::uint32_t linkButton = colour::White;
    int beeps = 0;
    std::vector<std::pair<std::string, std::string>> messages;

    void ShowConnection(const std::string& text) override { connection.push_back(text); }
    void SetLamp(int index, std::uint32_t colour) override { lamps[index] = colour; }
    void SetLinkButtonColour(std::uint32_t colour) override { linkButton = colour; }
    void Beep() override { ++beeps; }
    void CriticalStop(const std::string& text, const std::string& title) override
    {
        messages.emplace_back(text, title);
    }
};

struct LinkFixture : ::testing::Test {
    FakeHidBackend backend;
    RecordedIndicators indicators;
    ApiUsb usb { backend, indicators };
    Transaction link { usb, indicators };
    Texts replies;

    void SetUp() override
    {
        // The meter is the one interface with its vendor and product ids that opens.
        backend.interfaces = { { "other", 0x046D, 0xE101 }, { "5k", MeterVendorId, 0xE100 },
            { "busy", MeterVendorId, 0xE101 }, { "meter", MeterVendorId, 0xE101 } };
        backend.unopenable = { "busy" };
        usb.productId = 0xE101;
        link.SetReplyHandler([this](const std::string& text, bool ack, bool enq) {
            replies.push_back(text + (ack ? "|ack" : "") + (enq ? "|enq" : ""));
        });
        ASSERT_TRUE(usb.FindMeter());
        ASSERT_EQ(usb.devicePath, "meter");
    }
    // Byte i after the report id of written report n.
    std::uint8_t Payload(std::size_t n, std::size_t i) const { return backend.written.at(n).at(i + 1); }
};

TEST_F(LinkFixture, PacksCommandsIntoReportsOfSixtyTwoPayloadBytes)
{
    usb.outReport[62] = 0x55;
    usb.outReport[63] = 0x66;
    const std::string status = "FUN??,RGE??,MOD??,HLD??,PST??";
    link.SendCommand(status);
    ASSERT_EQ(backend.written.size(), 1U);
    ASSERT_EQ(backend.written[0].size(), 65U);
    EXPECT_EQ(std::string(backend.written[0].begin(), backend.written[0].begin() + 32),
        std::string(1, '\0') + "\x02" + status + "\x03");

    link.SendCommand(std::string(61, 'A'));
    ASSERT_EQ(backend.written.size(), 3U);
    EXPECT_EQ(Payload(1, 61), 'A');
    EXPECT_EQ(Payload(2, 0), 3) << "the end byte goes alone to position 0 of the second report";
    EXPECT_EQ(Payload(2, 1), 'A') << "positions after the end byte keep what the first report left";

    link.SendCommand("");
    EXPECT_EQ(Payload(3, 0), 2);
    EXPECT_EQ(Payload(3, 1), 3);
    for (std::size_t n = 0; n < backend.written.size(); ++n) {
        EXPECT_EQ(Payload(n, 62) * 256 + Payload(n, 63), 0x5566) << n;
    }
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
    EXPECT_EQ(replies, (Texts { "\x02\x06\x03|ack", "\x02\x05\x03|enq", "\x02mod02,pst00\x03" }))
        << "a report without its end byte is not parsed";
    EXPECT_EQ(
        indicators.lamps, (std::map<int, std::uint32_t> { { 0, colour::White }, { 1, colour::White } }));
    EXPECT_EQ(indicators.connection.back(), "Connected");

    // Reports as long as the platform says.
    backend.lengths = { 80, 100 };
    ASSERT_TRUE(usb.FindMeter());
    backend.QueueReply("hld01");
    link.SendCommand("HLD??");
    EXPECT_EQ(backend.written.back().size(), 100U);
    EXPECT_EQ(replies.back(), "\x02hld01\x03");
}

TEST_F(LinkFixture, ReplyTimeoutClosesTheMeterAndBeepsButGoToLocalOnlyTakesTheShortLook)
{
    link.SendCommand("GTL");
    EXPECT_EQ(backend.readTimeouts, std::vector<int> { 50 });
    EXPECT_TRUE(usb.deviceFound);

    backend.QueueTimeout();
    link.SendCommand("DRM");
    EXPECT_EQ(backend.readTimeouts, (std::vector<int> { 50, 6000 }));
    EXPECT_FALSE(usb.deviceFound);
    EXPECT_TRUE(backend.openHandles.empty());
    EXPECT_EQ(indicators.connection.back(), "Disconnected");
    EXPECT_EQ(indicators.beeps, 1);
    EXPECT_TRUE(indicators.messages.empty());

    // The next command finds the meter again and takes a trailing report with the short look.
    backend.QueueReply("ptr000,005");
    backend.QueueReply("ptr001,006");
    link.SendCommand("PST??");
    EXPECT_TRUE(usb.deviceFound);
    EXPECT_EQ(backend.readTimeouts, (std::vector<int> { 50, 6000, 6000, 50 }));
    EXPECT_EQ(replies.size(), 2U);
}

TEST_F(LinkFixture, FailedWriteOrReadLosesTheMeterSilently)
{
    backend.failWrites = true;
    link.SendCommand("DRM");
    EXPECT_FALSE(usb.deviceFound);
    EXPECT_TRUE(backend.openHandles.empty());
    EXPECT_TRUE(backend.readTimeouts.empty());

    backend.failWrites = false;
    backend.failReads = true;
    link.SendCommand("DRM");
    EXPECT_FALSE(usb.deviceFound);
    EXPECT_EQ(indicators.connection.back(), "Disconnected");
    EXPECT_TRUE(indicators.messages.empty());
    EXPECT_EQ(indicators.beeps, 0);
}

TEST_F(LinkFixture, ConnectionLostWhenTheMeterCannotBeFound)
{
    usb.CloseMeter();
    backend.interfaces.clear();
    // A timer tick while the box is open must not stack a second transaction and box.
    struct Nested : RecordedIndicators {
        Transaction* link = nullptr;
        void CriticalStop(const std::string& text, const std::string& title) override
        {
            RecordedIndicators::CriticalStop(text, title);
            link->SendCommand("DRM");
        }
    } nested;
    ApiUsb otherUsb(backend, nested);
    Transaction otherLink(otherUsb, nested);
    nested.link = &otherLink;
    otherLink.SendCommand("DRM");
    EXPECT_TRUE(backend.written.empty());
    ASSERT_EQ(nested.messages.size(), 1U);
    EXPECT_EQ(nested.messages[0].first, "Device not detected...Please check USB cable & connector.");
    EXPECT_EQ(nested.messages[0].second, "Connection Error");
    EXPECT_EQ(nested.connection.back(), "Disconnected");
    EXPECT_EQ(nested.linkButton, colour::ButtonFace);
}

TEST_F(LinkFixture, LoggerRecordsTakenOutsideATransactionKeepTheReceiveLampGreenUntilTheEnd)
{
    const auto take = [this](const std::string& frame) {
        usb.inReport.assign(65, 0);
        std::copy(frame.begin(), frame.end(), usb.inReport.begin() + 1);
        link.TakeReport();
    };
    indicators.SetLamp(1, colour::Green);
    take("\x02plr00001,12:00:01, 1.2345V  \x03");
    EXPECT_EQ(indicators.lamps[1], colour::Green);
    take("\x02plr00002,--EOD---,          \x03");
    EXPECT_EQ(indicators.lamps[1], colour::White);
}

TEST_F(LinkFixture, NestedCommandFromTheReplyHandlerLeavesTheOuterReplyIntact)
{
    link.SetReplyHandler([&](const std::string& text, bool, bool) {
        replies.push_back(text);
        if (text == "\x02mod02\x03") {
            backend.QueueReply("prv  1.0000V ");
            link.SendCommand("PRV??");
        }
    });
    backend.QueueReply("mod02");
    link.SendCommand("MOD??");
    EXPECT_EQ(replies, (Texts { "\x02mod02\x03", "\x02prv  1.0000V \x03" }));
    EXPECT_EQ(backend.Commands(), (Texts { "MOD??", "PRV??" }));
}

TEST(MeterSearch, TriesEachProductIdInTurnAndOpensTheFirstMeterThatOpens)
{
    struct Case {
        std::vector<HidInterfaceInfo> interfaces;
        std::set<std::string> unopenable;
        bool found;
        std::uint16_t productId; // one past the last id tried when none is found
        std::string path;
        long meters; // interfaces that scanning lists
    };
    const Case cases[] = {
        { { { "other", 0x046D, 0xE100 }, { "50k", MeterVendorId, 0xE101 }, { "5k", MeterVendorId, 0xE100 } },
            {}, true, 0xE100, "5k", 2 },
        { { { "busy", MeterVendorId, 0xE100 }, { "motor", MeterVendorId, 0xE102 } }, { "busy" }, true, 0xE102,
            "motor", 2 },
        { { { "other", 0x046D, 0xE101 }, { "next", MeterVendorId, 0xE103 } }, {}, false, 0xE103, "", 0 },
    };
    for (const Case& c : cases) {
        FakeHidBackend backend;
        backend.interfaces = c.interfaces;
        backend.unopenable = c.unopenable;
        RecordedIndicators indicators;
        ApiUsb usb(backend, indicators);
        EXPECT_EQ(usb.SearchMeter(), c.found);
        EXPECT_EQ(usb.productId, c.productId);
        EXPECT_EQ(usb.devicePath, c.path);
        EXPECT_EQ(std::count_if(c.interfaces.begin(), c.interfaces.end(), IsMeterInterface), c.meters);
    }
}

} // namespace
} // namespace pelicard
