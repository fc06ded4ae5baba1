#include "support/ProgramFixture.h"
#include "values/Colours.h"
#include "window/ControlColours.h"

#include <gtest/gtest.h>

namespace pelicard {
namespace {

using testing::ProgramFixture;
using Kind = PromptRecorder::Kind;
using Commands = std::vector<std::string>;

struct LinkFixture : ::testing::Test, ProgramFixture {
    void SetUp() override { StartQuietly(false); }
};

TEST_F(LinkFixture, LinkSendsTheStatusQueryAndTheNewTabsQueryOnlyWhenTheTabChanged)
{
    answers["FUN??,RGE??,MOD??,HLD??,PST??"] = { "fun01,rge10,mod02,hld01,pst00" };
    program->CmdSys_Click(0);
    EXPECT_EQ(Sent(), (Commands { "FUN??,RGE??,MOD??,HLD??,PST??", "PRV??,PST??" }))
        << "no FUN, RGE, MOD or HLD goes back while the reply sets the controls";
    EXPECT_EQ(BackColour(window().CmdSys[0]), colour::Linked);
    EXPECT_EQ(window().StatusBar1->PanelText(3), QStringLiteral("Connected"));
    EXPECT_EQ(window().SSTab1->currentIndex(), 2);
    EXPECT_EQ(window().cmb[1]->currentText(), QStringLiteral("ACV"));
    EXPECT_EQ(window().cmb[2]->currentIndex(), 0);
    EXPECT_TRUE(window().chkHold->isChecked());
    EXPECT_EQ(ForeColour(window().chkHold), colour::Red);
    EXPECT_EQ(program->state.vu.readingText[1], QStringLiteral("  1.0000V  ")) << "the reference came back";
    EXPECT_EQ(prompts.BeepCount(), 1);
    for (QWidget* panel : window().picLay) {
        EXPECT_TRUE(panel->isEnabled());
    }

    // Unlink and link again with the meter in the same mode: nothing follows the status query.
    program->CmdSys_Click(0);
    EXPECT_EQ(Sent(), (Commands { "GTL" }));
    program->CmdSys_Click(0);
    EXPECT_EQ(Sent(), (Commands { "FUN??,RGE??,MOD??,HLD??,PST??" }));
}

TEST_F(LinkFixture, UnlinkWhileSamplingStopsTheSampling)
{
    program->CmdSys_Click(0);
    window().cmdStart->click();
    ASSERT_TRUE(window().tmrSpl->Enabled());
    Sent();
    program->CmdSys_Click(0);
    EXPECT_EQ(Sent(), (Commands { "GTL" }));
    EXPECT_FALSE(program->usb.deviceFound);
    EXPECT_FALSE(window().tmrSpl->Enabled());
    EXPECT_EQ(BackColour(window().cmdStart), colour::ButtonFace);
    EXPECT_EQ(BackColour(window().CmdSys[0]), colour::ButtonFace);
    EXPECT_EQ(window().StatusBar1->PanelText(3), QStringLiteral("Disconnected"));
    EXPECT_TRUE(window().StatusBar1->PanelText(1).isEmpty());
    for (QWidget* panel : window().picLay) {
        EXPECT_FALSE(panel->isEnabled());
    }
    EXPECT_FALSE(window().SSTab1->isEnabled());
}

TEST_F(LinkFixture, LinkWithoutAMeterBeepsTwiceAndStaysUnlinked)
{
    backend.interfaces.pop_back();
    program->CmdSys_Click(0);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(prompts.BeepCount(), 2);
    EXPECT_EQ(prompts.Count(Kind::CriticalStop), 1);
    EXPECT_NE(BackColour(window().CmdSys[0]), colour::Linked);
}

TEST_F(LinkFixture, ClockSendsTheLocalDateAndTime)
{
    program->Command3_Click();
    EXPECT_EQ(Sent(), (Commands { "CLK11-12-21,14:05:09" }));
}

TEST_F(LinkFixture, ATabChosenByTheUserSendsTheModeAndItsQuery)
{
    program->CmdSys_Click(0);
    Sent();
    window().SSTab1->setCurrentIndex(1);
    EXPECT_EQ(Sent(), (Commands { "MOD01", "PST??" }));
    EXPECT_FALSE(window().cmdFun[0]->isEnabled());
    EXPECT_FALSE(window().cmdFun[1]->isEnabled());
    EXPECT_TRUE(window().p1[0]->isVisibleTo(&window()));
    EXPECT_FALSE(window().p1[1]->isVisibleTo(&window()));
    window().cmb[1]->setCurrentIndex(2);
    EXPECT_EQ(Sent(), (Commands { "FUN02", "MOD01", "PST??" })) << "a function change re-applies the tab";
    EXPECT_EQ(window().cmdFun[1]->text(), QStringLiteral("Beep"));
    EXPECT_EQ(window().cmb[2]->count(), 7);
    window().cmb[2]->setCurrentIndex(6);
    EXPECT_EQ(Sent(), (Commands { "RGE05" }));
    window().chkHold->setChecked(true);
    EXPECT_EQ(Sent(), (Commands { "HLD01,HLD??" }));
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
    answers["FUN??,RGE??,MOD??,HLD??,PST??"] = {};
    prompts.Clear();
    program->CmdSys_Click(0);
    EXPECT_EQ(BackColour(window().CmdSys[0]), colour::Linked);
    EXPECT_FALSE(program->usb.deviceFound);
    EXPECT_EQ(window().StatusBar1->PanelText(3), QStringLiteral("Disconnected"));
    EXPECT_EQ(prompts.Count(Kind::CriticalStop), 0);
}

TEST_F(LinkFixture, UnlinkWithTheMeterAlreadyGoneReportsItOnceAndCompletes)
{
    program->CmdSys_Click(0);
    program->usb.CloseMeter();
    backend.interfaces.pop_back();
    Sent();
    program->CmdSys_Click(0);
    EXPECT_TRUE(Sent().empty()) << "GTL cannot go out";
    EXPECT_EQ(prompts.Texts(Kind::CriticalStop),
        QStringList { QStringLiteral("Device not detected...Please check USB cable & connector.") });
    EXPECT_EQ(window().StatusBar1->PanelText(3), QStringLiteral("Disconnected"));
    EXPECT_EQ(BackColour(window().CmdSys[0]), colour::ButtonFace);
    EXPECT_EQ(BackColour(window().led[0]), colour::White);
    EXPECT_EQ(BackColour(window().led[1]), colour::White);
    for (QWidget* panel : window().picLay) {
        EXPECT_FALSE(panel->isEnabled());
    }
}

} // namespace
} // namespace pelicard
