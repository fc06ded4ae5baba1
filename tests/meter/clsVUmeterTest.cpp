#include "meter/clsVUmeter.h"

#include "PixelTools.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string_view>
#include <tuple>

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
    void Style(std::int16_t style, const char* function, const char* mode0 = "", const char* mode1 = "")
    {
        texts.functionText = QString::fromLatin1(function);
        texts.ModeCaption = { QString::fromLatin1(mode0), QString::fromLatin1(mode1) };
        meter.SetVUDefaults(style, style == 0 ? 100 : 250, style == 0 ? 100 : style == 1 ? 65 : 155);
    }
    // A bare dial: 0..50 across the upper half (180 to 0 degrees), ticks from radius 80 to 100,
    // numbers at radius 60, only the hub for a needle.
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

TEST(Geometry, AdjustCValueAnglesAndMouseClicks)
{
    EXPECT_EQ(clsVUmeter::AdjustC(0.5), 90.0);
    EXPECT_EQ(clsVUmeter::AdjustC(1.5), 92.0);
    EXPECT_EQ(clsVUmeter::AdjustC(-100), -10.0);
    EXPECT_EQ(clsVUmeter::AdjustC(-471), -21.0);

    Gauge g;
    g.Style(0, "FREQ");
    EXPECT_EQ(g.meter.ValueAngle(0), 240.0);
    EXPECT_EQ(g.meter.ValueAngle(50), 90.0);
    EXPECT_EQ(g.meter.ValueAngle(100), -60.0);
    EXPECT_EQ(g.meter.ValueAngle(110), -90.0); // not clamped
    EXPECT_NEAR(g.meter.VU_MouseClick(100, 40), 50.0, 1e-9);
    EXPECT_NEAR(g.meter.VU_MouseClick(40, 100), 20.0, 1e-9);
    // Below the right-hand horizontal (300 degrees) is beyond the end of the dial, not before its start.
    EXPECT_NEAR(g.meter.VU_MouseClick(130, 152), 100.0, 1e-9);
    EXPECT_NEAR(g.meter.VU_MouseClick(90, 157), 0.0, 1e-9);
}

TEST(Styles, FunctionAndModeWordsChooseTheDialAndTheNeedle)
{
    using Case = std::tuple<std::int16_t, const char*, const char*, double, double>;
    for (const auto& [style, function, mode1, min, max] :
        { Case { 0, "RPM/IG", "", 0, 100 }, Case { 0, "RPM/IP", "", 0, 100 },
            Case { 0, "PERIOD", "", 0, 100 }, Case { 0, "FREQ", "", 0, 100 }, Case { 0, "TEMP", "", 0, 100 },
            Case { 0, "DCV", "", 0, 50 }, Case { 0, "temp", "", 0, 50 }, Case { 0, "RP", "", 0, 50 },
            Case { 1, "TEMP", "Min", 0, 100 }, Case { 2, "TEMP", "Min", 0, 50 },
            Case { 2, "DUTY", "Min", 0, 100 }, Case { 2, "DCV", "Error", -100, 100 },
            Case { 2, "TEMP", "Error", -100, 100 }, Case { 1, "DCV", "Error", 0, 50 } }) {
        Gauge g;
        g.Style(style, function, "Ref", mode1);
        const auto& s = g.meter.GetSettings();
        EXPECT_EQ(std::pair(s.ticks.min_value, s.ticks.max_value), std::pair(min, max))
            << style << function << mode1;
        // The main dial is captioned with the function, the sub dials with their mode words.
        const std::array<const char*, 3> captions = { function, "Ref", mode1 };
        EXPECT_EQ(s.textLabel.txtformat, QString::fromLatin1(captions[static_cast<std::size_t>(style)]));
    }
    // "High" leaves the main needle only its hub.
    for (const std::string_view word : { "High", "Hight" }) {
        Gauge g;
        g.Style(0, "DCV", word.data(), "Low");
        g.meter.SetNeedleValueDirect(25);
        g.Paint();
        EXPECT_EQ(Count(g.picture, Is(kShadow)) == 0, word == "High") << word;
        EXPECT_EQ(At(g.picture, 91, 100), kHub);
    }
}

