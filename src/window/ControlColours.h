#pragma once

#include "values/Colours.h"

#include <QColor>
#include <QPalette>

#include <cstdint>

class QWidget;

namespace pelicard {

namespace colour {
// System colours beyond the button face: the high bit marks a palette entry, the low byte its index.
inline constexpr std::uint32_t SystemWindow = 0x80000005;
inline constexpr std::uint32_t SystemWindowText = 0x80000008;
inline constexpr std::uint32_t SystemButtonText = 0x80000012;
} // namespace colour

// The colour a number stands for. Plain numbers are blue-green-red with red in the low byte;
// system colours are looked up in the palette.
QColor ToQColor(std::uint32_t colour, const QPalette& palette);
// The same, against the application's palette.
QColor ToQColor(std::uint32_t colour);

// Back and fore colours of a control, kept as the numbers the program compares: what is set reads
// back unchanged, and the widget shows the matching colour. A control whose colour was never set
// reads the system colour it starts with (button face, or the window colour for edit fields).
void SetBackColour(QWidget* widget, std::uint32_t colour);
std::uint32_t BackColour(const QWidget* widget);
void SetForeColour(QWidget* widget, std::uint32_t colour);
std::uint32_t ForeColour(const QWidget* widget);

} // namespace pelicard
