#pragma once

#include "meter/ScrewImages.h"
#include "meter/VuTexts.h"
#include "meter/modGraph.h"

#include <QImage>
#include <QPoint>
#include <QString>

#include <array>
#include <cstdint>

namespace pelicard {

// An analog needle gauge that paints itself into a picture: round dial with small and large ticks,
// scale numbers, an optional border ring or colour band, a needle with shadow and hub, a caption, a
// value label and two optional screws. It is configured group by group (Init_*), or all at once with
// one of the built-in styles, and its needle moves towards the target value by a damped step.
//
// The value label and the built-in styles read texts owned elsewhere through a VuTexts pointer given
// to the constructor or to SetTexts; the texts must outlive the gauge's use of them. Without texts
// the styles see empty texts and the value label paints empty texts.
//
// Angles are meter angles in degrees: 0 right, 90 up, counter-clockwise on the screen. Colours are
// 0xBBGGRR. Nothing is validated when it is stored; painting skips an element whose arithmetic would
// divide by zero (a zero tick, number or band step, or an empty value range), saturates whole
// numbers that would not fit, and paints at most 10000 numbers or band segments of a kind. Ticks are
// painted once per whole degree they fall on, so any number of them covers the arc. Scale numbers are
// painted in the scale group's font, style and colour (see GaugeFormat.h for their texts).
class clsVUmeter {
public:
    struct PictureGroup {
        QImage* hDC = nullptr; // the picture painted into
        std::int32_t hPic = 0; // kept for the caller, not used for painting
        std::int32_t SizeX = 0;
        std::int32_t SizeY = 0;
        bool operator==(const PictureGroup&) const = default;
    };
    struct BorderGroup {
        std::int32_t borderstyle = 0; // 0 none, 1 ring, 2 colour band
        std::uint32_t bordercolor = 0;
        std::int32_t borderthickness = 0;
        bool operator==(const BorderGroup&) const = default;
    };
    struct BorderFadeGroup {
        double startvalue = 0;
        double endvalue = 0;
        double valuestepsize = 0;
        double borderbandstartsize1 = 0;
        double borderbandstartsize2 = 0;
        double borderbandendsize1 = 0;
        double borderbandendsize2 = 0;
        std::uint32_t startRGB = 0;
        std::uint32_t endRGB = 0;
        bool operator==(const BorderFadeGroup&) const = default;
    };
    struct TicksGroup {
        std::int32_t centerX = 0;
        std::int32_t centerY = 0;
        double scaleX = 0;
        double scaleY = 0;
        double min_value = 0;
        double max_value = 0;
        std::int32_t minpos_angle = 0;
        std::int32_t maxpos_angle = 0;
        std::int32_t tickinterval_small = 0;
        std::int32_t tickinterval_large = 0;
        std::uint32_t smallcolor = 0;
        std::uint32_t largecolor = 0;
        std::int32_t small_thickness = 0;
        std::int32_t large_thickness = 0;
        double small_amp1 = 0;
        double small_amp2 = 0;
        double large_amp1 = 0;
        double large_amp2 = 0;
        bool operator==(const TicksGroup&) const = default;
    };
    struct NeedleGroup {
        std::int32_t centerX = 0;
        std::int32_t centerY = 0;
        double scaleX = 0;
        double scaleY = 0;
        std::int16_t needletype = 0; // 0..2 lines, 3..5 filled shapes, others only the hub
        std::int16_t operationmode = 0; // 1: the needle jumps; otherwise it is animated
        std::uint32_t needlecolor = 0;
        bool operator==(const NeedleGroup&) const = default;
    };
    struct ScaleGroup {
        std::int32_t centerX = 0;
        std::int32_t centerY = 0;
        double scaleX = 0;
        double scaleY = 0;
        std::int32_t interval = 0;
        QString fontname;
        std::int32_t fontsize = 0;
        bool fontisbold = false;
        bool fontisitalic = false;
        QString txtformat; // number pattern such as "0" or "0.0"
        std::uint32_t textcolor = 0;
        bool operator==(const ScaleGroup&) const = default;
    };
    struct LabelGroup {
        std::int32_t centerX = 0;
        std::int32_t centerY = 0;
        QString fontname;
        std::int32_t fontsize = 0;
        bool fontisbold = false;
        bool fontisitalic = false;
        QString txtformat; // caption: the text; value label: "M", "S" or "$"
        std::uint32_t textcolor = 0;
        bool operator==(const LabelGroup&) const = default;
    };
    struct ClippingGroup {
        bool turnedon = false;
        std::int32_t y1 = 0;
        std::int32_t y2 = 0;
        bool operator==(const ClippingGroup&) const = default;
    };
    struct ScrewsGroup {
        bool enabled = false;
        std::int32_t posx1 = 0;
        std::int32_t posy1 = 0;
        std::int32_t posx2 = 0;
        std::int32_t posy2 = 0;
        bool operator==(const ScrewsGroup&) const = default;
    };
    using ScrewImage = pelicard::ScrewImage;

