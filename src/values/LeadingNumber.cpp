#include "values/LeadingNumber.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>
#include <system_error>

namespace pelicard {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<LeadingNumberText> TryReadLeadingNumberText(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }

    // Collect the digits without the blanks, then let the library do the correctly rounded conversion.
    std::string digits;
    bool sawPoint = false;
    bool sawDigit = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsBlank(c)) {
            continue;
        }
        if (IsDigit(c)) {
            digits.push_back(c);
            sawDigit = true;
        } else if (c == '.' && !sawPoint) {
            if (digits.empty()) {
                digits.push_back('0');
            }
            digits.push_back('.');
            sawPoint = true;
        } else {
            break;
        }
    }
    if (!sawDigit) {
        return std::nullopt;
    }
    const std::size_t stop = i;
    if (digits.back() == '.') {
        digits.pop_back();
    }

    double value = 0.0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // Hundreds of digits: too large saturates, too small (only zeros before the point) is 0.
        const bool wholePartIsZero = digits.find_first_not_of('0') == digits.find('.');
        value = wholePartIsZero ? 0.0 : std::numeric_limits<double>::max();
    } else if (error != std::errc {}) {
        value = 0.0;
    }
    if (negative) {
        value = -value;
    }
    // No negative zero: "-0" is simply 0.
    if (value == 0.0) {
        value = 0.0;
    }

    const std::size_t whole = std::min(digits.find_first_not_of('0'), digits.find('.'));
    std::string decimal = whole == std::string::npos ? std::string("0") : digits.substr(whole);
    if (decimal.empty() || decimal.front() == '.') {
        decimal.insert(0, 1, '0');
    }
    if (negative && decimal.find_first_not_of("0.") != std::string::npos) {
        decimal.insert(0, 1, '-');
    }
    return LeadingNumberText { value, std::move(decimal), stop };
}

std::optional<double> TryReadLeadingNumber(std::string_view text)
{
    const std::optional<LeadingNumberText> number = TryReadLeadingNumberText(text);
    if (!number) {
        return std::nullopt;
    }
    return number->value;
}

double ReadLeadingNumber(std::string_view text)
{
    return TryReadLeadingNumber(text).value_or(0.0);
}

} // namespace pelicard
