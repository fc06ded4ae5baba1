#include "values/ReadingValue.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

namespace pelicard {

namespace {

std::string_view Trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The prefix a unit text starts with, when more follows it or it stands alone as the meter's short
// form of kilo- and megohm.
double PrefixOf(std::string_view unit, std::string_view& rest)
{
    struct Prefix {
        char letter;
        double factor;
    };
    static constexpr Prefix prefixes[]
        = { { 'n', 1e-9 }, { 'u', 1e-6 }, { 'm', 1e-3 }, { 'k', 1e3 }, { 'M', 1e6 } };
    rest = unit;
    if (unit.empty()) {
        return 1;
    }
    for (const Prefix& prefix : prefixes) {
        if (unit.front() == prefix.letter) {
            rest = unit.substr(1);
            return prefix.factor;
        }
    }
    return 1;
}

} // namespace

ReadingValue ParseReading(std::string_view text)
{
    ReadingValue reading;
    const std::string_view body = Trimmed(text);
    std::string letters;
    for (const char c : body) {
        if (c != ' ' && c != '.') {
            letters.push_back(c);
        }
    }
    if (letters.find("OL") != std::string::npos) {
        reading.overload = true;
        return reading;
    }
    // The number: sign, digits and one point, as the meter writes it.
    std::size_t end = 0;
    if (end < body.size() && (body[end] == '-' || body[end] == '+')) {
        ++end;
    }
    bool digits = false;
    bool point = false;
    while (end < body.size()) {
        const char c = body[end];
        if (std::isdigit(static_cast<unsigned char>(c)) != 0) {
            digits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else if (c != ' ') { // the 5k variant may leave a space between sign and digits
            break;
        }
        ++end;
    }
    if (!digits) {
        return reading;
    }
    std::string number;
    for (const char c : body.substr(0, end)) {
        if (c != ' ') {
            number.push_back(c);
        }
    }
    const double value = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(value)) {
        return reading;
    }
    reading.shown = value;
    reading.unit = std::string(Trimmed(body.substr(end)));
    std::string_view rest;
    reading.prefixFactor = PrefixOf(reading.unit, rest);
    reading.baseUnit = std::string(rest);
    return reading;
}

} // namespace pelicard
