#pragma once

// Callers that read a number and round it find the rounding here as well.
#include "values/Arithmetic.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pelicard {

// Reads the decimal number at the start of a text the way the meter's texts are read everywhere:
// an optional sign, digits, an optional point and more digits. Blanks (spaces and tabs) are skipped
// wherever they stand before or inside the number; reading stops at the first other character.
// There is no exponent: "25deg" reads 25, not an overflowing power of ten.
// Returns nothing when no digit was read ("abc", "-", ".").
// A number beyond the range of a double saturates at the largest finite double of its sign.
std::optional<double> TryReadLeadingNumber(std::string_view text);

// The same number with what it looked like: `decimal` is its digits as written, without blanks,
// without leading zeros before the first digit of the whole part ("0025.0" -> "25.0", ".5" -> "0.5",
// "12." -> "12") and with "-" only for a number that is not zero; `end` is where reading stopped
// (the blanks inside the number counted as taken).
struct LeadingNumberText {
    double value = 0.0;
    std::string decimal;
    std::size_t end = 0;
};
std::optional<LeadingNumberText> TryReadLeadingNumberText(std::string_view text);

// As TryReadLeadingNumber, with 0 for a text that holds no number ("12abc" -> 12, "abc" -> 0).
double ReadLeadingNumber(std::string_view text);

} // namespace pelicard