TEST(Styles, UnknownStyleChangesNothingAndStylesOnlyTouchTheirGroups)
{
    Gauge g;
    g.Style(1, "DCV", "Max");
    g.meter.SetNeedleValueDirect(30);
    g.meter.Init_Border(1, 0x123456, 3);
    g.meter.Init_Clipping(true, 1, 2);
    g.meter.Init_Screws(true, 1, 2, 3, 4);
    const clsVUmeter::Settings before = g.meter.GetSettings();
    g.meter.SetVUDefaults(3, 10, 10);
    g.meter.SetVUDefaults(-1, 10, 10);
    EXPECT_TRUE(g.meter.GetSettings() == before && g.meter.GetNeedleValue() == 30.0);

    // A style sends the needle home from where it stands and leaves the other groups alone.
    g.meter.SetVUDefaults(0, 100, 100);
    EXPECT_EQ(g.meter.GetNeedleValue(), 0.0);
    EXPECT_EQ(g.meter.GetNeedleAnimationValue(), 30.0);
    const auto& s = g.meter.GetSettings();
    EXPECT_EQ(std::tie(s.border, s.clipping, s.screws, s.picture),
        std::tie(before.border, before.clipping, before.screws, before.picture));
}

TEST(Dial, OneTickOrNumberPerIntervalIncludingTheEndWhenItFits)
{
    struct Case {
        std::int32_t small, large, scale;
        int black, red, green;
    };
    // Black clusters include the hub; large ticks paint over the small ones.
    for (const Case c : { Case { 1, 0, 0, 52, 0, 0 }, Case { 7, 0, 0, 9, 0, 0 }, Case { 1, 10, 0, 46, 6, 0 },
             Case { 0, 0, 5, 1, 0, 11 }, Case { 0, 0, 10, 1, 0, 6 } }) {
        Gauge g;
        g.Bare(c.small, c.large, c.scale);
        g.Paint();
        EXPECT_EQ(Clusters(g.picture, 0x000000, 1), c.black) << c.small << " " << c.large << " " << c.scale;
        EXPECT_EQ(Clusters(g.picture, 0x0000FF, 1), c.red) << c.small << " " << c.large;
        EXPECT_EQ(Clusters(g.picture, 0x00AA00, 3), c.green) << c.scale;
    }
}

TEST(Dial, TicksCoverTheWholeArcHoweverManyMarksItHolds)
{
    // Far more marks than degrees, from either end, with either sign of interval: every degree of
    // the half circle carries a tick, also those past the ten-thousandth mark.
    using Case = std::tuple<double, double, std::int32_t, std::int32_t, std::int32_t>;
    for (const auto& [min, max, fromAngle, toAngle, interval] :
        { Case { 0, 20000, 180, 0, 1 }, Case { 0, 20000, 0, 180, 1 }, Case { 20000, 0, 180, 0, -1 },
            Case { -1e6, 1e6, 180, 0, 7 }, Case { 0, 360, 180, 0, 1 } }) {
        Gauge g;
        g.meter.Init_Ticks(165, 110, 100.0 / 60, 100.0 / 60, min, max, fromAngle, toAngle, interval, 0,
            0x00AA00, 0x0000FF, 1, 1, 0.8, 1.0, 0.8, 1.0);
        g.meter.Init_Needle(165, 110, 0, 0, -1, 2, kNeedleRed);
        g.Paint();
        for (int degree = 0; degree <= 180; degree += 3) {
            const double a = degree * M_PI / 180.0;
            const int x = static_cast<int>(std::lround(165 + 90 * std::cos(a)));
            const int y = static_cast<int>(std::lround(110 - 90 * std::sin(a)));
            EXPECT_GT(Count(g.picture.copy(x - 1, y - 1, 3, 3), Is(0x00AA00)), 0)
                << min << ".." << max << " step " << interval << " at " << degree << " degrees";
        }
        EXPECT_EQ(
            Count(g.picture, [](std::uint32_t c) { return c != kBackground && c != kHub && c != 0x00AA00; }),
            0);
    }
}

TEST(Dial, ColourBandPaintsWholeStepsInGradedColours)
{
    Gauge g;
    g.meter.Init_Ticks(165, 110, 100.0 / 60, 100.0 / 60, 0, 10, 180, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0);
    g.meter.Init_Needle(165, 110, 0, 0, -1, 2, kNeedleRed);
    g.meter.Init_Border(2, 0, 0);
    g.meter.Init_BorderFade(0, 10, 3, 0.8, 1.0, 0.8, 1.0, 0x0000FF, 0xFF0000);
    g.Paint();
    // Three whole steps of 3, each in the colour of its upper end (red falls, blue rises); 9..10 is left.
    auto at = [&g](double value) {
        const double a = (180.0 - 18.0 * value) * M_PI / 180.0;
        return At(g.picture, static_cast<int>(std::lround(165 + 80 * std::cos(a))),
            static_cast<int>(std::lround(110 - 80 * std::sin(a))));
    };
    const std::array<std::uint32_t, 3> colours = { 178 | (76u << 16), 102 | (153u << 16), 26 | (230u << 16) };
    EXPECT_EQ(at(1.5), colours[0]);
    EXPECT_EQ(at(4.5), colours[1]);
    EXPECT_EQ(at(7.5), colours[2]);
    EXPECT_EQ(at(9.6), kBackground);
    EXPECT_EQ(Count(g.picture, [](std::uint32_t c) { return c != kBackground && c != kHub; }),
        Count(g.picture,
            [&colours](std::uint32_t c) { return c == colours[0] || c == colours[1] || c == colours[2]; }));
}

