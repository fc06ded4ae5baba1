#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelicard {

// A reading text of the meter (" 1.2345V  ", "-0.012mA   ", "  4.999k   ", "    OL     ") taken
// apart into what a table, a chart or an export needs.
struct ReadingValue {
    std::optional<double> shown; // the number as the meter shows it, in `unit`; none on an overload
    std::string unit; // the unit text after the number, as shown ("V", "mV", "k", "uF", "mS", "%")
    bool overload = false; // the meter shows OL ("OL" or "O.L", spaces and points aside)
    double prefixFactor = 1; // what the unit's leading prefix stands for: "m" 1e-3, "k" 1e3, ...
    std::string baseUnit; // the unit without its prefix ("V", "F", "S"); empty for a bare "k" or "M"

    // The number in the base unit (shown times prefixFactor), none on an overload.
    std::optional<double> BaseValue() const
    {
        return shown ? std::optional<double>(*shown * prefixFactor) : std::nullopt;
    }
};

// Reads the leading number and the unit after it. A text without a number and without an "O" gives
// no value and no overload (an empty cell, a dash); so does a number that is not finite.
ReadingValue ParseReading(std::string_view text);

} // namespace pelicard
