#include "values/Commands.h"

#include <algorithm>

namespace pelicard::command {

namespace {

// Decimal text of a number, with a leading zero for a single digit ("7" -> "07", "12" -> "12").
std::string TwoOrMoreDigits(int value)
{
    std::string digits = std::to_string(value);
    if (value >= 0 && value < 10) {
        digits.insert(0, 1, '0');
    }
    return digits;
}

std::string TwoDigits(int value)
{
    return TwoOrMoreDigits(std::clamp(value, 0, 99));
}

} // namespace

std::string BuildClockCommand(int year, int month, int day, int hour, int minute, int second)
{
    const int shortYear = ((year % 100) + 100) % 100;
    return "CLK" + TwoDigits(shortYear) + "-" + TwoDigits(month) + "-" + TwoDigits(day) + ","
        + TwoDigits(hour) + ":" + TwoDigits(minute) + ":" + TwoDigits(second);
}

std::string BuildHoldCommand(bool on)
{
    return on ? "HLD01,HLD??" : "HLD00,HLD??";
}

std::optional<std::string> BuildFunctionCommand(int position)
{
    if (position < 0) {
        return std::nullopt;
    }
    return "FUN" + TwoOrMoreDigits(position);
}

std::optional<std::string> BuildRangeCommand(int position, int entryCount, std::string_view rangeText)
{
    if (rangeText == "Auto") {
        return std::string("RGE10");
    }
    if (entryCount == 1) {
        return std::string("RGE00");
    }
    if (position < 1 || position >= entryCount) {
        return std::nullopt;
    }
    return "RGE" + TwoOrMoreDigits(position - 1);
}

std::optional<std::string> BuildKeyCommand(int key)
{
    if (key < 1 || key > 4) {
        return std::nullopt;
    }
    std::string text = "F"; // appended, not prepended: GCC 12 warns falsely on "F" + string at -O3
    text += std::to_string(key);
    return text;
}

std::optional<std::string> BuildModeCommand(int tab)
{
    if (tab < 0 || tab > 4) {
        return std::nullopt;
    }
    std::string text = "MOD0";
    text += std::to_string(tab);
    return text;
}

std::string_view ParameterQueryForTab(int tab)
{
    switch (tab) {
    case 0:
        return LoggerParameterQuery;
    case 2:
        return RelativeParameterQuery;
    case 3:
        return CompareParameterQuery;
    case 4:
        return TrendParameterQuery;
    default:
        return {};
    }
}

std::string BuildModeStatusQuery(int tab)
{
    const std::string_view parameters = ParameterQueryForTab(tab);
    if (parameters.empty()) {
        return std::string(ProgramStatusQuery);
    }
    return std::string(parameters) + "," + std::string(ProgramStatusQuery);
}

std::string BuildParameterCommand(std::string_view kind, const std::vector<std::string>& fields)
{
    std::string text(kind);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            text += ',';
        }
        text += fields[i];
    }
    return text;
}

std::string BuildParameterQuery(std::string_view kind)
{
    return std::string(kind) + "??";
}

} // namespace pelicard::command
