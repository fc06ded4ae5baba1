#include "values/Arithmetic.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>

namespace pelicard {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(RoundHalfEven, RoundsHalvesToTheEvenNeighbourAndSaturates)
{
    const std::pair<double, int> cases[] = { { 0.5, 0 }, { 1.5, 2 }, { 2.5, 2 }, { -2.5, -2 }, { -3.5, -4 },
        { 2.4999, 2 }, { -2.5001, -3 }, { -0.5, 0 }, { 1e300, INT_MAX }, { -1e300, INT_MIN },
        { kInf, INT_MAX }, { -kInf, INT_MIN }, { kNaN, 0 }, { 2147483646.5, 2147483646 },
        { 2147483646.6, INT_MAX }, { -2147483648.4, INT_MIN }, { -2147483647.5, INT_MIN } };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(RoundHalfEven(value), expected) << value;
    }
}

TEST(RoundHalfEven, TheWholeNumberFormHasNoRangeLimit)
{
    const std::pair<double, double> cases[] = { { 0.5, 0.0 }, { 1.5, 2.0 }, { -2.5, -2.0 }, { -2.6, -3.0 },
        { 359.5, 360.0 }, { 4294967295.5, 4294967296.0 }, { -1e300, -1e300 }, { 1e17, 1e17 } };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(RoundHalfEvenWhole(value), expected) << value;
    }
    EXPECT_EQ(RoundHalfEvenWhole(kInf), kInf);
    EXPECT_EQ(RoundHalfEvenWhole(-kInf), -kInf);
    EXPECT_TRUE(std::isnan(RoundHalfEvenWhole(kNaN)));
    // Both forms agree wherever the result fits an int.
    for (double v = -1000.25; v <= 1000.0; v += 0.25) {
        EXPECT_EQ(RoundHalfEven(v), static_cast<int>(RoundHalfEvenWhole(v))) << v;
    }
}

TEST(Saturate, KeepsWhatFitsAndClampsTheRest)
{
    static_assert(Saturate(std::int64_t { 1 } << 40) == INT_MAX);
    const std::pair<std::int64_t, int> cases[] = { { 0, 0 }, { -7, -7 }, { INT_MAX, INT_MAX },
        { INT_MIN, INT_MIN }, { std::int64_t { INT_MAX } + 1, INT_MAX },
        { std::int64_t { INT_MIN } - 1, INT_MIN }, { std::numeric_limits<std::int64_t>::max(), INT_MAX },
        { std::numeric_limits<std::int64_t>::min(), INT_MIN } };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(Saturate(value), expected) << value;
    }
}

} // namespace
} // namespace pelicard
