#include "meter/clsVUmeter.h"

#include <QDateTime>
#include <QTime>

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
// More marks than this cannot be told apart at whole-degree angles; the cap keeps absurd settings
// from stalling the painting.
constexpr i64 kMaxMarks = 10000;

const std::array<clsVUmeter::ScrewImage, 2> kScrewImages = { {
    // Image 0: slot across the middle row.
    { {
        { 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFEFFFF, 0xFDFEFE, 0xFDFEFE, 0xFEFFFF, 0xFFFFFF, 0xFFFFFF,
            0xFFFFFF, 0xFFFFFF },
        { 0xFFFFFF, 0xFFFFFF, 0xF9FAFA, 0xD9E2E2, 0xCCD8D8, 0xCCD8D8, 0xCCD8D8, 0xCDD9D9, 0xDAE3E3, 0xF9FAFA,
            0xFFFFFF, 0xFFFFFF },
        { 0xFFFFFF, 0xF5F7F7, 0xCCD8D8, 0xC8D4D4, 0xC7D3D3, 0xC6D2D2, 0xC7D3D3, 0xC8D4D4, 0xC9D5D5, 0xCED9D9,
            0xF5F7F7, 0xFFFFFF },
        { 0xFFFFFF, 0xD1DBDB, 0xC5D1D1, 0xC3CFCF, 0xC1CDCD, 0xBFCBCB, 0xC1CDCD, 0xC3CFCF, 0xC5D1D1, 0xC7D3D3,
            0xD2DCDC, 0xFFFFFF },
        { 0xEDF0F0, 0xC3CFCF, 0xC0CCCC, 0xBECACA, 0xBBC7C7, 0xB9C5C5, 0xBBC7C7, 0xBECACA, 0xC0CCCC, 0xC3CFCF,
            0xC5D1D1, 0xEDF1F1 },
        { 0xE0E6E6, 0xBFCBCB, 0xBCC8C8, 0xB9C5C5, 0xB5C1C1, 0xB3BFBF, 0xB5C1C1, 0xB9C5C5, 0xBCC8C8, 0xBFCBCB,
            0xC2CECE, 0xE2E8E8 },
        { 0xFBFCFC, 0x8F9A9A, 0x6C7778, 0x869090, 0x8B9798, 0x95A2A5, 0x8E9C9C, 0x7D8B8A, 0x7B8886, 0x7E8887,
            0xB7BCBA, 0xFBFCFC },
        { 0xE1E6E6, 0xB7C3C3, 0xB3BFBF, 0xAEBABA, 0xAAB6B6, 0xA7B3B3, 0xAAB6B6, 0xAEBABA, 0xB3BFBF, 0xB7C3C3,
            0xBCC8C8, 0xE3E8E8 },
        { 0xF6F8F8, 0xB3BFBF, 0xAEBABA, 0xA9B5B5, 0xA4B0B0, 0x62716C, 0xA4B0B0, 0xA9B5B5, 0xAEBABA, 0xB3BFBF,
            0xB9C5C5, 0xF7F8F8 },
        { 0xFFFFFF, 0xD2D9D9, 0xAAB6B6, 0xA4B0B0, 0x9EAAAA, 0x9AA6A6, 0x9EAAAA, 0xA4B0B0, 0xAAB6B6, 0xB0BCBC,
            0xD5DCDC, 0xFFFFFF },
        { 0xFFFFFF, 0xFFFFFF, 0xC7CECE, 0x9FABAB, 0x99A5A5, 0x94A0A0, 0x99A5A5, 0x9FABAB, 0xA5B1B1, 0xCBD2D2,
            0xFFFFFF, 0xFFFFFF },
        { 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xE6E9E9, 0xB5BDBD, 0x9CA7A7, 0xA1ABAB, 0xBAC2C2, 0xE8EBEB, 0xFFFFFF,
            0xFFFFFF, 0xFFFFFF },
    } },
    // Image 1: slot down the middle columns.
    { {
        { 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xF9FBFB, 0xE8EBEB, 0xE8EBEB, 0xF9FBFB, 0xFFFFFF, 0xFFFFFF,
            0xFFFFFF, 0xFFFFFF },
        { 0xFFFFFF, 0xFFFFFF, 0xF9FAFA, 0xD9E2E2, 0xCCD8D8, 0x9DA9A9, 0x9DA9A9, 0xCDD9D9, 0xDAE3E3, 0xF9FAFA,
            0xFFFFFF, 0xFFFFFF },
        { 0xFFFFFF, 0xF5F7F7, 0xCCD8D8, 0xC8D4D4, 0xC7D3D3, 0x95A1A1, 0x96A2A2, 0xC8D4D4, 0xC9D5D5, 0xCED9D9,
            0xF5F7F7, 0xFFFFFF },
        { 0xFFFFFF, 0xD1DBDB, 0xC5D1D1, 0xC3CFCF, 0xC1CDCD, 0x8D9999, 0x8E9A9A, 0xC3CFCF, 0xC5D1D1, 0xC7D3D3,
            0xD2DCDC, 0xFFFFFF },
        { 0xEDF0F0, 0xC3CFCF, 0xC0CCCC, 0xBECACA, 0xBBC7C7, 0x859191, 0x879393, 0xBECACA, 0xC0CCCC, 0xC3CFCF,
            0xC5D1D1, 0xEDF1F1 },
        { 0xE0E6E6, 0xBFCBCB, 0xBCC8C8, 0xB9C5C5, 0xB5C1C1, 0x7D8989, 0x7F8B8B, 0xB9C5C5, 0xBCC8C8, 0xBFCBCB,
            0xC2CECE, 0xE2E8E8 },
        { 0xDEE4E4, 0xBBC7C7, 0xB7C3C3, 0xB3BFBF, 0xB0BCBC, 0x758181, 0x788484, 0xB3BFBF, 0xB7C3C3, 0xBBC7C7,
            0xBFCBCB, 0xE0E6E6 },
        { 0xE1E6E6, 0xB7C3C3, 0xB3BFBF, 0xAEBABA, 0xAAB6B6, 0x6D7979, 0x707C7C, 0xAEBABA, 0xB3BFBF, 0xB7C3C3,
            0xBCC8C8, 0xE3E8E8 },
        { 0xF6F8F8, 0xB3BFBF, 0xAEBABA, 0xA9B5B5, 0xA4B0B0, 0x657171, 0x697575, 0xA9B5B5, 0xAEBABA, 0xB3BFBF,
            0xB9C5C5, 0xF7F8F8 },
        { 0xFFFFFF, 0xD2D9D9, 0xAAB6B6, 0xA4B0B0, 0x9EAAAA, 0x657171, 0x62716C, 0xA4B0B0, 0xAAB6B6, 0xB0BCBC,
            0xD5DCDC, 0xFFFFFF },
        { 0xFFFFFF, 0xFFFFFF, 0xC7CECE, 0x9FABAB, 0x99A5A5, 0x657171, 0x657171, 0x9FABAB, 0xA5B1B1, 0xCBD2D2,
            0xFFFFFF, 0xFFFFFF },
        { 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xE6E9E9, 0xB5BDBD, 0x667171, 0x687272, 0xBAC2C2, 0xE8EBEB, 0xFFFFFF,
            0xFFFFFF, 0xFFFFFF },
    } },
} };

