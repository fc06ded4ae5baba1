#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelicard {

// A calendar date and time of day as the meter's clock shows it.
struct MeterDateTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const MeterDateTime&) const = default;
};

// Seconds since 1970-01-01 00:00:00, or nothing for a date or time that does not exist.
std::optional<std::int64_t> ToEpochSeconds(const MeterDateTime& dateTime);
MeterDateTime FromEpochSeconds(std::int64_t seconds);

// Reads the clock command's argument "YY-MM-DD,HH:MM:SS" (years 2000 to 2099); nothing when the
// text is not exactly that form or names no real date and time.
std::optional<MeterDateTime> ParseClockArgument(std::string_view text);

// "hh:mm:ss", as the meter stamps records.
std::string FormatTimeOfDay(const MeterDateTime& dateTime);

} // namespace pelicard
