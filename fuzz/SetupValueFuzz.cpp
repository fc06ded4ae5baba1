// The setup value encoder over any typed text. A code is a sign, a magnitude with at most four
// decimals, "_" and a range digit; its sign is the typed number's and its magnitude is the typed
// number rounded at the code's last place. A count is at least seven digits and the typed number
// rounded to a whole one. The encoder keeps its last accepted code through a failure. A number
// written with any mask keeps the mask's decimals and integer places and is rounded at its last
// place.
//
// Input: one byte choosing what is fuzzed (modulo 3: setup value, count, number mask), then the
// typed text; for the mask, its first eight bytes make the mask and the rest the number.

#include "FuzzCheck.h"
#include "values/LeadingNumber.h"
#include "values/SetupValue.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

using pelicard::fuzz::Require;
using pelicard::fuzz::Shown;

bool Digits(std::string_view text)
{
    return text.find_first_not_of("0123456789") == std::string_view::npos;
}

struct Written {
    bool valid = false;
    double magnitude = 0.0;
    std::size_t integerDigits = 0;
    std::size_t decimals = 0;
    bool point = false;
};

// "ddd", "ddd.ddd", ".ddd" or "" (a mask of "#" places shows nothing for 0).
Written ReadWritten(std::string_view text)
{
    Written w;
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction
        = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    w.valid = Digits(whole) && Digits(fraction);
    w.point = point != std::string_view::npos;
    w.integerDigits = whole.size();
    w.decimals = fraction.size();
    w.magnitude = text.empty() ? 0.0 : std::strtod(std::string(text).c_str(), nullptr);
    return w;
}

// The magnitude written is the typed one rounded at the last place shown.
bool RoundedAtLastPlace(const Written& w, double typed)
{
    const double halfPlace = 0.5 * std::pow(10.0, -static_cast<double>(w.decimals));
    return std::fabs(w.magnitude - std::fabs(typed)) <= halfPlace * (1 + 1e-9) + std::fabs(typed) * 1e-15;
}

template <typename Detail> void CheckSetupValue(std::string_view text, const Detail& shown)
{
    static pelicard::SetupValueEncoder encoder;
    const std::string lastBefore = encoder.LastCode();
    const std::optional<std::string> code = pelicard::EncodeSetupValue(text);
    Require(encoder.Encode(text) == code, "the encoder gives the code EncodeSetupValue gives", shown);
    Require(encoder.Failed() == !code, "the encoder says whether the value failed", shown);
    Require(
        encoder.LastCode() == (code ? *code : lastBefore), "a failure keeps the last accepted code", shown);
    if (!code) {
        return;
    }
    const auto result = [&] { return shown() + " -> " + Shown(*code); };
    const std::size_t underscore = code->rfind('_');
    Require(code->size() >= 3 && ((*code)[0] == '+' || (*code)[0] == '-') && underscore == code->size() - 2
            && (*code)[underscore + 1] >= '0' && (*code)[underscore + 1] <= '6',
        "a code is a sign, a magnitude, \"_\" and a range digit 0..6", result);
    const Written w = ReadWritten(std::string_view(*code).substr(1, underscore - 1));
    Require(w.valid && w.decimals <= 4 && (w.integerDigits > 0 || w.point),
        "a code's magnitude is digits with at most four decimals", result);
    // The unit word never starts with a digit, a blank, a sign or a point, so the typed number is
    // the text's leading number.
    const double typed = pelicard::ReadLeadingNumber(text);
    Require(((*code)[0] == '-') == (typed < 0), "a code has the typed number's sign", result);
    Require(RoundedAtLastPlace(w, typed), "a code's magnitude is the typed number rounded at its last place",
        result);
}

template <typename Detail> void CheckCount(std::string_view text, const Detail& shown)
{
    const std::optional<std::string> code = pelicard::EncodeCount(text);
    if (!code) {
        return;
    }
    const auto result = [&] { return shown() + " -> " + Shown(*code); };
    const std::size_t first = text.find_first_not_of(' ');
    const std::string_view trimmed = text.substr(first, text.find_last_not_of(' ') - first + 1);
    Require(trimmed.find_first_not_of("+-.0123456789") == std::string_view::npos,
        "a count is typed as a plain number", result);
    const bool negative = !code->empty() && (*code)[0] == '-';
    const std::string_view digits = std::string_view(*code).substr(negative ? 1 : 0);
    Require(digits.size() >= 7 && Digits(digits), "a count is written as at least seven digits", result);
    const double typed = pelicard::ReadLeadingNumber(trimmed);
    Require(negative == (typed < 0), "a count has the typed number's sign", result);
    Require(RoundedAtLastPlace(ReadWritten(digits), typed),
        "a count is the typed number rounded to a whole one", result);
}

template <typename Detail> void CheckMask(std::string_view input, const Detail& shown)
{
    std::string mask;
    for (const char c : input.substr(0, 8)) {
        const char place = "0#."[static_cast<unsigned char>(c) % 3];
        if (place != '.' || mask.find('.') == std::string::npos) {
            mask += place;
        }
    }
    const double magnitude
        = std::fabs(pelicard::ReadLeadingNumber(input.substr(std::min<std::size_t>(input.size(), 8))));
    const std::string written = pelicard::FormatNumberMask(magnitude, mask);
    const auto result = [&] { return shown() + " mask " + mask + " -> " + Shown(written); };
    const Written w = ReadWritten(written);
    const std::size_t point = mask.find('.');
    const std::size_t firstZero = mask.substr(0, point).find('0');
    const std::size_t integerPlaces
        = firstZero == std::string::npos ? 0 : mask.substr(0, point).size() - firstZero;
    Require(w.valid, "a masked number is digits and a point", result);
    Require(w.point == (point != std::string::npos), "a masked number has a point where the mask has one",
        result);
    Require(w.decimals == (point == std::string::npos ? 0 : mask.size() - point - 1),
        "a masked number shows exactly the mask's decimals", result);
    Require(w.integerDigits >= integerPlaces, "a masked number fills the mask's integer places", result);
    Require(w.integerDigits <= integerPlaces || written[0] != '0',
        "a masked number has no other leading zero", result);
    Require(RoundedAtLastPlace(w, magnitude), "a masked number is rounded at its last place", result);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto shown = [&] { return "\"" + Shown(text) + "\""; };
    switch (data[0] % 3) {
    case 0:
        CheckSetupValue(text, shown);
        break;
    case 1:
        CheckCount(text, shown);
        break;
    default:
        CheckMask(text, shown);
        break;
    }
    return 0;
}
