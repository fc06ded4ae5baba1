#include "values/Arithmetic.h"

#include <cmath>

namespace pelicard {

double RoundHalfEvenWhole(double value)
{
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(lower, 2.0) != 0.0)) {
        return lower + 1.0;
    }
    return lower;
}

int RoundHalfEven(double value)
{
    if (std::isnan(value)) {
        return 0;
    }
    const double rounded = RoundHalfEvenWhole(value);
    if (rounded >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    if (rounded <= static_cast<double>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(rounded);
}

} // namespace pelicard
