#include "meter/Raster.h"

#include <cmath>
#include <limits>

namespace pelicard::raster {

namespace {

// Coordinates beyond this are clipped in floating point first, so the whole-number rasterisers
// never overflow and never walk millions of invisible pixels.
constexpr i64 kSafeCoordinate = i64 { 1 } << 28;
constexpr int kMaxPenWidth = 32767;
constexpr double kEdgeSlack = 1e-9;

// Paints the pixels whose centres lie between lo and hi on row y.
void SpanBetween(PixelSink& sink, i64 y, double lo, double hi, QRgb rgb)
{
    if (!(lo <= hi)) {
        return;
    }
    const double first = std::ceil(lo - 0.5 - kEdgeSlack);
    const double last = std::floor(hi - 0.5 + kEdgeSlack);
    if (first > last || last < sink.Left() || first >= sink.Right()) {
        return;
    }
    sink.Span(y, static_cast<i64>(std::max(first, static_cast<double>(sink.Left()) - 1.0)),
        static_cast<i64>(std::min(last, static_cast<double>(sink.Right()))), rgb);
}

// Bresenham's pixels from (x1, y1) towards (x2, y2), computed directly for each step so that only
// the visible steps are walked. Coordinates must be within kSafeCoordinate.
void ThinLine(PixelSink& sink, i64 x1, i64 y1, i64 x2, i64 y2, QRgb rgb, bool withEnd)
{
    const i64 dx = x2 - x1;
    const i64 dy = y2 - y1;
    const i64 adx = dx < 0 ? -dx : dx;
    const i64 ady = dy < 0 ? -dy : dy;
    const i64 sx = dx < 0 ? -1 : 1;
    const i64 sy = dy < 0 ? -1 : 1;
    if (adx == 0 && ady == 0) {
        if (withEnd) {
            sink.Plot(x1, y1, rgb);
        }
        return;
    }
    const bool xMajor = adx >= ady;
    const i64 major = xMajor ? adx : ady;
    const i64 minor = xMajor ? ady : adx;
    const i64 start = xMajor ? x1 : y1;
    const i64 step = xMajor ? sx : sy;
    const i64 low = xMajor ? sink.Left() : sink.Top();
    const i64 high = (xMajor ? sink.Right() : sink.Bottom()) - 1;
    i64 kFirst = step > 0 ? low - start : start - high;
    i64 kLast = step > 0 ? high - start : start - low;
    kFirst = std::max<i64>(kFirst, 0);
    kLast = std::min(kLast, withEnd ? major : major - 1);
    if (kFirst > kLast || major == 0) {
        return;
    }
    // The minor offset of step k is (2 k minor + major) / (2 major); it is carried from step to step
    // as quotient and remainder.
    const i64 denominator = 2 * major;
    const i64 numerator = 2 * kFirst * minor + major;
    i64 offset = numerator / denominator;
    i64 remainder = numerator % denominator;
    for (i64 k = kFirst; k <= kLast; ++k) {
        if (xMajor) {
            sink.Plot(x1 + sx * k, y1 + sy * offset, rgb);
        } else {
            sink.Plot(x1 + sx * offset, y1 + sy * k, rgb);
        }
        remainder += 2 * minor;
        while (remainder >= denominator) {
            remainder -= denominator;
            ++offset;
        }
    }
}

// The pixels within radius r of the segment p1-p2 (a round pen swept along it), row by row.
void WideLine(PixelSink& sink, double p1x, double p1y, double p2x, double p2y, double r, QRgb rgb)
{
    const double reach = r + kEdgeSlack;
    const double rowFirst
        = std::max(std::floor(std::min(p1y, p2y) - reach - 0.5), static_cast<double>(sink.Top()));
    const double rowLast
        = std::min(std::ceil(std::max(p1y, p2y) + reach), static_cast<double>(sink.Bottom()) - 1.0);
    const double dx = p2x - p1x;
    const double dy = p2y - p1y;
    const double length2 = dx * dx + dy * dy;
    const double length = std::sqrt(length2);
    // The counter holds whole row numbers; a double keeps NaN or huge bounds free of undefined casts.
    // NOLINTNEXTLINE(clang-analyzer-security.FloatLoopCounter)
    for (double row = rowFirst; row <= rowLast; row += 1.0) {
        const double yc = row + 0.5;
        double lo = std::numeric_limits<double>::infinity();
        double hi = -lo;
        auto disc = [&](double cx, double cy) {
            const double d = yc - cy;
            const double h2 = reach * reach - d * d;
            if (h2 >= 0.0) {
                const double h = std::sqrt(h2);
                lo = std::min(lo, cx - h);
                hi = std::max(hi, cx + h);
            }
        };
        disc(p1x, p1y);
        disc(p2x, p2y);
        if (length2 > 0.0) {
            // Points of the row whose projection falls on the segment and lie within r of its line.
            double a = -std::numeric_limits<double>::infinity();
            double b = std::numeric_limits<double>::infinity();
            auto limit = [&](double coefficient, double constant, double from, double to) {
                if (coefficient == 0.0) {
                    if (constant < from || constant > to) {
                        a = 1.0;
                        b = 0.0;
                    }
                    return;
                }
                double u1 = (from - constant) / coefficient;
                double u2 = (to - constant) / coefficient;
                if (u1 > u2) {
                    std::swap(u1, u2);
                }
                a = std::max(a, u1);
                b = std::min(b, u2);
            };
            limit(-dy, dx * (yc - p1y), -reach * length, reach * length);
            limit(dx, dy * (yc - p1y), 0.0, length2);
            if (a <= b) {
                lo = std::min(lo, p1x + a);
                hi = std::max(hi, p1x + b);
            }
        }
        SpanBetween(sink, static_cast<i64>(row), lo, hi, rgb);
    }
}

// Cuts the segment to the box (Liang-Barsky); false when nothing of it lies inside.
bool ClipSegment(double& x1, double& y1, double& x2, double& y2, double left, double top, double right,
    double bottom, bool& endMoved)
{
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double p[4] = { -dx, dx, -dy, dy };
    const double q[4] = { x1 - left, right - x1, y1 - top, bottom - y1 };
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
    }
    if (t0 > t1) {
        return false;
    }
    const double nx1 = x1 + t0 * dx;
    const double ny1 = y1 + t0 * dy;
    endMoved = t1 < 1.0;
    x2 = x1 + t1 * dx;
    y2 = y1 + t1 * dy;
    x1 = nx1;
    y1 = ny1;
    return true;
}

// The span of row j of the ellipse inscribed in the box: the pixels whose centres lie inside it.
bool EllipseRow(const Box& box, i64 j, i64& a, i64& b)
{
    if (j < box.y1 || j >= box.y2) {
        return false;
    }
    const i64 w = box.x2 - box.x1;
    const i64 h = box.y2 - box.y1;
    const i64 sumX = box.x1 + box.x2;
    const i64 yy = 2 * j + 1 - (box.y1 + box.y2);
    const double reach = static_cast<double>(w)
        * std::sqrt(std::max(0.0, static_cast<double>(h) * h - static_cast<double>(yy) * yy))
        / static_cast<double>(h);
    a = static_cast<i64>(std::ceil((-reach + static_cast<double>(sumX) - 1.0) / 2.0));
    b = static_cast<i64>(std::floor((reach + static_cast<double>(sumX) - 1.0) / 2.0));
    a = std::max(a, box.x1);
    b = std::min(b, box.x2 - 1);
    constexpr i64 kExactLimit = i64 { 1 } << 14;
    if (w <= kExactLimit && h <= kExactLimit) {
        // Settle the edge pixels with whole numbers: (X/W)^2 + (Y/H)^2 <= 1 in doubled coordinates.
        auto inside = [&](i64 i) {
            const i64 xx = 2 * i + 1 - sumX;
            return xx * xx * h * h + yy * yy * w * w <= w * w * h * h;
        };
        while (a <= b && !inside(a)) {
            ++a;
        }
        while (a - 1 >= box.x1 && inside(a - 1)) {
            --a;
        }
        while (b >= a && !inside(b)) {
            --b;
        }
        while (b + 1 < box.x2 && inside(b + 1)) {
            ++b;
        }
    }
    return a <= b;
}

// One pixel wide: the pixels of the filled ellipse that touch a pixel outside it.
void ThinEllipseRing(PixelSink& sink, const Box& box, QRgb rgb)
{
    const i64 first = std::max<i64>(box.y1, sink.Top());
    const i64 last = std::min<i64>(box.y2, sink.Bottom());
    for (i64 j = first; j < last; ++j) {
        i64 a = 0;
        i64 b = 0;
        if (!EllipseRow(box, j, a, b)) {
            continue;
        }
        i64 innerA = a + 1;
        i64 innerB = b - 1;
        for (const i64 neighbour : { j - 1, j + 1 }) {
            i64 na = 0;
            i64 nb = 0;
            if (!EllipseRow(box, neighbour, na, nb)) {
                innerA = 1;
                innerB = 0;
                break;
            }
            innerA = std::max(innerA, na);
            innerB = std::min(innerB, nb);
        }
        if (innerA > innerB) {
            sink.Span(j, a, b, rgb);
        } else {
            sink.Span(j, a, innerA - 1, rgb);
            sink.Span(j, innerB + 1, b, rgb);
        }
    }
}

// A wide pen along the ellipse: the band between two ellipses pen/2 outside and inside the path of
// the one-pixel outline.
void WideEllipseRing(PixelSink& sink, const Box& box, int pen, QRgb rgb)
{
    const double cx = (static_cast<double>(box.x1) + static_cast<double>(box.x2)) / 2.0;
    const double cy = (static_cast<double>(box.y1) + static_cast<double>(box.y2)) / 2.0;
    const double ax = (static_cast<double>(box.x2) - static_cast<double>(box.x1)) / 2.0 - 0.5;
    const double ay = (static_cast<double>(box.y2) - static_cast<double>(box.y1)) / 2.0 - 0.5;
    const double half = pen / 2.0;
    const double outerX = ax + half;
    const double outerY = ay + half;
    const double innerX = ax - half;
    const double innerY = ay - half;
    const double first = std::max(std::floor(cy - outerY - 1.0), static_cast<double>(sink.Top()));
    const double last = std::min(std::ceil(cy + outerY + 1.0), static_cast<double>(sink.Bottom()) - 1.0);
    auto halfWidth = [](double rx, double ry, double dy) {
        if (rx <= 0.0 || ry <= 0.0 || std::abs(dy) > ry) {
            return -1.0;
        }
        const double t = dy / ry;
        return rx * std::sqrt(std::max(0.0, 1.0 - t * t));
    };
    for (double row = first; row <= last; row += 1.0) { // NOLINT(clang-analyzer-security.FloatLoopCounter)
        const double dy = row + 0.5 - cy;
        const double outer = halfWidth(outerX, outerY, dy);
        if (outer < 0.0) {
            continue;
        }
        const double inner = halfWidth(innerX, innerY, dy);
        const auto y = static_cast<i64>(row);
        if (inner <= 0.0) {
            SpanBetween(sink, y, cx - outer, cx + outer, rgb);
            continue;
        }
        // Strictly inside the inner ellipse stays unpainted.
        SpanBetween(sink, y, cx - outer, cx - inner - 2 * kEdgeSlack, rgb);
        SpanBetween(sink, y, cx + inner + 2 * kEdgeSlack, cx + outer, rgb);
    }
}

} // namespace

