#include "virtualmeter/MeterFunctions.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace pelicard {

namespace {

constexpr std::array<MeterRange, 5> kVoltRanges { {
    { "mV", "mV", 1e-3, 500, 2 },
    { "V", "V", 1, 5, 4 },
    { "V", "V", 1, 50, 3 },
    { "V", "V", 1, 500, 2 },
    { "V", "V", 1, 1050, 1 },
} };
constexpr std::array<MeterRange, 6> kOhmRanges { {
    { "ohm", "ohm", 1, 500, 2 },
    { "k", "kohm", 1e3, 5, 4 },
    { "k", "kohm", 1e3, 50, 3 },
    { "k", "kohm", 1e3, 500, 2 },
    { "M", "Mohm", 1e6, 5, 4 },
    { "M", "Mohm", 1e6, 20, 3 },
} };
constexpr std::array<MeterRange, 1> kBeepRanges { { { "k", "kohm", 1e3, 5, 4 } } };
constexpr std::array<MeterRange, 1> kDiodeRanges { { { "V", "V", 1, 5, 4 } } };
constexpr std::array<MeterRange, 4> kCapRanges { {
    { "nF", "nF", 1e-9, 500, 2 },
    { "uF", "uF", 1e-6, 5, 4 },
    { "uF", "uF", 1e-6, 50, 3 },
    { "uF", "uF", 1e-6, 500, 2 },
} };
constexpr std::array<MeterRange, 2> kMilliAmpRanges { {
    { "mA", "mA", 1e-3, 50, 3 },
    { "mA", "mA", 1e-3, 500, 2 },
} };
constexpr std::array<MeterRange, 2> kAmpRanges { {
    { "A", "A", 1, 5, 4 },
    { "A", "A", 1, 10, 3 },
} };
constexpr std::array<MeterRange, 6> kFreqRanges { {
    { "Hz", "Hz", 1, 1000, 2 },
    { "kHz", "kHz", 1e3, 10, 4 },
    { "kHz", "kHz", 1e3, 100, 3 },
    { "kHz", "kHz", 1e3, 1000, 2 },
    { "MHz", "MHz", 1e6, 10, 4 },
    { "MHz", "MHz", 1e6, 100, 3 },
} };
// Range numbers of the time family count down with the unit, as the setup values number them.
constexpr std::array<MeterRange, 7> kPeriodRanges { {
    { "S", "S", 1, 10, 4 },
    { "mS", "mS", 1e-3, 1000, 2 },
    { "mS", "mS", 1e-3, 100, 3 },
    { "mS", "mS", 1e-3, 10, 4 },
    { "uS", "uS", 1e-6, 1000, 2 },
    { "uS", "uS", 1e-6, 100, 3 },
    { "uS", "uS", 1e-6, 10, 4 },
} };
constexpr std::array<MeterRange, 1> kDutyRanges { { { "%", "%", 1, 100, 2 } } };
constexpr std::array<MeterRange, 1> kTempRanges { { { "deg", "deg", 1, 1050, 1 } } };
constexpr std::array<MeterRange, 1> kRpmRanges { { { "rpm", "rpm", 1, 10000, 1 } } };

using RC = RangeChoice;

constexpr MeterFunction kDcv { "DCV", RC::AutoOrManual, kVoltRanges, 2.0, 2.6, false, false };
constexpr MeterFunction kAcv { "ACV", RC::AutoOrManual, kVoltRanges, 230, 6, false, false };
constexpr MeterFunction kOhm { "OHM", RC::AutoOrManual, kOhmRanges, 4700, 150, true, false };
constexpr MeterFunction kBeep { "BEEP", RC::Fixed, kBeepRanges, 12.3, 1.5, false, false };
constexpr MeterFunction kDiode { "DIODE", RC::Fixed, kDiodeRanges, 0.62, 0.01, false, false };
constexpr MeterFunction kCap { "CAP", RC::AutoOrManual, kCapRanges, 2.2e-6, 0.1e-6, false, false };
constexpr MeterFunction kDcmA { "DCmA", RC::AutoOrManual, kMilliAmpRanges, 0.020, 0.004, false, false };
constexpr MeterFunction kDca { "DCA", RC::AutoOrManual, kAmpRanges, 2.5, 0.6, false, false };
constexpr MeterFunction kAcmA { "ACmA", RC::AutoOrManual, kMilliAmpRanges, 0.120, 0.008, false, false };
constexpr MeterFunction kAca { "ACA", RC::AutoOrManual, kAmpRanges, 6.5, 0.4, false, false };
constexpr MeterFunction kFreq { "FREQ", RC::AutoOnly, kFreqRanges, 1000, 40, false, false };
constexpr MeterFunction kPeriod { "PERIOD", RC::AutoOnly, kPeriodRanges, 1e-3, 4e-5, false, false };
constexpr MeterFunction kDuty { "DUTY", RC::AutoOnly, kDutyRanges, 50, 12, false, false };
constexpr MeterFunction kTemp { "TEMP", RC::AutoOnly, kTempRanges, 25, 3, false, false };
constexpr MeterFunction kRpmIg { "RPM/IG", RC::AutoOnly, kRpmRanges, 850, 40, true, true };
constexpr MeterFunction kRpmIp { "RPM/IP", RC::AutoOnly, kRpmRanges, 1200, 60, true, true };

constexpr std::array<MeterFunction, 14> kStandardFunctions { kDcv, kAcv, kOhm, kBeep, kDiode, kCap, kDcmA,
    kDca, kAcmA, kAca, kFreq, kPeriod, kDuty, kTemp };
constexpr std::array<MeterFunction, 15> kEngineFunctions { kDcv, kAcv, kOhm, kDiode, kCap, kDcmA, kDca, kAcmA,
    kAca, kFreq, kPeriod, kDuty, kRpmIg, kRpmIp, kTemp };

constexpr int kReadingWidth = 11;

int DecimalsOf(const MeterRange& range, MeterVariant variant)
{
    const int d = variant == MeterVariant::Logger5k ? range.decimals - 1 : range.decimals;
    return d < 0 ? 0 : d;
}

// The value in display units, rounded to the shown decimals, as a whole number of counts.
std::optional<long long> CountsOf(double value, const MeterRange& range, MeterVariant variant)
{
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    const double factor = std::pow(10.0, DecimalsOf(range, variant));
    const double counts = std::round(value / range.scale * factor);
    if (std::fabs(counts) >= range.fullScale * factor) {
        return std::nullopt;
    }
    return static_cast<long long>(counts);
}

// Digits of |counts| zero-padded to `digits`, with a point before the last `decimals` of them.
std::string DigitText(long long counts, int digits, int decimals)
{
    std::string text = std::to_string(counts < 0 ? -counts : counts);
    if (static_cast<int>(text.size()) < digits) {
        text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
    }
    if (decimals > 0) {
        text.insert(text.size() - static_cast<std::size_t>(decimals), 1, '.');
    }
    return text;
}

} // namespace

