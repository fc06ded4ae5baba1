#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pelicard {

// Model id 4 is the variant with the engine functions; it is compared as a number, so 4.0 counts.
bool IsEngineModel(double modelId);

// The entries of the function list, in list order, for a model: 15 with the engine functions
// ("RPM/IG" at 12, no "BEEP"), otherwise 14 ("BEEP" at 3). A list position is the function number
// the meter uses, so the same position means different functions on the two variants.
const std::vector<std::string>& FunctionsForModel(double modelId);

// The function at a list position for a model; empty for a position outside the list.
std::string_view FunctionAt(double modelId, int position);

// The range list of a function, "Auto" first where the function has it; empty for an unknown name.
const std::vector<std::string>& RangesForFunction(std::string_view functionName);

} // namespace pelicard