int PenWidth(int width)
{
    return std::clamp(width, 1, kMaxPenWidth);
}

void Line(PixelSink& sink, i64 x1, i64 y1, i64 x2, i64 y2, int width, QRgb rgb, bool withEnd)
{
    if (sink.IsEmpty()) {
        return;
    }
    const int pen = PenWidth(width);
    auto outside = [](i64 v) { return v > kSafeCoordinate || v < -kSafeCoordinate; };
    if (outside(x1) || outside(y1) || outside(x2) || outside(y2)) {
        const double margin = pen + 2.0;
        double fx1 = static_cast<double>(x1);
        double fy1 = static_cast<double>(y1);
        double fx2 = static_cast<double>(x2);
        double fy2 = static_cast<double>(y2);
        bool endMoved = false;
        if (!ClipSegment(fx1, fy1, fx2, fy2, sink.Left() - margin, sink.Top() - margin, sink.Right() + margin,
                sink.Bottom() + margin, endMoved)) {
            return;
        }
        x1 = std::llround(fx1);
        y1 = std::llround(fy1);
        x2 = std::llround(fx2);
        y2 = std::llround(fy2);
        withEnd = withEnd || endMoved;
    }
    if (pen <= 1) {
        ThinLine(sink, x1, y1, x2, y2, rgb, withEnd);
        return;
    }
    // Odd pens centre on the pixel, even pens on its top-left corner.
    const double centre = (pen % 2 == 1) ? 0.5 : 0.0;
    WideLine(sink, x1 + centre, y1 + centre, x2 + centre, y2 + centre, pen / 2.0, rgb);
}

