// pelicard-cli run in-process on the virtual meter, on virtual time: a second of sampling costs none.
#include "cli/Cli.h"
#include "link/FakeHidBackend.h"
#include "virtualmeter/VirtualMeter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace pelicard {
namespace {

using namespace std::chrono;

// 2026-12-06 15:30:00 UTC, shown at +01:00; the virtual time starts a second later.
const system_clock::time_point Start = sys_days(2026y / 12 / 6) + 15h + 30min;
const std::string Number = R"(-?\d+\.\d+)";
const std::string Stamp = R"(2026-12-06T16:\d\d:\d\d\.\d\d\d\+01:00)";

struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
protected:
    CliRun Run(const std::vector<std::string>& arguments)
    {
        std::ostringstream out;
        std::ostringstream err;
        CliEnvironment environment { out, err, time, [] { return std::make_unique<FakeHidBackend>(); },
            [this] { return Start + milliseconds(time.NowMs()); },
            [](system_clock::time_point) { return 60min; }, [this] { return time.NowMs(); },
            [this](int ms) { time.Advance(ms); }, [this] { return stopAtMs > 0 && time.NowMs() >= stopAtMs; },
            terminal, prepare, inspect };
        CliRun run;
        run.code = RunCli(arguments, environment);
        run.out = out.str();
        run.err = err.str();
        return run;
    }

    static std::vector<std::string> Lines(const std::string& text)
    {
        std::vector<std::string> lines;
        std::istringstream stream(text);
        for (std::string line; std::getline(stream, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    std::string FileText() const
    {
        std::ifstream in(file, std::ios::binary);
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }

    void TearDown() override { std::filesystem::remove(file); }

    ManualMeterTime time { 1000 };
    std::int64_t stopAtMs = 0;
    bool terminal = false;
    std::function<void(VirtualMeter&)> prepare;
    std::function<void(VirtualMeter&)> inspect;
    std::string file = (std::filesystem::temp_directory_path()
        / ("pelicard-cli-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".out"))
                           .string();
};

TEST_F(CliTest, EachCommandPrintsWhatTheMeterSaysAndExitsWithItsCode)
{
    struct Case {
        std::vector<std::string> arguments;
        int code;
        std::string out; // a pattern for the whole of standard output
        std::string err; // a text standard error holds
    };
    const Case cases[] = {
        { { "--virtual-meter", "scan" }, 0, "10c4:e101\t50k\tvirtual:meter\n", "" },
        { { "scan", "--virtual-meter=motor" }, 0, "10c4:e102\tmotor\tvirtual:meter\n", "" },
        { { "scan" }, 2, "", "no meter found" },
        { { "status" }, 2, "", "Device not detected" },
        { { "--virtual-meter", "status" }, 0,
            "function: DCV\nrange: Auto\nmode: Data Logger\nhold: off\nlogging: off\nrecall: off\n"
            "sampling time: 001\nstart address: 00000\nstop address: 00500\n",
            "" },
        { { "--virtual-meter", "read" }, 0, Number + " V\n", "" },
        { { "--virtual-meter=5k", "read", "--format=jsonl" }, 0,
            R"(\{"timestamp":")" + Stamp + R"(","value":)" + Number
                + R"(,"unit":"V","overload":false,"text":" ?[ -]\d\.\d+V +"\}\n)",
            "" },
        { { "--virtual-meter", "read", "--format", "csv" }, 0,
            "timestamp,value,unit,overload,text\r\n" + Stamp + "," + Number + ",V,false,  ?-?[0-9.]+V +\r\n",
            "" },
        { { "--virtual-meter", "clock" }, 0, "clock set: 26-12-06,16:30:01\n", "" },
        { { "--virtual-meter", "send", "FUN??,MOD??" }, 0, "fun00,mod00\n", "" },
        { { "--virtual-meter", "send", "HLD01" }, 0, "<ACK>\n", "" },
        { { "--virtual-meter", "send", "XYZ" }, 1, "<ENQ>\n", "refused \"XYZ\"" },
        { { "--virtual-meter", "send", "GTL" }, 0, "", "" },
        { { "--virtual-meter", "--virtual-meter-unplug-after=0", "read" }, 3, "", "Device not detected" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.back());
        const CliRun run = Run(c.arguments);
        EXPECT_EQ(run.code, c.code);
        EXPECT_TRUE(std::regex_match(run.out, std::regex(c.out))) << run.out;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    }
}

TEST_F(CliTest, BadArgumentsGiveTheUsageAndExitOne)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        { "frobnicate" },
        { "read", "--colour" },
        { "read", "--count", "2" },
        { "read", "--format", "xml" },
        { "read", "extra" },
        { "send" },
        { "sample" },
        { "sample", "--interval", "0" },
        { "sample", "--interval", "65.536" },
        { "sample", "--interval", "1e-3" },
        { "sample", "--interval", "1", "--count", "0" },
        { "sample", "--interval", "1", "--count", "5", "--duration", "1" },
        { "sample", "--interval" },
        { "--virtual-meter=9k", "read" },
        { "--virtual-meter-unplug-after=3", "read" },
    };
    for (const auto& arguments : cases) {
        const CliRun run = Run(arguments);
        EXPECT_EQ(run.code, 1) << ::testing::PrintToString(arguments);
        EXPECT_NE(run.err.find("Usage: pelicard-cli"), std::string::npos);
        EXPECT_EQ(run.out, "");
    }
    const CliRun help = Run({ "sample", "--help" });
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: pelicard-cli sample --interval S")) << help.out;
}

TEST_F(CliTest, SamplingWritesOneFlushedRowPerReadingUntilTheEnd)
{
    struct Case {
        std::vector<std::string> arguments;
        std::int64_t stopAfterMs;
        std::size_t rows;
    };
    const Case cases[] = {
        { { "--count", "60", "--interval", "0.001" }, 0, 60 },
        // Readings at 0, 0.5, 1 and 1.5 s; none starts at 2 s.
        { { "--duration", "2", "--interval", "0.5" }, 0, 4 },
        // Ctrl+C at 1.2 s: the rows at 0, 0.5 and 1 s, complete.
        { { "--interval", "0.5" }, 1200, 3 },
    };
    const std::regex row(Stamp + "," + Number + ",m?V,false,.*\r");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows);
        stopAtMs = c.stopAfterMs > 0 ? time.NowMs() + c.stopAfterMs : 0;
        std::vector<std::string> arguments { "--virtual-meter", "sample", "--output", file };
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const CliRun run = Run(arguments);
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.out, "");
        const std::vector<std::string> lines = Lines(FileText());
        ASSERT_EQ(lines.size(), c.rows + 1);
        EXPECT_EQ(lines[0], "timestamp,value,unit,overload,text\r");
        for (std::size_t i = 1; i < lines.size(); ++i) {
            EXPECT_TRUE(std::regex_match(lines[i], row)) << lines[i];
            if (i > 1) {
                EXPECT_LT(lines[i - 1].substr(0, 29), lines[i].substr(0, 29)); // later each time
            }
        }
        time.Advance(100000);
    }
}