TEST(Needle, EveryShapePaintsShadowHubAndNeedleAndOthersOnlyTheHub)
{
    for (std::int16_t type = -1; type <= 6; ++type) {
        Gauge g;
        g.Bare(0, 0, 0);
        g.meter.Init_Needle(165, 110, 1.5, 1.5, type, 2, kNeedleRed);
        g.meter.SetNeedleValueDirect(25);
        g.Paint();
        if (type < 0 || type > 5) {
            EXPECT_EQ(Bounds(g.picture, IsNot(kBackground)), QRect(QPoint(155, 100), QPoint(174, 119)))
                << type;
            continue;
        }
        // Straight up to 0.95 of the length (110 - 85.5, halves to even), round caps reaching a little
        // beyond; the shadow three pixels right and down; the needle across the hub.
        const QRect needle = Bounds(g.picture, Is(kNeedleRed));
        EXPECT_LE(needle.top(), 25) << type;
        EXPECT_GE(needle.top(), 22) << type;
        EXPECT_EQ(Bounds(g.picture, Is(kShadow)).right(), needle.right() + 3) << type;
        EXPECT_EQ(At(g.picture, 165, 110), kNeedleRed) << type;
        EXPECT_EQ(At(g.picture, 156, 110), kHub) << type;
    }
}

TEST(Draw, ClearsOnlyWhenAskedClipsToTheBandAndPaintsScrews)
{
    Gauge g;
    g.picture.fill(QColor::fromRgb(modGraph::ColourToRgb(0x00FF00)));
    g.Style(1, "DCV", "Max");
    g.Paint(false);
    EXPECT_EQ(At(g.picture, 5, 5), 0x00FF00u);
    EXPECT_EQ(At(g.picture, 100, 100), 0x00FF00u);
    EXPECT_EQ(At(g.picture, 250, 60), kHub);

    // The needle is clipped to the band; afterwards the clip area is the whole picture again.
    g.Style(0, "FREQ");
    g.meter.Init_Clipping(true, 40, 90);
    g.meter.SetNeedleValueDirect(50);
    g.Paint();
    const QRect shadow = Bounds(g.picture, Is(kShadow));
    EXPECT_EQ(std::pair(shadow.top(), shadow.bottom()), std::pair(40, 89));
    EXPECT_EQ(g.meter.GetClip(), ClipBand::Rect(0, 0, 330, 220));
    g.picture.fill(Qt::black);
    g.Paint();
    EXPECT_EQ(At(g.picture, 5, 215), kBackground);

    // An explicitly selected band limits the whole Draw, clearing included, until it is released.
    g.meter.Init_Clipping(false, 100, 110);
    g.picture.fill(Qt::black);
    g.meter.ActivateClippingRegion();
    g.Paint();
    const QRect painted = Bounds(g.picture, IsNot(0x000000));
    EXPECT_EQ(std::pair(painted.top(), painted.bottom()), std::pair(100, 109));
    g.meter.DeactivateClippingRegion();

    g.meter.Init_Screws(true, 65536 + 20, 30, -1000, -1000); // positions are 16-bit
    g.Paint();
    EXPECT_EQ(At(g.picture, 5, 5), kBackground);
    const auto& image = g.meter.GetSettings().screwImage[0];
    for (int j = 0; j < 12; ++j) {
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(At(g.picture, 15 + i, 25 + j), image[j][i]);
    }
    EXPECT_EQ(At(g.picture, 14, 25), kBackground);
    g.meter.DrawScrew(g.picture, 2, 5, 5); // no such screw
    EXPECT_EQ(At(g.picture, 5, 5), kBackground);
}

