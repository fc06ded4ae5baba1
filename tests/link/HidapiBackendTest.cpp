#include "link/HidapiBackend.h"

#include "HidapiStandIn.h"
#include "link/ApiUsb.h"
#include "link/Transaction.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <tuple>

namespace pelicard {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::StandIn;
using Report = std::vector<std::uint8_t>;

const std::string kMeterPath(VirtualMeter::kMeterPath);

// The output reports the program writes for a command: report id 0, then the frame (2, text, 3)
// in payload positions 0 to 61 of each report.
std::vector<Report> Pack(std::string_view command)
{
    const std::string framed = "\x02" + std::string(command) + "\x03";
    std::vector<Report> reports;
    for (std::size_t pos = 0; pos < framed.size(); pos += VirtualMeter::kPayloadPerReport) {
        Report& report = reports.emplace_back(VirtualMeter::kReportLength, 0);
        const std::string part = framed.substr(pos, VirtualMeter::kPayloadPerReport);
        std::copy(part.begin(), part.end(), report.begin() + 1);
    }
    return reports;
}

Report Frame(std::string_view command)
{
    return Pack(command).front();
}

// The real backend over the stand-in library, which forwards to a virtual meter on manual time.
// Besides the meter's own interfaces the library lists a receiver of another vendor (it opens
// and never answers) and an interface with the meter's ids that another program holds.
struct Rig {
    Rig()
    {
        StandIn().extraDevices = { { "/dev/hidraw0", 0x046D, 0xC52B },
            { "/dev/hidraw1", MeterVendorId, ProductIdOf(MeterVariant::Logger50k), false } };
    }
    ManualMeterTime time;
    VirtualMeter meter { MeterVariant::Logger50k, time };
    testing::StandInScope scope { meter }; // checks the library's contract once the backend is gone
    HidapiBackend backend;
    Report in;