std::optional<MeterVariant> ParseVariant(std::string_view text)
{
    if (text == "5k") {
        return MeterVariant::Logger5k;
    }
    if (text == "50k") {
        return MeterVariant::Logger50k;
    }
    if (text == "motor") {
        return MeterVariant::Motor;
    }
    return std::nullopt;
}

std::uint16_t ProductIdOf(MeterVariant variant)
{
    switch (variant) {
    case MeterVariant::Logger5k:
        return 0xE100;
    case MeterVariant::Logger50k:
        return 0xE101;
    case MeterVariant::Motor:
        return 0xE102;
    }
    return 0xE101;
}

int ModelIdOf(MeterVariant variant)
{
    switch (variant) {
    case MeterVariant::Logger5k:
        return 2;
    case MeterVariant::Logger50k:
        return 1;
    case MeterVariant::Motor:
        return 4;
    }
    return 1;
}

std::string CaptionOf(MeterVariant variant)
{
    switch (variant) {
    case MeterVariant::Logger5k:
        return "Virtual 5,000 Count Data Logger DMM";
    case MeterVariant::Logger50k:
        return "Virtual 50,000 Count Data Logger DMM";
    case MeterVariant::Motor:
        return "Virtual 50,000 Count Automotive Data Logger DMM";
    }
    return "Virtual Data Logger DMM";
}

std::span<const MeterFunction> FunctionsOf(MeterVariant variant)
{
    if (variant == MeterVariant::Motor) {
        return kEngineFunctions;
    }
    return kStandardFunctions;
}

bool FitsRange(double value, const MeterRange& range, MeterVariant variant)
{
    return CountsOf(value, range, variant).has_value();
}

std::string FormatReading(double value, const MeterRange& range, MeterVariant variant)
{
    const auto counts = CountsOf(value, range, variant);
    if (!counts) {
        return std::string(kOverloadReading);
    }
    const int decimals = DecimalsOf(range, variant);
    const bool fiveK = variant == MeterVariant::Logger5k;
    const int intDigits = 5 - range.decimals;
    std::string text = fiveK ? "" : " ";
    text += *counts < 0 ? '-' : ' ';
    text += DigitText(*counts, intDigits + decimals, decimals);
    text += range.unit;
    text.resize(kReadingWidth, ' ');
    return text;
}

