#include "values/Functions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelicard {
namespace {

using Names = std::vector<std::string>;

TEST(FunctionList, EngineModelOnlyForModelIdFourAndThePositionNamesAnotherFunction)
{
    EXPECT_EQ(FunctionsForModel(4.0).size(), 15u);
    for (const double modelId : { 1.0, 3.9, 4.1 }) {
        EXPECT_EQ(FunctionsForModel(modelId).size(), 14u) << modelId;
    }
    EXPECT_EQ(FunctionAt(4, 9), "FREQ");
    EXPECT_EQ(FunctionAt(1, 9), "ACA");
    EXPECT_EQ(FunctionAt(1, 14), "");
    EXPECT_EQ(FunctionAt(1, -1), "");
}

TEST(RangeList, AutoFirstExceptForTheFixedRangesAndNamesComparedExactly)
{
    EXPECT_EQ(RangesForFunction("DIODE"), Names { "5V" });
    EXPECT_EQ(RangesForFunction("BEEP"), Names { "5k" });
    EXPECT_EQ(RangesForFunction("ACA"), (Names { "Auto", "5A", "10A" }));
    for (const double modelId : { 1.0, 4.0 }) {
        for (const std::string& function : FunctionsForModel(modelId)) {
            const auto& ranges = RangesForFunction(function);
            EXPECT_EQ(!ranges.empty() && ranges[0] == "Auto", function != "DIODE" && function != "BEEP")
                << function;
        }
    }
    EXPECT_TRUE(RangesForFunction("dcv").empty() && RangesForFunction("DCV ").empty());
}

} // namespace
} // namespace pelicard
