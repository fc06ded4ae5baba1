#pragma once

#include <optional>
#include <string_view>

// The text of one trend point, as the meter sends it and as the trend file holds it: one field per
// line, a comma or a line end ending a field.
namespace pelicard::trendfield {

// A comma, CR or LF: each ends a field of the trend file.
bool EndsField(char c);
// A control byte other than tab, or DEL: binary data a trend file does not hold.
bool IsControl(char c);
// Nothing but spaces and tabs (or nothing at all).
bool IsBlank(std::string_view field);

// The level a field stands for: its leading number rounded halves to even, 0 for a blank field;
// none for a field the file cannot hold as it is (text but no leading number, a comma, a line end or
// another control byte but tab), which the loader refuses or would read as another level.
std::optional<int> LevelOf(std::string_view field);

} // namespace pelicard::trendfield
