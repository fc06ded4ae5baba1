#include "window/PictureBox.h"

#include "window/ControlColours.h"
#include "window/Twips.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace pelicard {

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent)
    // The canvas grows to the box's size on first use: a box is laid out after it is made, and a
    // picture of the default widget size would be a megabyte made only to be thrown away.
    , canvas_(1, 1, QImage::Format_RGB32)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    Fill(canvas_);
}

QImage& PictureBox::image()
{
    FitCanvas();
    return canvas_;
}

const QImage& PictureBox::image() const
{
    FitCanvas();
    return canvas_;
}

double PictureBox::ScaleWidth() const
{
    FitCanvas();
    return scale_ == PictureScale::Twips ? PixelsToTwipsX(this, canvas_.width()) : canvas_.width();
}

double PictureBox::ScaleHeight() const
{
    FitCanvas();
    return scale_ == PictureScale::Twips ? PixelsToTwipsY(this, canvas_.height()) : canvas_.height();
}

QPoint PictureBox::ToPixels(double x, double y) const
{
    if (scale_ == PictureScale::Twips) {
        return { TwipsToPixelsX(this, x), TwipsToPixelsY(this, y) };
    }
    return { static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)) };
}

void PictureBox::SetDrawWidth(int pixels)
{
    drawWidth_ = std::max(1, pixels);
}

QColor PictureBox::Back() const
{
    return ToQColor(BackColour(this), palette());
}

void PictureBox::Fill(QImage& target) const
{
    target.fill(Back());
    if (!background_.isNull()) {
        QPainter painter(&target);
        painter.drawImage(0, 0, background_);
    }
}

void PictureBox::Cls()
{
    FitCanvas();
    Fill(canvas_);
    update();
}

void PictureBox::Refresh()
{
    update();
}

void PictureBox::DrawLine(double x1, double y1, double x2, double y2, std::uint32_t colour)
{
    QPainter painter(&image());
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(ToQColor(colour, palette()));
    pen.setWidth(drawWidth_ == 1 ? 0 : drawWidth_);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    painter.drawLine(ToPixels(x1, y1), ToPixels(x2, y2));
}

bool PictureBox::SavePicture(const QString& path) const
{
    return image().save(path, "BMP");
}

bool PictureBox::LoadPicture(const QString& path)
{
    QImage loaded;
    if (path.isEmpty() || !loaded.load(path)) {
        return false;
    }
    background_ = loaded.convertToFormat(QImage::Format_RGB32);
    FitCanvas();
    Fill(canvas_);
    update();
    return true;
}

void PictureBox::ClearPicture()
{
    background_ = QImage();
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, Back());
    painter.drawImage(area.topLeft(), image(), area);
}

void PictureBox::FitCanvas() const
{
    const QSize wanted = size().expandedTo(QSize(1, 1));
    if (wanted == canvas_.size()) {
        return;
    }
    // The drawing survives a resize; new room shows the back colour.
    QImage grown(wanted, QImage::Format_RGB32);
    Fill(grown);
    QPainter painter(&grown);
    painter.drawImage(0, 0, canvas_);
    painter.end();
    canvas_ = grown;
}

} // namespace pelicard
