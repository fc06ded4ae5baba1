#include "window/PictureBox.h"

#include "window/Colours.h"
#include "window/Twips.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace pelicard {

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent)
    , canvas(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    Fill(canvas);
}

QImage& PictureBox::image()
{
    FitCanvas();
    return canvas;
}

const QImage& PictureBox::image() const
{
    FitCanvas();
    return canvas;
}

double PictureBox::ScaleWidth() const
{
    FitCanvas();
    return scale == PictureScale::Twips ? PixelsToTwipsX(this, canvas.width()) : canvas.width();
}

double PictureBox::ScaleHeight() const
{
    FitCanvas();
    return scale == PictureScale::Twips ? PixelsToTwipsY(this, canvas.height()) : canvas.height();
}

QPoint PictureBox::ToPixels(double x, double y) const
{
    if (scale == PictureScale::Twips) {
        return { TwipsToPixelsX(this, x), TwipsToPixelsY(this, y) };
    }
    return { static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)) };
}

void PictureBox::SetDrawWidth(int pixels)
{
    drawWidth = std::max(1, pixels);
}

QColor PictureBox::Back() const
{
    return ToQColor(BackColour(this), palette());
}

void PictureBox::Fill(QImage& target) const
{
    target.fill(Back());
    if (!background.isNull()) {
        QPainter painter(&target);
        painter.drawImage(0, 0, background);
    }
}

void PictureBox::Cls()
{
    FitCanvas();
    Fill(canvas);
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
    pen.setWidth(drawWidth == 1 ? 0 : drawWidth);
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
    background = loaded.convertToFormat(QImage::Format_RGB32);
    FitCanvas();
    Fill(canvas);
    update();
    return true;
}

void PictureBox::ClearPicture()
{
    background = QImage();
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
    if (wanted == canvas.size()) {
        return;
    }
    // The drawing survives a resize; new room shows the back colour.
    QImage grown(wanted, QImage::Format_RGB32);
    Fill(grown);
    QPainter painter(&grown);
    painter.drawImage(0, 0, canvas);
    painter.end();
    canvas = grown;
}

} // namespace pelicard
