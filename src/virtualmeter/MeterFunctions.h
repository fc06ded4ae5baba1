#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pelicard {

// The three meter variants and what tells them apart on the wire.
enum class MeterVariant { Logger5k, Logger50k, Motor };

// "5k", "50k" or "motor" (the argument of --virtual-meter=); nothing for any other text.
std::optional<MeterVariant> ParseVariant(std::string_view text);
inline constexpr MeterVariant kDefaultMeterVariant = MeterVariant::Logger50k;

std::uint16_t ProductIdOf(MeterVariant variant); // 0xE100, 0xE101, 0xE102
int ModelIdOf(MeterVariant variant); // 2, 1, 4: the answer to "SD9"
std::string CaptionOf(MeterVariant variant); // the answer to "SD0"

// One measuring range of a function. Readings are shown in `unit`, which never holds a capital O
// (a capital O in a reading means overload to the program).
struct MeterRange {
    std::string_view unit;
    std::string_view setupUnit; // the unit word that setup values of this range are typed with
    double scale; // base units (V, ohm, F, A, Hz, s, %, deg, rpm) per display unit
    double fullScale; // display magnitude from which the range shows overload
    int decimals; // decimals of the 50,000-count form; the 5,000-count form shows one fewer
};

enum class RangeChoice {
    AutoOrManual, // "Auto" plus a list of ranges the user may pick
    Fixed, // one range, no auto (diode, continuity)
    AutoOnly, // the meter picks among its ranges by itself
};

struct MeterFunction {
    std::string_view name;
    RangeChoice choice;
    std::span<const MeterRange> ranges;
    double centre; // the living signal, in base units: centre + swing * sine + noise
    double swing;
    bool hasBeepOrProg; // F2 switches a beeper (resistance) or the program reading (engine speed)
    bool isRpm;
};

// The function list of a variant: 15 entries with the engine functions for model 4, 14 otherwise.
std::span<const MeterFunction> FunctionsOf(MeterVariant variant);

// The overload text.
inline constexpr std::string_view kOverloadReading = "    OL     ";

// The 11-character reading of `value` (base units) in `range`: in the 50,000-count form a space,
// the sign or a space, five digits with the point where the range puts it, the unit padded to
// three; the 5,000-count form drops the leading space, shows four digits and pads the unit to five.
// A value the range cannot show gives the overload text.
std::string FormatReading(double value, const MeterRange& range, MeterVariant variant);
bool FitsRange(double value, const MeterRange& range, MeterVariant variant);
// The range with the finest resolution that shows `value`; the widest one when none does.
int PickRange(const MeterFunction& function, double value, MeterVariant variant);
// The 10-character form of a reading that the logger memory keeps.
std::string LoggerReading(const std::string& reading, MeterVariant variant);
// A relative deviation in percent as 7 characters, " 12.34%"; overload for no finite value.
std::string FormatRelative(double percent);

// A setup value as the setup commands carry it: sign, digits, "_", range number, e.g. +012.50_0.
// `value` is in the display unit of range `range` of the function it is applied to.
struct SetupCode {
    double value = 0;
    int range = 0;

    bool operator==(const SetupCode&) const = default;
};

std::optional<SetupCode> ParseSetupCode(std::string_view text);
// A count field such as 0000500 or -000001 (leading zeros of any number).
std::optional<std::int64_t> ParseCount(std::string_view text);

// A finite value naming one of the function's ranges: what the setup commands can store.
bool IsValidCode(const SetupCode& code, const MeterFunction& function);
// The range a code names, held to the ranges the function has.
const MeterRange& RangeOfCode(const SetupCode& code, const MeterFunction& function);
double BaseValueOf(const SetupCode& code, const MeterFunction& function);
// A setup value as a label the program can type back unchanged, e.g. "   -200.00mV": sign, digits,
// setup unit word, padded on the left to 11 characters; nothing when it would not fit.
std::optional<std::string> SetupLabel(
    const SetupCode& code, const MeterFunction& function, MeterVariant variant);

} // namespace pelicard
