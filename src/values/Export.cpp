#include "values/Export.h"

#include "values/ReadingValue.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <vector>

namespace pelicard {

namespace {

std::string Latin1ToUtf8(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text.push_back(c);
        } else {
            text.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            text.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return text;
}

std::string CsvField(std::string_view field)
{
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(field);
    }
    std::string quoted = "\"";
    for (const char c : field) {
        if (c == '"') {
            quoted.push_back('"');
        }
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

std::string TsvField(std::string_view field)
{
    std::string text(field);
    for (char& c : text) {
        if (c == '\t' || c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return text;
}

std::string JsonString(std::string_view text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                std::array<char, 8> escaped {};
                std::snprintf(escaped.data(), escaped.size(), "\\u%04x", static_cast<unsigned>(c));
                quoted += escaped.data();
            } else {
                quoted.push_back(c);
            }
        }
    }
    quoted.push_back('"');
    return quoted;
}

struct Column {
    std::string_view name;
    std::string text; // UTF-8
    bool json; // written into JSON as it is (a number, true, false, null), not as a string
};

std::vector<Column> Columns(ExportColumns columns, const ExportRow& row)
{
    const ReadingValue value = ParseReading(row.reading);
    std::vector<Column> result {
        { "timestamp", row.timestamp, false },
        { "value", value.shown ? value.decimal : std::string(), true },
        { "unit", Latin1ToUtf8(value.unit), false },
        { "overload", value.overload ? "true" : "false", true },
        { "text", Latin1ToUtf8(row.reading), false },
    };
    if (columns == ExportColumns::LoggerRecords) {
        result.push_back({ "address", Latin1ToUtf8(row.address), false });
        result.push_back({ "meter_time", Latin1ToUtf8(row.meterTime), false });
    }
    return result;
}

} // namespace

std::optional<ExportFormat> ParseExportFormat(std::string_view name)
{
    if (name == "csv") {
        return ExportFormat::Csv;
    }
    if (name == "jsonl") {
        return ExportFormat::JsonLines;
    }
    if (name == "tsv") {
        return ExportFormat::Tsv;
    }
    return std::nullopt;
}

std::string ExportHeader(ExportFormat format, ExportColumns columns)
{
    if (format == ExportFormat::JsonLines) {
        return {};
    }
    std::string line;
    for (const Column& column : Columns(columns, {})) {
        if (!line.empty()) {
            line += format == ExportFormat::Csv ? "," : "\t";
        }
        line += column.name;
    }
    return line + (format == ExportFormat::Csv ? "\r\n" : "\n");
}

std::string ExportLine(ExportFormat format, ExportColumns columns, const ExportRow& row)
{
    std::string line;
    bool first = true;
    for (const Column& column : Columns(columns, row)) {
        switch (format) {
        case ExportFormat::Csv:
            line += first ? "" : ",";
            line += CsvField(column.text);
            break;
        case ExportFormat::Tsv:
            line += first ? "" : "\t";
            line += TsvField(column.text);
            break;
        case ExportFormat::JsonLines:
            line += first ? "{" : ",";
            line += JsonString(column.name);
            line += ':';
            line += !column.json ? JsonString(column.text) : column.text.empty() ? "null" : column.text;
            break;
        }
        first = false;
    }
    switch (format) {
    case ExportFormat::Csv:
        return line + "\r\n";
    case ExportFormat::JsonLines:
        return line + "}\n";
    case ExportFormat::Tsv:
        break;
    }
    return line + "\n";
}

std::string IsoTimestamp(std::chrono::system_clock::time_point when, std::chrono::minutes utcOffset)
{
    using namespace std::chrono;
    const auto local = time_point_cast<milliseconds>(when) + utcOffset;
    const auto day = floor<days>(local);
    const year_month_day date { day };
    const hh_mm_ss<milliseconds> time { local - day };
    const long offset = utcOffset.count();
    const long offsetMagnitude = offset < 0 ? -offset : offset;
    std::array<char, 128> text {}; // room for any number the compiler can imagine
    std::snprintf(text.data(), text.size(), "%04d-%02u-%02uT%02ld:%02ld:%02ld.%03ld%c%02ld:%02ld",
        static_cast<int>(date.year()), static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
        static_cast<long>(time.hours().count()), static_cast<long>(time.minutes().count()),
        static_cast<long>(time.seconds().count()), static_cast<long>(time.subseconds().count()),
        offset < 0 ? '-' : '+', offsetMagnitude / 60, offsetMagnitude % 60);
    return text.data();
}

std::chrono::minutes LocalUtcOffset(std::chrono::system_clock::time_point when)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local {};
    if (localtime_r(&seconds, &local) == nullptr) {
        return std::chrono::minutes(0);
    }
    return std::chrono::duration_cast<std::chrono::minutes>(std::chrono::seconds(local.tm_gmtoff));
}

} // namespace pelicard
