#include "values/SetupValue.h"

#include "values/LeadingNumber.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <system_error>

namespace pelicard {

namespace {

enum class Family { Voltage, Resistance, Capacitance, Current, Frequency, Time, Duty, Temperature };

constexpr std::array<std::string_view, 8> kFamilyNames { "Voltage", "Resistance", "Capacitance", "Current",
    "Frequency", "Time", "Duty", "Temperature" };

struct UnitWord {
    std::string_view word;
    Family family;
};

// Searched in this order; the first that occurs anywhere in the text is the unit. "mV" before "V",
// the prefixed words before "ohm", "Hz" and "S", so that the longer word wins.
constexpr std::array<UnitWord, 17> kUnitWords { {
    { "mV", Family::Voltage },
    { "V", Family::Voltage },
    { "kohm", Family::Resistance },
    { "Mohm", Family::Resistance },
    { "ohm", Family::Resistance },
    { "nF", Family::Capacitance },
    { "uF", Family::Capacitance },
    { "mA", Family::Current },
    { "A", Family::Current },
    { "MHz", Family::Frequency },
    { "kHz", Family::Frequency },
    { "Hz", Family::Frequency },
    { "mS", Family::Time },
    { "uS", Family::Time },
    { "S", Family::Time },
    { "%", Family::Duty },
    { "deg", Family::Temperature },
} };

constexpr double kNoBound = std::numeric_limits<double>::infinity();

// One range a unit can be sent in: taken by the first row of the unit whose bound the magnitude is
// strictly below. The range numbers are the meter's, in the order of its range list for the function.
struct SetupRow {
    Family family;
    std::string_view unit;
    double below;
    std::string_view mask;
    int range;
};

constexpr std::array<SetupRow, 33> kRows { {
    { Family::Voltage, "mV", kNoBound, "0##.#0", 0 },
    { Family::Voltage, "V", 5, "0.###0", 1 },
    { Family::Voltage, "V", 50, "0#.##0", 2 },
    { Family::Voltage, "V", kNoBound, "0#0.#0", 3 },
    { Family::Resistance, "ohm", kNoBound, "0##.#0", 0 },
    { Family::Resistance, "kohm", 5, "#.###0", 1 },
    { Family::Resistance, "kohm", 50, "##.##0", 2 },
    { Family::Resistance, "kohm", 500, "##0.#0", 3 },
    { Family::Resistance, "Mohm", 5, "#.###0", 4 },
    { Family::Resistance, "Mohm", 50, "##.##0", 5 },
    { Family::Capacitance, "nF", kNoBound, "0##.#0", 0 },
    { Family::Capacitance, "uF", 5, "#.###0", 1 },
    { Family::Capacitance, "uF", 50, "##.##0", 2 },
    { Family::Capacitance, "uF", 500, "##0.#0", 3 },
    { Family::Current, "mA", 50, "##.##0", 0 },
    { Family::Current, "mA", 500, "###.#0", 1 },
    { Family::Current, "A", 5, "#.###0", 0 },
    { Family::Current, "A", 10, "##.##0", 1 },
    { Family::Frequency, "Hz", 1000, "0##.#0", 0 },
    { Family::Frequency, "kHz", 10, "0.###0", 1 },
    { Family::Frequency, "kHz", 100, "0#.##0", 2 },
    { Family::Frequency, "kHz", 1000, "0##.#0", 3 },
    { Family::Frequency, "MHz", 10, "0.###0", 4 },
    { Family::Frequency, "MHz", 100, "0#.##0", 5 },
    // The time family counts down with the unit: seconds 0, milliseconds 1 to 3, microseconds 4 to 6.
    { Family::Time, "S", 10, "0.###0", 0 },
    { Family::Time, "mS", 10, "0.###0", 3 },
    { Family::Time, "mS", 100, "0#.##0", 2 },
    { Family::Time, "mS", 1000, "0##.#0", 1 },
    { Family::Time, "uS", 10, "0.###0", 6 },
    { Family::Time, "uS", 100, "0#.##0", 5 },
    { Family::Time, "uS", 1000, "0##.#0", 4 },
    { Family::Duty, "%", kNoBound, "0##.#0", 0 },
    { Family::Temperature, "deg", kNoBound, "00###0", 0 },
} };

constexpr std::string_view kCountMask = "0#####0";

std::string_view TrimSpaces(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Optional sign, digits, optional point and digits, at least one digit, nothing else.
bool IsPlainNumber(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    bool sawDigit = false;
    bool sawPoint = false;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            sawDigit = true;
        } else if (text[i] == '.' && !sawPoint) {
            sawPoint = true;
        } else {
            return false;
        }
    }
    return sawDigit;
}

// Adds one at the last digit and carries: "0999" -> "1000", "99" -> "100".
void AddOneAtLastDigit(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

} // namespace

std::string FormatNumberMask(double magnitude, std::string_view mask)
{
    const std::size_t point = mask.find('.');
    const std::string_view integerMask = mask.substr(0, point);
    const std::size_t firstZero = integerMask.find('0');
    const std::size_t integerPlaces
        = firstZero == std::string_view::npos ? 0 : integerMask.size() - firstZero;
    const std::size_t decimals = point == std::string_view::npos ? 0 : mask.size() - point - 1;

    // The shortest decimal that reads back as this double: the typed number, digit for digit.
    // The largest double has 309 digits, the smallest 325 decimal places.
    std::array<char, 400> buffer {};
    const double value = std::isfinite(magnitude) ? std::fabs(magnitude) : 0.0;
    const auto [end, error]
        = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    const std::string_view decimal = error == std::errc {}
        ? std::string_view(buffer.data(), static_cast<std::size_t>(end - buffer.data()))
        : std::string_view("0");
    const std::size_t decimalPoint = decimal.find('.');
    const std::string_view integerDigits = decimal.substr(0, decimalPoint);
    const std::string_view fraction
        = decimalPoint == std::string_view::npos ? std::string_view {} : decimal.substr(decimalPoint + 1);

    std::string digits(integerDigits);
    digits += fraction.substr(0, std::min(decimals, fraction.size()));
    digits.append(integerDigits.size() + decimals - digits.size(), '0');
    if (fraction.size() > decimals) {
        const std::string_view rest = fraction.substr(decimals);
        bool up = rest.front() > '5';
        if (rest.front() == '5') {
            const bool exactHalf = rest.find_first_not_of('0', 1) == std::string_view::npos;
            up = !exactHalf || (digits.back() - '0') % 2 == 1;
        }
        if (up) {
            AddOneAtLastDigit(digits);
        }
    }

    std::string integerPart = digits.substr(0, digits.size() - decimals);
    integerPart.erase(0, std::min(integerPart.find_first_not_of('0'), integerPart.size()));
    if (integerPart.size() < integerPlaces) {
        integerPart.insert(0, integerPlaces - integerPart.size(), '0');
    }
    if (point == std::string_view::npos) {
        return integerPart;
    }
    return integerPart + "." + digits.substr(digits.size() - decimals);
}

std::optional<std::string> EncodeSetupValue(std::string_view text)
{
    const std::string_view trimmed = TrimSpaces(text);
    const auto unit = std::find_if(kUnitWords.begin(), kUnitWords.end(),
        [trimmed](const UnitWord& word) { return trimmed.find(word.word) != std::string_view::npos; });
    if (unit == kUnitWords.end()) {
        return std::nullopt;
    }
    const std::size_t position = trimmed.find(unit->word);
    const double number = ReadLeadingNumber(trimmed.substr(0, position));
    std::string_view unitText = trimmed.substr(position);
    if (unit->family == Family::Voltage && unitText != "mV") {
        unitText = "V"; // "mVdc", "kV": whatever else holds a V is volts
    }

    const double magnitude = std::fabs(number);
    for (const SetupRow& row : kRows) {
        if (row.family == unit->family && row.unit == unitText && magnitude < row.below) {
            return std::string(number < 0 ? "-" : "+") + FormatNumberMask(magnitude, row.mask) + "_"
                + std::to_string(row.range);
        }
    }
    return std::nullopt;
}

std::optional<std::string> SetupValueEncoder::Encode(std::string_view text)
{
    failed_ = false;
    auto code = EncodeSetupValue(text);
    if (code) {
        lastCode_ = *code;
    } else {
        failed_ = true;
    }
    return code;
}

std::optional<std::string> EncodeCount(std::string_view text)
{
    const std::string_view trimmed = TrimSpaces(text);
    if (!IsPlainNumber(trimmed)) {
        return std::nullopt;
    }
    const double number = ReadLeadingNumber(trimmed);
    return std::string(number < 0 ? "-" : "") + FormatNumberMask(number, kCountMask);
}

std::string AcceptedSetupValues()
{
    std::string text = "Type a number followed by a unit, for example 12.5mV or -3.3kohm. Units are "
                       "case-sensitive; the size of the number must stay below the bound given.";
    for (std::size_t family = 0; family < kFamilyNames.size(); ++family) {
        text += "\n";
        text += kFamilyNames[family];
        text += ":";
        std::string_view separator = " ";
        for (std::size_t i = 0; i < kRows.size(); ++i) {
            const SetupRow& row = kRows[i];
            const bool lastOfUnit = i + 1 == kRows.size() || kRows[i + 1].unit != row.unit;
            if (static_cast<std::size_t>(row.family) != family || !lastOfUnit) {
                continue;
            }
            text += separator;
            text += row.unit;
            if (std::isfinite(row.below)) {
                text += " below " + FormatNumberMask(row.below, "0");
            }
            separator = ", ";
        }
    }
    return text;
}

} // namespace pelicard
