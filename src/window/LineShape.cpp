#include "window/LineShape.h"

#include "window/ControlColours.h"
#include "window/PictureBox.h"

#include <QPainter>

#include <algorithm>

namespace pelicard {

LineShape::LineShape(PictureBox* container)
    : QWidget(container)
    , box_(container)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void LineShape::SetLine(double x1, double y1, double x2, double y2)
{
    ends[0] = x1;
    ends[1] = y1;
    ends[2] = x2;
    ends[3] = y2;
    const QPoint a = box_->ToPixels(x1, y1);
    const QPoint b = box_->ToPixels(x2, y2);
    const QRect bounds = QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
        QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
    setGeometry(bounds);
    from_ = a - bounds.topLeft();
    to_ = b - bounds.topLeft();
    update();
}

void LineShape::SetBorderColor(std::uint32_t borderColour)
{
    colour_ = borderColour;
    update();
}

void LineShape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QPen(ToQColor(colour_, palette()), 0));
    painter.drawLine(from_, to_);
}

} // namespace pelicard
