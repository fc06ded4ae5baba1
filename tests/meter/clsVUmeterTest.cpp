#include "meter/clsVUmeter.h"

#include "PixelTools.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace pelicard {
namespace {

using namespace pelicard::testing;

constexpr std::uint32_t kBackground = 0xD2DCE1;
constexpr std::uint32_t kNeedleRed = 0x0000FF;
constexpr std::uint32_t kShadow = 0x808080;
constexpr std::uint32_t kHub = 0x000000;

// A gauge on its own picture with the texts it reads.
struct Gauge {
    VuTexts texts;
    QImage picture = Canvas(330, 220, kBackground);
    clsVUmeter meter { &texts };

    Gauge() { meter.Init_Picture(&picture, 0, picture.width(), picture.height()); }
    void Style(
        std::int16_t style, const QString& function, const QString& mode0 = {}, const QString& mode1 = {})
    {
        texts.functionText = function;
        texts.ModeCaption = { mode0, mode1 };
        meter.SetVUDefaults(style, style == 0 ? 100 : 250, style == 0 ? 100 : style == 1 ? 65 : 155);
    }
    // A bare dial: 0..50 across the upper half (180 to 0 degrees), ticks from radius 80 to 100,
    // numbers at radius 69, only the hub for a needle.
    void Bare(std::int32_t smallInterval, std::int32_t largeInterval, std::int32_t scaleInterval)
    {
        meter.Init_Ticks(165, 110, 100.0 / 60, 100.0 / 60, 0, 50, 180, 0, smallInterval, largeInterval,
            0x000000, 0x0000FF, 1, 1, 0.8, 1.0, 0.8, 1.0);
        meter.Init_Scale(165, 110, 0.6 * 100.0 / 60, 0.6 * 100.0 / 60, scaleInterval, QStringLiteral("Arial"),
            14, false, false, QStringLiteral("0"), 0x00AA00);
        meter.Init_Needle(165, 110, 0, 0, -1, 2, kNeedleRed);
    }
    void Paint(bool clr = true) { meter.Draw(kBackground, kBackground, clr); }
};

TEST(Geometry, AdjustCRoundsHalvesToEvenAndKeepsTheSign)
{
    EXPECT_EQ(clsVUmeter::AdjustC(0.5), 90.0);
    EXPECT_EQ(clsVUmeter::AdjustC(1.5), 92.0);
    EXPECT_EQ(clsVUmeter::AdjustC(-100), -10.0);
    EXPECT_EQ(clsVUmeter::AdjustC(270), 0.0);
    EXPECT_EQ(clsVUmeter::AdjustC(269.5), 0.0);
    EXPECT_EQ(clsVUmeter::AdjustC(-471), -21.0);
    EXPECT_EQ(clsVUmeter::AdjustC(10.4), 100.0);
}

TEST(Geometry, PolarOffsetsPointUpForNinetyDegrees)
{
    EXPECT_NEAR(clsVUmeter::GetXPos(0, 10), 10.0, 1e-9);
    EXPECT_NEAR(clsVUmeter::GetYPos(0, 10), 0.0, 1e-9);
    EXPECT_NEAR(clsVUmeter::GetXPos(90, 10), 0.0, 1e-9);
    EXPECT_NEAR(clsVUmeter::GetYPos(90, 10), -10.0, 1e-9);
    EXPECT_NEAR(clsVUmeter::GetYPos(270, 10), 10.0, 1e-9);
    // A negative radius points the other way (needle tails).
    EXPECT_NEAR(clsVUmeter::GetXPos(180, -10), 10.0, 1e-9);
    // Angles are used at whole degrees.
    EXPECT_EQ(clsVUmeter::GetXPos(30.4, 50), clsVUmeter::GetXPos(30, 50));
}

TEST(Geometry, MainDialRunsClockwiseFromLowerLeftWithoutClamping)
{
    Gauge g;
    g.Style(0, QStringLiteral("FREQ"));
    EXPECT_EQ(g.meter.ValueAngle(0), 240.0);
    EXPECT_EQ(g.meter.ValueAngle(50), 90.0);
    EXPECT_EQ(g.meter.ValueAngle(100), -60.0);
    EXPECT_EQ(g.meter.ValueAngle(110), -90.0);
    EXPECT_EQ(clsVUmeter::MapLinear(0, 10, 0, 100, 250), 25.0);

    // The needle tip (slim arrow, fourth point) sits at 0.95 of the needle length.
    g.meter.SetNeedleValueDirect(50);
    EXPECT_EQ(g.meter.needleShape().points[3], QPoint(100, 20));
    g.meter.SetNeedleValueDirect(0);
    EXPECT_EQ(g.meter.needleShape().points[3], QPoint(60, 169));
    g.meter.SetNeedleValueDirect(100);
    EXPECT_EQ(g.meter.needleShape().points[3], QPoint(140, 169));
}

TEST(Geometry, PointAngleCoversTheAxesAndQuadrants)
{
    EXPECT_EQ(clsVUmeter::PointAngle(10, 10, 10, 0), 90.0);
    EXPECT_EQ(clsVUmeter::PointAngle(10, 10, 10, 20), 270.0);
    EXPECT_EQ(clsVUmeter::PointAngle(10, 10, 0, 10), 180.0);
    EXPECT_EQ(clsVUmeter::PointAngle(10, 10, 20, 10), 0.0);
    EXPECT_EQ(clsVUmeter::PointAngle(10, 10, 10, 10), 0.0);
    EXPECT_NEAR(clsVUmeter::PointAngle(0, 0, 5, -5), 45.0, 1e-4);
    EXPECT_NEAR(clsVUmeter::PointAngle(0, 0, -5, -5), 135.0, 1e-4);
    EXPECT_NEAR(clsVUmeter::PointAngle(0, 0, -5, 5), 225.0, 1e-4);
    EXPECT_NEAR(clsVUmeter::PointAngle(0, 0, 5, 5), 315.0, 1e-4);
}

TEST(Geometry, MouseClickReadsTheDialValueAndClampsToTheRange)
{
    Gauge g;
    g.Style(0, QStringLiteral("FREQ"));
    EXPECT_NEAR(g.meter.VU_MouseClick(100, 40), 50.0, 1e-9);
    EXPECT_NEAR(g.meter.VU_MouseClick(40, 100), 20.0, 1e-9);
    // Below the right-hand horizontal (300, 280 degrees) counts as below zero: beyond the end of the
    // dial, not before its start.
    EXPECT_NEAR(g.meter.VU_MouseClick(130, 152), 100.0, 1e-9);
    EXPECT_NEAR(g.meter.VU_MouseClick(110, 157), 100.0, 1e-9);
    EXPECT_NEAR(g.meter.VU_MouseClick(90, 157), 0.0, 1e-9);
    EXPECT_NEAR(g.meter.VU_MouseClick(60, 169), 0.0, 0.05);
    EXPECT_NEAR(g.meter.VU_MouseClick(100 + 40, 100 - 40), 65.0, 1e-3);

    // The needle scale stretches the click back onto the unit dial; zero scales still answer.
    g.meter.Init_Needle(100, 100, 0, 0, 4, 2, kNeedleRed);
    const double value = g.meter.VU_MouseClick(100, 100);
    EXPECT_GE(value, 0.0);
    EXPECT_LE(value, 100.0);
    g.meter.Init_Ticks(100, 100, 1, 1, 0, 100, 90, 90, 1, 10, 0, 0, 1, 1, 0.9, 1, 0.9, 1);
    g.meter.Init_Needle(100, 100, 1, 1, 4, 2, kNeedleRed);
    EXPECT_EQ(g.meter.VU_MouseClick(150, 100), 0.0);
}

TEST(Geometry, Log10IsTheDecimalLogarithmAndZeroBelowOne)
{
    EXPECT_DOUBLE_EQ(clsVUmeter::log10(1000), 3.0);
    EXPECT_DOUBLE_EQ(clsVUmeter::log10(2), std::log10(2.0));
    EXPECT_EQ(clsVUmeter::log10(0), 0.0);
    EXPECT_EQ(clsVUmeter::log10(-5), 0.0);
}

TEST(Styles, MainDialIsWideForEngineAndTimingFunctions)
{
    struct Case {
        const char* function;
        double max;
    };
    for (const Case c : { Case { "RPM/IG", 100 }, Case { "RPM/IP", 100 }, Case { "TEMP", 100 },
             Case { "DUTY", 100 }, Case { "PERIOD", 100 }, Case { "FREQ", 100 }, Case { "DCV", 50 },
             Case { "temp", 50 }, Case { "RP", 50 }, Case { "", 50 } }) {
        Gauge g;
        g.Style(0, QString::fromLatin1(c.function));
        const auto& s = g.meter.settings();
        EXPECT_EQ(s.ticks.max_value, c.max) << c.function;
        EXPECT_EQ(s.ticks.min_value, 0.0);
        EXPECT_EQ(s.ticks.minpos_angle, 240);
        EXPECT_EQ(s.ticks.maxpos_angle, -60);
        EXPECT_EQ(s.ticks.tickinterval_small, 1);
        EXPECT_EQ(s.ticks.tickinterval_large, 10);
        EXPECT_EQ(s.scale.interval, 5);
        EXPECT_EQ(s.textLabel.txtformat, QString::fromLatin1(c.function));
        EXPECT_EQ(s.textLabel.centerY, 60);
        EXPECT_EQ(s.valueLabel.txtformat, QStringLiteral("M"));
        EXPECT_EQ(s.valueLabel.centerY, 132);
        EXPECT_EQ(s.needle.scaleX, 1.4);
        EXPECT_EQ(s.needle.needletype, 4);
        EXPECT_EQ(s.needle.operationmode, 2);
    }
}

TEST(Styles, TemperatureIsWideOnTheFirstSubDialOnly)
{
    Gauge first;
    first.Style(1, QStringLiteral("TEMP"), QStringLiteral("Max"), QStringLiteral("Min"));
    EXPECT_EQ(first.meter.settings().ticks.max_value, 100.0);
    EXPECT_EQ(first.meter.settings().ticks.tickinterval_small, 2);
    EXPECT_EQ(first.meter.settings().scale.interval, 10);
    EXPECT_EQ(first.meter.settings().textLabel.txtformat, QStringLiteral("Max"));
    EXPECT_EQ(first.meter.settings().valueLabel.txtformat, QStringLiteral("S"));
    EXPECT_EQ(first.meter.settings().valueLabel.textcolor, 0x643296u);

    Gauge second;
    second.Style(2, QStringLiteral("TEMP"), QStringLiteral("Max"), QStringLiteral("Min"));
    EXPECT_EQ(second.meter.settings().ticks.max_value, 50.0);
    EXPECT_EQ(second.meter.settings().ticks.tickinterval_small, 1);
    EXPECT_EQ(second.meter.settings().scale.interval, 5);
    EXPECT_EQ(second.meter.settings().textLabel.txtformat, QStringLiteral("Min"));
    EXPECT_EQ(second.meter.settings().textLabel.centerY, 130);
    EXPECT_EQ(second.meter.settings().valueLabel.txtformat, QStringLiteral("$"));

    Gauge timing;
    timing.Style(2, QStringLiteral("DUTY"));
    EXPECT_EQ(timing.meter.settings().ticks.max_value, 100.0);
}

TEST(Styles, ErrorWordGivesTheSignedDialWhateverTheFunction)
{
    for (const char* function : { "DCV", "FREQ", "TEMP" }) {
        Gauge g;
        g.Style(2, QString::fromLatin1(function), QStringLiteral("Ref"), QStringLiteral("Error"));
        const auto& s = g.meter.settings();
        EXPECT_EQ(s.ticks.min_value, -100.0);
        EXPECT_EQ(s.ticks.max_value, 100.0);
        EXPECT_EQ(s.ticks.tickinterval_small, 5);
        EXPECT_EQ(s.ticks.tickinterval_large, 20);
        EXPECT_EQ(s.scale.interval, 20);
        EXPECT_EQ(s.scale.textcolor, 0x0000FFu);
    }
    // The first sub dial does not look at the word.
    Gauge first;
    first.Style(1, QStringLiteral("DCV"), QStringLiteral("Ref"), QStringLiteral("Error"));
    EXPECT_EQ(first.meter.settings().ticks.min_value, 0.0);
}

TEST(Styles, HighWordShortensTheMainNeedleToNothing)
{
    Gauge high;
    high.Style(0, QStringLiteral("DCV"), QStringLiteral("High"), QStringLiteral("Low"));
    EXPECT_EQ(high.meter.settings().needle.scaleX, 0.0);
    high.meter.SetNeedleValueDirect(25);
    high.Paint();
    // Only the hub: no shadow anywhere and no needle colour near the centre.
    EXPECT_EQ(CountColour(high.picture, kShadow), 0);
    EXPECT_EQ(BoundsOfColour(high.picture.copy(60, 60, 80, 80), kNeedleRed), QRect());
    EXPECT_EQ(At(high.picture, 100, 100), kHub);
    EXPECT_EQ(At(high.picture, 91, 100), kHub);

    Gauge misspelt;
    misspelt.Style(0, QStringLiteral("DCV"), QStringLiteral("Hight"), QStringLiteral("Low"));
    EXPECT_EQ(misspelt.meter.settings().needle.scaleX, 1.4);
    misspelt.meter.SetNeedleValueDirect(25);
    misspelt.Paint();
    EXPECT_GT(CountColour(misspelt.picture, kShadow), 0);
}

TEST(Styles, UnknownStyleChangesNothingAndStylesSendTheNeedleHome)
{
    Gauge g;
    g.Style(1, QStringLiteral("DCV"), QStringLiteral("Max"));
    g.meter.SetNeedleValueDirect(30);
    const clsVUmeter::Settings before = g.meter.settings();
    g.meter.SetVUDefaults(3, 10, 10);
    g.meter.SetVUDefaults(-1, 10, 10);
    EXPECT_EQ(g.meter.settings(), before);
    EXPECT_EQ(g.meter.GetNeedleValue(), 30.0);

    g.meter.SetVUDefaults(1, 250, 65);
    EXPECT_EQ(g.meter.GetNeedleValue(), 0.0);
    EXPECT_EQ(g.meter.GetNeedleAnimationValue(), 30.0);
    // Styles leave the border, band, clipping, screws and picture alone.
    g.meter.Init_Border(1, 0x123456, 3);
    g.meter.Init_Clipping(true, 1, 2);
    g.meter.Init_Screws(true, 1, 2, 3, 4);
    const clsVUmeter::Settings configured = g.meter.settings();
    g.meter.SetVUDefaults(0, 100, 100);
    EXPECT_EQ(g.meter.settings().border, configured.border);
    EXPECT_EQ(g.meter.settings().clipping, configured.clipping);
    EXPECT_EQ(g.meter.settings().screws, configured.screws);
    EXPECT_EQ(g.meter.settings().picture, configured.picture);
}

// Runs of `colour` met when walking a circle of the given radius around the centre.
int CrossingsOnArc(const QImage& image, QPointF centre, double radius, std::uint32_t colour)
{
    int runs = 0;
    bool inside = false;
    for (int step = 0; step <= 36000; ++step) {
        const double a = step * M_PI / 36000.0; // upper half only
        const int x = static_cast<int>(std::lround(centre.x() + radius * std::cos(a)));
        const int y = static_cast<int>(std::lround(centre.y() - radius * std::sin(a)));
        // A 3x3 neighbourhood, so a diagonal tick cannot slip between two samples.
        bool hit = false;
        for (int dy = -1; dy <= 1 && !hit; ++dy) {
            for (int dx = -1; dx <= 1 && !hit; ++dx)
                hit = At(image, x + dx, y + dy) == colour;
        }
        if (hit && !inside)
            ++runs;
        inside = hit;
    }
    return runs;
}

TEST(Dial, PaintsOneTickPerIntervalIncludingTheEndWhenItFits)
{
    Gauge g;
    g.Bare(1, 0, 0);
    g.Paint();
    EXPECT_EQ(CrossingsOnArc(g.picture, QPointF(165.5, 110.5), 90, 0x000000), 51);

    Gauge uneven;
    uneven.Bare(7, 0, 0);
    uneven.Paint();
    EXPECT_EQ(CrossingsOnArc(uneven.picture, QPointF(165.5, 110.5), 90, 0x000000), 8);

    // Large ticks paint over the small ones.
    Gauge both;
    both.Bare(1, 10, 0);
    both.Paint();
    EXPECT_EQ(CrossingsOnArc(both.picture, QPointF(165.5, 110.5), 90, 0x0000FF), 6);
    EXPECT_EQ(CrossingsOnArc(both.picture, QPointF(165.5, 110.5), 90, 0x000000), 45);
}

TEST(Dial, PaintsElevenNumbersForFiftyInStepsOfFive)
{
    Gauge g;
    g.Bare(0, 0, 5);
    g.Paint();
    // Scale numbers take the scale group's colour.
    EXPECT_EQ(Clusters(
                  g.picture, [](std::uint32_t c) { return c == 0x00AA00; }, 3),
        11);

    Gauge tens;
    tens.Bare(0, 0, 10);
    tens.Paint();
    EXPECT_EQ(Clusters(
                  tens.picture, [](std::uint32_t c) { return c == 0x00AA00; }, 3),
        6);
}

TEST(Dial, ScaleNumbersUseTheirPattern)
{
    EXPECT_EQ(clsVUmeter::FormatNumber(5, QStringLiteral("0")), QStringLiteral("5"));
    EXPECT_EQ(clsVUmeter::FormatNumber(2.5, QStringLiteral("0")), QStringLiteral("3"));
    EXPECT_EQ(clsVUmeter::FormatNumber(-2.5, QStringLiteral("0")), QStringLiteral("-3"));
    EXPECT_EQ(clsVUmeter::FormatNumber(-0.4, QStringLiteral("0")), QStringLiteral("0"));
    EXPECT_EQ(clsVUmeter::FormatNumber(3, QStringLiteral("0.00")), QStringLiteral("3.00"));
    EXPECT_EQ(clsVUmeter::FormatNumber(3.25, QStringLiteral("0.0#")), QStringLiteral("3.25"));
    EXPECT_EQ(clsVUmeter::FormatNumber(1234567.5, QStringLiteral("#,##0")), QStringLiteral("1,234,568"));
    EXPECT_EQ(clsVUmeter::FormatNumber(0.5, QStringLiteral("#.0")), QStringLiteral(".5"));
    EXPECT_EQ(clsVUmeter::FormatNumber(40, QStringLiteral("0 V")), QStringLiteral("40 V"));
    EXPECT_EQ(clsVUmeter::FormatNumber(7.25, QString()), QStringLiteral("7.25"));
}

TEST(Dial, ColourBandPaintsWholeStepsOnlyInGradedColours)
{
    Gauge g;
    g.meter.Init_Ticks(165, 110, 100.0 / 60, 100.0 / 60, 0, 10, 180, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0);
    g.meter.Init_Needle(165, 110, 0, 0, -1, 2, kNeedleRed);
    g.meter.Init_Border(2, 0, 0);
    g.meter.Init_BorderFade(0, 10, 3, 0.8, 1.0, 0.8, 1.0, 0x0000FF, 0xFF0000);
    g.Paint();
    // Colours at the upper end of each segment: red falls, blue rises, halves to even.
    const std::uint32_t first = 178 | (76u << 16);
    const std::uint32_t second = 102 | (153u << 16);
    const std::uint32_t third = 26 | (230u << 16);
    auto pointAt = [](double value) {
        // Radius 80 lies between the straight inner and outer edges of every segment.
        const double a = (180.0 - 18.0 * value) * M_PI / 180.0;
        return QPoint(static_cast<int>(std::lround(165 + 80 * std::cos(a))),
            static_cast<int>(std::lround(110 - 80 * std::sin(a))));
    };
    EXPECT_EQ(At(g.picture, pointAt(1.5).x(), pointAt(1.5).y()), first);
    EXPECT_EQ(At(g.picture, pointAt(4.5).x(), pointAt(4.5).y()), second);
    EXPECT_EQ(At(g.picture, pointAt(7.5).x(), pointAt(7.5).y()), third);
    EXPECT_EQ(At(g.picture, pointAt(9.6).x(), pointAt(9.6).y()), kBackground);
    const int painted = Count(g.picture, [](std::uint32_t c) { return c != kBackground && c != kHub; });
    EXPECT_EQ(painted,
        CountColour(g.picture, first) + CountColour(g.picture, second) + CountColour(g.picture, third));
}

TEST(Dial, BorderRingFollowsTheDialRadius)
{
    Gauge g;
    g.Bare(0, 0, 0);
    g.meter.Init_Border(1, 0x00FF00, 3);
    g.Paint();
    EXPECT_EQ(BoundsOfColour(g.picture, 0x00FF00), QRect(QPoint(64, 9), QPoint(265, 210)));
    EXPECT_EQ(At(g.picture, 165, 60), kBackground);
}

TEST(Needle, EveryShapePaintsShadowHubAndNeedleAndOthersOnlyTheHub)
{
    for (std::int16_t type = -1; type <= 6; ++type) {
        Gauge g;
        g.Bare(0, 0, 0);
        g.meter.Init_Needle(165, 110, 1.5, 1.5, type, 2, kNeedleRed);
        g.meter.SetNeedleValueDirect(25);
        g.Paint();
        const QRect hub(QPoint(155, 100), QPoint(174, 119));
        if (type < 0 || type > 5) {
            EXPECT_EQ(BoundsNotColour(g.picture, kBackground), hub) << type;
            EXPECT_EQ(CountColour(g.picture, kShadow), 0);
            continue;
        }
        // Needle straight up to 0.95 of its length (tip at 110 - 85.5, rounded to even), wide pens
        // reaching a little beyond with their round caps; shadow three pixels right and down.
        const QRect needle = BoundsOfColour(g.picture, kNeedleRed);
        EXPECT_LE(needle.top(), 25) << type;
        EXPECT_GE(needle.top(), 22) << type;
        EXPECT_GT(CountColour(g.picture, kShadow), 0) << type;
        EXPECT_EQ(BoundsOfColour(g.picture, kShadow).right(), needle.right() + 3) << type;
        // The needle runs across the hub; the hub shows beside it.
        EXPECT_EQ(At(g.picture, 165, 110), kNeedleRed) << type;
        EXPECT_EQ(At(g.picture, 156, 110), kHub) << type;
    }
}

TEST(Clipping, NeedleStaysInsideTheBandAndTheClipIsRestored)
{
    Gauge g;
    g.Style(0, QStringLiteral("FREQ"));
    g.meter.Init_Clipping(true, 40, 90);
    g.meter.SetNeedleValueDirect(50);
    g.Paint();
    const QRect shadow = BoundsOfColour(g.picture, kShadow);
    EXPECT_EQ(shadow.top(), 40);
    EXPECT_EQ(shadow.bottom(), 89);
    EXPECT_EQ(g.meter.currentClip(), ClipBand::Rect(0, 0, 330, 220));

    // The next clear reaches the whole picture again.
    g.picture.fill(Qt::black);
    g.Paint();
    EXPECT_EQ(At(g.picture, 5, 5), kBackground);
    EXPECT_EQ(At(g.picture, 5, 215), kBackground);

    Gauge open;
    open.Style(0, QStringLiteral("FREQ"));
    open.meter.SetNeedleValueDirect(50);
    open.Paint();
    EXPECT_LT(BoundsOfColour(open.picture, kShadow).top(), 30);
}

TEST(Clipping, ExplicitClipAreaLimitsTheWholeDrawUntilReleased)
{
    Gauge g;
    g.Style(0, QStringLiteral("FREQ"));
    g.meter.Init_Clipping(false, 100, 110);
    g.picture.fill(Qt::black);
    g.meter.ActivateClippingRegion();
    g.Paint();
    EXPECT_EQ(BoundsNotColour(g.picture, 0x000000).top(), 100);
    EXPECT_EQ(BoundsNotColour(g.picture, 0x000000).bottom(), 109);
    g.meter.DeactivateClippingRegion();
    g.Paint();
    EXPECT_EQ(At(g.picture, 5, 5), kBackground);
}

TEST(Draw, WithoutClearingKeepsEarlierPixels)
{
    Gauge g;
    g.picture.fill(QColor::fromRgb(modGraph::ColourToRgb(0x00FF00)));
    g.Style(1, QStringLiteral("DCV"), QStringLiteral("Max"));
    g.Paint(false);
    EXPECT_EQ(At(g.picture, 5, 5), 0x00FF00u);
    EXPECT_EQ(At(g.picture, 100, 100), 0x00FF00u);
    EXPECT_EQ(At(g.picture, 250, 60), kHub);
    g.Paint(true);
    EXPECT_EQ(At(g.picture, 5, 5), kBackground);
}

TEST(Draw, WithoutPictureDoesNothing)
{
    clsVUmeter meter;
    meter.SetVUDefaults(0, 100, 100);
    meter.Draw(kBackground, kBackground, true);
    QImage null;
    meter.Init_Picture(&null, 0, 100, 100);
    meter.Draw(kBackground, kBackground, true);
    EXPECT_TRUE(null.isNull());
}

TEST(Screws, ArePaintedFromTheirImagesAroundTheirCentres)
{
    Gauge g;
    const auto& images = g.meter.settings().screwImage;
    const std::array<std::uint32_t, 12> row0 = { 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFEFFFF, 0xFDFEFE,
        0xFDFEFE, 0xFEFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF };
    const std::array<std::uint32_t, 12> row6 = { 0xFBFCFC, 0x8F9A9A, 0x6C7778, 0x869090, 0x8B9798, 0x95A2A5,
        0x8E9C9C, 0x7D8B8A, 0x7B8886, 0x7E8887, 0xB7BCBA, 0xFBFCFC };
    EXPECT_EQ(images[0][0], row0);
    EXPECT_EQ(images[0][6], row6);
    EXPECT_NE(images[0], images[1]);
    for (const auto& image : images) {
        EXPECT_EQ(image[0][0], 0xFFFFFFu);
        EXPECT_EQ(image[0][11], 0xFFFFFFu);
        EXPECT_EQ(image[11][0], 0xFFFFFFu);
        EXPECT_EQ(image[11][11], 0xFFFFFFu);
        // Darker towards the lower middle.
        EXPECT_LT(image[9][5] & 0xFF, image[2][5] & 0xFF);
    }

    g.meter.Init_Screws(true, 20, 30, 300, 200);
    g.Paint();
    for (int j = 0; j < 12; ++j) {
        for (int i = 0; i < 12; ++i) {
            EXPECT_EQ(At(g.picture, 15 + i, 25 + j), images[0][j][i]);
            EXPECT_EQ(At(g.picture, 295 + i, 195 + j), images[1][j][i]);
        }
    }
    EXPECT_EQ(At(g.picture, 14, 25), kBackground);

    // Positions are 16-bit: 65536 + 20 lands on 20.
    Gauge wrapped;
    wrapped.meter.Init_Screws(true, 65536 + 20, 30, -1000, -1000);
    wrapped.Paint();
    EXPECT_EQ(At(wrapped.picture, 15 + 1, 25 + 6), images[0][6][1]);
    QImage small = Canvas(12, 12, kBackground);
    wrapped.meter.DrawScrew(small, 2, 5, 5);
    wrapped.meter.DrawScrew(small, -1, 5, 5);
    EXPECT_EQ(CountColour(small, kBackground), 144);
}

TEST(Labels, ValueLabelKindsPaintTheirTextsWhereTheyBelong)
{
    Gauge g;
    g.Style(0, QString());
    g.texts.readingText[0] = QStringLiteral("88.88");
    g.Paint();
    const std::uint32_t blue = 0xFF0000;
    // Reading hangs from y0 = 132 - 19 \ 2 = 123 in a 19-pixel cell.
    QRect reading = BoundsOfColour(g.picture, blue);
    ASSERT_FALSE(reading.isNull());
    EXPECT_GE(reading.top(), 123);
    EXPECT_LE(reading.bottom(), 123 + 18);

    g.texts.readingText[0].clear();
    g.texts.meterScale[0] = QStringLiteral("X10");
    g.Paint();
    const QRect scale = BoundsOfColour(g.picture, blue);
    EXPECT_GE(scale.top(), 123 - 55);
    EXPECT_LE(scale.bottom(), 123 - 55 + 13);

    // Any other kind paints no value label at all.
    g.meter.Init_Valuelabel(100, 132, QStringLiteral("Arial"), 19, true, false, QStringLiteral("m"), blue);
    g.Paint();
    EXPECT_EQ(CountColour(g.picture, blue), 0);
}

TEST(Labels, RecordStampsShowOnTheSubDials)
{
    auto render = [](std::int16_t style, const QString& stamp0, const QString& stamp1) {
        Gauge g;
        g.texts.recordStamp = { stamp0, stamp1 };
        g.Style(style, QStringLiteral("DCV"), QStringLiteral("Max"), QStringLiteral("Min"));
        g.Paint();
        return g.picture;
    };
    const QImage plain = render(1, QString(), QString());
    const QImage stamped = render(1, QStringLiteral("12:34:56"), QString());
    const QImage shortStamp = render(1, QStringLiteral("1:2:3"), QString());
    const QImage padded = render(1, QStringLiteral("01:02:03"), QString());
    EXPECT_NE(plain, stamped);
    EXPECT_EQ(shortStamp, padded);
    // The stamp of the other sub dial is not shown here.
    EXPECT_EQ(render(1, QString(), QStringLiteral("12:34:56")), plain);
    EXPECT_NE(render(2, QString(), QStringLiteral("12:34:56")), render(2, QString(), QString()));
}

TEST(Labels, TimeStampsAreFormattedOrShownAsTheyAre)
{
    EXPECT_EQ(clsVUmeter::FormatTimeStamp(QStringLiteral("12:34:56")), QStringLiteral("12:34:56"));
    EXPECT_EQ(clsVUmeter::FormatTimeStamp(QStringLiteral("1:2:3")), QStringLiteral("01:02:03"));
    EXPECT_EQ(clsVUmeter::FormatTimeStamp(QStringLiteral("7:05")), QStringLiteral("07:05:00"));
    EXPECT_EQ(clsVUmeter::FormatTimeStamp(QStringLiteral("3:04:05 PM")), QStringLiteral("15:04:05"));
    EXPECT_EQ(clsVUmeter::FormatTimeStamp(QStringLiteral("2024-03-01T08:09:10")), QStringLiteral("08:09:10"));
    EXPECT_EQ(clsVUmeter::FormatTimeStamp(QStringLiteral("25:00:00")), QStringLiteral("25:00:00"));
    EXPECT_EQ(clsVUmeter::FormatTimeStamp(QStringLiteral("--EOD---")), QStringLiteral("--EOD---"));
    EXPECT_EQ(clsVUmeter::FormatTimeStamp(QString()), QString());
}

TEST(Robustness, ZeroDivisorsSkipTheirElements)
{
    Gauge g;
    g.Style(0, QStringLiteral("DCV"));
    g.meter.Init_Ticks(100, 100, 1.5, 1.5, 20, 20, 240, -60, 1, 10, 0, 0, 1, 2, 0.9, 1, 0.85, 1);
    g.meter.Init_Border(2, 0, 0);
    g.meter.Init_BorderFade(0, 0, 0, 0.8, 1, 0.8, 1, 0xFF, 0xFF00);
    g.meter.SetNeedleValueDirect(20);
    g.Paint();
    // No ticks, numbers, band or needle; the hub and the caption remain.
    EXPECT_EQ(At(g.picture, 100, 100), kHub);
    EXPECT_EQ(CountColour(g.picture, kShadow), 0);
    EXPECT_EQ(CountColour(g.picture, 0x0000FF), 0);

    Gauge intervals;
    intervals.Style(0, QStringLiteral("DCV"));
    intervals.meter.Init_Ticks(100, 100, 1.5, 1.5, 0, 50, 240, -60, 0, 0, 0, 0, 1, 2, 0.9, 1, 0.85, 1);
    intervals.meter.Init_Scale(
        100, 100, 1, 1, 0, QStringLiteral("Arial"), 14, false, false, QStringLiteral("0"), 0xFF);
    intervals.meter.Init_Border(2, 0, 0);
    intervals.meter.Init_BorderFade(0, 50, 0, 0.8, 1, 0.8, 1, 0xFF, 0xFF00);
    intervals.meter.SetNeedleValueDirect(10);
    intervals.Paint();
    EXPECT_GT(CountColour(intervals.picture, kShadow), 0);
    EXPECT_EQ(At(intervals.picture, 100, 15), kBackground); // where the large tick at 25 would be
}

TEST(Robustness, AbsurdSettingsPaintWithoutOverflow)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();