    // Everything a repaint depends on apart from the needle position and the outside texts.
    struct Settings {
        PictureGroup picture;
        BorderGroup border;
        BorderFadeGroup borderFade;
        TicksGroup ticks;
        NeedleGroup needle;
        ScaleGroup scale;
        LabelGroup textLabel;
        LabelGroup valueLabel;
        ClippingGroup clipping;
        ScrewsGroup screws;
        std::array<ScrewImage, 2> screwImage {};
        bool operator==(const Settings&) const = default;
    };

    // The needle as it would be painted now, in whole pixels: equal shapes paint equal pixels.
    struct NeedleShape {
        bool drawn = false; // false: only the hub (no shape, or an angle that cannot be computed)
        std::int16_t needletype = 0;
        int pointCount = 0; // 2 for the line needles (tip, tail), 4 or 5 for the filled ones
        std::array<QPoint, 5> points {};
        bool operator==(const NeedleShape&) const = default;
    };

    clsVUmeter();
    explicit clsVUmeter(const VuTexts* texts);

    void SetTexts(const VuTexts* texts) { texts_ = texts; }
    const VuTexts* GetTexts() const { return texts_; }

    // Style 0 (main gauge), 1 and 2 (sub gauges) centred on (cx, cy); any other style changes nothing.
    void SetVUDefaults(std::int16_t style, std::int32_t cx, std::int32_t cy);
    void Init_Picture(QImage* hDC, std::int32_t hPic, std::int32_t SizeX, std::int32_t SizeY);
    void Init_Border(std::int32_t borderstyle, std::uint32_t bordercolor, std::int32_t borderthickness);
    void Init_BorderFade(double startvalue, double endvalue, std::int32_t valuestepsize,
        double borderbandstartsize1, double borderbandstartsize2, double borderbandendsize1,
        double borderbandendsize2, std::uint32_t startRGB, std::uint32_t endRGB);
    void Init_Ticks(std::int32_t centerX, std::int32_t centerY, double scaleX, double scaleY,
        double min_value, double max_value, std::int32_t minpos_angle, std::int32_t maxpos_angle,
        std::int32_t tickinterval_small, std::int32_t tickinterval_large, std::uint32_t smallcolor,
        std::uint32_t largecolor, std::int32_t small_thickness, std::int32_t large_thickness,
        double small_amp1, double small_amp2, double large_amp1, double large_amp2);
    void Init_Needle(std::int32_t centerX, std::int32_t centerY, double scaleX, double scaleY,
        std::int16_t needletype, std::int16_t operationmode, std::uint32_t needlecolor);
    void Init_Scale(std::int32_t centerX, std::int32_t centerY, double scaleX, double scaleY,
        std::int32_t interval, const QString& fontname, std::int32_t fontsize, bool fontisbold,
        bool fontisitalic, const QString& txtformat, std::uint32_t textcolor);
    void Init_Textlabel(std::int32_t centerX, std::int32_t centerY, const QString& fontname,
        std::int32_t fontsize, bool fontisbold, bool fontisitalic, const QString& txtformat,
        std::uint32_t textcolor);
    void Init_Valuelabel(std::int32_t centerX, std::int32_t centerY, const QString& fontname,
        std::int32_t fontsize, bool fontisbold, bool fontisitalic, const QString& txtformat,
        std::uint32_t textcolor);
    void Init_Clipping(bool turnedon, std::int32_t y1, std::int32_t y2);
    void Init_Screws(
        bool enabled, std::int32_t posx1, std::int32_t posy1, std::int32_t posx2, std::int32_t posy2);

