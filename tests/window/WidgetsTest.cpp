#include "values/Colours.h"
#include "window/Colours.h"
#include "window/EditBox.h"
#include "window/IconStrip.h"
#include "window/Lamp.h"
#include "window/LineShape.h"
#include "window/PictureBox.h"
#include "window/StatusBar.h"
#include "window/Twips.h"
#include "window/WindowTimer.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace pelicard {
namespace {

TEST(WindowTimer, EnabledWithIntervalZeroDoesNotTick)
{
    WindowTimer timer;
    QSignalSpy ticks(&timer, &WindowTimer::Timer);
    timer.SetEnabled(true);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 0);
    EXPECT_FALSE(timer.IsRunning());
    QTest::qWait(30);
    EXPECT_EQ(ticks.count(), 0);

    timer.SetInterval(5);
    EXPECT_TRUE(timer.IsRunning());
    EXPECT_TRUE(ticks.wait(1000));

    timer.SetInterval(0);
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_TRUE(timer.Enabled());
}

TEST(WindowTimer, RunsOnlyWhileEnabled)
{
    WindowTimer timer;
    QSignalSpy ticks(&timer, &WindowTimer::Timer);
    timer.SetInterval(1);
    EXPECT_FALSE(timer.IsRunning());
    QTest::qWait(20);
    EXPECT_EQ(ticks.count(), 0);

    timer.SetEnabled(true);
    EXPECT_TRUE(ticks.wait(1000));
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.IsRunning());
    const int seen = ticks.count();
    QTest::qWait(20);
    EXPECT_EQ(ticks.count(), seen);

    timer.SetInterval(-3);
    EXPECT_EQ(timer.Interval(), 1) << "a negative interval is ignored";
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

TEST_F(PictureBoxTest, ImageIsAsLargeAsTheBoxAndKeepsItsDrawingWhenResized)
{
    EXPECT_EQ(box.image().size(), QSize(200, 100));
    box.DrawLine(10, 10, 10, 40, colour::Red);
    box.resize(260, 140);
    EXPECT_EQ(box.image().size(), QSize(260, 140));
    EXPECT_EQ(At(10, 20), QColor(Qt::red));
    EXPECT_EQ(At(250, 130), QColor(Qt::white));
    EXPECT_DOUBLE_EQ(box.ScaleWidth(), 260.0);
}

TEST_F(PictureBoxTest, LinesInTwipsLandOnThePixelsOfTheScreenResolution)
{
    box.SetScaleMode(PictureScale::Twips);
    const int dpi = box.logicalDpiX();
    EXPECT_EQ(box.ToPixels(1440, 720), QPoint(dpi, box.logicalDpiY() / 2));
    EXPECT_DOUBLE_EQ(box.ScaleWidth(), 200.0 * 1440.0 / dpi);

    // A trend segment from index 0 at level 0 to index 1 at level 5.
    const QPoint from = box.ToPixels(750, 960);
    const QPoint to = box.ToPixels(780, 780);
    box.DrawLine(750, 960, 780, 780, colour::Red);
    EXPECT_EQ(At(from.x(), from.y()), QColor(Qt::red));
    EXPECT_EQ(At(to.x(), to.y()), QColor(Qt::red));
    EXPECT_EQ(At(from.x(), to.y()), QColor(Qt::white)) << "a diagonal, not a box";
}

TEST_F(PictureBoxTest, DrawWidthThickensLines)
{
    box.SetDrawWidth(5);
    box.DrawLine(20, 50, 120, 50, colour::Green);
    EXPECT_EQ(At(70, 52), QColor(Qt::green));
    box.SetDrawWidth(0);
    EXPECT_EQ(box.DrawWidth(), 1);
}

TEST_F(PictureBoxTest, ClsClearsToTheBackColour)
{
    box.DrawLine(0, 0, 199, 99, colour::Red);
    SetBackColour(&box, colour::GaugeBackground);
    box.Cls();
    EXPECT_EQ(At(50, 25), QColor(225, 220, 210));
    EXPECT_EQ(At(0, 0), QColor(225, 220, 210));
}

TEST_F(PictureBoxTest, SavedBitmapLoadsBackAsTheBackgroundThatClsKeeps)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("tmp.bmp"));
    box.DrawLine(10, 10, 150, 10, colour::Red);
    ASSERT_TRUE(box.SavePicture(path));
    QImage onDisk(path);
    ASSERT_FALSE(onDisk.isNull());
    EXPECT_EQ(onDisk.pixelColor(100, 10), QColor(Qt::red));

    box.Cls();
    EXPECT_EQ(At(100, 10), QColor(Qt::white));
    ASSERT_TRUE(box.LoadPicture(path));
    EXPECT_TRUE(box.HasPicture());
    EXPECT_EQ(At(100, 10), QColor(Qt::red));
    box.DrawLine(10, 60, 150, 60, colour::Green);
    box.Cls();
    EXPECT_EQ(At(100, 10), QColor(Qt::red)) << "the kept picture is the background";
    EXPECT_EQ(At(100, 60), QColor(Qt::white)) << "drawing after it is cleared";

    box.ClearPicture();
    box.Cls();
    EXPECT_EQ(At(100, 10), QColor(Qt::white));
}

