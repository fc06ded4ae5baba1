#include "support/Files.h"
#include "values/Colours.h"
#include "window/ControlColours.h"
#include "window/Lamp.h"
#include "window/PictureBox.h"
#include "window/StatusBar.h"
#include "window/WindowTimer.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace pelicard {
namespace {

TEST(WindowTimer, TicksOnlyWhileEnabledWithAnIntervalAboveZero)
{
    WindowTimer timer;
    QSignalSpy ticks(&timer, &WindowTimer::Timer);
    timer.SetEnabled(true);
    QTest::qWait(20);
    EXPECT_EQ(ticks.count(), 0) << "interval 0 does not tick";
    timer.SetInterval(5);
    EXPECT_TRUE(ticks.wait(1000));
    timer.SetEnabled(false);
    const int seen = ticks.count();
    QTest::qWait(20);
    EXPECT_EQ(ticks.count(), seen);
    timer.SetInterval(-3);
    EXPECT_EQ(timer.Interval(), 5) << "a negative interval is ignored";
}

class PictureBoxTest : public ::testing::Test {
protected:
    PictureBoxTest()
    {
        box.resize(200, 100);
        SetBackColour(&box, colour::White);
        box.Cls();
    }

    QColor At(int x, int y) const { return box.image().pixelColor(x, y); }

    PictureBox box;
};

TEST_F(PictureBoxTest, ImageFollowsTheBoxLinesInTwipsLandOnScreenPixelsAndClsClears)
{
    box.SetDrawWidth(5);
    box.DrawLine(10, 20, 100, 20, colour::Red);
    box.resize(260, 140);
    EXPECT_EQ(box.image().size(), QSize(260, 140));
    EXPECT_EQ(At(50, 22), QColor(Qt::red)) << "drawn five pixels wide and kept on resizing";
    EXPECT_EQ(At(250, 130), QColor(Qt::white));
    SetBackColour(&box, colour::GaugeBackground);
    box.Cls();
    EXPECT_EQ(At(50, 20), QColor(225, 220, 210));

    box.SetDrawWidth(1);
    box.SetScaleMode(PictureScale::Twips);
    EXPECT_EQ(box.ToPixels(1440, 720), QPoint(box.logicalDpiX(), box.logicalDpiY() / 2));
    const QPoint from = box.ToPixels(750, 960);
    const QPoint to = box.ToPixels(780, 780);
    box.DrawLine(750, 960, 780, 780, colour::Red);
    EXPECT_EQ(At(from.x(), from.y()), QColor(Qt::red));
    EXPECT_EQ(At(to.x(), to.y()), QColor(Qt::red));
    EXPECT_EQ(At(from.x(), to.y()), QColor(225, 220, 210)) << "a diagonal, not a box";
}

TEST_F(PictureBoxTest, SavedBitmapLoadsBackAsTheBackgroundThatClsKeeps)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tmp.bmp"));
    box.DrawLine(10, 10, 150, 10, colour::Red);
    ASSERT_TRUE(box.image().save(path, "BMP"));
    box.Cls();
    ASSERT_TRUE(box.LoadPicture(path));
    box.DrawLine(10, 60, 150, 60, colour::Green);
    box.Cls();
    EXPECT_EQ(At(100, 10), QColor(Qt::red)) << "the kept picture is the background";
    EXPECT_EQ(At(100, 60), QColor(Qt::white)) << "drawing after it is cleared";

    // Nothing readable changes nothing.
    ASSERT_TRUE(testing::WriteAll(dir.filePath(QStringLiteral("garbage.bmp")), "BM not really a bitmap"));
    EXPECT_FALSE(box.LoadPicture(dir.filePath(QStringLiteral("garbage.bmp")))
        || box.LoadPicture(dir.filePath("missing.bmp")));
    box.Cls();
    EXPECT_EQ(At(100, 10), QColor(Qt::red));
}

TEST(SmallControls, StatusPanelsAndLamp)
{
    StatusBar bar;
    bar.SetPanelText(1, QStringLiteral("Test.dat"));
    bar.SetPanelText(3, QStringLiteral("Connected"));
    bar.SetPanelText(0, QStringLiteral("lost"));
    bar.SetPanelText(4, QStringLiteral("lost"));
    EXPECT_EQ(bar.PanelText(1) + bar.PanelText(2) + bar.PanelText(3), QStringLiteral("Test.datConnected"));
    EXPECT_EQ(bar.PanelText(0) + bar.PanelText(4), QString());

    Lamp lamp;
    EXPECT_EQ(BackColour(&lamp), colour::White);
    lamp.resize(lamp.sizeHint());
    SetBackColour(&lamp, colour::Green);
    const auto middle = [&lamp] {
        const QImage shot = lamp.grab().toImage();
        return shot.pixelColor(shot.width() / 2, shot.height() / 2 + 2);
    };
    const auto green
        = [](const QColor& c) { return c.green() > c.red() + 100 && c.green() > c.blue() + 100; };
    EXPECT_TRUE(green(middle())) << middle().name().toStdString();
    // The number reads back at once; the glass glows a moment longer, so the eye catches it.
    SetBackColour(&lamp, colour::White);
    EXPECT_EQ(BackColour(&lamp), colour::White);
    EXPECT_TRUE(green(middle())) << middle().name().toStdString();
}

} // namespace
} // namespace pelicard
