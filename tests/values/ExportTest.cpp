#include "values/Export.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace pelicard {
namespace {

using namespace std::chrono;

const std::string Stamp = "2026-12-06T16:30:01.123+01:00";

TEST(ExportTest, EveryFormatWritesTheSameColumns)
{
    const ExportRow reading { Stamp, "  4.9999V  ", {}, {} };
    const ExportRow overload { Stamp, "    OL    ", "00003", "12:00:02" };
    struct Case {
        ExportFormat format;
        ExportColumns columns;
        const ExportRow& row;
        const char* header;
        const char* line;
    };
    const Case cases[] = {
        { ExportFormat::Csv, ExportColumns::Readings, reading, "timestamp,value,unit,overload,text\r\n",
            "2026-12-06T16:30:01.123+01:00,4.9999,V,false,  4.9999V  \r\n" },
        { ExportFormat::Tsv, ExportColumns::Readings, reading, "timestamp\tvalue\tunit\toverload\ttext\n",
            "2026-12-06T16:30:01.123+01:00\t4.9999\tV\tfalse\t  4.9999V  \n" },
        { ExportFormat::JsonLines, ExportColumns::Readings, reading, "",
            R"({"timestamp":"2026-12-06T16:30:01.123+01:00","value":4.9999,"unit":"V","overload":false,)"
            R"("text":"  4.9999V  "})"
            "\n" },
        { ExportFormat::Csv, ExportColumns::LoggerRecords, overload,
            "timestamp,value,unit,overload,text,address,meter_time\r\n",
            "2026-12-06T16:30:01.123+01:00,,,true,    OL    ,00003,12:00:02\r\n" },
        { ExportFormat::JsonLines, ExportColumns::LoggerRecords, overload, "",
            R"({"timestamp":"2026-12-06T16:30:01.123+01:00","value":null,"unit":"","overload":true,)"
            R"("text":"    OL    ","address":"00003","meter_time":"12:00:02"})"
            "\n" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(ExportHeader(c.format, c.columns), c.header);
        EXPECT_EQ(ExportLine(c.format, c.columns, c.row), c.line);
    }
}

TEST(ExportTest, TextsAreQuotedEscapedAndWrittenAsUtf8)
{
    // A comma, a quote, a line break, a tab, a backslash, a control byte and a Latin-1 byte (micro sign).
    const ExportRow row { Stamp, "1,2\"\xB5V\r\n\t\\\x01", {}, {} };
    // The unit is what follows the number: everything after "1" here.
    EXPECT_EQ(ExportLine(ExportFormat::Csv, ExportColumns::Readings, row),
        Stamp + ",1,\",2\"\"\xC2\xB5V\r\n\t\\\x01\",false,\"1,2\"\"\xC2\xB5V\r\n\t\\\x01\"\r\n");
    const std::string json = std::string(R"(,2\")") + "\xC2\xB5" + R"(V\r\n\t\\\u0001)";
    EXPECT_EQ(ExportLine(ExportFormat::JsonLines, ExportColumns::Readings, row),
        R"({"timestamp":")" + Stamp + R"(","value":1,"unit":")" + json + R"(","overload":false,"text":"1)"
            + json + "\"}\n");
    EXPECT_EQ(ExportLine(ExportFormat::Tsv, ExportColumns::Readings, row),
        Stamp + "\t1\t,2\"\xC2\xB5V   \\\x01\tfalse\t1,2\"\xC2\xB5V   \\\x01\n");
    EXPECT_EQ(ParseExportFormat("jsonl"), ExportFormat::JsonLines);
    EXPECT_EQ(ParseExportFormat("CSV"), std::nullopt);
}

TEST(ExportTest, TimestampsCarryMillisecondsAndTheOffset)
{
    const system_clock::time_point epoch {};
    struct Case {
        system_clock::time_point when;
        minutes offset;
        const char* text;
    };
    const Case cases[] = {
        { epoch + sys_days(2026y / 12 / 6).time_since_epoch() + 15h + 30min + 1123ms, 60min,
            "2026-12-06T16:30:01.123+01:00" },
        { epoch + 999ms, -330min, "1969-12-31T18:30:00.999-05:30" },
        { epoch - 1ms, 0min, "1969-12-31T23:59:59.999+00:00" },
        { epoch + sys_days(2024y / 2 / 29).time_since_epoch() + 23h + 59min, 61min,
            "2024-03-01T01:00:00.000+01:01" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsoTimestamp(c.when, c.offset), c.text);
    }
}

TEST(ExportTest, LocalOffsetFollowsTheZoneAndItsSummerTime)
{
    const char* before = std::getenv("TZ");
    const std::string saved = before != nullptr ? before : "";
    ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    ::tzset();
    EXPECT_EQ(LocalUtcOffset(sys_days(2026y / 1 / 15)), 60min);
    EXPECT_EQ(LocalUtcOffset(sys_days(2026y / 7 / 15)), 120min);
    if (before != nullptr) {
        ::setenv("TZ", saved.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
}

} // namespace
} // namespace pelicard
