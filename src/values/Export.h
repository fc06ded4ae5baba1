#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

// Readings written out for other programs: CSV (RFC 4180), JSON Lines and tab-separated text, all
// with the same columns. Each function returns whole lines, line end included, in UTF-8.
//
// Columns: timestamp (ISO 8601 with milliseconds and the UTC offset), value (in the unit shown;
// empty, or null in JSON, on overload or where the text holds no number), unit, overload ("true" or
// "false"), text (the meter's reading as it came, blanks kept); logger records add address and
// meter_time (the record's address and time stamp as the meter sent them).
namespace pelicard {

enum class ExportFormat { Csv, JsonLines, Tsv };
enum class ExportColumns { Readings, LoggerRecords };

// "csv", "jsonl" or "tsv"; nothing for any other name.
std::optional<ExportFormat> ParseExportFormat(std::string_view name);

// One row. The texts from the meter are its bytes, each byte one Latin-1 character (as the record
// files keep them); they are written as UTF-8.
struct ExportRow {
    std::string timestamp; // IsoTimestamp
    std::string reading; // the meter's text
    std::string address; // logger records only
    std::string meterTime; // logger records only
};

// The column names as the first line; empty for JSON Lines, where every line names its fields.
std::string ExportHeader(ExportFormat format, ExportColumns columns);
// One row. CSV lines end in CR LF, the others in LF. CSV quotes a field holding a comma, a quote or a
// line break and doubles its quotes; TSV puts spaces where a field holds tabs or line breaks; JSON
// escapes quotes, backslashes and control characters.
std::string ExportLine(ExportFormat format, ExportColumns columns, const ExportRow& row);

// "2026-12-06T16:30:01.123+01:00": the time in the zone `utcOffset` ahead of UTC, to the millisecond.
std::string IsoTimestamp(std::chrono::system_clock::time_point when, std::chrono::minutes utcOffset);
// The offset of the computer's time zone from UTC at `when` (summer time included).
std::chrono::minutes LocalUtcOffset(std::chrono::system_clock::time_point when);

} // namespace pelicard
