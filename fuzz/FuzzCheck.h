#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <type_traits>

// What the harnesses share: a property that must hold. A broken one aborts, which libFuzzer reports
// as a finding, saving the input.
namespace pelicard::fuzz {

// Printable form of a text for a finding's message: control and non-ASCII bytes as \xHH.
inline std::string Shown(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || c == '\\') {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

[[noreturn]] inline void Broken(const char* property, const std::string& detail)
{
    std::fprintf(stderr, "\n== PROPERTY BROKEN: %s\n   %s\n", property, detail.c_str());
    std::abort();
}

// The detail is a text, or a function that makes it: a message costs nothing while the property holds.
template <typename Detail> void Require(bool holds, const char* property, Detail&& detail)
{
    if (holds) {
        return;
    }
    if constexpr (std::is_invocable_v<Detail>) {
        Broken(property, std::string(detail()));
    } else {
        Broken(property, std::string(detail));
    }
}

inline void Require(bool holds, const char* property)
{
    if (!holds) {
        Broken(property, {});
    }
}

} // namespace pelicard::fuzz
