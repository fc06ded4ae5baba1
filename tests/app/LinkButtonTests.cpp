// Link, unlink, the model view they lay out and the user's choices they enable, on a scripted meter;
// then on the virtual meter: state both ways, a replugged meter and a window that stays alive.

#include "modes/ModelView.h"
#include "support/ProgramFixture.h"
#include "support/VirtualProgram.h"
#include "values/Colours.h"
#include "window/ControlColours.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

namespace pelicard {
namespace {

using Kind = PromptRecorder::Kind;
using Commands = std::vector<std::string>;
constexpr const char* StatusQuery = "FUN??,RGE??,MOD??,HLD??,PST??";

struct LinkFixture : ::testing::Test, testing::ProgramFixture {
    void SetUp() override { StartQuietly(false); }
    bool Linked() const { return program->Linked(); }
    void ExpectUnlinked()
    {
        EXPECT_FALSE(Linked());
        EXPECT_EQ(window().StatusBar1->PanelText(3), QStringLiteral("Disconnected"));
        EXPECT_FALSE(window().SSTab1->isEnabled());
        for (QWidget* panel : window().picLay) {
            EXPECT_FALSE(panel->isEnabled());
        }
    }
};

TEST_F(LinkFixture, LinkSendsTheStatusQueryAndTheNewTabsQueryOnlyWhenTheTabChanged)
{
    answers[StatusQuery] = { "fun01,rge10,mod02,hld01,pst00" };
    program->CmdSys_Click(0);
    EXPECT_EQ(Sent(), (Commands { StatusQuery, "PRV??,PST??" }))
        << "no FUN, RGE, MOD or HLD goes back while the reply sets the controls";
    EXPECT_TRUE(Linked());
    EXPECT_EQ(window().StatusBar1->PanelText(3), QStringLiteral("Connected"));
    EXPECT_EQ(program->state.vu.readingText[1], QStringLiteral("  1.0000V  ")) << "the reference came back";
    EXPECT_EQ(prompts.BeepCount(), 1);
    for (QWidget* panel : window().picLay) {
        EXPECT_TRUE(panel->isEnabled());
    }

    // Unlink and link again with the meter in the same mode: nothing follows the status query.
    program->CmdSys_Click(0);
    EXPECT_EQ(Sent(), (Commands { "GTL" }));
    ExpectUnlinked();
    program->CmdSys_Click(0);
    EXPECT_EQ(Sent(), (Commands { StatusQuery }));
}

TEST_F(LinkFixture, AMeterGoneBeforeUnlinkOrLinkIsReportedOnceEachTime)
{
    program->CmdSys_Click(0);
    program->usb.CloseMeter();
    backend.interfaces.pop_back();
    Sent();
    program->CmdSys_Click(0);
    EXPECT_TRUE(Sent().empty()) << "GTL cannot go out";
    EXPECT_EQ(prompts.Count(Kind::CriticalStop), 1);
    EXPECT_EQ(BackColour(window().led[0]), colour::White);
    EXPECT_EQ(BackColour(window().led[1]), colour::White);
    ExpectUnlinked();

    prompts.Clear();
    program->CmdSys_Click(0);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(prompts.BeepCount(), 2);
    EXPECT_EQ(prompts.Count(Kind::CriticalStop), 1);
    EXPECT_FALSE(Linked());
}

TEST_F(LinkFixture, LinkFacesTheMeterAsItIsNow)
{
    // A meter swapped for another variant since the last link is found: the search starts again
    // from the lowest product id.
    program->CmdSys_Click(0);
    program->CmdSys_Click(0);
    backend.interfaces.back().productId = 0xE100;
    program->CmdSys_Click(0);
    EXPECT_EQ(program->usb.productId, 0xE100);
    EXPECT_EQ(program->iniPath, IniPath("Logger_5k.ini"));
    backend.interfaces.back().productId = 0xE101;
    program->CmdSys_Click(0);
    program->CmdSys_Click(0);
    EXPECT_EQ(program->usb.productId, 0xE101);

    // The status query unanswered: the meter is marked lost, the button still shows linked.
    program->CmdSys_Click(0);
    answers[StatusQuery] = {};
    prompts.Clear();
    program->CmdSys_Click(0);
    EXPECT_TRUE(Linked());
    EXPECT_FALSE(program->usb.deviceFound);
    EXPECT_EQ(window().StatusBar1->PanelText(3), QStringLiteral("Disconnected"));
    EXPECT_EQ(prompts.Count(Kind::CriticalStop), 0);
}

TEST_F(LinkFixture, TheTabListsHoldAndClockSendWhatTheUserChose)
{
    program->CmdSys_Click(0);
    Sent();
    window().SSTab1->setCurrentIndex(1);
    EXPECT_EQ(Sent(), (Commands { "MOD01", "PST??" }));
    EXPECT_TRUE(window().p1[0]->isVisibleTo(&window()));
    window().cmb[1]->setCurrentIndex(2);
    EXPECT_EQ(Sent(), (Commands { "FUN02", "MOD01", "PST??" })) << "a function change re-applies the tab";
    EXPECT_EQ(window().cmdFun[1]->text(), QStringLiteral("Beep"));
    ASSERT_EQ(window().cmb[2]->count(), 7);
    window().cmb[2]->setCurrentIndex(6);
    window().cmb[2]->setCurrentIndex(0);
    EXPECT_EQ(Sent(), (Commands { "RGE05", "RGE10" }));

    window().chkHold->setChecked(true);
    EXPECT_EQ(ForeColour(window().chkHold), colour::Red);
    window().chkHold->setChecked(false);
    EXPECT_EQ(ForeColour(window().chkHold), colour::Black);
    EXPECT_EQ(Sent(), (Commands { "HLD01,HLD??", "HLD00,HLD??" }));

    program->Command3_Click();
    EXPECT_EQ(Sent(), (Commands { "CLK11-12-21,14:05:09" }));
}

// The model view runs on every link (that it keeps the logger's rows is a relink fault case).
TEST_F(LinkFixture, TheModelViewLaysOutTheBoxesAndFileBarsAndLeavesTheGuardClear)
{
    window().cmb[1]->setCurrentIndex(4);
    window().grdLog[1]->SetTextMatrix(0, 1, QStringLiteral("01234"));
    window().trdBar->setValue(50);
    ApplyModelView(window(), program->state);
    EXPECT_FALSE(program->state.fromMeter);
    EXPECT_EQ(window().cmb[1]->currentIndex(), -1) << "no function is chosen until the meter says";
    EXPECT_EQ(window().grdLog[1]->TextMatrix(0, 1), QStringLiteral("00000"));
    EXPECT_EQ(window().trdBar->value(), 0);
    for (FlexGrid* bar : { window().grdLog[0], window().grdTrd }) {
        for (int column = 2; column <= 5; ++column) {
            bar->SetRow(0);
            bar->SetCol(column);
            EXPECT_FALSE(bar->CellPicture().isNull()) << column;
        }
    }
}

struct VirtualLink : ::testing::Test, testing::VirtualProgram { };

TEST_F(VirtualLink, StatusSetOnTheMeterComesBackOnLinkAndTheWindowDrivesTheMeter)
{
    ASSERT_TRUE(meter.SetFunction(5)); // CAP
    ASSERT_TRUE(meter.SetManualRange(2));
    ASSERT_TRUE(meter.SetMode(3));
    meter.SetHold(true);
    ASSERT_TRUE(meter.SetProgramStatus(1));
    StartLinked();
    EXPECT_EQ(window.cmb[1]->currentText(), QStringLiteral("CAP"));
    EXPECT_EQ(window.cmb[2]->currentIndex(), 3) << "the ranges after Auto count from 0";
    EXPECT_EQ(window.SSTab1->currentIndex(), 3);
    EXPECT_TRUE(window.chkHold->isChecked());
    EXPECT_EQ(BackColour(window.cmdFun[3]), colour::Lit);
    EXPECT_EQ(window.windowTitle().toStdString(), CaptionOf(MeterVariant::Logger50k));

    window.cmb[2]->setCurrentIndex(0);
    EXPECT_TRUE(meter.AutoRange());
    window.chkHold->setChecked(false);
    EXPECT_FALSE(meter.Hold());
    window.SSTab1->setCurrentIndex(1);
    EXPECT_EQ(meter.Mode(), 1);
}

TEST_F(VirtualLink, AMeterPluggedBackWhileIdleTakesTheNextCommand)
{
    StartLinked();
    // Unplugged and plugged in again while nothing was sent: the old handles are dead.
    meter.SetUnplugged(true);
    meter.SetUnplugged(false);
    window.cmb[1]->setCurrentIndex(2);
    EXPECT_EQ(Received().at(0), "FUN02") << "the click was lost";
    EXPECT_EQ(meter.FunctionIndex(), 2);
    EXPECT_EQ(prompts.Count(Kind::CriticalStop), 0);
    EXPECT_TRUE(program.usb.deviceFound);
}

TEST_F(VirtualLink, TheWindowPaintsWhileTheMeterIsSilentAndIgnoresClicks)
{
    StartLinked();
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
    for (const QEvent::Type type : { QEvent::MouseButtonPress, QEvent::MouseButtonRelease }) {
        QCoreApplication::postEvent(window.cmdStart,
            new QMouseEvent(type, centre, window.cmdStart->mapToGlobal(centre), Qt::LeftButton,
                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier));
    }
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
