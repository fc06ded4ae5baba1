#include "meter/clsVUmeter.h"

#include "meter/GaugeFormat.h"
#include "values/Arithmetic.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pelicard {

namespace {

using i64 = std::int64_t;

constexpr double kPi = 3.14159265358979;
constexpr double kPointAngleDegrees = 180.0 / 3.1415928;
constexpr double kDialUnit = 60.0;
constexpr std::uint32_t kShadowColour = 0x808080;
constexpr int kShadowOffset = 3;
// Numbers and band segments: more than this cannot be told apart at whole-degree angles; the cap
// keeps absurd settings from stalling the painting. Ticks are bounded by the degrees of the arc.
constexpr i64 kMaxMarks = 10000;
// Ticks farther apart than half a degree are walked over this many degrees of the arc at most:
// more than 27 turns, where a real dial has less than one.
constexpr double kMaxArcDegrees = 10000.0;

QPoint Shifted(const QPoint& p, int by)
{
    return QPoint(Saturate(static_cast<i64>(p.x()) + by), Saturate(static_cast<i64>(p.y()) + by));
}

// The index of the last mark of "For i = 0 To round(range) \ interval", at most cap - 1; -1 when
// there is none.
i64 LastMarkIndex(double range, std::int32_t interval, i64 cap)
{
    if (interval == 0 || std::isnan(range)) {
        return -1;
    }
    constexpr double kLimit = 9.0e15;
    const auto whole = static_cast<i64>(std::clamp(RoundHalfEvenWhole(range), -kLimit, kLimit));
    return std::min(whole / interval, cap - 1);
}

// The whole degrees ticks fall on, as AdjustC gives them (-359..359), and whether a tick's angle
// could not be computed.
class TickDegrees {
public:
    void Mark(double degree)
    {
        if (std::isfinite(degree)) {
            marked_[Slot(degree)] = true;
        } else {
            undefined_ = true;
        }
    }
    // The degrees of the whole numbers lo..hi (lo <= hi, both whole): remainders by 360 with the
    // sign of the number. 360 consecutive numbers on one side of zero reach every degree of that side.
    void MarkWholeNumbers(double lo, double hi)
    {
        auto markSide = [this](double from, double to) {
            if (from > to) {
                return;
            }
            const int count = static_cast<int>(std::min(to - from, 359.0));
            for (int k = 0; k <= count; ++k) {
                Mark(std::fmod(to - k, 360.0));
            }
        };
        markSide(lo, std::min(hi, -1.0));
        markSide(std::max(lo, 0.0), hi);
    }
    bool Marked(int degree) const { return marked_[Slot(degree)]; }
    bool MarkedUndefined() const { return undefined_; }

private:
    static std::size_t Slot(double degree) { return static_cast<std::size_t>(degree + 359.0); }

    std::array<bool, 719> marked_ {};
    bool undefined_ = false;
};

int Weight(bool bold)
{
    return bold ? modGraph::FW_BOLD : modGraph::FW_NORMAL;
}

// The sine and cosine of an angle in whole degrees as AdjustC gives them (-359..359). Those of the
// whole degrees are computed once, by the same expressions, so they are the very same numbers.
class DegreeTable {
public:
    DegreeTable()
    {
        for (int degree = -kLast; degree <= kLast; ++degree) {
            const double adjusted = degree;
            sine_[Slot(degree)] = std::sin(adjusted * kPi / 180.0);
            cosine_[Slot(degree)] = std::cos(adjusted * kPi / 180.0);
        }
    }

