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

TEST(VuPanel, ActivationPaintsTheThreeStylesAndTicksPaintOnlyWhenAPixelWouldChange)
{
    VuTexts texts;
    texts.functionText = QStringLiteral("TEMP");
    texts.ModeCaption = { QStringLiteral("Ref"), QStringLiteral("Error") };
    VuPanel panel(texts);
    EXPECT_FALSE(panel.Tick()); // nothing to paint before activation
    QImage picture = Picture();
    panel.vuActivate(picture);
    EXPECT_EQ(panel.GetFramesPainted(), 1u);
    EXPECT_EQ(panel.vuMeters()[2].GetSettings().ticks.min_value, -100.0);
    // Gauge 0 cleared the picture; the sub gauges painted over it, each at its centre.
    EXPECT_EQ(At(picture, 328, 218), kBackground);
    EXPECT_EQ(At(picture, 100, 92), 0x000000u);
    EXPECT_EQ(At(picture, 250, 60), 0x000000u);
    EXPECT_FALSE(panel.Tick());

    // The needle creeps on for ever in ever smaller steps, but whole degrees stop changing soon.
    panel.vuMeters()[0].SetNeedleValue(37);
    int painted = 0;
    for (int i = 0; i < 100; ++i)
        painted += panel.Tick() ? 1 : 0;
    EXPECT_GT(painted, 5);
    const QImage resting = picture;
    for (int i = 0; i < 100; ++i)
        EXPECT_FALSE(panel.Tick());
    EXPECT_EQ(picture, resting);

    texts.readingText[0] = QStringLiteral(" 4.9999V");
    EXPECT_TRUE(panel.Tick());
    EXPECT_FALSE(panel.Tick());
    panel.vuMeters()[2].Init_Border(1, 0x00FF00, 2);
    EXPECT_TRUE(panel.Tick());
    EXPECT_GT(Count(picture, Is(0x00FF00)), 100);
    // Someone else painted into the picture: the next tick puts the gauges back.
    const QImage before = picture;
    picture.fill(Qt::white);
    EXPECT_TRUE(panel.Tick());
    EXPECT_EQ(picture, before);
    EXPECT_FALSE(panel.Tick());
}

// Changes one thing of one gauge or of the texts, the same way for both panels.
void Disturb(
    std::mt19937& random, VuTexts& texts, std::array<VuPanel*, 2> panels, std::array<QImage*, 2> pictures)
{
    auto pick = [&random](std::initializer_list<const char*> list) {
        return QString::fromLatin1(list.begin()[random() % list.size()]);
    };
    const auto what = random() % 8;
    const auto g = static_cast<std::size_t>(random() % 3);
    const int number = static_cast<int>(random() % 2600);
    const bool on = random() % 2 == 0;
    if (what == 6) {
        texts.readingText[g] = pick({ " -49.999V  ", "    OL     ", "" });
        texts.meterScale[g] = pick({ "X10", "/10", "" });
        texts.recordStamp[g % 2] = pick({ "12:34:56", "garbage", "" });
        return;
    }
    if (what == 7) {
        texts.functionText = pick({ "DCV", "RPM/IG", "TEMP" });
        texts.ModeCaption[g % 2] = pick({ "Max", "Error", "High" });
        for (std::size_t k = 0; k < 2; ++k)
            panels[k]->vuActivate(*pictures[k]);
        return;
    }
    for (VuPanel* panel : panels) {
        clsVUmeter& meter = panel->vuMeters()[g];
        const auto& n = meter.GetSettings().needle;
        if (what < 2)
            meter.SetNeedleValue(number / 10.0 - 80.0);
        else if (what == 2)
            meter.SetNeedleValueDirect(number / 10.0 - 80.0);
        else if (what == 3 && number % 3 == 0)
            meter.ActivateClippingRegion(); // an explicit clip area limits the dial as well
        else if (what == 3)
            meter.Init_Clipping(on, number % 200, number % 200 + 40);
        else if (what == 4)
            meter.Init_Needle(n.centerX, n.centerY, n.scaleX, n.scaleY,
                static_cast<std::int16_t>(number % 8 - 1), n.operationmode, n.needlecolor);
        else {
            meter.Init_Screws(on, 20, 20, 310, 200);
            meter.Init_Border(number % 3, 0x3060F0, 2);
            meter.Init_BorderFade(0, 50, 5, 0.7, 0.8, 0.8, 1.0, 0x00FF00, 0x0000FF);
        }
    }
}

TEST(VuPanel, CachedDialsGiveExactlyTheFullRepaint)
{
    for (const QImage::Format format : { QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied }) {
        VuTexts texts;
        texts.functionText = QStringLiteral("DCV");
        texts.ModeCaption = { QStringLiteral("Max"), QStringLiteral("Min") };
        VuPanel cached(texts);
        VuPanel full(texts);
        full.SetDialCache(false);
        QImage cachedPicture = Picture(format);
        QImage fullPicture = Picture(format);
        cached.vuActivate(cachedPicture);
        full.vuActivate(fullPicture);
        std::mt19937 random(20240611);
        int differing = 0;
        int framesChecked = 0;
        for (int step = 0; step < 150; ++step) {
            Disturb(random, texts, { &cached, &full }, { &cachedPicture, &fullPicture });
            for (int tick = 0; tick < 3; ++tick) {
                framesChecked += cached.Tick() ? 1 : 0;
                full.Tick();
                differing += cachedPicture != fullPicture ? 1 : 0;
            }
        }
        EXPECT_EQ(differing, 0);
        EXPECT_GT(framesChecked, 150);

        // Both panels may have skipped the same frame wrongly; a plain repaint of copies agrees too.
        for (clsVUmeter& meter : cached.vuMeters()) {
            meter.Init_Clipping(false, 0, 0);
            meter.DeactivateClippingRegion();
        }
        cached.Tick();
        QImage reference = Picture(format);
        std::array<clsVUmeter, 3> copies = cached.vuMeters();
        for (std::size_t k = 0; k < 3; ++k) {
            copies[k].Init_Picture(&reference, 0, 330, 220);
            copies[k].Draw(kBackground, kBackground, k == 0);
        }
        EXPECT_EQ(reference, cachedPicture);
    }
}

} // namespace
} // namespace pelicard
