#include "window/Lamp.h"

#include "window/ControlColours.h"

#include <QEvent>
#include <QPainter>
#include <QTimer>

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
    // A little larger than a radio button's mark, so that the bezel and the glass both show.
    const int side = fontMetrics().height() + 8;
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
    const double rim = std::max(3.0, side / 5.0);
    const QRectF glass = bezel.adjusted(rim, rim, -rim, -rim);
    const std::uint32_t shown
        = BackColour(this) == colour::White && glowing_.isValid() && glowing_.elapsed() < GlowMs
        ? glowColour_
        : BackColour(this);
    // A domed glass: lighter in the middle, the colour itself towards the rim.
    const QColor lit = ToQColor(shown, palette());
    QRadialGradient dome(glass.center(), glass.width() / 2.0,
        glass.center() - QPointF(glass.width() / 6.0, glass.height() / 6.0));
    dome.setColorAt(0.0, lit.lighter(125));
    dome.setColorAt(1.0, shown == colour::White ? QColor(0xd8, 0xd8, 0xd8) : lit.darker(115));
    painter.setBrush(dome);
    painter.drawEllipse(glass);
    const double glint = glass.width() / 3.0;
    painter.setBrush(QColor(255, 255, 255, 170));
    painter.drawEllipse(QRectF(glass.left() + glint / 2, glass.top() + glint / 3, glint, glint * 0.8));
}

void Lamp::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange && BackColour(this) != colour::White) {
        glowColour_ = BackColour(this);
        glowing_.start();
        QTimer::singleShot(GlowMs, this, [this] { update(); });
    }
    QWidget::changeEvent(event);
}

} // namespace pelicard