    double Sine(double adjusted) const
    {
        return Tabled(adjusted) ? sine_[Slot(static_cast<int>(adjusted))] : std::sin(adjusted * kPi / 180.0);
    }
    double Cosine(double adjusted) const
    {
        return Tabled(adjusted) ? cosine_[Slot(static_cast<int>(adjusted))]
                                : std::cos(adjusted * kPi / 180.0);
    }

private:
    static constexpr int kLast = 359;
    static std::size_t Slot(int degree)
    {
        const int slot = degree + kLast;
        return static_cast<std::size_t>(slot);
    }
    // Zero keeps its sign through the direct computation.
    static bool Tabled(double adjusted)
    {
        return adjusted >= -kLast && adjusted <= kLast && adjusted != 0.0
            && static_cast<double>(static_cast<int>(adjusted)) == adjusted;
    }

    std::array<double, 2 * kLast + 1> sine_ {};
    std::array<double, 2 * kLast + 1> cosine_ {};
};

const DegreeTable& Degrees()
{
    static const DegreeTable table;
    return table;
}

} // namespace

double clsVUmeter::AdjustC(double c)
{
    return std::fmod(RoundHalfEvenWhole(c + 90.0), 360.0);
}

double clsVUmeter::GetXPos(double c, double r)
{
    return Degrees().Sine(AdjustC(c)) * r;
}

double clsVUmeter::GetYPos(double c, double r)
{
    return Degrees().Cosine(AdjustC(c)) * r;
}

double clsVUmeter::MapLinear(double a, double b, double c, double d, double x)
{
    return (b - a) / (d - c) * (x - c) + a;
}

double clsVUmeter::PointAngle(double x1, double y1, double x2, double y2)
{
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    if (dx == 0.0 && dy == 0.0) {
        return 0.0;
    }
    if (dx == 0.0) {
        return dy < 0.0 ? 90.0 : 270.0;
    }
    if (dy == 0.0) {
        return dx < 0.0 ? 180.0 : 0.0;
    }
    const double a = std::abs(std::atan(dx / dy) * kPointAngleDegrees);
    if (dx > 0.0 && dy < 0.0) {
        return 90.0 - a;
    }
    if (dx < 0.0 && dy < 0.0) {
        return 90.0 + a;
    }
    if (dx < 0.0 && dy > 0.0) {
        return 270.0 - a;
    }
    if (dx > 0.0 && dy > 0.0) {
        return 270.0 + a;
    }
    return 0.0; // not a number
}

double clsVUmeter::log10(double x)
{
    return x <= 0.0 ? 0.0 : std::log10(x);
}

double clsVUmeter::ValueAngle(double value) const
{
    const TicksGroup& t = settings_.ticks;
    return MapLinear(t.minpos_angle, t.maxpos_angle, t.min_value, t.max_value, value);
}

bool clsVUmeter::HasValueRange() const
{
    const double range = settings_.ticks.max_value - settings_.ticks.min_value;
    return range != 0.0 && std::isfinite(range);
}

QPoint clsVUmeter::PolarPoint(std::int32_t centerX, std::int32_t centerY, double scaleX, double scaleY,
    double angle, double factor) const
{
    // GetXPos and GetYPos, sharing the adjusted angle.
    const double adjusted = AdjustC(angle);
    const DegreeTable& degrees = Degrees();
    return QPoint(RoundHalfEven(centerX + degrees.Sine(adjusted) * (kDialUnit * scaleX * factor)),
        RoundHalfEven(centerY + degrees.Cosine(adjusted) * (kDialUnit * scaleY * factor)));
}

QPoint clsVUmeter::TicksPoint(double angle, double factor) const
{
    const TicksGroup& t = settings_.ticks;
    return PolarPoint(t.centerX, t.centerY, t.scaleX, t.scaleY, angle, factor);
}

QPoint clsVUmeter::NeedlePoint(double angle, double factor) const
{
    const NeedleGroup& n = settings_.needle;
    return PolarPoint(n.centerX, n.centerY, n.scaleX, n.scaleY, angle, factor);
}

void clsVUmeter::Draw(std::uint32_t bdColor, std::uint32_t bkColor, bool clr)
{
    QImage* picture = settings_.picture.hDC;
    if (picture == nullptr || picture->isNull()) {
        return;
    }
    PaintDial(*picture, bdColor, bkColor, clr);
    PaintReadings(*picture);
}

