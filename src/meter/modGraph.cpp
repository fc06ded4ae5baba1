#include "meter/modGraph.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace pelicard {

ClipBand ClipBand::Rect(int x1, int y1, int x2, int y2)
{
    return ClipBand { std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2) };
}

namespace modGraph {

namespace {

using i64 = std::int64_t;

// Coordinates beyond this are clipped in floating point first, so the whole-number rasterisers
// never overflow and never walk millions of invisible pixels.
constexpr i64 kSafeCoordinate = i64 { 1 } << 28;
constexpr int kMaxPenWidth = 32767;
constexpr int kMaxPixelSize = 1024;
constexpr int kDefaultCell = 16;
constexpr double kEdgeSlack = 1e-9;

int Saturate(i64 v)
{
    return static_cast<int>(
        std::clamp<i64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int RoundHalfEven(double v)
{
    if (std::isnan(v)) {
        return 0;
    }
    if (v <= static_cast<double>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    if (v >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    const double floorV = std::floor(v);
    const double rest = v - floorV;
    double r = floorV;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(floorV, 2.0) != 0.0)) {
        r = floorV + 1.0;
    }
    return static_cast<int>(r);
}

int PenWidth(int width)
{
    return std::clamp(width, 1, kMaxPenWidth);
}

// Writes opaque pixels inside the image and the clip band; the visible area is left..right-1 x top..bottom-1.
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
        if (!empty() && direct_) {
            bits_ = image.bits();
            bytesPerLine_ = image.bytesPerLine();
        }
    }

    bool empty() const { return left_ >= right_ || top_ >= bottom_; }
    int left() const { return left_; }
    int top() const { return top_; }
    int right() const { return right_; }
    int bottom() const { return bottom_; }

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

// Paints the pixels whose centres lie between lo and hi on row y.
void SpanBetween(PixelSink& sink, i64 y, double lo, double hi, QRgb rgb)
{
    if (!(lo <= hi)) {
        return;
    }
    const double first = std::ceil(lo - 0.5 - kEdgeSlack);
    const double last = std::floor(hi - 0.5 + kEdgeSlack);
    if (first > last || last < sink.left() || first >= sink.right()) {
        return;
    }
    sink.Span(y, static_cast<i64>(std::max(first, static_cast<double>(sink.left()) - 1.0)),
        static_cast<i64>(std::min(last, static_cast<double>(sink.right()))), rgb);
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
    const i64 low = xMajor ? sink.left() : sink.top();
    const i64 high = (xMajor ? sink.right() : sink.bottom()) - 1;
    i64 kFirst = step > 0 ? low - start : start - high;
    i64 kLast = step > 0 ? high - start : start - low;
    kFirst = std::max<i64>(kFirst, 0);
    kLast = std::min(kLast, withEnd ? major : major - 1);
    for (i64 k = kFirst; k <= kLast; ++k) {
        const i64 offset = (2 * k * minor + major) / (2 * major);
        if (xMajor) {
            sink.Plot(x1 + sx * k, y1 + sy * offset, rgb);
        } else {
            sink.Plot(x1 + sx * offset, y1 + sy * k, rgb);
        }
    }
}

// The pixels within radius r of the segment p1-p2 (a round pen swept along it), row by row.
void WideLine(PixelSink& sink, double p1x, double p1y, double p2x, double p2y, double r, QRgb rgb)
{
    const double reach = r + kEdgeSlack;
    const double rowFirst
        = std::max(std::floor(std::min(p1y, p2y) - reach - 0.5), static_cast<double>(sink.top()));
    const double rowLast
        = std::min(std::ceil(std::max(p1y, p2y) + reach), static_cast<double>(sink.bottom()) - 1.0);
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

void Line(PixelSink& sink, i64 x1, i64 y1, i64 x2, i64 y2, int width, QRgb rgb, bool withEnd)
{
    if (sink.empty()) {
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
        if (!ClipSegment(fx1, fy1, fx2, fy2, sink.left() - margin, sink.top() - margin, sink.right() + margin,
                sink.bottom() + margin, endMoved)) {
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

// The outline of a closed point list, each edge leaving out its end pixel, which is where the next
// edge starts.
void Outline(PixelSink& sink, std::span<const QPoint> points, int width, QRgb rgb)
{
    const std::size_t n = points.size();
    for (std::size_t i = 0; i < n; ++i) {
        const QPoint a = points[i];
        const QPoint b = points[(i + 1) % n];
        Line(sink, a.x(), a.y(), b.x(), b.y(), width, rgb, PenWidth(width) > 1);
    }
}

struct Box {
    i64 x1;
    i64 y1;
    i64 x2;
    i64 y2;
    bool empty() const { return x1 >= x2 || y1 >= y2; }
};

Box NormalBox(int x1, int y1, int x2, int y2)
{
    return Box { std::min<i64>(x1, x2), std::min<i64>(y1, y2), std::max<i64>(x1, x2), std::max<i64>(y1, y2) };
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

void FillEllipse(PixelSink& sink, const Box& box, QRgb rgb)
{
    const i64 first = std::max<i64>(box.y1, sink.top());
    const i64 last = std::min<i64>(box.y2, sink.bottom());
    for (i64 j = first; j < last; ++j) {
        i64 a = 0;
        i64 b = 0;
        if (EllipseRow(box, j, a, b)) {
            sink.Span(j, a, b, rgb);
        }
    }
}

// One pixel wide: the pixels of the filled ellipse that touch a pixel outside it.
void ThinEllipseRing(PixelSink& sink, const Box& box, QRgb rgb)
{
    const i64 first = std::max<i64>(box.y1, sink.top());
    const i64 last = std::min<i64>(box.y2, sink.bottom());
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
    const double first = std::max(std::floor(cy - outerY - 1.0), static_cast<double>(sink.top()));
    const double last = std::min(std::ceil(cy + outerY + 1.0), static_cast<double>(sink.bottom()) - 1.0);
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

void EllipseRing(PixelSink& sink, const Box& box, int width, QRgb rgb)
{
    const int pen = PenWidth(width);
    if (pen <= 1) {
        ThinEllipseRing(sink, box, rgb);
    } else {
        WideEllipseRing(sink, box, pen, rgb);
    }
}

bool HasGuiApplication()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

int CellHeight(const QFont& font)
{
    const QFontMetrics metrics(font);
    return metrics.ascent() + metrics.descent();
}

QFont MakeFont(const QString& fontName, int weight, bool italic)
{
    QFont font(fontName);
    font.setWeight(static_cast<QFont::Weight>(std::clamp(weight <= 0 ? FW_NORMAL : weight, 1, 1000)));
    font.setItalic(italic);
    font.setStyleStrategy(QFont::NoAntialias);
    // Whole-pixel advances and crisp one-colour glyphs, as classic raster text has.
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// The smallest pixel size whose ascent plus descent is the cell height, or else the largest
// whose cell still fits.
int PixelSizeForCell(QFont font, int cell)
{
    auto height = [&font](int pixelSize) {
        font.setPixelSize(pixelSize);
        return CellHeight(font);
    };
    // Start near the usual ratio of cell to em and walk from there.
    int size = std::clamp(cell * 9 / 10, 1, kMaxPixelSize);
    int h = height(size);
    while (size > 1 && h > cell) {
        h = height(--size);
    }
    while (size < kMaxPixelSize) {
        const int next = height(size + 1);
        if (next > cell) {
            break;
        }
        ++size;
        h = next;
    }
    if (h == cell) {
        while (size > 1 && height(size - 1) == cell) {
            --size;
        }
    }
    return size;
}

QFont FontForSize(const QString& fontName, int fontSize, int weight, bool italic)
{
    QFont font = MakeFont(fontName, weight, italic);
    if (fontSize < 0) {
        font.setPixelSize(static_cast<int>(std::min<i64>(-static_cast<i64>(fontSize), kMaxPixelSize)));
        return font;
    }
    const int cell = fontSize == 0 ? kDefaultCell : std::min(fontSize, 2 * kMaxPixelSize);
    font.setPixelSize(PixelSizeForCell(font, cell));
    return font;
}

} // namespace

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
    const Box box = NormalBox(x1, y1, x2, y2);
    if (sink.empty() || box.empty()) {
        return;
    }
    FillEllipse(sink, box, ColourToRgb(fillColour));
    EllipseRing(sink, box, width, ColourToRgb(penColour));
}

void DrawEllipseOutline(QImage& hDC, int x1, int y1, int x2, int y2, int width, std::uint32_t colour,
    int penStyle, const ClipBand& clip)
{
    PixelSink sink(hDC, clip);
    const Box box = NormalBox(x1, y1, x2, y2);
    if (sink.empty() || box.empty() || penStyle == PS_NULL) {
        return;
    }
    EllipseRing(sink, box, width, ColourToRgb(colour));
}

void DrawRectangle(QImage& hDC, int x1, int y1, int x2, int y2, int width, std::uint32_t penColour,
    std::uint32_t fillColour, int penStyle, const ClipBand& clip)
{
    PixelSink sink(hDC, clip);
    Box box = NormalBox(x1, y1, x2, y2);
    if (sink.empty() || box.empty()) {
        return;
    }
    const QRgb fill = ColourToRgb(fillColour);
    if (penStyle == PS_NULL) {
        // Without a pen the filled area is one pixel smaller to the right and below.
        --box.x2;
        --box.y2;
    }
    const i64 firstRow = std::max<i64>(box.y1, sink.top());
    const i64 lastRow = std::min<i64>(box.y2, sink.bottom());
    for (i64 y = firstRow; y < lastRow; ++y) {
        sink.Span(y, box.x1, box.x2 - 1, fill);
    }
    if (penStyle == PS_NULL) {
        return;
    }
    const QRgb pen = ColourToRgb(penColour);
    const i64 right = box.x2 - 1;
    const i64 bottom = box.y2 - 1;
    if (PenWidth(width) <= 1) {
        sink.Span(box.y1, box.x1, right, pen);
        sink.Span(bottom, box.x1, right, pen);
        for (i64 y = std::max<i64>(box.y1, sink.top()); y <= std::min<i64>(bottom, sink.bottom() - 1); ++y) {
            sink.Plot(box.x1, y, pen);
            sink.Plot(right, y, pen);
        }
        return;
    }
    Line(sink, box.x1, box.y1, right, box.y1, width, pen, true);
    Line(sink, right, box.y1, right, bottom, width, pen, true);
    Line(sink, right, bottom, box.x1, bottom, width, pen, true);
    Line(sink, box.x1, bottom, box.x1, box.y1, width, pen, true);
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
    Line(sink, x1, y1, x2, y2, width, ColourToRgb(colour), PenWidth(width) > 1);
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
    if (sink.empty()) {
        return;
    }
    int minY = used.front().y();
    int maxY = minY;
    for (const QPoint& p : used) {
        minY = std::min(minY, p.y());
        maxY = std::max(maxY, p.y());
    }
    const QRgb fill = ColourToRgb(fillColour);
    std::vector<double> crossings;
    crossings.reserve(used.size());
    const i64 firstRow = std::max<i64>(minY, sink.top());
    const i64 lastRow = std::min<i64>(maxY, sink.bottom());
    for (i64 row = firstRow; row < lastRow; ++row) {
        // Pixel centres are sampled; an edge counts when it spans the centre line (half-open), which
        // keeps right and bottom edges out of the fill.
        const double yc = static_cast<double>(row) + 0.5;
        crossings.clear();
        for (std::size_t i = 0; i < used.size(); ++i) {
            const QPoint a = used[i];
            const QPoint b = used[(i + 1) % used.size()];
            const double ya = a.y();
            const double yb = b.y();
            if ((ya <= yc) == (yb <= yc)) {
                continue;
            }
            crossings.push_back(a.x() + (yc - ya) * (static_cast<double>(b.x()) - a.x()) / (yb - ya));
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            const double first = std::ceil(crossings[i] - 0.5);
            const double end = std::ceil(crossings[i + 1] - 0.5);
            if (end - 1.0 < sink.left() || first >= sink.right()) {
                continue;
            }
            sink.Span(row, static_cast<i64>(std::max(first, sink.left() - 1.0)),
                static_cast<i64>(std::min(end, static_cast<double>(sink.right()))) - 1, fill);
        }
    }
    Outline(sink, used, width, ColourToRgb(penColour));
}

void SetPixel(QImage& hDC, int x, int y, std::uint32_t colour, const ClipBand& clip)
{
    PixelSink sink(hDC, clip);
    sink.Plot(x, y, ColourToRgb(colour));
}

void TextBoxBounds(
    int& left, int& top, int& right, int& bottom, int escapement, int alignment, int cx, int cy)
{
    if (escapement == 0) {
        i64 l = left;
        if (alignment == TA_CENTER) {
            l -= (static_cast<i64>(cx) + 1) / 2;
        } else if (alignment == TA_RIGHT) {
            l -= cx;
        }
        left = Saturate(l);
        right = Saturate(static_cast<i64>(left) + cx);
        bottom = Saturate(static_cast<i64>(top) + cy);
    } else if (escapement == 2700) {
        right = Saturate(static_cast<i64>(left) - cy);
        bottom = Saturate(static_cast<i64>(top) - cx);
    } else {
        right = left;
        bottom = top;
    }
}

QSize TextExtent(const QString& text, const QString& fontName, int fontSize, int weight, bool italic)
{
    if (!HasGuiApplication()) {
        return {};
    }
    const QFontMetrics metrics(FontForSize(fontName, fontSize, weight, italic));
    return QSize(metrics.horizontalAdvance(text), metrics.ascent() + metrics.descent());
}

void DrawText(QImage& hDC, const QString& text, float x, float y, std::uint32_t textColour,
    std::uint32_t boxPenColour, std::uint32_t boxFillColour, bool drawBox, bool fillBox,
    const QString& fontName, int fontSize, int weight, int escapement, bool italic, bool underline,
    bool strikeOut, int alignment, const ClipBand& clip)
{
    if (hDC.isNull() || !HasGuiApplication()) {
        return;
    }
    const int anchorX = RoundHalfEven(x);
    const int anchorY = RoundHalfEven(y);
    {
        // Neither text nor box can reach the picture from an anchor further away than a generous
        // bound of their size; such calls (absurd positions) need no font at all.
        const i64 cell = fontSize == 0
            ? kDefaultCell
            : std::min<i64>(std::abs(static_cast<i64>(fontSize)), 2 * static_cast<i64>(kMaxPixelSize));
        const i64 reach = 2 * cell * (static_cast<i64>(text.size()) + 2);
        const PixelSink area(hDC, clip);
        if (area.empty() || anchorX + reach < area.left() || anchorX - reach >= area.right()
            || anchorY + reach < area.top() || anchorY - reach >= area.bottom()) {
            return;
        }
    }
    QFont font = FontForSize(fontName, fontSize, weight, italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeOut);
    const QFontMetrics metrics(font);
    const int cx = metrics.horizontalAdvance(text);
    const int cy = metrics.ascent() + metrics.descent();
    int left = anchorX;
    int top = anchorY;
    int right = anchorX;
    int bottom = anchorY;
    TextBoxBounds(left, top, right, bottom, escapement, alignment, cx, cy);
    if (drawBox) {
        if (fillBox) {
            DrawRectangle(hDC, left, top, right, bottom, 1, boxPenColour, boxFillColour, PS_SOLID, clip);
        } else {
            DrawFrame(hDC, left, top, right, bottom, 1, boxPenColour, clip);
        }
    }
    if (text.isEmpty()) {
        return;
    }
    const PixelSink area(hDC, clip);
    QPainter painter(&hDC);
    if (!painter.isActive()) {
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setClipRect(QRect(QPoint(area.left(), area.top()), QPoint(area.right() - 1, area.bottom() - 1)));
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(ColourToRgb(textColour)));
    painter.translate(anchorX, anchorY);
    if (escapement % 3600 != 0) {
        painter.rotate(-escapement / 10.0);
    }
    int dx = 0;
    if ((alignment & TA_CENTER) == TA_CENTER) {
        dx = -cx / 2;
    } else if ((alignment & TA_CENTER) == TA_RIGHT) {
        dx = -cx;
    }
    int dy = metrics.ascent();
    if ((alignment & TA_BASELINE) == TA_BASELINE) {
        dy = 0;
    } else if ((alignment & TA_BASELINE) == TA_BOTTOM) {
        dy = -metrics.descent();
    }
    painter.drawText(QPoint(dx, dy), text);
}

} // namespace modGraph

} // namespace pelicard
