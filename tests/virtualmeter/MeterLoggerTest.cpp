// The logger memory: on its own (sessions, settings, the download position), and through the HID
// face (a whole download request by request).

#include "virtualmeter/MeterLogger.h"

#include "ProgramSide.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace pelicard {
namespace {

using testing::Converse;
using testing::IsReading;
using testing::kEnq;
using testing::ProgramSide;

using Taken = std::vector<std::pair<int, std::int64_t>>;

// A logger on its own that notes the address and time of every record it takes.
struct LoggerProbe {
    Taken taken;
    MeterLogger logger { [this](int address, std::int64_t ms) {
        taken.emplace_back(address, ms);
        return LoggerRecord { address, "00:00:00", "0000000000" };
    } };
};

// One download request with room for `fits` fields: address and time of each field handed out.
std::string Request(MeterLogger& logger, std::size_t fits)
{
    std::string handedOut;
    std::size_t count = 0;
    logger.HandOut([&](const std::string& field) {
        if (count == fits) {
            return false;
        }
        ++count;
        handedOut += (handedOut.empty() ? "" : " ") + field.substr(3, 5) + field.substr(9, 8);
        return true;
    });
    return handedOut;
}

TEST(MeterLogger, ASessionTakesItsRecordsOnTimeAndKeepsTheSettingsItStartedWith)
{
    LoggerProbe probe;
    ASSERT_TRUE(probe.logger.SetSettings({ 2, 10, 13 }));
    probe.logger.StartLogging(1000);
    ASSERT_TRUE(probe.logger.SetSettings({ 1, 0, 500 })); // for the next session
    probe.logger.Run(4999);
    EXPECT_EQ(probe.taken, (Taken { { 10, 1000 }, { 11, 3000 } }));
    probe.logger.Run(60000);
    EXPECT_EQ(probe.taken, (Taken { { 10, 1000 }, { 11, 3000 }, { 12, 5000 }, { 13, 7000 } }));
    EXPECT_FALSE(probe.logger.Logging());

    // Clearing the memory during a session goes on from the start address.
    probe.taken.clear();
    probe.logger.StartLogging(0);
    probe.logger.Run(1000);
    probe.logger.Clear();
    probe.logger.Run(2000);
    EXPECT_EQ(probe.taken, (Taken { { 0, 0 }, { 1, 1000 }, { 0, 2000 } }));
    EXPECT_EQ(probe.logger.Records().size(), 1u);
    EXPECT_TRUE(probe.logger.Logging());
    // New records stop the session.
    ASSERT_TRUE(probe.logger.SetRecords({}));
    EXPECT_FALSE(probe.logger.Logging());
}

TEST(MeterLogger, SettingsAndRecordsTheMemoryCannotTakeAreRefused)
{
    LoggerProbe probe;
    for (const LoggerSettings& bad :
        { LoggerSettings { 0, 0, 5 }, LoggerSettings { 1000, 0, 5 }, LoggerSettings { 1, -1, 5 },
            LoggerSettings { 1, 6, 5 }, LoggerSettings { 1, 0, MeterLogger::kCapacity } }) {
        EXPECT_FALSE(probe.logger.SetSettings(bad))
            << bad.samplingSeconds << " " << bad.startAddress << " " << bad.stopAddress;
    }
    EXPECT_EQ(probe.logger.Settings(), LoggerSettings {});
    EXPECT_TRUE(probe.logger.SetSettings({ 999, 0, MeterLogger::kCapacity - 1 }));

    const LoggerRecord good { 7, "10:00:00", " 1.0000V  " };
    ASSERT_TRUE(probe.logger.SetRecords({ good }));
    for (const LoggerRecord& bad :
        { LoggerRecord { -1, "10:00:00", " 1.0000V  " }, LoggerRecord { 100000, "10:00:00", " 1.0000V  " },
            LoggerRecord { 8, "10:00", " 1.0000V  " }, LoggerRecord { 8, "10:00:00", " 1.0000V" } }) {
        EXPECT_FALSE(probe.logger.SetRecords({ good, bad })) << bad.address << " [" << bad.time << "]";
    }
    EXPECT_FALSE(probe.logger.SetRecords(std::vector<LoggerRecord>(MeterLogger::kCapacity + 1, good)));
    EXPECT_EQ(probe.logger.Records(), std::vector<LoggerRecord> { good });
}

TEST(MeterLogger, AnUnansweredRequestIsTakenBackUnlessTheMemoryChangedSince)
{
    LoggerProbe probe;
    ASSERT_TRUE(probe.logger.SetRecords({ { 0, "10:00:00", "0000000000" }, { 1, "10:00:01", "0000000000" },
        { 2, "10:00:02", "0000000000" } }));
    probe.logger.StartRecall();
    const MeterLogger::DownloadMark mark = probe.logger.Mark();
    EXPECT_EQ(Request(probe.logger, 2), "0000010:00:00 0000110:00:01");
    probe.logger.Rewind(mark);
    // A reply with room for one record takes one; the next request goes on from there.
    EXPECT_EQ(Request(probe.logger, 1), "0000010:00:00");
    EXPECT_EQ(Request(probe.logger, 2), "0000110:00:01 0000210:00:02");
    EXPECT_EQ(Request(probe.logger, 2), "00003--EOD---");
    EXPECT_FALSE(probe.logger.Recalling());

    probe.logger.StartRecall();
    const MeterLogger::DownloadMark beforeClear = probe.logger.Mark();
    EXPECT_EQ(Request(probe.logger, 2), "0000010:00:00 0000110:00:01");
    probe.logger.Clear();
    probe.logger.Rewind(beforeClear); // no recall comes back over the cleared memory
    EXPECT_FALSE(probe.logger.Recalling());
    EXPECT_EQ(Request(probe.logger, 2), "00000--EOD---");

    // The end-of-data address stays five digits.
    ASSERT_TRUE(probe.logger.SetRecords({ { MeterLogger::kMaxAddress, "10:00:00", "0000000000" } }));
    EXPECT_EQ(Request(probe.logger, 2), "99999--EOD---");
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

} // namespace
} // namespace pelicard
