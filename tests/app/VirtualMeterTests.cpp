// The whole program on the virtual meter, on virtual time: what is set on the meter comes back
// through the link and the parser into the window.

#include "app/Program.h"
#include "support/VirtualProgram.h"
#include "values/Colours.h"
#include "values/LeadingNumber.h"
#include "virtualmeter/VirtualMeter.h"
#include "window/Clock.h"
#include "window/ControlColours.h"
#include "window/PromptRecorder.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace pelicard {
namespace {

struct VirtualFixture : ::testing::Test, testing::VirtualProgram {

    void SetUp() override { program.Start(); }
    void Link()
    {
        program.CmdSys_Click(0);
        ASSERT_EQ(BackColour(window.CmdSys[0]), colour::Linked);
    }
    std::string Text(const QString& text) const { return text.toStdString(); }
};

TEST_F(VirtualFixture, StatusSetOnTheMeterComesBackOnLink)
{
    ASSERT_TRUE(meter.SetFunction(5)); // CAP
    ASSERT_TRUE(meter.SetManualRange(2));
    ASSERT_TRUE(meter.SetMode(3));
    meter.SetHold(true);
    ASSERT_TRUE(meter.SetProgramStatus(1));
    Link();
    EXPECT_EQ(window.cmb[1]->currentText(), QStringLiteral("CAP"));
    EXPECT_EQ(window.cmb[2]->currentIndex(), 3) << "the ranges after Auto count from 0";
    EXPECT_EQ(window.SSTab1->currentIndex(), 3);
    EXPECT_TRUE(window.chkHold->isChecked());
    EXPECT_EQ(BackColour(window.cmdFun[3]), colour::Lit);
    EXPECT_EQ(window.windowTitle().toStdString(), CaptionOf(MeterVariant::Logger50k));
    EXPECT_EQ(prompts.Count(PromptRecorder::Kind::CriticalStop), 0);

    // The window drives the meter back.
    window.cmb[2]->setCurrentIndex(0);
    EXPECT_TRUE(meter.AutoRange());
    window.chkHold->setChecked(false);
    EXPECT_FALSE(meter.Hold());
    window.SSTab1->setCurrentIndex(1);
    EXPECT_EQ(meter.Mode(), 1);
}

TEST_F(VirtualFixture, ParametersComeBackIntoTheirDisplays)
{
    Link();
    ASSERT_TRUE(meter.SetLogger({ 10, 100, 2500 }));
    program.link.SendCommand("PLV??");
    EXPECT_EQ(window.grdLog[3]->TextMatrix(0, 1).toInt(), 10);
    EXPECT_EQ(window.grdLog[1]->TextMatrix(0, 1).toInt(), 100);
    EXPECT_EQ(window.grdLog[2]->TextMatrix(0, 1).toInt(), 2500);

    ASSERT_TRUE(meter.SetRelativeReference({ 1.5, 1 }));
    program.link.SendCommand("PRV??");
    EXPECT_DOUBLE_EQ(ReadLeadingNumber(Text(program.state.vu.readingText[1])), 1.5);
    EXPECT_EQ(program.state.vu.readingText[1].size(), 11);

    ASSERT_TRUE(meter.SetCompareLimits({ 4.25, 1 }, { 0.75, 1 }));
    program.link.SendCommand("PCV??");
    EXPECT_DOUBLE_EQ(ReadLeadingNumber(Text(program.state.vu.readingText[1])), 4.25);
    EXPECT_DOUBLE_EQ(ReadLeadingNumber(Text(program.state.vu.readingText[2])), 0.75);

    ASSERT_TRUE(meter.SetTrend({ { 0.5, 1 }, { 2.0, 1 }, 30 }));
    program.link.SendCommand("PTV??,PST??");
    EXPECT_DOUBLE_EQ(ReadLeadingNumber(Text(window.lblTrd[0]->text())), 0.5);
    EXPECT_DOUBLE_EQ(ReadLeadingNumber(Text(window.lblTrd[1]->text())), 2.0);
    EXPECT_EQ(window.lblTrd[2]->text(), QStringLiteral("30"));
}

TEST_F(VirtualFixture, SampledReadingsAreTheMetersReadings)
{
    Link();
    for (int i = 1; i <= 3; ++i) {
        const std::string expected = meter.Reading();
        program.loop.tmrSpl_Timer();
        EXPECT_EQ(Text(window.grdMain->TextMatrix(i, 2)), expected);
        time.Advance(700);
    }
    EXPECT_EQ(program.state.vu.readingText[0], window.grdMain->TextMatrix(3, 2));
    EXPECT_GT(program.gauges.vuMeters()[0].GetNeedleValue(), 0.0);
}

TEST_F(VirtualFixture, TheLoggerMemoryDownloadsToItsEnd)
{
    ASSERT_TRUE(meter.SetMode(0));
    const std::vector<LoggerRecord> records { { 0, "08:00:00", "  1.0000V " },
        { 1, "08:00:01", "  1.0001V " }, { 2, "08:00:02", "  1.0002V " } };
    ASSERT_TRUE(meter.SetLoggerMemory(records));
    Link();
    program.link.SendCommand("F3");
    program.link.SendCommand("PST??");
    ASSERT_EQ(BackColour(window.cmdFun[2]), colour::Lit);
    for (int tick = 0; tick < 20 && window.tmrLog->Enabled(); ++tick) {
        program.loop.tmrLog_Timer();
    }
    EXPECT_FALSE(window.tmrLog->Enabled());
    const FlexGrid& table = *window.grdLog[4];
    for (std::size_t i = 0; i < records.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        EXPECT_EQ(table.TextMatrix(row, 0).toInt(), records[i].address);
        EXPECT_EQ(Text(table.TextMatrix(row, 1)), records[i].time);
        EXPECT_EQ(Text(table.TextMatrix(row, 2)), records[i].reading);
    }
    EXPECT_EQ(table.TextMatrix(4, 1), QStringLiteral("--EOD---"));
}

TEST_F(VirtualFixture, TrendPointsArriveOnTheirOwnWhileListening)
{
    ASSERT_TRUE(meter.SetMode(4));
    Link();
    ASSERT_EQ(window.SSTab1->currentIndex(), 4);
    program.trend.ClearPlot();
    program.link.SendCommand("F4");
    program.link.SendCommand("PST??");
    ASSERT_TRUE(window.tmrLog->Enabled());
    for (int tick = 0; tick < 400 && window.trdBar->value() < 10; ++tick) {
        time.Advance(50);
        program.loop.tmrLog_Timer();
    }
    EXPECT_GE(window.trdBar->value(), 10);
    for (int i = 0; i <= 10; ++i) {
        const int level = program.trend.TrendData[static_cast<std::size_t>(i)].toInt();
        EXPECT_EQ(program.trend.TrendData[static_cast<std::size_t>(i)].size(), 3) << i;
        EXPECT_GE(level, 0);
        EXPECT_LE(level, 25);
    }
}

TEST_F(VirtualFixture, AMeterUnpluggedWhileLinkedIsLostAndFoundAgain)
{
    Link();
    meter.SetUnplugged(true);
    program.loop.tmrSpl_Timer(); // the write fails and the meter cannot be opened again
    EXPECT_FALSE(program.usb.deviceFound);
    EXPECT_EQ(prompts.Count(PromptRecorder::Kind::CriticalStop), 1);
    EXPECT_EQ(window.StatusBar1->PanelText(3), QStringLiteral("Disconnected"));
    EXPECT_EQ(BackColour(window.CmdSys[0]), colour::ButtonFace);

    meter.SetUnplugged(false);
    program.CmdSys_Click(0);
    EXPECT_TRUE(program.usb.deviceFound);
    EXPECT_EQ(BackColour(window.CmdSys[0]), colour::Linked);
}

TEST_F(VirtualFixture, AMeterPluggedBackWhileIdleTakesTheNextCommand)
{
    Link();
    // Unplugged and plugged in again while nothing was sent: the old handles are dead.
    meter.SetUnplugged(true);
    meter.SetUnplugged(false);
    meter.ClearReceivedCommands();
    window.cmb[1]->setCurrentIndex(2);
    ASSERT_FALSE(meter.ReceivedCommands().empty()) << "the click was lost";
    EXPECT_EQ(meter.ReceivedCommands().front(), "FUN02");
    EXPECT_EQ(meter.FunctionIndex(), 2);
    EXPECT_EQ(prompts.Count(PromptRecorder::Kind::CriticalStop), 0);
    EXPECT_TRUE(program.usb.deviceFound);
}

TEST_F(VirtualFixture, TheWindowPaintsWhileTheMeterIsSilentAndIgnoresClicks)
{
    Link();
    // A repaint asked for in the middle of the wait (by a timer, as the gauge animation does).
    struct PaintCounter : QObject {
        bool asked = false;
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            paints += asked && event->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
    } counter;
    window.grdMain->installEventFilter(&counter);
    QCoreApplication::processEvents();
    QTimer::singleShot(0, window.grdMain, [this, &counter] {
        counter.asked = true;
        window.grdMain->update();
    });
    // A click that comes while the meter keeps the transaction waiting.
    const QPoint centre = window.cmdStart->rect().center();
    QCoreApplication::postEvent(window.cmdStart,
        new QMouseEvent(QEvent::MouseButtonPress, centre, window.cmdStart->mapToGlobal(centre),
            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(window.cmdStart,
        new QMouseEvent(QEvent::MouseButtonRelease, centre, window.cmdStart->mapToGlobal(centre),
            Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    meter.DropNextReply();
    const std::int64_t before = time.NowMs();
    program.link.SendCommand("FUN??");
    EXPECT_GE(time.NowMs() - before, 6000) << "the wait is the protocol's";
    EXPECT_TRUE(counter.asked) << "no timer ran during the wait";
    EXPECT_GT(counter.paints, 0) << "nothing was painted during the wait";
    EXPECT_NE(BackColour(window.cmdStart), colour::Linked) << "the click started sampling during the wait";
    QCoreApplication::processEvents();
    EXPECT_NE(BackColour(window.cmdStart), colour::Linked) << "the click was kept for later";
    window.grdMain->removeEventFilter(&counter);
}

} // namespace
} // namespace pelicard