int PickRange(const MeterFunction& function, double value, MeterVariant variant)
{
    int best = -1;
    int widest = 0;
    for (int i = 0; i < static_cast<int>(function.ranges.size()); ++i) {
        const MeterRange& r = function.ranges[static_cast<std::size_t>(i)];
        const double span = r.scale * r.fullScale;
        const MeterRange& w = function.ranges[static_cast<std::size_t>(widest)];
        if (span > w.scale * w.fullScale) {
            widest = i;
        }
        if (FitsRange(value, r, variant)) {
            const MeterRange* b = best < 0 ? nullptr : &function.ranges[static_cast<std::size_t>(best)];
            if (!b || span < b->scale * b->fullScale) {
                best = i;
            }
        }
    }
    return best < 0 ? widest : best;
}

std::string LoggerReading(const std::string& reading, MeterVariant variant)
{
    // The 50,000-count form loses its leading space; the 5,000-count form has none and loses the
    // last pad space instead.
    if (variant == MeterVariant::Logger5k) {
        return reading.substr(0, 10);
    }
    return reading.size() > 10 ? reading.substr(1, 10) : reading;
}

std::string FormatRelative(double percent)
{
    if (std::isfinite(percent)) {
        const double magnitude = std::fabs(percent);
        for (const int decimals : { 2, 1, 0 }) {
            char digits[64];
            std::snprintf(digits, sizeof digits, "%0*.*f", 5, decimals, magnitude);
            if (std::string_view(digits).size() == 5) {
                const bool zero = std::string_view(digits).find_first_not_of("0.") == std::string_view::npos;
                std::string text(1, percent < 0 && !zero ? '-' : ' ');
                return text + digits + "%";
            }
        }
    }
    return "  OL  %";
}

std::optional<SetupCode> ParseSetupCode(std::string_view text)
{
    // sign, digits with at most one point, "_", range number
    if (text.size() < 4 || (text[0] != '+' && text[0] != '-')) {
        return std::nullopt;
    }
    const std::size_t underscore = text.find('_');
    if (underscore == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view number = text.substr(1, underscore - 1);
    const std::string_view rangeText = text.substr(underscore + 1);
    int digits = 0;
    int points = 0;
    for (const char c : number) {
        if (c == '.') {
            ++points;
        } else if (c >= '0' && c <= '9') {
            ++digits;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || digits > 9 || points > 1 || rangeText.empty() || rangeText.size() > 2) {
        return std::nullopt;
    }
    int range = 0;
    for (const char c : rangeText) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        range = range * 10 + (c - '0');
    }
    const double magnitude = std::strtod(std::string(number).c_str(), nullptr);
    return SetupCode { text[0] == '-' ? -magnitude : magnitude, range };
}

std::optional<std::int64_t> ParseCount(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && text[0] == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    int significant = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        if (value > 0 || c != '0') {
            if (++significant > 12) {
                return std::nullopt;
            }
        }
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

bool IsValidCode(const SetupCode& code, const MeterFunction& function)
{
    return std::isfinite(code.value) && code.range >= 0
        && code.range < static_cast<int>(function.ranges.size());
}

const MeterRange& RangeOfCode(const SetupCode& code, const MeterFunction& function)
{
    const auto last = static_cast<int>(function.ranges.size()) - 1;
    const int index = code.range < 0 ? 0 : (code.range > last ? last : code.range);
    return function.ranges[static_cast<std::size_t>(index)];
}

double BaseValueOf(const SetupCode& code, const MeterFunction& function)
{
    return code.value * RangeOfCode(code, function).scale;
}

std::optional<std::string> SetupLabel(
    const SetupCode& code, const MeterFunction& function, MeterVariant variant)
{
    const MeterRange& range = RangeOfCode(code, function);
    char digits[64];
    const int n
        = std::snprintf(digits, sizeof digits, "%.*f", DecimalsOf(range, variant), std::fabs(code.value));
    if (n <= 0 || n >= static_cast<int>(sizeof digits)) {
        return std::nullopt;
    }
    std::string text = code.value < 0 ? "-" : "";
    text += digits;
    text += range.setupUnit;
    if (text.size() > static_cast<std::size_t>(kReadingWidth)) {
        return std::nullopt;
    }
    text.insert(0, static_cast<std::size_t>(kReadingWidth) - text.size(), ' ');
    return text;
}

} // namespace pelicard
