#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace pelicard {

// Rounds to the nearest whole number, halves to the even one (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
// Values beyond the range of int saturate at its limits; NaN gives 0.
int RoundHalfEven(double value);

// The same rounding kept in a double, for whole numbers of any size: infinities and NaN stay as
// they are.
double RoundHalfEvenWhole(double value);

// A 64-bit whole number brought into the range of int, saturating at its limits.
constexpr int Saturate(std::int64_t value)
{
    return static_cast<int>(
        std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace pelicard
