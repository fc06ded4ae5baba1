#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Every command text the program sends to the meter is built here, so that all senders share one
// vocabulary. Several commands joined by "," go out as one frame; a name followed by "??" asks for
// the current value.
namespace pelicard::command {

inline constexpr std::string_view StatusQuery = "FUN??,RGE??,MOD??,HLD??,PST??";
inline constexpr std::string_view GoToLocal = "GTL"; // hands the meter back to its front panel
inline constexpr std::string_view CaptionQuery = "SD0";
inline constexpr std::string_view ModelQuery = "SD9";
inline constexpr std::string_view LoggerRecordQuery = "DRL??";
inline constexpr std::string_view ReadingRequest = "DRM";
inline constexpr std::string_view ProgramStatusQuery = "PST??";
inline constexpr std::string_view StartKeyWithStatus = "F4,PST??";

// Command prefixes of the mode parameters (the setup panel's kinds) and their queries.
inline constexpr std::string_view LoggerParameters = "PLV";
inline constexpr std::string_view RelativeParameters = "PRV";
inline constexpr std::string_view CompareParameters = "PCV";
inline constexpr std::string_view TrendParameters = "PTV";
inline constexpr std::string_view LoggerParameterQuery = "PLV??";
inline constexpr std::string_view RelativeParameterQuery = "PRV??";
inline constexpr std::string_view CompareParameterQuery = "PCV??";
inline constexpr std::string_view TrendParameterQuery = "PTV??";

// "CLK" + "YY-MM-DD,HH:MM:SS", every number two digits. The year contributes its last two digits;
// the other fields are limited to 0..99 so that the text keeps its fixed layout.
std::string BuildClockCommand(int year, int month, int day, int hour, int minute, int second);

// "HLD01,HLD??" or "HLD00,HLD??": set the hold and ask for it back.
std::string BuildHoldCommand(bool on);

// "FUN" + the function list position, at least two digits ("FUN07", "FUN12").
// No command for a negative position (a list without a chosen entry).
std::optional<std::string> BuildFunctionCommand(int position);

// "RGE" + "10" when the range list's text is "Auto"; "00" when the list holds one entry; otherwise
// the chosen position - 1 (the ranges after "Auto" count from 0), at least two digits.
// No command when that leaves no valid range: no chosen entry (position -1) or a position outside
// the list while the text is not "Auto".
std::optional<std::string> BuildRangeCommand(int position, int entryCount, std::string_view rangeText);

// "F1".."F4": the meter's function key `key`; no command for other numbers.
std::optional<std::string> BuildKeyCommand(int key);

// "MOD00".."MOD04": switch the meter to the mode of a tab; no command for other tabs.
std::optional<std::string> BuildModeCommand(int tab);

// The parameter query of a mode tab ("PLV??", "PRV??", "PCV??", "PTV??"); empty for the Record
// Mode tab, which has no parameters, and for tabs outside 0..4.
std::string_view ParameterQueryForTab(int tab);

// The status query that a tab change sends: the tab's parameter query followed by ",PST??", or
// "PST??" alone where the tab has no parameter query.
std::string BuildModeStatusQuery(int tab);

// A parameter command: the kind ("PLV", "PRV", "PCV", "PTV") followed by its already encoded
// fields joined by ",".
std::string BuildParameterCommand(std::string_view kind, const std::vector<std::string>& fields);

// The kind followed by "??", which asks for the values the meter accepted.
std::string BuildParameterQuery(std::string_view kind);

} // namespace pelicard::command
