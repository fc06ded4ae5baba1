#include "virtualmeter/MeterClock.h"

#include <chrono>
#include <cstdio>

namespace pelicard {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) {
        --q;
    }
    return q;
}

// Two decimal digits at `pos`, or -1.
int TwoDigits(std::string_view text, std::size_t pos)
{
    const char a = text[pos];
    const char b = text[pos + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') {
        return -1;
    }
    return (a - '0') * 10 + (b - '0');
}

} // namespace

std::optional<std::int64_t> ToEpochSeconds(const MeterDateTime& d)
{
    using namespace std::chrono;
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > 31 || d.hour < 0 || d.hour > 23 || d.minute < 0
        || d.minute > 59 || d.second < 0 || d.second > 59) {
        return std::nullopt;
    }
    const year_month_day ymd { year { d.year }, month { static_cast<unsigned>(d.month) },
        day { static_cast<unsigned>(d.day) } };
    if (!ymd.ok()) {
        return std::nullopt;
    }
    const std::int64_t days = sys_days { ymd }.time_since_epoch().count();
    return days * kSecondsPerDay + std::int64_t { d.hour } * 3600 + std::int64_t { d.minute } * 60 + d.second;
}

MeterDateTime FromEpochSeconds(std::int64_t seconds)
{
    using namespace std::chrono;
    const std::int64_t days = FloorDiv(seconds, kSecondsPerDay);
    const std::int64_t inDay = seconds - days * kSecondsPerDay;
    const year_month_day ymd { sys_days { std::chrono::days { days } } };
    MeterDateTime d;
    d.year = static_cast<int>(ymd.year());
    d.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    d.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    d.hour = static_cast<int>(inDay / 3600);
    d.minute = static_cast<int>(inDay / 60 % 60);
    d.second = static_cast<int>(inDay % 60);
    return d;
}

std::optional<MeterDateTime> ParseClockArgument(std::string_view text)
{
    // YY-MM-DD,HH:MM:SS
    if (text.size() != 17 || text[2] != '-' || text[5] != '-' || text[8] != ',' || text[11] != ':'
        || text[14] != ':') {
        return std::nullopt;
    }
    const int fields[6] = { TwoDigits(text, 0), TwoDigits(text, 3), TwoDigits(text, 6), TwoDigits(text, 9),
        TwoDigits(text, 12), TwoDigits(text, 15) };
    for (const int f : fields) {
        if (f < 0) {
            return std::nullopt;
        }
    }
    const MeterDateTime d { 2000 + fields[0], fields[1], fields[2], fields[3], fields[4], fields[5] };
    if (!ToEpochSeconds(d)) {
        return std::nullopt;
    }
    return d;
}

std::string FormatTimeOfDay(const MeterDateTime& d)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", d.hour % 100, d.minute % 100, d.second % 100);
    return text;
}

} // namespace pelicard
