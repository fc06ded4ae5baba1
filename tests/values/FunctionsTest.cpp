#include "values/Functions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace pelicard {
namespace {

using Names = std::vector<std::string>;

TEST(FunctionList, EngineModelOnlyForModelIdFour)
{
    const auto& engine = FunctionsForModel(4.0);
    ASSERT_EQ(engine.size(), 15u);
    EXPECT_EQ(engine[12], "RPM/IG");
    EXPECT_EQ(engine.back(), "TEMP");
    EXPECT_EQ(std::count(engine.begin(), engine.end(), "BEEP"), 0);
    for (const double modelId : { 1.0, 3.9, 4.1 }) {
        const auto& standard = FunctionsForModel(modelId);
        ASSERT_EQ(standard.size(), 14u) << modelId;
        EXPECT_EQ(standard[3], "BEEP");
        EXPECT_EQ(standard.back(), "TEMP");
    }
    // The same position means different functions, with different ranges.
    EXPECT_EQ(FunctionAt(4, 9), "FREQ");
    EXPECT_EQ(FunctionAt(1, 9), "ACA");
    EXPECT_EQ(FunctionAt(1, 14), "");
    EXPECT_EQ(FunctionAt(1, -1), "");
    EXPECT_EQ(RangesForFunction(FunctionAt(4, 9)), Names { "Auto" });
    EXPECT_EQ(RangesForFunction(FunctionAt(1, 9)), (Names { "Auto", "5A", "10A" }));
}

TEST(RangeList, AutoFirstExceptForTheFixedRanges)
{
    EXPECT_EQ(RangesForFunction("DIODE"), Names { "5V" });
    EXPECT_EQ(RangesForFunction("BEEP"), Names { "5k" });
    for (const double modelId : { 1.0, 4.0 }) {
        for (const std::string& function : FunctionsForModel(modelId)) {
            const auto& ranges = RangesForFunction(function);
            EXPECT_EQ(!ranges.empty() && ranges[0] == "Auto", function != "DIODE" && function != "BEEP")
                << function;
        }
    }
    // Names are compared exactly.
    EXPECT_TRUE(RangesForFunction("dcv").empty() && RangesForFunction("DCV ").empty());
}

} // namespace
} // namespace pelicard
