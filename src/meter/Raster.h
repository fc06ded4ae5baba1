#pragma once

#include "meter/modGraph.h"

#include <QImage>
#include <QPoint>
#include <QRgb>

#include <algorithm>
#include <cstdint>
#include <span>

namespace pelicard {

// The pixel work behind the shape operations of modGraph: whole-number rasterisers that write opaque
// runs of pixels through a PixelSink. Only the drawing library itself uses these.
namespace raster {

using i64 = std::int64_t;

// Pen widths below one draw one pixel wide; absurd widths are bounded.
int PenWidth(int width);

// Writes opaque pixels inside the image and the clip band; the visible area is Left..Right-1 x
// Top..Bottom-1.
class PixelSink {
public:
    PixelSink(QImage& image, const ClipBand& clip)
        : image_(image)
    {
        if (image.isNull()) {
            return;
        }
        left_ = std::max(0, clip.left);
        top_ = std::max(0, clip.top);
        right_ = std::min(image.width(), clip.right);
        bottom_ = std::min(image.height(), clip.bottom);
        const QImage::Format format = image.format();
        direct_ = format == QImage::Format_RGB32 || format == QImage::Format_ARGB32
            || format == QImage::Format_ARGB32_Premultiplied;
        if (!IsEmpty() && direct_) {
            bits_ = image.bits();
            bytesPerLine_ = image.bytesPerLine();
        }
    }

    bool IsEmpty() const { return left_ >= right_ || top_ >= bottom_; }
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Right() const { return right_; }
    int Bottom() const { return bottom_; }
    // Whether pixels are written straight into 32-bit words (RGB32 and the ARGB32 formats).
    bool IsDirect() const { return direct_; }

    // Paints xa..xb (inclusive) of row y, as far as it is visible.
    void Span(i64 y, i64 xa, i64 xb, QRgb rgb)
    {
        if (y < top_ || y >= bottom_) {
            return;
        }
        const i64 from = std::max<i64>(xa, left_);
        const i64 to = std::min<i64>(xb, right_ - 1);
        if (from > to) {
            return;
        }
        if (direct_) {
            auto* row = reinterpret_cast<QRgb*>(bits_ + bytesPerLine_ * y);
            std::fill(row + from, row + to + 1, rgb | 0xFF000000u);
            return;
        }
        const QColor colour = QColor::fromRgb(rgb);
        for (i64 x = from; x <= to; ++x) {
            image_.setPixelColor(static_cast<int>(x), static_cast<int>(y), colour);
        }
    }

    void Plot(i64 x, i64 y, QRgb rgb) { Span(y, x, x, rgb); }

private:
    QImage& image_;
    int left_ = 0;
    int top_ = 0;
    int right_ = 0;
    int bottom_ = 0;
    bool direct_ = false;
    uchar* bits_ = nullptr;
    qsizetype bytesPerLine_ = 0;
};

// A line from (x1, y1) to (x2, y2): one pixel wide by Bresenham's rule, wider as a round pen swept
// along it. withEnd paints the end pixel too. Far coordinates are clipped before any pixel is walked.
void Line(PixelSink& sink, i64 x1, i64 y1, i64 x2, i64 y2, int width, QRgb rgb, bool withEnd);
// The outline of a closed point list, each edge leaving out its end pixel, which is where the next
// edge starts.
void Outline(PixelSink& sink, std::span<const QPoint> points, int width, QRgb rgb);

// A bounding box with exclusive right and bottom edges.
struct Box {
    i64 x1;
    i64 y1;
    i64 x2;
    i64 y2;
    bool IsEmpty() const { return x1 >= x2 || y1 >= y2; }
};

Box NormalBox(int x1, int y1, int x2, int y2);

// The ellipse inscribed in the box: its inside, and its outline drawn with a pen of the given width.
void FillEllipse(PixelSink& sink, const Box& box, QRgb rgb);
void EllipseRing(PixelSink& sink, const Box& box, int width, QRgb rgb);

} // namespace raster

} // namespace pelicard
