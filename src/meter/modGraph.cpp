#include "meter/modGraph.h"

#include "meter/Raster.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace pelicard {

ClipBand ClipBand::Rect(int x1, int y1, int x2, int y2)
{
    return ClipBand { std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2) };
}

namespace modGraph {

using raster::Box;
using raster::i64;
using raster::PixelSink;

QRgb ColourToRgb(std::uint32_t colour)
{
    return qRgb(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
        static_cast<int>((colour >> 16) & 0xFFu));
}

std::uint32_t RgbToColour(QRgb rgb)
{
    return static_cast<std::uint32_t>(qRed(rgb)) | (static_cast<std::uint32_t>(qGreen(rgb)) << 8)
        | (static_cast<std::uint32_t>(qBlue(rgb)) << 16);
}

void DrawEllipse(QImage& hDC, int x1, int y1, int x2, int y2, int width, std::uint32_t penColour,
    std::uint32_t fillColour, const ClipBand& clip)
{
    PixelSink sink(hDC, clip);
    const Box box = raster::NormalBox(x1, y1, x2, y2);
    if (sink.IsEmpty() || box.IsEmpty()) {
        return;
    }
    raster::FillEllipse(sink, box, ColourToRgb(fillColour));
    raster::EllipseRing(sink, box, width, ColourToRgb(penColour));
}

void DrawEllipseOutline(QImage& hDC, int x1, int y1, int x2, int y2, int width, std::uint32_t colour,
    int penStyle, const ClipBand& clip)
{
    PixelSink sink(hDC, clip);
    const Box box = raster::NormalBox(x1, y1, x2, y2);
    if (sink.IsEmpty() || box.IsEmpty() || penStyle == PS_NULL) {
        return;
    }
    raster::EllipseRing(sink, box, width, ColourToRgb(colour));
}

void DrawRectangle(QImage& hDC, int x1, int y1, int x2, int y2, int width, std::uint32_t penColour,
    std::uint32_t fillColour, int penStyle, const ClipBand& clip)
{
    PixelSink sink(hDC, clip);
    Box box = raster::NormalBox(x1, y1, x2, y2);
    if (sink.IsEmpty() || box.IsEmpty()) {
        return;
    }
    const QRgb fill = ColourToRgb(fillColour);
    if (penStyle == PS_NULL) {
        // Without a pen the filled area is one pixel smaller to the right and below.
        --box.x2;
        --box.y2;
    }
    const i64 firstRow = std::max<i64>(box.y1, sink.Top());
    const i64 lastRow = std::min<i64>(box.y2, sink.Bottom());
    for (i64 y = firstRow; y < lastRow; ++y) {
        sink.Span(y, box.x1, box.x2 - 1, fill);
    }
    if (penStyle == PS_NULL) {
        return;
    }
    const QRgb pen = ColourToRgb(penColour);
    const i64 right = box.x2 - 1;
    const i64 bottom = box.y2 - 1;
    if (raster::PenWidth(width) <= 1) {
        sink.Span(box.y1, box.x1, right, pen);
        sink.Span(bottom, box.x1, right, pen);
        for (i64 y = std::max<i64>(box.y1, sink.Top()); y <= std::min<i64>(bottom, sink.Bottom() - 1); ++y) {
            sink.Plot(box.x1, y, pen);
            sink.Plot(right, y, pen);
        }
        return;
    }
    raster::Line(sink, box.x1, box.y1, right, box.y1, width, pen, true);
    raster::Line(sink, right, box.y1, right, bottom, width, pen, true);
    raster::Line(sink, right, bottom, box.x1, bottom, width, pen, true);
    raster::Line(sink, box.x1, bottom, box.x1, box.y1, width, pen, true);
}

void DrawFrame(
    QImage& hDC, int x1, int y1, int x2, int y2, int width, std::uint32_t colour, const ClipBand& clip)
{
    DrawLine(hDC, x1, y1, x2, y1, width, colour, PS_SOLID, clip);
    DrawLine(hDC, x2, y1, x2, y2, width, colour, PS_SOLID, clip);
    DrawLine(hDC, x2, y2, x1, y2, width, colour, PS_SOLID, clip);
    DrawLine(hDC, x1, y2, x1, y1, width, colour, PS_SOLID, clip);
}

void DrawLine(QImage& hDC, int x1, int y1, int x2, int y2, int width, std::uint32_t colour, int penStyle,
    const ClipBand& clip)
{
    if (penStyle == PS_NULL) {
        return;
    }
    PixelSink sink(hDC, clip);
    // A round pen wider than a pixel paints both caps; a thin line stops short of its end pixel.
    raster::Line(sink, x1, y1, x2, y2, width, ColourToRgb(colour), raster::PenWidth(width) > 1);
}

void DrawPolygon(QImage& hDC, int count, std::span<const QPoint> points, int width, std::uint32_t penColour,
    std::uint32_t fillColour, const ClipBand& clip)
{
    if (count < 2) {
        return;
    }
    const auto used = points.first(std::min(points.size(), static_cast<std::size_t>(count)));
    if (used.size() < 2) {
        return;
    }
    PixelSink sink(hDC, clip);
    if (sink.IsEmpty()) {
        return;
    }
    int minY = used.front().y();
    int maxY = minY;
    for (const QPoint& p : used) {
        minY = std::min(minY, p.y());
        maxY = std::max(maxY, p.y());
    }
    const QRgb fill = ColourToRgb(fillColour);
    // A row crosses at most every edge; the needles' few edges need no allocation.
    std::array<double, 8> few {};
    std::vector<double> many(used.size() > few.size() ? used.size() : 0);
    const std::span<double> storage = many.empty() ? std::span<double>(few) : std::span<double>(many);
    const i64 firstRow = std::max<i64>(minY, sink.Top());
    const i64 lastRow = std::min<i64>(maxY, sink.Bottom());
    for (i64 row = firstRow; row < lastRow; ++row) {
        // Pixel centres are sampled; an edge counts when it spans the centre line (half-open), which
        // keeps right and bottom edges out of the fill.
        const double yc = static_cast<double>(row) + 0.5;
        std::size_t crossed = 0;
        for (std::size_t i = 0; i < used.size(); ++i) {
            const QPoint a = used[i];
            const QPoint b = used[(i + 1) % used.size()];
            const double ya = a.y();
            const double yb = b.y();
            if ((ya <= yc) == (yb <= yc)) {
                continue;
            }
            storage[crossed++] = a.x() + (yc - ya) * (static_cast<double>(b.x()) - a.x()) / (yb - ya);
        }
        const std::span<double> crossings = storage.first(crossed);
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            const double first = std::ceil(crossings[i] - 0.5);
            const double end = std::ceil(crossings[i + 1] - 0.5);
            if (end - 1.0 < sink.Left() || first >= sink.Right()) {
                continue;
            }
            sink.Span(row, static_cast<i64>(std::max(first, sink.Left() - 1.0)),
                static_cast<i64>(std::min(end, static_cast<double>(sink.Right()))) - 1, fill);
        }
    }
    raster::Outline(sink, used, width, ColourToRgb(penColour));
}

void SetPixel(QImage& hDC, int x, int y, std::uint32_t colour, const ClipBand& clip)
{
    PixelSink sink(hDC, clip);
    sink.Plot(x, y, ColourToRgb(colour));
}

} // namespace modGraph

} // namespace pelicard
