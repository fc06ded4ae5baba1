#pragma once

#include <string>
#include <string_view>

namespace pelicard {

// Turns a reading text of the meter into the value at which a needle on the fixed 0..50 / 0..100
// scales stands, and sets `scaleText` ("/10", "X1", "X10", "X100") to tell the user how to read
// the scale for the decimal point's position. `scaleText` keeps its previous content where the
// reading says nothing about the scale (an overload, a point in no known position), so the label
// then repeats the multiplier of the previous call.
// `functionText` is the text of the function list; model id 2 (the 5k variant, whose readings
// have no leading space) counts point positions from one place further left.
double ReadingToNeedle(
    std::string_view readingText, std::string_view functionText, double modelId, std::string& scaleText);

// The needle value of a relative reading (a percentage): its number, limited to -100..100.
// An overload (a capital "O") or a number beyond the limits gives 100 above 0, else -100.
double PercentToNeedle(std::string_view readingText);

} // namespace pelicard
