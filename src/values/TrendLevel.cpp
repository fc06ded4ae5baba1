#include "values/TrendLevel.h"

#include "values/Arithmetic.h"
#include "values/LeadingNumber.h"

#include <algorithm>

namespace pelicard::trendfield {

bool EndsField(char c)
{
    return c == ',' || c == '\r' || c == '\n';
}

bool IsControl(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return (code < 0x20 && c != '\t') || code == 0x7F;
}

bool IsBlank(std::string_view field)
{
    return std::all_of(field.begin(), field.end(), [](char c) { return c == ' ' || c == '\t'; });
}

std::optional<int> LevelOf(std::string_view field)
{
    if (std::any_of(field.begin(), field.end(), [](char c) { return EndsField(c) || IsControl(c); })) {
        return std::nullopt;
    }
    if (const std::optional<double> number = TryReadLeadingNumber(field)) {
        return RoundHalfEven(*number);
    }
    return IsBlank(field) ? std::optional<int>(0) : std::nullopt;
}

} // namespace pelicard::trendfield
