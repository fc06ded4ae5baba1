#include "values/ReadingValue.h"

#include "values/LeadingNumber.h"

namespace pelicard {

namespace {

std::string TrimBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

void SplitPrefix(ReadingValue& reading)
{
    struct Prefix {
        char letter;
        double factor;
    };
    static constexpr Prefix prefixes[]
        = { { 'n', 1e-9 }, { 'u', 1e-6 }, { 'm', 1e-3 }, { 'k', 1e3 }, { 'M', 1e6 } };
    reading.baseUnit = reading.unit;
    for (const Prefix& prefix : prefixes) {
        if (!reading.unit.empty() && reading.unit.front() == prefix.letter) {
            reading.prefixFactor = prefix.factor;
            reading.baseUnit = reading.unit.substr(1);
            return;
        }
    }
}

} // namespace

bool IsOverloadReading(std::string_view text)
{
    return text.find('O') != std::string_view::npos;
}

ReadingValue ParseReading(std::string_view text)
{
    ReadingValue reading;
    if (IsOverloadReading(text)) {
        reading.overload = true;
        // "OL", and the ".0" some overload texts carry, come before the unit.
        const std::size_t unit = text.find_first_not_of("OL.0123456789 \t", text.find('O'));
        if (unit != std::string_view::npos) {
            reading.unit = TrimBlanks(text.substr(unit));
        }
    } else if (std::optional<LeadingNumberText> number = TryReadLeadingNumberText(text)) {
        reading.shown = number->value;
        reading.decimal = std::move(number->decimal);
        reading.unit = TrimBlanks(text.substr(number->end));
    }
    SplitPrefix(reading);
    return reading;
}

} // namespace pelicard