void clsVUmeter::PaintDial(QImage& target, std::uint32_t bdColor, std::uint32_t bkColor, bool clr) const
{
    if (clr) {
        modGraph::DrawRectangle(target, 0, 0, settings_.picture.SizeX, settings_.picture.SizeY, 1, bdColor,
            bkColor, modGraph::PS_SOLID, clip_);
    }
    DrawScrews(target);
    DrawDial(target);
    DrawScale(target);
    DrawCaption(target);
}

void clsVUmeter::PaintReadings(QImage& target)
{
    DrawValueLabel(target);
    DrawNeedle(target);
}

void clsVUmeter::DrawScrews(QImage& target) const
{
    const ScrewsGroup& s = settings_.screws;
    if (!s.enabled) {
        return;
    }
    // The positions are taken as 16-bit numbers; larger ones wrap.
    DrawScrew(target, 0, static_cast<std::int16_t>(s.posx1), static_cast<std::int16_t>(s.posy1));
    DrawScrew(target, 1, static_cast<std::int16_t>(s.posx2), static_cast<std::int16_t>(s.posy2));
}

void clsVUmeter::DrawScrew(QImage& hDC, std::int16_t id, std::int16_t posx, std::int16_t posy) const
{
    if (id < 0 || id > 1) {
        return;
    }
    const ScrewImage& image = settings_.screwImage[static_cast<std::size_t>(id)];
    for (int i = 0; i < 12; ++i) {
        for (int j = 0; j < 12; ++j) {
            modGraph::SetPixel(hDC, posx - 5 + i, posy - 5 + j, image[j][i], clip_);
        }
    }
}

void clsVUmeter::DrawDial(QImage& target) const
{
    const BorderGroup& b = settings_.border;
    const TicksGroup& t = settings_.ticks;
    if (b.borderstyle == 1) {
        const NeedleGroup& n = settings_.needle;
        const i64 rx = RoundHalfEven(kDialUnit * t.scaleX);
        const i64 ry = RoundHalfEven(kDialUnit * t.scaleY);
        modGraph::DrawEllipseOutline(target, Saturate(n.centerX - rx), Saturate(n.centerY - ry),
            Saturate(n.centerX + rx), Saturate(n.centerY + ry), b.borderthickness, b.bordercolor,
            modGraph::PS_SOLID, clip_);
    } else if (b.borderstyle == 2) {
        DrawColourBand(target);
    }
    DrawTicks(target, t.tickinterval_small, t.small_amp1, t.small_amp2, t.small_thickness, t.smallcolor);
    DrawTicks(target, t.tickinterval_large, t.large_amp1, t.large_amp2, t.large_thickness, t.largecolor);
}

void clsVUmeter::DrawColourBand(QImage& target) const
{
    const BorderFadeGroup& f = settings_.borderFade;
    const double span = f.endvalue - f.startvalue;
    const double step = RoundHalfEvenWhole(f.valuestepsize);
    if (step == 0.0 || span == 0.0 || !std::isfinite(span) || !std::isfinite(step) || !HasValueRange()) {
        return;
    }
    const i64 last = LastMarkIndex(span, static_cast<std::int32_t>(step), kMaxMarks) - 1;
    auto component = [&](int shift, double q) {
        const double from = (f.startRGB >> shift) & 0xFFu;
        const double to = (f.endRGB >> shift) & 0xFFu;
        const double value
            = std::clamp(RoundHalfEvenWhole(MapLinear(from, to, f.startvalue, f.endvalue, q)), 0.0, 255.0);
        return static_cast<std::uint32_t>(value) << shift;
    };
    for (i64 i = 0; i <= last; ++i) {
        const double p = f.startvalue + static_cast<double>(i) * f.valuestepsize;
        const double q = f.startvalue + static_cast<double>(i + 1) * f.valuestepsize;
        const double ap = ValueAngle(p);
        const double aq = ValueAngle(q);
        const double innerP
            = MapLinear(f.borderbandstartsize1, f.borderbandendsize1, f.startvalue, f.endvalue, p);
        const double outerP
            = MapLinear(f.borderbandstartsize2, f.borderbandendsize2, f.startvalue, f.endvalue, p);
        const double innerQ
            = MapLinear(f.borderbandstartsize1, f.borderbandendsize1, f.startvalue, f.endvalue, q);
        const double outerQ
            = MapLinear(f.borderbandstartsize2, f.borderbandendsize2, f.startvalue, f.endvalue, q);
        const std::array<QPoint, 4> segment = { TicksPoint(ap, innerP), TicksPoint(ap, outerP),
            TicksPoint(aq, outerQ), TicksPoint(aq, innerQ) };
        const std::uint32_t colour = component(0, q) | component(8, q) | component(16, q);
        modGraph::DrawPolygon(target, 4, segment, 1, colour, colour, clip_);
    }
}