void Outline(PixelSink& sink, std::span<const QPoint> points, int width, QRgb rgb)
{
    const std::size_t n = points.size();
    for (std::size_t i = 0; i < n; ++i) {
        const QPoint a = points[i];
        const QPoint b = points[(i + 1) % n];
        Line(sink, a.x(), a.y(), b.x(), b.y(), width, rgb, PenWidth(width) > 1);
    }
}

Box NormalBox(int x1, int y1, int x2, int y2)
{
    return Box { std::min<i64>(x1, x2), std::min<i64>(y1, y2), std::max<i64>(x1, x2), std::max<i64>(y1, y2) };
}

void FillEllipse(PixelSink& sink, const Box& box, QRgb rgb)
{
    const i64 first = std::max<i64>(box.y1, sink.Top());
    const i64 last = std::min<i64>(box.y2, sink.Bottom());
    for (i64 j = first; j < last; ++j) {
        i64 a = 0;
        i64 b = 0;
        if (EllipseRow(box, j, a, b)) {
            sink.Span(j, a, b, rgb);
        }
    }
}

void EllipseRing(PixelSink& sink, const Box& box, int width, QRgb rgb)
{
    const int pen = PenWidth(width);
    if (pen <= 1) {
        ThinEllipseRing(sink, box, rgb);
    } else {
        WideEllipseRing(sink, box, pen, rgb);
    }
}

} // namespace pelicard::raster