    int OpenMeter()
    {
        backend.Enumerate();
        return backend.Open(kMeterPath);
    }
    // The text between the 2 and the 3 of the next input report (which keeps its id byte in front),
    // or what came instead.
    std::string ReadText(int handle, int timeoutMs = 6000)
    {
        const ReadOutcome outcome = backend.Read(handle, in, timeoutMs);
        if (outcome != ReadOutcome::Arrived) {
            return outcome == ReadOutcome::TimedOut ? "<timed out>" : "<failed>";
        }
        if (in.size() != 65 || in[0] != 0 || in[1] != 2) {
            return "<unframed>";
        }
        const auto end = std::find(in.begin() + 2, in.end(), 3);
        return end == in.end() ? "<no end byte>" : std::string(in.begin() + 2, end);
    }
};

TEST(HidapiBackend, ListsEveryInterfaceWithItsIdsAndOpensOnlyWhatOpens)
{
    Rig rig;
    std::vector<std::tuple<std::string, int, int>> listed;
    for (const HidInterfaceInfo& info : rig.backend.Enumerate()) {
        listed.emplace_back(info.path, info.vendorId, info.productId);
    }
    EXPECT_THAT(listed,
        ElementsAre(std::tuple("/dev/hidraw0", 0x046D, 0xC52B), std::tuple("/dev/hidraw1", 0x10C4, 0xE101),
            std::tuple(std::string(VirtualMeter::kOtherPath), VirtualMeter::kOtherVendorId,
                VirtualMeter::kOtherProductId),
            std::tuple(kMeterPath, 0x10C4, 0xE101)));
    EXPECT_EQ(StandIn().liveLists, 0);

    EXPECT_EQ(rig.backend.Open("/dev/hidraw1"), -1); // held by another program
    const int receiver = rig.backend.Open("/dev/hidraw0");
    const int meter = rig.backend.Open(kMeterPath);
    EXPECT_TRUE(receiver >= 0 && meter >= 0 && receiver != meter);
    EXPECT_THAT(StandIn().openedPaths, ElementsAre("/dev/hidraw1", "/dev/hidraw0", kMeterPath));
    // The receiver takes the report and never answers; nothing of it reaches the meter.
    EXPECT_TRUE(rig.backend.Write(receiver, Frame("FUN??")));
    EXPECT_EQ(rig.ReadText(meter, 0), "<timed out>");
    EXPECT_EQ(rig.ReadText(receiver), "<timed out>");
    EXPECT_THAT(rig.meter.ReceivedCommands(), IsEmpty());
}

TEST(HidapiBackend, WritesTheReportIdFirstAndPutsItBackInFrontOfWhatArrives)
{
    Rig rig;
    ASSERT_TRUE(rig.meter.SetFunction(3));
    const int writer = rig.OpenMeter();
    const int reader = rig.backend.Open(kMeterPath);
    ASSERT_TRUE(writer >= 0 && reader >= 0);
    ASSERT_TRUE(rig.backend.Write(writer, Frame("FUN??")));
    EXPECT_THAT(StandIn().written, ElementsAre(Frame("FUN??")));
    EXPECT_EQ(rig.ReadText(reader), "fun03");

    // A frame spread over two reports: the second goes on with the text, without a 2.
    std::string command = "FUN02";
    std::string expected = "hld00";
    for (int i = 0; i < 10; ++i) {
        command += ",HLD??";
        expected += i > 0 ? ",hld00" : "";
    }
    std::vector<Report> reports = Pack(command);
    ASSERT_EQ(reports.size(), 2u);
    reports[0][64] = 0x55; // stale byte past payload position 61
    ASSERT_TRUE(rig.backend.Write(writer, reports[0]));
    EXPECT_EQ(rig.ReadText(reader, 0), "<timed out>");
    ASSERT_TRUE(rig.backend.Write(writer, reports[1]));
    EXPECT_EQ(rig.ReadText(reader), expected);
    EXPECT_EQ(rig.meter.FunctionIndex(), 2);
}

TEST(HidapiBackend, ATimeOutIsNoFailure)
{
    Rig rig;
    const int handle = rig.OpenMeter();
    EXPECT_EQ(rig.ReadText(handle, 50), "<timed out>");
    EXPECT_EQ(rig.ReadText(handle, 0), "<timed out>");
    EXPECT_THAT(StandIn().readTimeouts, ElementsAre(50, 0));
    EXPECT_EQ(rig.time.NowMs(), 50) << "the library waited, not the backend";
    ASSERT_TRUE(rig.backend.Write(handle, Frame("HLD??")));
    EXPECT_EQ(rig.ReadText(handle, 50), "hld00") << "a reply after time-outs still arrives whole";
}

TEST(HidapiBackend, LibraryErrorsAndAVanishingMeterFailTheCallTheyHit)
{
    const std::tuple<const char*, std::function<void(testing::HidStandIn&)>, bool, const char*> cases[] = {
        { "no fault", [](testing::HidStandIn&) {}, true, "hld00" },
        { "hid_write returns -1", [](testing::HidStandIn& s) { s.failWrites = true; }, false, "<timed out>" },
        { "hid_read_timeout returns -1", [](testing::HidStandIn& s) { s.failReads = true; }, true,
            "<failed>" },
        { "unplugged before the write", [](testing::HidStandIn& s) { s.unplugBefore = "hid_write"; }, false,
            "<failed>" },
        { "unplugged between write and read",
            [](testing::HidStandIn& s) { s.unplugBefore = "hid_read_timeout"; }, true, "<failed>" },
    };
    for (const auto& [name, fault, written, read] : cases) {
        SCOPED_TRACE(name);
        Rig rig;
        const int handle = rig.OpenMeter();
        ASSERT_GE(handle, 0);
        fault(StandIn());
        EXPECT_EQ(rig.backend.Write(handle, Frame("HLD??")), written);
        EXPECT_EQ(rig.ReadText(handle), read);
        EXPECT_EQ(rig.time.NowMs(), read == std::string("<timed out>") ? 6000 : 0);
    }
}

TEST(HidapiBackend, AMeterThatVanishesBetweenCallsIsNeverOpenedByItsOldPath)
{
    Rig rig;
    rig.backend.Enumerate();
    StandIn().unplugBefore = "hid_open_path"; // listed, then pulled out before it opens
    EXPECT_EQ(rig.backend.Open(kMeterPath), -1);
    EXPECT_THAT(StandIn().openedPaths, ElementsAre(kMeterPath));
    for (const HidInterfaceInfo& info : rig.backend.Enumerate()) {
        EXPECT_NE(info.path, kMeterPath);
    }
    EXPECT_EQ(rig.backend.Open(kMeterPath), -1);
    EXPECT_EQ(StandIn().openedPaths.size(), 1u) << "not listed any more: the library is not asked";

    rig.meter.SetUnplugged(false);
    const int handle = rig.OpenMeter();
    ASSERT_TRUE(rig.backend.Write(handle, Frame("MOD??")));
    EXPECT_EQ(rig.ReadText(handle), "mod00");
    // Pulled out with the handle open: every call fails until the handle is closed.
    rig.meter.SetUnplugged(true);
    EXPECT_FALSE(rig.backend.Write(handle, Frame("MOD??")));
    EXPECT_EQ(rig.ReadText(handle), "<failed>");
    rig.backend.Close(handle);
    EXPECT_EQ(StandIn().openDevices, 0);
}

TEST(HidapiBackend, PathsAndHandlesTheLibraryDidNotGiveNeverReachIt)
{
    Rig rig;
    EXPECT_EQ(rig.backend.Open(kMeterPath), -1); // nothing enumerated yet
    rig.backend.Enumerate();
    for (const std::string path : { "/dev/hidraw9", "/dev/null", "", "virtual:meter/" }) {
        EXPECT_EQ(rig.backend.Open(path), -1) << path;
    }
    EXPECT_THAT(StandIn().openedPaths, IsEmpty());

    const int handle = rig.backend.Open(kMeterPath);
    rig.backend.Close(handle);
    rig.backend.Close(handle);
    rig.backend.Close(4711);
    EXPECT_FALSE(rig.backend.Write(handle, Frame("FUN??")));
    EXPECT_EQ(rig.ReadText(handle, 50), "<failed>");
    EXPECT_FALSE(rig.backend.Write(-1, Frame("FUN??")));
    EXPECT_THAT(StandIn().written, IsEmpty());
    EXPECT_THAT(StandIn().readTimeouts, IsEmpty());
    EXPECT_EQ(StandIn().openDevices, 0);
    EXPECT_GE(rig.backend.Open(kMeterPath), 0); // left open: the backend closes it before hid_exit
}

// Listening: once asked how long it may stay quiet, the backend hands the handle's reads to a
// watcher thread; every report still arrives, in order, each one announced.
TEST(HidapiBackend, AWatchedHandleHandsOverEveryReportInOrderAndAnnouncesEach)
{
    Rig rig;
    std::atomic<int> announced = 0;
    rig.backend.SetReportNotifier([&announced] { ++announced; });
    const int handle = rig.OpenMeter();
    ASSERT_TRUE(rig.meter.SetFunction(3));
    EXPECT_EQ(rig.backend.QuietMs(handle), HidBackend::NoReportDue);
    ASSERT_TRUE(rig.backend.Write(handle, Frame("FUN??")));
    ASSERT_TRUE(rig.backend.Write(handle, Frame("HLD??")));
    EXPECT_EQ(rig.ReadText(handle), "fun03");
    EXPECT_EQ(rig.ReadText(handle), "hld00");
    EXPECT_EQ(announced, 2);
    EXPECT_EQ(rig.backend.QuietMs(handle), HidBackend::NoReportDue);

    ASSERT_TRUE(rig.backend.Write(handle, Frame("MOD??")));
    while (rig.backend.QuietMs(handle) != 0) {
        std::this_thread::yield();
    }
    EXPECT_EQ(announced, 3);
    EXPECT_EQ(rig.ReadText(handle, 0), "mod00");
    {
        const auto lock = testing::LockStandIn();
        rig.meter.SetUnplugged(true);
    }
    EXPECT_EQ(rig.ReadText(handle), "<failed>");
    rig.backend.Close(handle);
    // The watcher was the device's one reader, in slices; the test's reads never reached it.
    EXPECT_THAT(StandIn().readTimeouts, ::testing::Each(HidapiBackend::WatchSliceMs));
}

struct SilentIndicators : LinkIndicators {
    std::vector<std::string> messages;
    void ShowConnection(const std::string&) override { }
    void SetLamp(int, std::uint32_t) override { }
    void SetLinkButtonColour(std::uint32_t) override { }
    void Beep() override { }
    void CriticalStop(const std::string& text, const std::string&) override { messages.push_back(text); }
};

TEST(HidapiBackend, TheLinkFindsTheMeterAmongOtherDevicesAndGetsItsReply)
{
    Rig rig;
    ASSERT_TRUE(rig.meter.SetFunction(3));
    SilentIndicators indicators;
    ApiUsb usb(rig.backend, indicators);
    Transaction link(usb, indicators);
    usb.productId = ProductIdOf(MeterVariant::Logger50k);
    std::vector<std::string> replies;
    link.SetReplyHandler([&](const std::string& text, bool, bool) { replies.push_back(text); });

    link.SendCommand("FUN??");
    EXPECT_THAT(replies,
        ElementsAre("\x02"
                    "fun03\x03"));
    EXPECT_THAT(rig.meter.ReceivedCommands(), ElementsAre("FUN??"));
    // The held interface with the meter's ids is tried; the other vendors' devices never are.
    EXPECT_THAT(StandIn().openedPaths, ElementsAre("/dev/hidraw1", kMeterPath, kMeterPath));
    EXPECT_THAT(indicators.messages, IsEmpty());
}

} // namespace
} // namespace pelicard