TEST(Labels, ValueLabelsAndRecordStampsShowWhereTheyBelong)
{
    Gauge g;
    g.Style(0, "");
    g.texts.readingText[0] = QStringLiteral("88.88");
    g.Paint();
    const std::uint32_t blue = 0xFF0000;
    // The reading hangs from y0 = 132 - 19 \ 2 = 123 in a 19-pixel cell.
    const QRect reading = Bounds(g.picture, Is(blue));
    EXPECT_GE(reading.top(), 123);
    EXPECT_LE(reading.bottom(), 123 + 18);
    // Any other kind paints no value label at all.
    g.meter.Init_Valuelabel(100, 132, QStringLiteral("Arial"), 19, true, false, QStringLiteral("m"), blue);
    g.Paint();
    EXPECT_EQ(Count(g.picture, Is(blue)), 0);

    auto render = [](std::int16_t style, const char* stamp0, const char* stamp1) {
        Gauge sub;
        sub.texts.recordStamp = { QString::fromLatin1(stamp0), QString::fromLatin1(stamp1) };
        sub.Style(style, "DCV", "Max", "Min");
        sub.Paint();
        return sub.picture;
    };
    EXPECT_NE(render(1, "12:34:56", ""), render(1, "", ""));
    EXPECT_EQ(render(1, "", "12:34:56"), render(1, "", "")); // the other sub dial's stamp
    EXPECT_NE(render(2, "", "12:34:56"), render(2, "", ""));
}

TEST(Robustness, ZeroDivisorsSkipTheirElementsAndAbsurdSettingsPaintWithoutOverflow)
{
    Gauge g;
    g.Style(0, "DCV");
    g.meter.Init_Ticks(100, 100, 1.5, 1.5, 20, 20, 240, 240, 1, 10, 0, 0, 1, 2, 0.9, 1, 0.85, 1);
    g.meter.Init_Border(2, 0, 0);
    g.meter.Init_BorderFade(0, 0, 0, 0.8, 1, 0.8, 1, 0xFF, 0xFF00);
    g.meter.SetNeedleValueDirect(20);
    g.Paint();
    // An empty value range and no angle between the ends: no ticks, numbers, band or needle; the hub
    // remains, and a click gives the lowest value.
    EXPECT_EQ(At(g.picture, 100, 100), kHub);
    EXPECT_EQ(Count(g.picture, [](std::uint32_t c) { return c == kShadow || c == 0x0000FF; }), 0);
    EXPECT_EQ(g.meter.VU_MouseClick(150, 100), 20.0);

    // Zero intervals and band step skip ticks, numbers and band, but not the needle.
    g.meter.Init_Ticks(100, 100, 1.5, 1.5, 0, 50, 240, -60, 0, 0, 0, 0, 1, 2, 0.9, 1, 0.85, 1);
    g.meter.Init_Scale(
        100, 100, 1, 1, 0, QStringLiteral("Arial"), 14, false, false, QStringLiteral("0"), 0xFF);
    g.meter.Init_BorderFade(0, 50, 0, 0.8, 1, 0.8, 1, 0xFF, 0xFF00);
    g.meter.SetNeedleValueDirect(10);
    g.Paint();
    EXPECT_GT(Count(g.picture, Is(kShadow)), 0);
    EXPECT_EQ(At(g.picture, 100, 15), kBackground); // where the large tick at 25 would be
    // Zero needle scales still answer a click within the range.
    g.meter.Init_Needle(100, 100, 0, 0, 4, 2, kNeedleRed);
    const double clicked = g.meter.VU_MouseClick(100, 100);
    EXPECT_TRUE(clicked >= 0.0 && clicked <= 50.0) << clicked;

    // Absurd settings paint without overflow.
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();

    clsVUmeter unpictured;
    unpictured.SetVUDefaults(0, 100, 100);
    unpictured.Draw(kBackground, kBackground, true);

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
    for (const double value : { 1e308, nan }) {
        g.meter.SetNeedleValueDirect(value);
        g.Paint();
    }
    g.meter.Init_Border(2, 0, 0);
    g.meter.Init_BorderFade(-1e18, 1e18, kMin, inf, -inf, nan, 1e300, 0xFFFFFFFF, 0);
    g.Paint();
    g.meter.Init_BorderFade(0, 1e18, 1, 0.1, 0.2, 0.3, 0.4, 0xFFFFFFFF, 0); // stops at 10000 segments
    g.Paint();
    const double far = g.meter.VU_MouseClick(kMin, kMax);
    EXPECT_TRUE(far >= -1e12 && far <= 1e12) << far;

    // Huge fonts are painted at a bounded size.
    Gauge big;
    big.meter.Init_Textlabel(
        100, kMax / 2 - 400, QStringLiteral("Arial"), kMax, false, false, QStringLiteral("I"), 0xFF);
    big.Paint();
    EXPECT_GT(Count(big.picture, Is(0x0000FF)), 1000);
}

} // namespace
} // namespace pelicard