double RoundHalfEven(double v)
{
    const double floorV = std::floor(v);
    const double rest = v - floorV;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(floorV, 2.0) != 0.0)) {
        return floorV + 1.0;
    }
    return floorV;
}

// Whole numbers that do not fit (absurd settings) saturate; a result that is no number gives 0.
int RoundToInt(double v)
{
    if (std::isnan(v)) {
        return 0;
    }
    const double r = RoundHalfEven(v);
    if (r <= static_cast<double>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    if (r >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(r);
}

int Saturate(i64 v)
{
    return static_cast<int>(
        std::clamp<i64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int Offset(std::int32_t v, i64 by)
{
    return Saturate(static_cast<i64>(v) + by);
}

QPoint Shifted(const QPoint& p, int by)
{
    return QPoint(Offset(p.x(), by), Offset(p.y(), by));
}

// The index of the last mark of "For i = 0 To round(range) \ interval"; -1 when there is none.
i64 LastMarkIndex(double range, std::int32_t interval)
{
    if (interval == 0 || std::isnan(range)) {
        return -1;
    }
    constexpr double kLimit = 9.0e15;
    const auto whole = static_cast<i64>(std::clamp(RoundHalfEven(range), -kLimit, kLimit));
    return std::min(whole / interval, kMaxMarks - 1);
}

int Weight(bool bold)
{
    return bold ? modGraph::FW_BOLD : modGraph::FW_NORMAL;
}

} // namespace

clsVUmeter::clsVUmeter()
{
    InitScrew();
}

clsVUmeter::clsVUmeter(const VuTexts* texts)
    : texts_(texts)
{
    InitScrew();
}

void clsVUmeter::SetVUDefaults(std::int16_t style, std::int32_t cx, std::int32_t cy)
{
    const QString none;
    const QString& function = texts_ ? texts_->functionText : none;
    const QString& mode0 = texts_ ? texts_->ModeCaption[0] : none;
    const QString& mode1 = texts_ ? texts_->ModeCaption[1] : none;
    const QString arial = QStringLiteral("Arial");
    const QString whole = QStringLiteral("0");
    const bool timing = function == QLatin1String("DUTY") || function == QLatin1String("PERIOD")
        || function == QLatin1String("FREQ");
    const bool temperature = function == QLatin1String("TEMP");

    switch (style) {
    case 0: {
        const bool wide = function.startsWith(QLatin1String("RPM")) || temperature || timing;
        Init_Ticks(cx, cy, 1.5, 1.5, 0, wide ? 100 : 50, 240, -60, 1, 10, 0x000032, 0x000000, 1, 2, 0.9, 1.0,
            0.85, 1.0);
        Init_Scale(cx, cy, 1.0, 1.0, 5, arial, 14, false, false, whole, 0x0000FF);
        const double length = mode0 == QLatin1String("High") ? 0.0 : 1.4;
        Init_Needle(cx, cy, length, length, 4, 2, 0x0000FF);
        Init_Textlabel(cx, Offset(cy, -40), arial, 20, true, false, function, 0xFF0000);
        Init_Valuelabel(cx, Offset(cy, 32), arial, 19, true, false, QStringLiteral("M"), 0xFF0000);
        break;
    }
    case 1:
    case 2: {
        if (style == 2 && mode1 == QLatin1String("Error")) {
            Init_Ticks(
                cx, cy, 1.0, 1.0, -100, 100, 205, -25, 5, 20, 0x404040, 0x808080, 1, 2, 0.9, 1.0, 0.85, 1.0);
            Init_Scale(cx, cy, 0.6, 0.6, 20, arial, 12, false, false, whole, 0x0000FF);
        } else {
            // The second sub gauge shows temperature on the narrow dial.
            const bool wide = timing || (style == 1 && temperature);
            Init_Ticks(cx, cy, 1.0, 1.0, 0, wide ? 100 : 50, 205, -25, wide ? 2 : 1, 10, 0x404040, 0x808080,
                1, 2, 0.9, 1.0, 0.85, 1.0);
            Init_Scale(cx, cy, 0.6, 0.6, wide ? 10 : 5, arial, 12, false, false, whole, 0x000000);
        }
        Init_Needle(cx, cy, 1.0, 1.0, 4, 2, 0x0000FF);
        if (style == 1) {
            Init_Textlabel(cx, Offset(cy, -25), arial, 14, true, false, mode0, 0x0000FF);
            Init_Valuelabel(cx, Offset(cy, 15), arial, 14, true, false, QStringLiteral("S"), 0x643296);
        } else {
            Init_Textlabel(cx, Offset(cy, -25), arial, 14, true, false, mode1, 0xFF9600);
            Init_Valuelabel(cx, Offset(cy, 15), arial, 14, true, false, QStringLiteral("$"), 0xFA3264);
        }
        break;
    }
    default:
        return;
    }
    SetNeedleValue(0);
}

void clsVUmeter::Init_Picture(QImage* hDC, std::int32_t hPic, std::int32_t SizeX, std::int32_t SizeY)
{
    settings_.picture = PictureGroup { hDC, hPic, SizeX, SizeY };
    // A new picture brings a device context without a clip area.
    clip_ = ClipBand {};
}

void clsVUmeter::Init_Border(
    std::int32_t borderstyle, std::uint32_t bordercolor, std::int32_t borderthickness)
{
    settings_.border = BorderGroup { borderstyle, bordercolor, borderthickness };
}

void clsVUmeter::Init_BorderFade(double startvalue, double endvalue, std::int32_t valuestepsize,
    double borderbandstartsize1, double borderbandstartsize2, double borderbandendsize1,
    double borderbandendsize2, std::uint32_t startRGB, std::uint32_t endRGB)
{
    settings_.borderFade
        = BorderFadeGroup { startvalue, endvalue, static_cast<double>(valuestepsize), borderbandstartsize1,
              borderbandstartsize2, borderbandendsize1, borderbandendsize2, startRGB, endRGB };
}

void clsVUmeter::Init_Ticks(std::int32_t centerX, std::int32_t centerY, double scaleX, double scaleY,
    double min_value, double max_value, std::int32_t minpos_angle, std::int32_t maxpos_angle,
    std::int32_t tickinterval_small, std::int32_t tickinterval_large, std::uint32_t smallcolor,
    std::uint32_t largecolor, std::int32_t small_thickness, std::int32_t large_thickness, double small_amp1,
    double small_amp2, double large_amp1, double large_amp2)
{
    settings_.ticks = TicksGroup { centerX, centerY, scaleX, scaleY, min_value, max_value, minpos_angle,
        maxpos_angle, tickinterval_small, tickinterval_large, smallcolor, largecolor, small_thickness,
        large_thickness, small_amp1, small_amp2, large_amp1, large_amp2 };
}

void clsVUmeter::Init_Needle(std::int32_t centerX, std::int32_t centerY, double scaleX, double scaleY,
    std::int16_t needletype, std::int16_t operationmode, std::uint32_t needlecolor)
{
    settings_.needle
        = NeedleGroup { centerX, centerY, scaleX, scaleY, needletype, operationmode, needlecolor };
}

void clsVUmeter::Init_Scale(std::int32_t centerX, std::int32_t centerY, double scaleX, double scaleY,
    std::int32_t interval, const QString& fontname, std::int32_t fontsize, bool fontisbold, bool fontisitalic,
    const QString& txtformat, std::uint32_t textcolor)
{
    settings_.scale = ScaleGroup { centerX, centerY, scaleX, scaleY, interval, fontname, fontsize, fontisbold,
        fontisitalic, txtformat, textcolor };
}

void clsVUmeter::Init_Textlabel(std::int32_t centerX, std::int32_t centerY, const QString& fontname,
    std::int32_t fontsize, bool fontisbold, bool fontisitalic, const QString& txtformat,
    std::uint32_t textcolor)
{
    settings_.textLabel
        = LabelGroup { centerX, centerY, fontname, fontsize, fontisbold, fontisitalic, txtformat, textcolor };
}

void clsVUmeter::Init_Valuelabel(std::int32_t centerX, std::int32_t centerY, const QString& fontname,
    std::int32_t fontsize, bool fontisbold, bool fontisitalic, const QString& txtformat,
    std::uint32_t textcolor)
{
    settings_.valueLabel
        = LabelGroup { centerX, centerY, fontname, fontsize, fontisbold, fontisitalic, txtformat, textcolor };
}

void clsVUmeter::Init_Clipping(bool turnedon, std::int32_t y1, std::int32_t y2)
{
    settings_.clipping = ClippingGroup { turnedon, y1, y2 };
}

void clsVUmeter::Init_Screws(
    bool enabled, std::int32_t posx1, std::int32_t posy1, std::int32_t posx2, std::int32_t posy2)
{
    settings_.screws = ScrewsGroup { enabled, posx1, posy1, posx2, posy2 };
}

void clsVUmeter::SetNeedleValue(double value)
{
    needleValue_ = value;
    if (settings_.needle.operationmode == 1) {
        animationValue_ = value;
    }
}

void clsVUmeter::SetNeedleValueDirect(double value)
{
    needleValue_ = value;
    animationValue_ = value;
    needleDelta_ = 0;
    needleVelocity_ = 0;
}

void clsVUmeter::AnimationLoop()
{
    needleDelta_ = needleValue_ - animationValue_;
    needleVelocity_ = (needleVelocity_ + needleDelta_) * 0.25;
    animationValue_ = animationValue_ + needleVelocity_;
}

double clsVUmeter::AdjustC(double c)
{
    return std::fmod(RoundHalfEven(c + 90.0), 360.0);
}

double clsVUmeter::GetXPos(double c, double r)
{
    return std::sin(AdjustC(c) * kPi / 180.0) * r;
}

double clsVUmeter::GetYPos(double c, double r)
{
    return std::cos(AdjustC(c) * kPi / 180.0) * r;
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
    return QPoint(RoundToInt(centerX + GetXPos(angle, kDialUnit * scaleX * factor)),
        RoundToInt(centerY + GetYPos(angle, kDialUnit * scaleY * factor)));
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

void clsVUmeter::InitScrew()
{
    settings_.screwImage = kScrewImages;
}

void clsVUmeter::DrawDial(QImage& target) const
{
    const BorderGroup& b = settings_.border;
    const TicksGroup& t = settings_.ticks;
    if (b.borderstyle == 1) {
        const NeedleGroup& n = settings_.needle;
        const i64 rx = RoundToInt(kDialUnit * t.scaleX);
        const i64 ry = RoundToInt(kDialUnit * t.scaleY);
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
    const double step = RoundHalfEven(f.valuestepsize);
    if (step == 0.0 || span == 0.0 || !std::isfinite(span) || !std::isfinite(step) || !HasValueRange()) {
        return;
    }
    const i64 last = LastMarkIndex(span, static_cast<std::int32_t>(step)) - 1;
    auto component = [&](int shift, double q) {
        const double from = (f.startRGB >> shift) & 0xFFu;
        const double to = (f.endRGB >> shift) & 0xFFu;
        const double value
            = std::clamp(RoundHalfEven(MapLinear(from, to, f.startvalue, f.endvalue, q)), 0.0, 255.0);
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
    const i64 last = LastMarkIndex(t.max_value - t.min_value, interval);
    // A tick's pixels depend only on its whole-degree angle, so a second tick at the same degree
    // would paint the same pixels again.
    std::array<bool, 720> painted {};
    bool paintedUndefined = false;
    for (i64 i = 0; i <= last; ++i) {
        const double angle = ValueAngle(t.min_value + static_cast<double>(i) * interval);
        const double degree = AdjustC(angle);
        bool& done
            = std::isfinite(degree) ? painted[static_cast<std::size_t>(degree + 359.0)] : paintedUndefined;
        if (done) {
            continue;
        }
        done = true;
        const QPoint from = TicksPoint(angle, amp1);
        const QPoint to = TicksPoint(angle, amp2);
        modGraph::DrawLine(
            target, from.x(), from.y(), to.x(), to.y(), thickness, colour, modGraph::PS_SOLID, clip_);
    }
}

void clsVUmeter::DrawScale(QImage& target) const
{
    const ScaleGroup& s = settings_.scale;
    const TicksGroup& t = settings_.ticks;
    if (s.interval == 0 || !HasValueRange()) {
        return;
    }
    const i64 last = LastMarkIndex(t.max_value - t.min_value, s.interval);
    // Half the cell in whole pixels, the division truncating as everywhere in the layout.
    const double lift = static_cast<double>(s.fontsize / 2); // NOLINT(bugprone-integer-division)
    for (i64 i = 0; i <= last; ++i) {
        const double value = t.min_value + static_cast<double>(i) * s.interval;
        const double angle = ValueAngle(value);
        const int x = RoundToInt(s.centerX + GetXPos(angle, kDialUnit * s.scaleX * 1.15));
        const int y = RoundToInt(s.centerY + GetYPos(angle, kDialUnit * s.scaleY * 1.15) - lift);
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

clsVUmeter::NeedleShape clsVUmeter::needleShape() const
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
    const NeedleShape shape = needleShape();
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
    const i64 rx = RoundToInt(settings_.ticks.scaleX * kDialUnit * 0.1);
    const i64 ry = RoundToInt(settings_.ticks.scaleY * kDialUnit * 0.1);
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

QString clsVUmeter::FormatNumber(double value, const QString& pattern)
{
    if (!std::isfinite(value)) {
        return QString::number(value);
    }
    if (pattern.isEmpty()) {
        return QString::number(value, 'g', 15);
    }
    auto isPlaceholder = [](QChar c) { return c == u'0' || c == u'#' || c == u'.' || c == u','; };
    qsizetype first = 0;
    while (first < pattern.size() && !isPlaceholder(pattern[first])) {
        ++first;
    }
    if (first == pattern.size()) {
        return pattern; // nothing but literal text
    }
    qsizetype end = first;
    while (end < pattern.size() && isPlaceholder(pattern[end])) {
        ++end;
    }
    const QString core = pattern.mid(first, end - first);
    const qsizetype point = core.indexOf(u'.');
    const QString integerPart = point < 0 ? core : core.left(point);
    const QString fractionPart = point < 0 ? QString() : core.mid(point + 1);
    const int minIntegerDigits = static_cast<int>(integerPart.count(u'0'));
    const int decimals = std::min(15, static_cast<int>(fractionPart.count(u'0') + fractionPart.count(u'#')));
    const int minDecimals = std::min(decimals, static_cast<int>(fractionPart.count(u'0')));
    const bool grouping = integerPart.contains(u',');

    // Halves round away from zero.
    const double scale = std::pow(10.0, decimals);
    double magnitude = std::abs(value);
    if (magnitude * scale < 9.0e15) {
        magnitude = std::round(magnitude * scale) / scale;
    }
    QString digits = QString::number(magnitude, 'f', decimals);
    QString whole = digits;
    QString fraction;
    if (decimals > 0) {
        whole = digits.left(digits.size() - decimals - 1);
        fraction = digits.right(decimals);
        while (fraction.size() > minDecimals && fraction.endsWith(u'0')) {
            fraction.chop(1);
        }
    }
    if (whole == QLatin1String("0") && minIntegerDigits == 0) {
        whole.clear();
    }
    while (whole.size() < minIntegerDigits) {
        whole.prepend(u'0');
    }
    if (grouping) {
        for (qsizetype i = whole.size() - 3; i > 0; i -= 3) {
            whole.insert(i, u',');
        }
    }
    QString text = whole;
    if (!fraction.isEmpty()) {
        text += u'.' + fraction;
    }
    const bool negative = value < 0 && magnitude != 0.0;
    return pattern.left(first) + (negative ? QStringLiteral("-") : QString()) + text + pattern.mid(end);
}

QString clsVUmeter::FormatTimeStamp(const QString& text)
{
    const QString trimmed = text.trimmed();
    static const char* const kFormats[] = { "H:m:s", "H:m", "h:m:s AP", "h:m AP" };
    for (const char* format : kFormats) {
        const QTime time = QTime::fromString(trimmed, QLatin1String(format));
        if (time.isValid()) {
            return time.toString(QStringLiteral("HH:mm:ss"));
        }
    }
    const QDateTime stamp = QDateTime::fromString(trimmed, Qt::ISODate);
    if (stamp.isValid() && trimmed.contains(u':')) {
        return stamp.time().toString(QStringLiteral("HH:mm:ss"));
    }
    return text;
}

} // namespace pelicard
