#include "window/Twips.h"

#include <QLayout>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace pelicard {

namespace {
constexpr const char* HeightProperty = "pelicardHeightTwips";
}

int TwipsToPixels(double twips, double dotsPerInch)
{
    return static_cast<int>(std::lround(twips * dotsPerInch / TwipsPerInch));
}

double PixelsToTwips(double pixels, double dotsPerInch)
{
    return dotsPerInch > 0 ? pixels * TwipsPerInch / dotsPerInch : 0.0;
}

int TwipsToPixelsX(const QWidget* widget, double twips)
{
    return TwipsToPixels(twips, widget->logicalDpiX());
}

int TwipsToPixelsY(const QWidget* widget, double twips)
{
    return TwipsToPixels(twips, widget->logicalDpiY());
}

double PixelsToTwipsX(const QWidget* widget, double pixels)
{
    return PixelsToTwips(pixels, widget->logicalDpiX());
}

double PixelsToTwipsY(const QWidget* widget, double pixels)
{
    return PixelsToTwips(pixels, widget->logicalDpiY());
}

void SetHeightTwips(QWidget* widget, int twips)
{
    if (widget == nullptr || twips < 0) {
        return;
    }
    widget->setProperty(HeightProperty, twips);
    int pixels = TwipsToPixelsY(widget, twips);
    if (widget->layout() != nullptr) {
        pixels = std::max(pixels, widget->layout()->minimumSize().height());
    }
    widget->setFixedHeight(pixels);
}

int HeightTwips(const QWidget* widget)
{
    if (widget == nullptr) {
        return 0;
    }
    const QVariant stored = widget->property(HeightProperty);
    if (stored.isValid()) {
        return stored.toInt();
    }
    return static_cast<int>(std::lround(PixelsToTwipsY(widget, widget->height())));
}

} // namespace pelicard
