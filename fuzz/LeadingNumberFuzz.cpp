// The leading-number reader over any text: it never gives NaN, an infinity or -0; it agrees with
// the C library's conversion of the same characters (with saturation and tiny numbers as 0); what
// follows the number, blanks in front and a minus sign in front behave as they must; and rounding
// the result halves to even agrees with the C library within int and saturates outside.

#include "FuzzCheck.h"
#include "values/LeadingNumber.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

using pelicard::fuzz::Require;
using pelicard::fuzz::Shown;

bool Blank(char c)
{
    return c == ' ' || c == '\t';
}

bool Same(std::optional<double> a, std::optional<double> b)
{
    return a.has_value() == b.has_value() && (!a || *a == *b);
}

std::string Value(std::optional<double> v)
{
    if (!v) {
        return "none";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", *v);
    return text;
}

// The characters that make up the number, collected by hand, converted by strtod.
std::optional<double> Reference(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && Blank(text[i])) {
        ++i;
    }
    std::string number;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        number += text[i++];
    }
    bool digit = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (Blank(c)) {
            continue;
        }
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c != '.' || point) {
            break;
        }
        point = point || c == '.';
        number += c;
    }
    if (!digit) {
        return std::nullopt;
    }
    errno = 0;
    double value = std::strtod(number.c_str(), nullptr);
    if (std::isinf(value)) {
        value = std::copysign(DBL_MAX, value);
    }
    return value == 0.0 ? 0.0 : value;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::setlocale(LC_NUMERIC, "C"); // strtod reads the point as the decimal point
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<double> value = pelicard::TryReadLeadingNumber(text);
    const auto shown = [&] { return "\"" + Shown(text) + "\" read " + Value(value); };

    Require(pelicard::ReadLeadingNumber(text) == value.value_or(0.0), "ReadLeadingNumber is 0 for no number",
        shown);
    if (value) {
        Require(std::isfinite(*value), "a number read is finite", shown);
        Require(!(*value == 0.0 && std::signbit(*value)), "a number read is never -0", shown);
    }

    const std::optional<double> reference = Reference(text);
    // Numbers below the smallest normal double may come out as 0 (the reader's choice) or as the
    // C library's subnormal value.
    const bool tiny = reference && value && *value == 0.0 && std::fabs(*reference) < DBL_MIN;
    Require(Same(value, reference) || tiny, "the reader agrees with strtod",
        [&] { return shown() + ", strtod " + Value(reference); });

    Require(Same(pelicard::TryReadLeadingNumber(text + "x"), value), "what follows the number does not count",
        shown);
    Require(Same(pelicard::TryReadLeadingNumber(" \t" + text), value), "blanks in front do not count", shown);
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos || (text[first] != '-' && text[first] != '+')) {
        const std::optional<double> negated = pelicard::TryReadLeadingNumber("-" + text);
        Require(Same(negated, value ? std::optional<double>(*value == 0.0 ? 0.0 : -*value) : std::nullopt),
            "a minus sign in front negates the number",
            [&] { return shown() + ", negated " + Value(negated); });
    }

    if (value) {
        const int rounded = pelicard::RoundHalfEven(*value);
        int expected = 0;
        if (*value >= 2147483647.5) {
            expected = INT_MAX;
        } else if (*value <= -2147483648.5) {
            expected = INT_MIN;
        } else {
            expected = static_cast<int>(std::nearbyint(*value)); // the default mode rounds halves to even
        }
        Require(rounded == expected, "rounding halves to even, saturating at the limits of int", [&] {
            return shown() + ", rounded " + std::to_string(rounded) + ", expected "
                + std::to_string(expected);
        });
    }
    return 0;
}
