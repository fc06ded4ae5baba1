#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelicard {

// Setup values are typed as a number followed by a unit ("12.5mV", "3.3kohm"); the meter takes them
// as a setup value code: the sign, the magnitude written with the number mask of the unit's range,
// "_" and the range number ("-012.50_0", "+3.3000_1").
//
// The unit is the first of the words mV, V, kohm, Mohm, ohm, nF, uF, mA, A, MHz, kHz, Hz, mS, uS, S,
// %, deg that occurs anywhere in the text (case matters); it splits the text into the number before it
// and the unit text from it to the end. Any unit text of the voltage family other than "mV" is taken as
// volts ("mVdc", "kV"); in the other families the unit text must equal a unit word exactly.
//
// Returns nothing when no unit word occurs, when the unit text matches no unit word of its family
// ("kohms", "degC", "%x"), or when the magnitude is at or above the last bound of its unit.
std::optional<std::string> EncodeSetupValue(std::string_view text);

// EncodeSetupValue with the state the setup panel keeps: the last accepted code and whether the
// latest call failed. A failed call leaves the last code as it was; callers must not send it in place
// of the value that failed.
class SetupValueEncoder {
public:
    std::optional<std::string> Encode(std::string_view text);

    // Empty until a value has been accepted.
    const std::string& LastCode() const { return lastCode_; }
    bool Failed() const { return failed_; }

private:
    std::string lastCode_;
    bool failed_ = false;
};

// A count field (sampling time, addresses, time per division): the text with the spaces around it
// removed must be a plain decimal number (optional sign, digits, optional point and digits). It is
// written with the mask "0#####0": at least seven digits, zero-padded, more when the number has more,
// "-" in front when the number is below zero. Returns nothing for any other text ("", "abc", "12abc").
std::optional<std::string> EncodeCount(std::string_view text);

// A magnitude (not negative) written with a number mask: "0" is a digit place that shows a zero where
// the value has no digit, "#" a place that shows only the value's own digits, "." the decimal point
// (whatever the locale). The integer part shows at least the places from the leftmost "0" to the point
// and all of its own digits; the fraction shows exactly the places after the point.
// Rounding is at the last place, halves to the even digit, of the value as the shortest decimal that
// reads back as the same double, which is the number as typed: 12.345 with two places gives 12.34,
// 2.675 gives 2.68 (the nearest double lies just below 2.675, yet the typed value is a half).
std::string FormatNumberMask(double magnitude, std::string_view mask);

// The units EncodeSetupValue accepts and the bound below which each must stay, family by family, for
// the message shown when a value cannot be encoded. Lines end with "\n" except the last.
std::string AcceptedSetupValues();

} // namespace pelicard