void clsVUmeter::DrawTicks(QImage& target, std::int32_t interval, double amp1, double amp2,
    std::int32_t thickness, std::uint32_t colour) const
{
    if (interval == 0 || !HasValueRange()) {
        return;
    }
    const TicksGroup& t = settings_.ticks;
    const i64 last = LastMarkIndex(t.max_value - t.min_value, interval, std::numeric_limits<i64>::max());
    if (last < 0) {
        return;
    }
    auto markAngle = [&](i64 i) { return ValueAngle(t.min_value + static_cast<double>(i) * interval); };
    // A tick's pixels depend only on its whole-degree angle, so each degree is painted once, however
    // many marks fall on it.
    TickDegrees degrees;
    const double first = markAngle(0);
    const double final = markAngle(last);
    const double step = last > 0 ? std::abs(final - first) / static_cast<double>(last) : 0.0;
    if (std::isfinite(first) && std::isfinite(final) && step < 0.5) {
        // Marks less than half a degree apart reach every whole degree from the first to the last.
        degrees.MarkWholeNumbers(RoundHalfEvenWhole(std::min(first, final) + 90.0),
            RoundHalfEvenWhole(std::max(first, final) + 90.0));
    } else {
        // Farther apart, the marks are walked one by one, at most two per degree of the arc.
        const i64 walked = std::isfinite(step)
            ? std::min<i64>(last, static_cast<i64>(kMaxArcDegrees / step) + 1)
            : std::min(last, kMaxMarks - 1);
        for (i64 i = 0; i <= walked; ++i) {
            degrees.Mark(AdjustC(markAngle(i)));
        }
    }
    auto paint = [&](double angle) {
        const QPoint from = TicksPoint(angle, amp1);
        const QPoint to = TicksPoint(angle, amp2);
        modGraph::DrawLine(
            target, from.x(), from.y(), to.x(), to.y(), thickness, colour, modGraph::PS_SOLID, clip_);
    };
    for (int degree = -359; degree <= 359; ++degree) {
        if (degrees.Marked(degree)) {
            paint(degree - 90.0); // the angle whose AdjustC is this degree
        }
    }
    if (degrees.MarkedUndefined()) {
        paint(std::numeric_limits<double>::quiet_NaN());
    }
}

void clsVUmeter::DrawScale(QImage& target) const
{
    const ScaleGroup& s = settings_.scale;
    const TicksGroup& t = settings_.ticks;
    if (s.interval == 0 || !HasValueRange()) {
        return;
    }
    const i64 last = LastMarkIndex(t.max_value - t.min_value, s.interval, kMaxMarks);
    // Half the cell in whole pixels, the division truncating as everywhere in the layout.
    const double lift = static_cast<double>(s.fontsize / 2); // NOLINT(bugprone-integer-division)
    for (i64 i = 0; i <= last; ++i) {
        const double value = t.min_value + static_cast<double>(i) * s.interval;
        const double angle = ValueAngle(value);
        const int x = RoundHalfEven(s.centerX + GetXPos(angle, kDialUnit * s.scaleX * 1.15));
        const int y = RoundHalfEven(s.centerY + GetYPos(angle, kDialUnit * s.scaleY * 1.15) - lift);
        modGraph::DrawText(target, FormatNumber(value, s.txtformat), static_cast<float>(x),
            static_cast<float>(y), s.textcolor, 0, 0, false, false, s.fontname, s.fontsize,
            Weight(s.fontisbold), 0, s.fontisitalic, false, false, modGraph::TA_CENTER, clip_);
    }
}