TEST_F(PictureBoxTest, UnreadablePictureChangesNothing)
{
    box.DrawLine(10, 10, 150, 10, colour::Red);
    QTemporaryDir dir;
    const QString garbage = dir.filePath(QStringLiteral("garbage.bmp"));
    QFile file(garbage);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BM not really a bitmap");
    file.close();
    EXPECT_FALSE(box.LoadPicture(garbage));
    EXPECT_FALSE(box.LoadPicture(dir.filePath(QStringLiteral("missing.bmp"))));
    EXPECT_FALSE(box.LoadPicture(QString()));
    EXPECT_FALSE(box.HasPicture());
    EXPECT_EQ(At(100, 10), QColor(Qt::red));
    EXPECT_FALSE(box.SavePicture(dir.filePath(QStringLiteral("no/such/dir/tmp.bmp"))));
}

TEST(LineShape, SitsOnItsEndsInTheBoxsUnits)
{
    PictureBox box;
    box.resize(400, 100);
    box.SetScaleMode(PictureScale::Twips);
    LineShape line(&box);
    line.SetLine(750, 510, 4350, 510);
    const QPoint left = box.ToPixels(750, 510);
    const QPoint right = box.ToPixels(4350, 510);
    EXPECT_EQ(line.geometry().topLeft(), left);
    EXPECT_EQ(line.geometry().right(), right.x());
    EXPECT_DOUBLE_EQ(line.X2(), 4350.0);
}

TEST(StatusBar, PanelsOneToThreeHoldTheirTexts)
{
    StatusBar bar;
    bar.SetPanelText(1, QStringLiteral("Test.dat"));
    bar.SetPanelText(3, QStringLiteral("Connected"));
    EXPECT_EQ(bar.PanelText(1), QStringLiteral("Test.dat"));
    EXPECT_EQ(bar.PanelText(2), QString());
    EXPECT_EQ(bar.PanelText(3), QStringLiteral("Connected"));
    bar.SetPanelText(0, QStringLiteral("lost"));
    bar.SetPanelText(4, QStringLiteral("lost"));
    EXPECT_EQ(bar.PanelText(0), QString());
    EXPECT_EQ(bar.PanelText(4), QString());
    EXPECT_EQ(bar.Panel(3)->text(), QStringLiteral("Connected"));
}

TEST(Lamp, StartsWhiteAndShowsItsColour)
{
    Lamp lamp;
    EXPECT_EQ(BackColour(&lamp), colour::White);
    lamp.resize(lamp.sizeHint());
    SetBackColour(&lamp, colour::Green);
    const QImage shot = lamp.grab().toImage();
    const QPoint centre(shot.width() / 2, shot.height() / 2 + 2);
    EXPECT_EQ(shot.pixelColor(centre), QColor(Qt::green));
}

TEST(IconStrip, FourDistinctPicturesThatFitACommandCell)
{
    QWidget screen;
    const int cell = TwipsToPixelsX(&screen, 300);
    IconStrip strip(std::min(16, cell - 4));
    QList<QImage> pictures;
    for (const int index : { IconStrip::ChooseFile, IconStrip::Load, IconStrip::Save, IconStrip::Print }) {
        const QPixmap picture = strip.Cell(index);
        ASSERT_FALSE(picture.isNull()) << index;
        EXPECT_LE(picture.deviceIndependentSize().width(), cell);
        EXPECT_LE(picture.deviceIndependentSize().height(), cell);
        const QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
        for (const QImage& earlier : pictures) {
            EXPECT_NE(image, earlier) << "cell " << index << " looks like another";
        }
        pictures << image;
    }
    EXPECT_TRUE(strip.Cell(0).isNull());
    EXPECT_TRUE(strip.Cell(6).isNull());
    EXPECT_TRUE(strip.Cell(-1).isNull());
}

TEST(EditBox, EscHidesItAndOtherKeysType)
{
    EditBox box;
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QTest::keyClicks(&box, QStringLiteral("ab"));
    EXPECT_EQ(box.text(), QStringLiteral("ab"));
    EXPECT_FALSE(box.isHidden());
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_TRUE(box.isHidden());
}

} // namespace
} // namespace pelicard
