#pragma once

class QWidget;

namespace pelicard {

// Positions and sizes of the window are given in twips, 1/1440 inch, and map to pixels at the
// screen's logical resolution.
inline constexpr double TwipsPerInch = 1440.0;

// Rounded to the nearest pixel.
int TwipsToPixels(double twips, double dotsPerInch);
double PixelsToTwips(double pixels, double dotsPerInch);

int TwipsToPixelsX(const QWidget* widget, double twips);
int TwipsToPixelsY(const QWidget* widget, double twips);
double PixelsToTwipsX(const QWidget* widget, double pixels);
double PixelsToTwipsY(const QWidget* widget, double pixels);

// The height of a panel in twips. The number set reads back unchanged; on screen the panel never
// gets lower than its contents need, since fonts differ between desktops.
void SetHeightTwips(QWidget* widget, int twips);
int HeightTwips(const QWidget* widget);

} // namespace pelicard
