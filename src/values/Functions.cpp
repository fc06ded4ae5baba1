#include "values/Functions.h"

#include <utility>

namespace pelicard {

bool IsEngineModel(double modelId)
{
    return modelId == 4.0;
}

const std::vector<std::string>& FunctionsForModel(double modelId)
{
    static const std::vector<std::string> engine { "DCV", "ACV", "OHM", "DIODE", "CAP", "DCmA", "DCA", "ACmA",
        "ACA", "FREQ", "PERIOD", "DUTY", "RPM/IG", "RPM/IP", "TEMP" };
    static const std::vector<std::string> standard { "DCV", "ACV", "OHM", "BEEP", "DIODE", "CAP", "DCmA",
        "DCA", "ACmA", "ACA", "FREQ", "PERIOD", "DUTY", "TEMP" };
    return IsEngineModel(modelId) ? engine : standard;
}

std::string_view FunctionAt(double modelId, int position)
{
    const auto& functions = FunctionsForModel(modelId);
    if (position < 0 || std::cmp_greater_equal(position, functions.size())) {
        return {};
    }
    return functions[static_cast<std::size_t>(position)];
}

const std::vector<std::string>& RangesForFunction(std::string_view functionName)
{
    static const std::vector<std::string> volts { "Auto", "500mV", "5V", "50V", "500V", "1000V" };
    static const std::vector<std::string> ohms { "Auto", "500ohm", "5k", "50k", "500k", "5M", "20M" };
    static const std::vector<std::string> diode { "5V" };
    static const std::vector<std::string> beep { "5k" };
    static const std::vector<std::string> capacitance { "Auto", "500nF", "5uF", "50uF", "500uF" };
    static const std::vector<std::string> milliamps { "Auto", "50mA", "500mA" };
    static const std::vector<std::string> amps { "Auto", "5A", "10A" };
    static const std::vector<std::string> autoOnly { "Auto" };
    static const std::vector<std::string> none;

    if (functionName == "DCV" || functionName == "ACV") {
        return volts;
    }
    if (functionName == "OHM") {
        return ohms;
    }
    if (functionName == "DIODE") {
        return diode;
    }
    if (functionName == "BEEP") {
        return beep;
    }
    if (functionName == "CAP") {
        return capacitance;
    }
    if (functionName == "DCmA" || functionName == "ACmA") {
        return milliamps;
    }
    if (functionName == "DCA" || functionName == "ACA") {
        return amps;
    }
    if (functionName == "FREQ" || functionName == "PERIOD" || functionName == "DUTY"
        || functionName == "RPM/IG" || functionName == "RPM/IP" || functionName == "TEMP") {
        return autoOnly;
    }
    return none;
}

} // namespace pelicard
