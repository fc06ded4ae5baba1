#include "window/Lamp.h"

#include "window/ControlColours.h"

#include <QPainter>

#include <algorithm>

namespace pelicard {

Lamp::Lamp(QWidget* parent)
    : QWidget(parent)
{
    SetBackColour(this, colour::White);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize Lamp::sizeHint() const
{
    const int side = fontMetrics().height() + 4;
    return { side, side };
}

void Lamp::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // A round lamp in a thick dark bezel with a glint, so it does not pass for a radio button.
    const double side = std::min(width(), height()) - 1.0;
    const QRectF bezel((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x4a, 0x4a, 0x4a));
    painter.drawEllipse(bezel);
    const QRectF glass = bezel.adjusted(3, 3, -3, -3);
    painter.setBrush(ToQColor(BackColour(this), palette()));
    painter.drawEllipse(glass);
    const double glint = glass.width() / 3.0;
    painter.setBrush(QColor(255, 255, 255, 170));
    painter.drawEllipse(QRectF(glass.left() + glint / 2, glass.top() + glint / 3, glint, glint * 0.8));
}

} // namespace pelicard
