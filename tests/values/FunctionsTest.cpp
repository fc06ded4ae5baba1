#include "values/Functions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace pelicard {
namespace {

bool Holds(const std::vector<std::string>& list, const std::string& name)
{
    return std::find(list.begin(), list.end(), name) != list.end();
}

TEST(FunctionList, EngineModelOnlyForModelIdFour)
{
    const auto& engine = FunctionsForModel(4.0);
    ASSERT_EQ(engine.size(), 15u);
    EXPECT_EQ(engine[12], "RPM/IG");
    EXPECT_EQ(engine[14], "TEMP");
    EXPECT_FALSE(Holds(engine, "BEEP"));
    for (const double modelId : { 0.0, 1.0, 2.0, 3.9, 4.1, -4.0 }) {
        const auto& standard = FunctionsForModel(modelId);
        ASSERT_EQ(standard.size(), 14u) << modelId;
        EXPECT_EQ(standard[3], "BEEP");
        EXPECT_EQ(standard[13], "TEMP");
        EXPECT_FALSE(Holds(standard, "RPM/IG") || Holds(standard, "RPM/IP"));
    }
}

TEST(FunctionList, TheSamePositionMeansDifferentFunctionsPerModel)
{
    EXPECT_EQ(FunctionAt(4, 3), "DIODE");
    EXPECT_EQ(FunctionAt(1, 3), "BEEP");
    EXPECT_EQ(FunctionAt(4, 9), "FREQ");
    EXPECT_EQ(FunctionAt(1, 9), "ACA");
    EXPECT_EQ(FunctionAt(1, 14), "");
    EXPECT_EQ(FunctionAt(1, -1), "");
    // "ACA" has the current ranges on both models; position 9 has them only on the standard one.
    EXPECT_EQ(RangesForFunction(FunctionAt(4, 8)), RangesForFunction(FunctionAt(1, 9)));
    EXPECT_EQ(RangesForFunction(FunctionAt(4, 9)), std::vector<std::string> { "Auto" });
    EXPECT_EQ(RangesForFunction(FunctionAt(1, 9)), (std::vector<std::string> { "Auto", "5A", "10A" }));
}

TEST(RangeList, AutoFirstExceptForTheFixedRanges)
{
    EXPECT_EQ(RangesForFunction("ACV").back(), "1000V");
    EXPECT_EQ(RangesForFunction("OHM").size(), 7u);
    EXPECT_EQ(RangesForFunction("DIODE"), std::vector<std::string> { "5V" });
    EXPECT_EQ(RangesForFunction("BEEP"), std::vector<std::string> { "5k" });
    for (const double modelId : { 1.0, 4.0 }) {
        for (const std::string& function : FunctionsForModel(modelId)) {
            const auto& ranges = RangesForFunction(function);
            ASSERT_FALSE(ranges.empty()) << function;
            EXPECT_EQ(ranges[0] == "Auto", function != "DIODE" && function != "BEEP") << function;
        }
    }
    // Unknown names, compared exactly.
    EXPECT_TRUE(RangesForFunction("").empty());
    EXPECT_TRUE(RangesForFunction("dcv").empty());
    EXPECT_TRUE(RangesForFunction("DCV ").empty());
}

} // namespace
} // namespace pelicard