    void SetNeedleValue(double value);
    void SetNeedleValueDirect(double value);
    double GetNeedleValue() const { return needleValue_; }
    double GetNeedleAnimationValue() const { return animationValue_; }
    // One damped step of the shown value towards the target.
    void AnimationLoop();
    // Whether a step would change nothing: the shown value has settled on the target as far as the
    // arithmetic goes, and stays there until a new value is set.
    bool AtRest() const;

    // c + 90 rounded to a whole degree (halves to even), remainder by 360 with the sign of c + 90.
    static double AdjustC(double c);
    // The screen offset of radius r at meter angle c: r cos c to the right, r sin c upwards.
    static double GetXPos(double c, double r);
    static double GetYPos(double c, double r);
    // x taken from the range c..d to the range a..b, not clamped.
    static double MapLinear(double a, double b, double c, double d, double x);
    // The meter angle (0..360) of (x2, y2) seen from (x1, y1).
    static double PointAngle(double x1, double y1, double x2, double y2);
    // Base-ten logarithm; 0 for x <= 0.
    static double log10(double x);
    // The meter angle of a value on this dial.
    double ValueAngle(double value) const;

    // Paints the whole gauge into the picture of Init_Picture; clr first clears the picture.
    void Draw(std::uint32_t bdColor, std::uint32_t bkColor, bool clr);
    // The two halves of Draw, into any picture of the same size: the part that depends only on the
    // settings (clear, screws, dial, scale, caption), then the value label and the needle.
    void PaintDial(QImage& target, std::uint32_t bdColor, std::uint32_t bkColor, bool clr) const;
    void PaintReadings(QImage& target);

    // Clip to the band of Init_Clipping, or back to the whole picture.
    void ActivateClippingRegion();
    void DeactivateClippingRegion();
    const ClipBand& GetClip() const { return clip_; }

    // The dial value under the pixel (x, y), clamped to the dial's range; min_value when the dial's
    // end angles coincide.
    double VU_MouseClick(std::int32_t x, std::int32_t y) const;
    // Screw image id (0 or 1) centred on (posx, posy); other ids paint nothing.
    void DrawScrew(QImage& hDC, std::int16_t id, std::int16_t posx, std::int16_t posy) const;
    void InitScrew();

    const Settings& GetSettings() const { return settings_; }
    NeedleShape GetNeedleShape() const;

private:
    QPoint PolarPoint(std::int32_t centerX, std::int32_t centerY, double scaleX, double scaleY, double angle,
        double factor) const;
    QPoint TicksPoint(double angle, double factor) const;
    QPoint NeedlePoint(double angle, double factor) const;
    bool HasValueRange() const;

    void DrawScrews(QImage& target) const;
    void DrawDial(QImage& target) const;
    void DrawColourBand(QImage& target) const;
    void DrawTicks(QImage& target, std::int32_t interval, double amp1, double amp2, std::int32_t thickness,
        std::uint32_t colour) const;
    void DrawScale(QImage& target) const;
    void DrawCaption(QImage& target) const;
    void DrawValueLabel(QImage& target) const;
    void DrawNeedle(QImage& target);
    void DrawHub(QImage& target) const;
    void DrawLabelText(QImage& target, const LabelGroup& group, const QString& text, std::int64_t y,
        std::int64_t fontSize) const;

    const VuTexts* texts_ = nullptr;
    Settings settings_;
    ClipBand clip_;
    double needleValue_ = 0;
    double animationValue_ = 0;
    double needleDelta_ = 0;
    double needleVelocity_ = 0;
};

} // namespace pelicard
