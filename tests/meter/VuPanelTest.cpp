#include "meter/VuPanel.h"

#include "PixelTools.h"

#include <gtest/gtest.h>

#include <random>

namespace pelicard {
namespace {

using namespace pelicard::testing;

constexpr std::uint32_t kBackground = 0xD2DCE1;

QImage Picture(QImage::Format format = QImage::Format_RGB32)
{
    return Canvas(330, 220, 0x000000, format);
}

TEST(VuPanel, PaintsNothingBeforeItIsActivated)
{
    VuTexts texts;
    VuPanel panel(texts);
    EXPECT_FALSE(panel.Tick());
    EXPECT_EQ(panel.framesPainted(), 0u);
}

TEST(VuPanel, ActivationLaysOutTheThreeGaugesInTheirStyles)
{
    VuTexts texts;
    texts.functionText = QStringLiteral("TEMP");
    texts.ModeCaption = { QStringLiteral("Ref"), QStringLiteral("Error") };
    VuPanel panel(texts);
    QImage picture = Picture();
    panel.vuActivate(picture);

    const auto& meters = panel.vuMeters();
    EXPECT_EQ(meters[0].settings().picture, (clsVUmeter::PictureGroup { &picture, 0, 330, 220 }));
    EXPECT_EQ(meters[0].settings().ticks.centerX, 100);
    EXPECT_EQ(meters[0].settings().ticks.max_value, 100.0);
    EXPECT_EQ(meters[1].settings().needle.centerY, 65);
    EXPECT_EQ(meters[1].settings().ticks.max_value, 100.0);
    EXPECT_EQ(meters[2].settings().needle.centerY, 155);
    EXPECT_EQ(meters[2].settings().ticks.min_value, -100.0);

    // Gauge 0 cleared the picture; the sub gauges were painted over it, not wiped by it.
    EXPECT_EQ(At(picture, 2, 2), kBackground);
    EXPECT_EQ(At(picture, 328, 218), kBackground);
    // Hub pixels clear of the needles.
    EXPECT_EQ(At(picture, 100, 92), 0x000000u);
    EXPECT_EQ(At(picture, 250, 60), 0x000000u);
    EXPECT_EQ(At(picture, 246, 155), 0x000000u); // this needle rests straight up
    EXPECT_EQ(panel.framesPainted(), 1u);
}

TEST(VuPanel, SkipsFramesThatWouldNotChangeAPixel)
{
    VuTexts texts;
    texts.functionText = QStringLiteral("DCV");
    VuPanel panel(texts);
    QImage picture = Picture();
    panel.vuActivate(picture);
    EXPECT_FALSE(panel.Tick());

    panel.vuMeters()[0].SetNeedleValue(37);
    EXPECT_TRUE(panel.Tick());
    int painted = 0;
    int trailingIdle = 0;
    for (int i = 0; i < 400; ++i) {
        if (panel.Tick()) {
            ++painted;
            trailingIdle = 0;
        } else {
            ++trailingIdle;
        }
    }
    // The needle creeps on for ever in ever smaller steps, but whole degrees stop changing soon.
    EXPECT_GT(painted, 5);
    EXPECT_GT(trailingIdle, 300);
    const std::uint64_t frames = panel.framesPainted();
    const QImage resting = picture;
    for (int i = 0; i < 100; ++i)
        EXPECT_FALSE(panel.Tick());
    EXPECT_EQ(panel.framesPainted(), frames);
    EXPECT_EQ(picture, resting);
}

TEST(VuPanel, RepaintsWhenTextsSettingsOrThePictureChange)
{
    VuTexts texts;
    VuPanel panel(texts);
    QImage picture = Picture();
    panel.vuActivate(picture);
    EXPECT_FALSE(panel.Tick());

    texts.readingText[0] = QStringLiteral(" 4.9999V");
    EXPECT_TRUE(panel.Tick());
    EXPECT_FALSE(panel.Tick());

    panel.vuMeters()[2].Init_Border(1, 0x00FF00, 2);
    EXPECT_TRUE(panel.Tick());
    EXPECT_GT(CountColour(picture, 0x00FF00), 100);
    EXPECT_FALSE(panel.Tick());

    // Someone else painted into the picture: the next tick puts the gauges back.
    const QImage before = picture;
    picture.fill(Qt::white);
    EXPECT_TRUE(panel.Tick());
    EXPECT_EQ(picture, before);
    EXPECT_FALSE(panel.Tick());

    // A style change follows the function text.
    texts.functionText = QStringLiteral("FREQ");
    panel.vuActivate(picture);
    EXPECT_EQ(panel.vuMeters()[0].settings().ticks.max_value, 100.0);
    EXPECT_NE(picture, before);
}

// Changes one thing of the three gauges or of their texts, the same way for both panels.
void Disturb(
    std::mt19937& random, VuTexts& texts, std::array<VuPanel*, 2> panels, std::array<QImage*, 2> pictures)
{
    const int what = static_cast<int>(random() % 12);
    const auto gauge = static_cast<std::size_t>(random() % 3);
    const double value = static_cast<double>(static_cast<int>(random() % 2600)) / 10.0 - 80.0;
    const QStringList readings = { QStringLiteral(" 4.9999V  "), QStringLiteral(" -49.999V  "),
        QStringLiteral("  499.99mV "), QStringLiteral("    OL     "), QString() };
    const QStringList scales
        = { QStringLiteral("X1"), QStringLiteral("X10"), QStringLiteral("/10"), QString() };
    const QStringList stamps
        = { QStringLiteral("12:34:56"), QStringLiteral("1:2:3"), QStringLiteral("garbage"), QString() };
    const QStringList functions
        = { QStringLiteral("DCV"), QStringLiteral("FREQ"), QStringLiteral("RPM/IG"), QStringLiteral("TEMP") };
    const QStringList modes
        = { QStringLiteral("Max"), QStringLiteral("Error"), QStringLiteral("High"), QStringLiteral(" ") };
    switch (what) {
    case 0:
    case 1:
    case 2:
        for (VuPanel* panel : panels)
            panel->vuMeters()[gauge].SetNeedleValue(value);
        break;
    case 3:
        for (VuPanel* panel : panels)
            panel->vuMeters()[gauge].SetNeedleValueDirect(value);
        break;
    case 4:
        texts.readingText[gauge] = readings[static_cast<int>(random() % readings.size())];
        break;
    case 5:
        texts.meterScale[gauge] = scales[static_cast<int>(random() % scales.size())];
        break;
    case 6:
        texts.recordStamp[gauge % 2] = stamps[static_cast<int>(random() % stamps.size())];
        break;
    case 7:
        texts.functionText = functions[static_cast<int>(random() % functions.size())];
        texts.ModeCaption[gauge % 2] = modes[static_cast<int>(random() % modes.size())];
        for (std::size_t k = 0; k < 2; ++k)
            panels[k]->vuActivate(*pictures[k]);
        break;
    case 8: {
        const bool on = random() % 2 == 0;
        const int top = static_cast<int>(random() % 200);
        for (VuPanel* panel : panels)
            panel->vuMeters()[gauge].Init_Clipping(on, top, top + 40);
        break;
    }
    case 9: {
        const bool on = random() % 2 == 0;
        for (VuPanel* panel : panels)
            panel->vuMeters()[gauge].Init_Screws(on, 20, 20, 310, 200);
        break;
    }
    case 10: {
        const int style = static_cast<int>(random() % 3);
        for (VuPanel* panel : panels) {
            panel->vuMeters()[gauge].Init_Border(style, 0x3060F0, 2);
            panel->vuMeters()[gauge].Init_BorderFade(0, 50, 5, 0.7, 0.8, 0.8, 1.0, 0x00FF00, 0x0000FF);
        }
        break;
    }
    default: {
        const auto type = static_cast<std::int16_t>(random() % 8) - 1;
        for (VuPanel* panel : panels) {
            const auto& n = panel->vuMeters()[gauge].settings().needle;
            panel->vuMeters()[gauge].Init_Needle(n.centerX, n.centerY, n.scaleX, n.scaleY,
                static_cast<std::int16_t>(type), n.operationmode, n.needlecolor);
        }
        break;
    }
    }
}

void ExpectCachedFramesMatchFullRepaints(QImage::Format format)
{
    VuTexts texts;
    texts.functionText = QStringLiteral("DCV");
    texts.ModeCaption = { QStringLiteral("Max"), QStringLiteral("Min") };
    VuPanel cached(texts);
    VuPanel full(texts);
    full.setDialCache(false);
    QImage cachedPicture = Picture(format);
    QImage fullPicture = Picture(format);
    cached.vuActivate(cachedPicture);
    full.vuActivate(fullPicture);
    ASSERT_EQ(cachedPicture, fullPicture);

    std::mt19937 random(20240611);
    int differing = 0;
    int framesChecked = 0;
    for (int step = 0; step < 300; ++step) {
        Disturb(random, texts, { &cached, &full }, { &cachedPicture, &fullPicture });
        for (int tick = 0; tick < 3; ++tick) {
            const bool cachedPainted = cached.Tick();
            full.Tick();
            if (cachedPainted)
                ++framesChecked;
            if (cachedPicture != fullPicture)
                ++differing;
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(framesChecked, 300);

    // The full panel may have skipped frames too; a fresh plain repaint of copies of the gauges agrees.
    QImage reference = Picture(format);
    std::array<clsVUmeter, 3> copies = cached.vuMeters();
    const std::array<bool, 3> clears = { true, false, false };
    for (std::size_t k = 0; k < 3; ++k) {
        copies[k].Init_Picture(&reference, 0, 330, 220);
        copies[k].Draw(kBackground, kBackground, clears[k]);
    }
    // Copies start without a clip area; compare only when no gauge clips.
    bool clipping = false;
    for (const clsVUmeter& meter : copies)
        clipping = clipping || meter.settings().clipping.turnedon;
    if (!clipping) {
        EXPECT_EQ(reference, cachedPicture);
    }
}

TEST(VuPanel, CachedDialsGiveExactlyTheFullRepaint)
{
    ExpectCachedFramesMatchFullRepaints(QImage::Format_RGB32);
}

TEST(VuPanel, CachedDialsGiveExactlyTheFullRepaintWithAlpha)
{
    ExpectCachedFramesMatchFullRepaints(QImage::Format_ARGB32_Premultiplied);
}

TEST(VuPanel, SubGaugesKeepTheMainGaugeAroundThem)
{
    VuTexts texts;
    texts.functionText = QStringLiteral("DCV");
    VuPanel panel(texts);
    QImage picture = Picture();
    panel.vuActivate(picture);

    // The main gauge painted alone gives the same pixels left of the sub gauges.
    QImage alone = Picture();
    clsVUmeter main = panel.vuMeters()[0];
    main.Init_Picture(&alone, 0, 330, 220);
    main.Draw(kBackground, kBackground, true);
    EXPECT_EQ(picture.copy(0, 0, 185, 220), alone.copy(0, 0, 185, 220));
}

} // namespace
} // namespace pelicard
