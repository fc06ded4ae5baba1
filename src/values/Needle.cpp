#include "values/Needle.h"

#include "values/LeadingNumber.h"
#include "values/ReadingValue.h"

#include <cmath>

namespace pelicard {

double ReadingToNeedle(
    std::string_view readingText, std::string_view functionText, double modelId, std::string& scaleText)
{
    double value = ReadLeadingNumber(readingText.substr(0, 7));
    const std::size_t point = readingText.find('.');
    int pointPosition = point == std::string_view::npos ? 0 : static_cast<int>(point) + 1;

    // Overload: the needle goes to the end of the scale; the multiplier says nothing then.
    const bool fullScaleHundred = functionText == "TEMP" || functionText == "DUTY" || functionText == "PERIOD"
        || functionText == "FREQ";
    if (IsOverloadReading(readingText)) {
        return fullScaleHundred ? 100.0 : 50.0;
    }

    if (functionText == "TEMP") {
        scaleText = "X10";
        return value / 10.0;
    }
    if (functionText == "DUTY") {
        scaleText = "X1";
        return value;
    }
    // Capacitance always counts one place less; frequency and period never do; the rest do except on
    // the 5k variant, whose readings lack the leading space of the others.
    const bool shifted
        = functionText == "CAP" || (functionText != "PERIOD" && functionText != "FREQ" && modelId != 2.0);
    if (shifted) {
        --pointPosition;
    }

    switch (pointPosition) {
    case 3:
        value *= 10.0;
        scaleText = "/10";
        break;
    case 4:
        scaleText = "X1";
        break;
    case 5:
        value /= 10.0;
        scaleText = "X10";
        break;
    case 6:
        value /= 100.0;
        scaleText = "X100";
        break;
    default:
        break;
    }
    return value;
}

double PercentToNeedle(std::string_view readingText)
{
    const double value = ReadLeadingNumber(readingText.substr(0, 6));
    if (std::fabs(value) <= 100.0 && !IsOverloadReading(readingText)) {
        return value;
    }
    return value > 0.0 ? 100.0 : -100.0;
}

} // namespace pelicard