void clsVUmeter::DrawLabelText(
    QImage& target, const LabelGroup& group, const QString& text, i64 y, i64 fontSize) const
{
    modGraph::DrawText(target, text, static_cast<float>(group.centerX), static_cast<float>(Saturate(y)),
        group.textcolor, 0, 0, false, false, group.fontname, Saturate(fontSize), Weight(group.fontisbold), 0,
        group.fontisitalic, false, false, modGraph::TA_CENTER, clip_);
}

void clsVUmeter::DrawCaption(QImage& target) const
{
    const LabelGroup& c = settings_.textLabel;
    DrawLabelText(target, c, c.txtformat, static_cast<i64>(c.centerY) - c.fontsize / 2, c.fontsize);
}

void clsVUmeter::DrawValueLabel(QImage& target) const
{
    const LabelGroup& v = settings_.valueLabel;
    const VuTexts none;
    const VuTexts& texts = texts_ ? *texts_ : none;
    const i64 y0 = static_cast<i64>(v.centerY) - v.fontsize / 2;
    const i64 size = v.fontsize;
    if (v.txtformat == QLatin1String("M")) {
        DrawLabelText(target, v, texts.readingText[0], y0, size);
        DrawLabelText(target, v, texts.meterScale[0], y0 - 55, size - 5);
    } else if (v.txtformat == QLatin1String("S")) {
        DrawLabelText(target, v, texts.readingText[1], y0 + 9, size);
        DrawLabelText(target, v, texts.meterScale[1], y0 - 29, size - 1);
        if (!texts.recordStamp[0].isEmpty()) {
            DrawLabelText(target, v, FormatTimeStamp(texts.recordStamp[0]), y0, size);
        }
    } else if (v.txtformat == QLatin1String("$")) {
        DrawLabelText(target, v, texts.readingText[2], y0 + 9, size);
        DrawLabelText(target, v, texts.meterScale[2], y0 - 29, size - 1);
        DrawLabelText(target, v, FormatTimeStamp(texts.recordStamp[1]), y0, size);
    }
}

clsVUmeter::NeedleShape clsVUmeter::GetNeedleShape() const
{
    NeedleShape shape;
    const std::int16_t type = settings_.needle.needletype;
    shape.needletype = type;
    if (type < 0 || type > 5 || !HasValueRange()) {
        return shape;
    }
    const double a = ValueAngle(animationValue_);
    if (!std::isfinite(a)) {
        return shape;
    }
    auto put = [&](std::initializer_list<std::pair<double, double>> polar) {
        for (const auto& [angle, factor] : polar) {
            shape.points[static_cast<std::size_t>(shape.pointCount++)] = NeedlePoint(angle, factor);
        }
    };
    switch (type) {
    case 0:
    case 1:
    case 2:
        put({ { a, 0.95 }, { a, -0.2 } });
        break;
    case 3:
        put({ { a - 8, -0.2 }, { a + 8, -0.2 }, { a - 90, 0.04 }, { a, 0.95 }, { a + 90, 0.04 } });
        break;
    case 4:
        put({ { a - 2, -0.2 }, { a + 2, -0.2 }, { a - 90, 0.02 }, { a, 0.95 }, { a + 90, 0.02 } });
        break;
    default:
        put({ { a + 2, 0.95 }, { a - 2, 0.95 }, { a + 12, -0.2 }, { a - 12, -0.2 } });
        break;
    }
    shape.drawn = true;
    return shape;
}