    Gauge g;
    g.Style(0, QStringLiteral("DCV"));
    g.meter.Init_Ticks(
        kMax, kMin, 1e300, -1e300, -1e12, 1e12, kMin, kMax, 1, kMin, 0, 0, kMax, kMin, nan, inf, -inf, 1e308);
    g.meter.Init_Scale(
        kMin, kMax, 1e200, 1e200, 1, QStringLiteral("Arial"), 12, false, false, QStringLiteral("0"), 0);
    g.meter.Init_Needle(kMax, kMax, inf, nan, 2, 2, 0xFF);
    g.meter.Init_Border(1, 0xFF, kMax);
    g.meter.Init_Textlabel(kMax, kMin, QStringLiteral("Arial"), kMin, true, true, QStringLiteral("x"), 0);
    g.meter.Init_Valuelabel(kMin, kMin, QStringLiteral("Arial"), kMin, true, true, QStringLiteral("S"), 0);
    g.meter.Init_Clipping(true, kMax, kMin);
    g.meter.Init_Screws(true, kMax, kMin, kMin, kMax);
    g.meter.SetNeedleValueDirect(1e308);
    g.Paint();
    g.meter.SetNeedleValueDirect(nan);
    g.Paint();
    g.meter.Init_Border(2, 0, 0);
    g.meter.Init_BorderFade(-1e18, 1e18, kMin, inf, -inf, nan, 1e300, 0xFFFFFFFF, 0);
    g.Paint();
    g.meter.Init_BorderFade(0, 1e18, 1, 0.1, 0.2, 0.3, 0.4, 0xFFFFFFFF, 0);
    g.Paint();
    const double clicked = g.meter.VU_MouseClick(kMin, kMax);
    EXPECT_GE(clicked, -1e12);
    EXPECT_LE(clicked, 1e12);
    EXPECT_EQ(clsVUmeter::AdjustC(1e300), std::fmod(1e300, 360.0));
    EXPECT_TRUE(std::isnan(clsVUmeter::AdjustC(nan)));

    // Huge fonts are painted at a bounded size.
    Gauge big;
    big.meter.Init_Textlabel(
        100, kMax / 2 - 400, QStringLiteral("Arial"), kMax, false, false, QStringLiteral("I"), 0xFF);
    big.Paint();
    EXPECT_GT(CountColour(big.picture, 0x0000FF), 1000);
}

} // namespace
} // namespace pelicard
