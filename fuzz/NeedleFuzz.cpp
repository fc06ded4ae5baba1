// The needle conversion over any reading text: the needle stands at a finite value of the
// reading's sign; the scale label is one of the four multipliers or stays as it was; read with the
// label's multiplier the needle gives back the reading's number; an overload sends the needle to
// the end of its scale and leaves the label alone. A relative reading stays within -100..100.
//
// Input: one byte (bits 0-4: the function, bits 5-6: the model id, bit 7: the label before), then
// the reading text.

#include "FuzzCheck.h"
#include "values/LeadingNumber.h"
#include "values/Needle.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using pelicard::fuzz::Require;
using pelicard::fuzz::Shown;

constexpr std::string_view Functions[] = { "DCV", "ACV", "OHM", "BEEP", "DIODE", "CAP", "DCmA", "DCA", "ACmA",
    "ACA", "FREQ", "PERIOD", "DUTY", "RPM/IG", "RPM/IP", "TEMP", "" };
constexpr double ModelIds[] = { 1.0, 2.0, 4.0, 0.0 };

// What the needle is multiplied by to read the scale; 0 for a label that is no multiplier.
double Multiplier(const std::string& label)
{
    if (label == "/10") {
        return 0.1;
    }
    if (label == "X1") {
        return 1.0;
    }
    if (label == "X10") {
        return 10.0;
    }
    if (label == "X100") {
        return 100.0;
    }
    return 0.0;
}

bool Near(double a, double b)
{
    return std::fabs(a - b) <= 1e-12 * std::max(std::fabs(a), std::fabs(b));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const std::string_view function = Functions[(data[0] & 31) % std::size(Functions)];
    const double modelId = ModelIds[(data[0] >> 5) & 3];
    const std::string before = (data[0] & 128) != 0 ? "X10" : "scale";
    const std::string reading(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto shown = [&] {
        return "\"" + Shown(reading) + "\" as " + std::string(function) + " on model "
            + std::to_string(static_cast<int>(modelId)) + ", label " + before;
    };

    std::string label = before;
    const double needle = pelicard::ReadingToNeedle(reading, function, modelId, label);
    const auto result = [&] { return shown() + ": needle " + std::to_string(needle) + " label " + label; };
    Require(std::isfinite(needle), "the needle stands at a finite value", result);
    Require(
        label == before || Multiplier(label) != 0.0, "the label is a multiplier or stays as it was", result);

    if (reading.find('O') != std::string::npos) {
        Require(needle == 50.0 || needle == 100.0, "an overload sends the needle to the end of its scale",
            result);
        Require(label == before, "an overload leaves the label alone", result);
    } else {
        const double number = pelicard::ReadLeadingNumber(std::string_view(reading).substr(0, 7));
        Require(number == 0.0 || std::signbit(number) == std::signbit(needle),
            "the needle has the reading's sign", result);
        // A label set now (or set to the same multiplier again) reads the needle back as the number;
        // a label left alone means the needle shows the number itself.
        const bool readsBack = Multiplier(label) != 0.0 && Near(needle * Multiplier(label), number);
        Require(readsBack || (label == before && needle == number),
            "the needle read with the label's multiplier gives the reading's number", result);
    }

    const double percent = pelicard::PercentToNeedle(reading);
    Require(percent >= -100.0 && percent <= 100.0, "a relative needle stays within -100..100",
        [&] { return shown() + ": " + std::to_string(percent); });
    if (reading.find('O') != std::string::npos) {
        Require(std::fabs(percent) == 100.0, "a relative overload goes to an end of the scale", shown);
    }
    return 0;
}
