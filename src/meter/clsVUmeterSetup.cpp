// Setting a gauge up: the built-in styles, the settings groups and the needle's target.
#include "meter/clsVUmeter.h"
#include "values/Arithmetic.h"

namespace pelicard {

namespace {

// A position dy pixels below y (above for a negative dy), saturating.
std::int32_t Below(std::int32_t y, std::int32_t dy)
{
    return Saturate(static_cast<std::int64_t>(y) + dy);
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
        Init_Textlabel(cx, Below(cy, -40), arial, 20, true, false, function, 0xFF0000);
        Init_Valuelabel(cx, Below(cy, 32), arial, 19, true, false, QStringLiteral("M"), 0xFF0000);
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
            Init_Textlabel(cx, Below(cy, -25), arial, 14, true, false, mode0, 0x0000FF);
            Init_Valuelabel(cx, Below(cy, 15), arial, 14, true, false, QStringLiteral("S"), 0x643296);
        } else {
            Init_Textlabel(cx, Below(cy, -25), arial, 14, true, false, mode1, 0xFF9600);
            Init_Valuelabel(cx, Below(cy, 15), arial, 14, true, false, QStringLiteral("$"), 0xFA3264);
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

bool clsVUmeter::AtRest() const
{
    // The step above, without storing it; a NaN never compares equal, so it never rests.
    const double delta = needleValue_ - animationValue_;
    const double velocity = (needleVelocity_ + delta) * 0.25;
    return delta == needleDelta_ && velocity == needleVelocity_
        && animationValue_ + velocity == animationValue_;
}

void clsVUmeter::InitScrew()
{
    settings_.screwImage = StandardScrewImages();
}

} // namespace pelicard
