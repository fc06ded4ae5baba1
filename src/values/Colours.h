#pragma once

#include <cstdint>

namespace pelicard {

// Colours are kept as the numbers the program compares, blue-green-red (red in the low byte).
namespace colour {
inline constexpr std::uint32_t Red = 0x0000FF;
inline constexpr std::uint32_t Green = 0x00FF00;
inline constexpr std::uint32_t White = 0xFFFFFF;
inline constexpr std::uint32_t Black = 0x000000;
inline constexpr std::uint32_t Linked = 0x80FF80; // light green: linked, sampling, loaded file shown
inline constexpr std::uint32_t Lit = 0x8080FF; // light red: a mode action is running
inline constexpr std::uint32_t FileBar = 0xC0FFC0; // normal colour of a file bar cell
inline constexpr std::uint32_t LoadedMark = 0xFFFF80; // a table shows data loaded from a file
inline constexpr std::uint32_t ButtonFace = 0x8000000F; // the system button-face colour
inline constexpr std::uint32_t GaugeBackground = 0xD2DCE1;
} // namespace colour

} // namespace pelicard