const std::vector<LoggerRecord> Memory { { 1, "12:00:00", " 4.9999V  " }, { 2, "12:00:01", "-4.9999V  " },
    { 3, "12:00:02", "    OL    " }, { 4, "12:00:03", " 1.0000V  " }, { 5, "12:00:04", " 2.0000V  " } };

TEST_F(CliTest, ALostMeterEndsWithExitThreeAndEveryRowBeforeItWritten)
{
    prepare = [](VirtualMeter& meter) { meter.SetLoggerMemory(Memory); };
    for (const std::vector<std::string>& command :
        { std::vector<std::string> { "sample", "--interval", "0.01" },
            std::vector<std::string> { "download" } }) {
        SCOPED_TRACE(command[0]);
        std::vector<std::string> arguments { "--virtual-meter", "--virtual-meter-unplug-after=2", "--output",
            file, "--format", "tsv" };
        arguments.insert(arguments.end(), command.begin(), command.end());
        const CliRun run = Run(arguments);
        EXPECT_EQ(run.code, 3);
        EXPECT_NE(run.err.find("Device not detected"), std::string::npos) << run.err;
        EXPECT_EQ(Lines(FileText()).size(), 3U) << FileText(); // the header and two rows
    }
}

TEST_F(CliTest, DownloadWritesEveryRecordAndPutsTheMeterBackInItsMode)
{
    int modeAfter = -1;
    prepare = [](VirtualMeter& meter) {
        meter.SetLoggerMemory(Memory);
        meter.SetMode(2);
    };
    inspect = [&modeAfter](VirtualMeter& meter) { modeAfter = meter.Mode(); };
    for (const bool onTerminal : { false, true }) {
        terminal = onTerminal;
        const CliRun run = Run({ "--virtual-meter", "download", "--format", "jsonl" });
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(modeAfter, 2);
        EXPECT_EQ(run.err,
            onTerminal ? "\rdownloading: 2 records\rdownloading: 4 records\rdownloading: 5 records\n" : "");
        const std::vector<std::string> lines = Lines(run.out);
        ASSERT_EQ(lines.size(), Memory.size());
        EXPECT_TRUE(std::regex_match(lines[1],
            std::regex(R"(\{"timestamp":")" + Stamp
                + R"(","value":-4.9999,"unit":"V","overload":false,"text":"-4.9999V  ","address":"00002","meter_time":"12:00:01"\})")))
            << lines[1];
        EXPECT_NE(
            lines[2].find(R"("value":null,"unit":"","overload":true,"text":"    OL    ","address":"00003")"),
            std::string::npos)
            << lines[2];
    }
}

TEST_F(CliTest, ClockSetsTheMetersClockToTheComputersLocalTime)
{
    MeterDateTime clock;
    inspect = [&clock](VirtualMeter& meter) { clock = meter.Clock(); };
    prepare = [](VirtualMeter& meter) { meter.SetClock({ 2020, 1, 1, 0, 0, 0 }); };
    EXPECT_EQ(Run({ "--virtual-meter", "clock" }).code, 0);
    EXPECT_EQ(clock, (MeterDateTime { 2026, 12, 6, 16, 30, 1 }));
}

} // namespace
} // namespace pelicard