void clsVUmeter::DrawNeedle(QImage& target)
{
    const bool clipping = settings_.clipping.turnedon;
    if (clipping) {
        ActivateClippingRegion();
    }
    const NeedleShape shape = GetNeedleShape();
    const std::uint32_t colour = settings_.needle.needlecolor;
    if (!shape.drawn) {
        DrawHub(target);
    } else if (shape.needletype <= 2) {
        static constexpr std::array<int, 3> kWidths = { 1, 2, 4 };
        const int width = kWidths[static_cast<std::size_t>(shape.needletype)];
        const QPoint tip = shape.points[0];
        const QPoint tail = shape.points[1];
        const QPoint tipShadow = Shifted(tip, kShadowOffset);
        const QPoint tailShadow = Shifted(tail, kShadowOffset);
        DrawHub(target);
        modGraph::DrawLine(target, tipShadow.x(), tipShadow.y(), tailShadow.x(), tailShadow.y(), width,
            kShadowColour, modGraph::PS_SOLID, clip_);
        modGraph::DrawLine(
            target, tip.x(), tip.y(), tail.x(), tail.y(), width, colour, modGraph::PS_SOLID, clip_);
    } else {
        const auto count = static_cast<std::size_t>(shape.pointCount);
        std::array<QPoint, 5> shadow {};
        for (std::size_t i = 0; i < count; ++i) {
            shadow[i] = Shifted(shape.points[i], kShadowOffset);
        }
        modGraph::DrawPolygon(target, shape.pointCount, std::span<const QPoint>(shadow.data(), count), 1,
            kShadowColour, kShadowColour, clip_);
        DrawHub(target);
        modGraph::DrawPolygon(target, shape.pointCount, std::span<const QPoint>(shape.points.data(), count),
            1, colour, colour, clip_);
    }
    if (clipping) {
        DeactivateClippingRegion();
    }
}

void clsVUmeter::DrawHub(QImage& target) const
{
    // The hub takes its size from the dial, so it stays when the needle is made short.
    const NeedleGroup& n = settings_.needle;
    const i64 rx = RoundHalfEven(settings_.ticks.scaleX * kDialUnit * 0.1);
    const i64 ry = RoundHalfEven(settings_.ticks.scaleY * kDialUnit * 0.1);
    modGraph::DrawEllipse(target, Saturate(n.centerX - rx), Saturate(n.centerY - ry),
        Saturate(n.centerX + rx), Saturate(n.centerY + ry), 1, 0x000000, 0x000000, clip_);
}

void clsVUmeter::ActivateClippingRegion()
{
    clip_ = ClipBand::Rect(0, settings_.clipping.y1, settings_.picture.SizeX, settings_.clipping.y2);
}

void clsVUmeter::DeactivateClippingRegion()
{
    clip_ = ClipBand::Rect(0, 0, settings_.picture.SizeX, settings_.picture.SizeY);
}

double clsVUmeter::VU_MouseClick(std::int32_t x, std::int32_t y) const
{
    const NeedleGroup& n = settings_.needle;
    const TicksGroup& t = settings_.ticks;
    const double cx = n.centerX;
    const double cy = n.centerY;
    const double px = (x - cx) / n.scaleX + cx;
    const double py = (y - cy) / n.scaleY + cy;
    double angle = PointAngle(cx, cy, px, py);
    if (angle > 270.0) {
        angle -= 360.0;
    }
    double value = MapLinear(t.min_value, t.max_value, t.minpos_angle, t.maxpos_angle, angle);
    // A dial whose end angles coincide maps every point nowhere; answer its start.
    if (std::isnan(value)) {
        return t.min_value;
    }
    if (value < t.min_value) {
        value = t.min_value;
    }
    if (value > t.max_value) {
        value = t.max_value;
    }
    return value;
}

} // namespace pelicard
