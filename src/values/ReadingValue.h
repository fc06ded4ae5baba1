#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelicard {

// A reading as the meter shows it ("  4.9999V  ", " -49.999V  ", "  4.999k   ", "    OL     ") taken
// apart into what a table, a chart or an export needs: the number in the unit shown, that unit, and
// what its prefix stands for. " 12.345mV" is 12.345 with the unit "mV" (prefix 1e-3, base unit "V").
struct ReadingValue {
    // The number in the unit shown; none on overload and where the text holds no number.
    std::optional<double> shown;
    // The number's digits as shown, without blanks and leading zeros ("0025.0" gives "25.0"): the
    // resolution of the reading, exactly; empty where there is no value.
    std::string decimal;
    // The characters after the number (after the overload letters on overload), blanks trimmed.
    std::string unit;
    bool overload = false; // see IsOverloadReading
    // What the unit's leading prefix stands for ("n" 1e-9, "u" 1e-6, "m" 1e-3, "k" 1e3, "M" 1e6), and
    // the unit without it; empty for a bare "k" or "M", the meter's short form of kilo- and megohm.
    double prefixFactor = 1;
    std::string baseUnit;

    // The number in the base unit (shown times prefixFactor), none on overload.
    std::optional<double> BaseValue() const
    {
        return shown ? std::optional<double>(*shown * prefixFactor) : std::nullopt;
    }
};

// A capital O in a reading text is an overload: no unit holds one. The gauges read it so too.
bool IsOverloadReading(std::string_view text);

ReadingValue ParseReading(std::string_view text);

} // namespace pelicard
