// The mode function buttons under the tabs, the tabs and lists they depend on, and whole logger
// downloads and trends started from the window.

#include "support/Files.h"
#include "support/ProgramFixture.h"
#include "support/VirtualProgram.h"
#include "values/Colours.h"
#include "virtualmeter/VirtualMeter.h"
#include "window/ControlColours.h"
#include "window/TableLayouts.h"

#include <QFile>

#include <gtest/gtest.h>

namespace pelicard {
namespace {

using testing::ProgramFixture;
using Commands = std::vector<std::string>;

constexpr int Ohm = 2; // position of "OHM" in the standard function list

struct ButtonFixture : ::testing::Test, ProgramFixture {
    void SetUp() override { StartQuietly(true); }

    void ShowTab(int tab, int function = 0)
    {
        window().cmb[1]->setCurrentIndex(function);
        window().SSTab1->setCurrentIndex(tab);
        Sent();
    }
    // Something in each of the places a key button may reset.
    void FillWhatButtonsReset()
    {
        window().grdLog[4]->SetTextMatrix(1, 0, QStringLiteral("00001"));
        SetLoadedMark(*window().grdLog[0], true);
        SetLoadedMark(*window().grdTrd, true);
        window().trdBar->setValue(50);
        program->trend.PrevTrendLevel = 7;
    }
    bool LoggerTableEmpty() { return window().grdLog[4]->TextMatrix(1, 0).isEmpty(); }
};

TEST_F(ButtonFixture, EachKeyButtonSendsItsKeyThenTheStatusAndResetsWhatItMakesStale)
{
    struct Row {
        int tab;
        int function;
        int button;
        bool resets; // step 1: logger table, both marks, trend bar and plot
        bool loggerMarkTest; // the Data Logger tab's loaded-file test
        bool trendMarkTest; // "Start" on the Trend Plot tab
    };
    const Row rows[] = {
        { 0, 0, 1, true, true, false },
        { 0, 0, 2, true, true, false },
        { 0, 0, 3, false, true, false },
        { 1, Ohm, 1, true, false, false },
        { 1, 0, 2, true, false, false },
        { 1, 0, 3, false, false, false },
        { 2, Ohm, 1, true, false, false },
        { 2, 0, 3, false, false, false },
        { 3, Ohm, 1, true, false, false },
        { 3, 0, 3, false, false, false },
        { 4, 0, 2, true, false, false },
        { 4, 0, 3, false, false, true },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "tab " << row.tab << " button " << row.button);
        ShowTab(row.tab, row.function);
        window().tmrLog->SetEnabled(false);
        FillWhatButtonsReset();
        window().cmdFun[static_cast<std::size_t>(row.button)]->click();
        const std::string key = "F" + std::to_string(row.button + 1);
        EXPECT_EQ(Sent(), (Commands { key, "PST??" }));
        const bool loggerCleared = row.resets || row.loggerMarkTest;
        const bool trendCleared = row.resets || row.trendMarkTest;
        EXPECT_EQ(LoggerTableEmpty(), loggerCleared);
        EXPECT_EQ(ShowsLoadedMark(*window().grdLog[0]), !loggerCleared);
        EXPECT_EQ(ShowsLoadedMark(*window().grdTrd), !trendCleared);
        EXPECT_EQ(window().trdBar->value(), trendCleared ? 0 : 50);
        EXPECT_EQ(program->trend.PrevTrendLevel, trendCleared ? TrendPlot::NoPreviousPoint : 7);
        // The Data Logger tab enables tmrLog itself; the status reply enables it on the Trend Plot tab.
        EXPECT_EQ(window().tmrLog->Enabled(), row.tab == 0 || row.tab == 4);
    }
}

TEST_F(ButtonFixture, DisabledButtonsSendNothing)
{
    const std::pair<int, int> disabled[] = { { 1, 0 }, { 1, 1 }, { 2, 1 }, { 2, 2 }, { 3, 2 }, { 4, 1 } };
    for (const auto& [tab, button] : disabled) {
        ShowTab(tab);
        window().cmdFun[static_cast<std::size_t>(button)]->click();
        EXPECT_TRUE(Sent().empty()) << "tab " << tab << " button " << button;
    }
}

TEST_F(ButtonFixture, StartEndsARecallAndEmptiesTheTableBeforeF4)
{
    ShowTab(0);
    answers["PST??"] = { "pst04" };
    program->link.SendCommand("PST??");
    ASSERT_EQ(BackColour(window().cmdFun[2]), colour::Lit);
    window().grdLog[4]->SetTextMatrix(1, 0, QStringLiteral("00001"));
    answers["PST??"] = { "pst00" };
    Sent();
    QString rowWhenF4Went;
    backend.respond = [this, &rowWhenF4Went, previous = backend.respond](const std::string& command) {
        if (command == "F4") {
            rowWhenF4Went = window().grdLog[4]->TextMatrix(1, 0);
        }
        return previous(command);
    };
    window().cmdFun[3]->click();
    EXPECT_EQ(Sent(), (Commands { "F4", "PST??" }));
    EXPECT_TRUE(rowWhenF4Went.isEmpty()) << "the table is emptied before the key goes out";
    EXPECT_EQ(BackColour(window().cmdFun[2]), colour::ButtonFace);
}

TEST_F(ButtonFixture, StartOnTheTrendTabClearsALoadedTrendOnly)
{
    ShowTab(4);
    FillWhatButtonsReset();
    window().cmdFun[3]->click();
    EXPECT_FALSE(ShowsLoadedMark(*window().grdTrd));
    EXPECT_EQ(window().trdBar->value(), 0);
    EXPECT_EQ(program->trend.PrevTrendLevel, TrendPlot::NoPreviousPoint);
    EXPECT_FALSE(LoggerTableEmpty()) << "the logger table is not the trend's";

    // Without the mark nothing local happens.
    window().trdBar->setValue(30);
    program->trend.PrevTrendLevel = 4;
    window().cmdFun[3]->click();
    EXPECT_EQ(window().trdBar->value(), 30);
    EXPECT_EQ(program->trend.PrevTrendLevel, 4);
}

TEST_F(ButtonFixture, SetUpOpensAndClosesThePanelWithoutSending)
{
    for (const int tab : { 0, 2, 3, 4 }) {
        ShowTab(tab);
        window().cmdFun[0]->click();
        EXPECT_TRUE(program->setup.Shown()) << tab;
        window().cmdFun[0]->click();
        EXPECT_FALSE(program->setup.Shown()) << tab;
        EXPECT_TRUE(Sent().empty()) << tab;
    }
    // A tab change and a function change close it too.
    window().cmdFun[0]->click();
    window().SSTab1->setCurrentIndex(2);
    EXPECT_FALSE(program->setup.Shown());
    window().cmdFun[0]->click();
    window().cmb[1]->setCurrentIndex(1);
    EXPECT_FALSE(program->setup.Shown());
}

// The engine model, linked, with the function "RPM/IG" chosen in Record Mode.
struct EngineFixture : ButtonFixture {
    static constexpr int RpmIg = 12;
    void SetUp() override
    {
        answers["SD9"] = { "sd94" };
        StartQuietly(true);
        ShowTab(1, RpmIg);
    }
};

TEST_F(EngineFixture, ProgReappliesTheTabAndTheIgnitionPanelFollowsIt)
{
    ASSERT_EQ(window().cmb[1]->currentText(), QStringLiteral("RPM/IG"));
    EXPECT_EQ(window().cmdFun[1]->text(), QStringLiteral("Prog"));
    EXPECT_TRUE(window().panIg->isVisibleTo(&window())) << "Prog inactive: the ignition panel shows";
    EXPECT_EQ(program->state.vu.ModeCaption[0], QStringLiteral("DUTY"));

    // The meter reports Prog active after F2: the tab applied again hides the panel.
    answers["PST??"] = { "pst08" };
    window().cmdFun[1]->click();
    EXPECT_EQ(Sent(), (Commands { "F2", "PST??", "MOD01", "PST??" }));
    EXPECT_FALSE(window().panIg->isVisibleTo(&window()));
    EXPECT_EQ(program->state.vu.ModeCaption[0], QStringLiteral("Max"));

    answers["PST??"] = { "pst00" };
    window().cmdFun[1]->click();
    Sent();
    EXPECT_TRUE(window().panIg->isVisibleTo(&window()));
    for (const int tab : { 0, 4 }) {
        window().SSTab1->setCurrentIndex(tab);
        EXPECT_FALSE(window().panIg->isVisibleTo(&window())) << "only tabs 1 to 3 show it: " << tab;
    }
}

TEST_F(EngineFixture, TabsShowTheirCaptionsAndTheFunctionOverrides)
{
    struct Expected {
        int tab;
        const char* captions[2];
        const char* buttons[4];
        int area;
    };
    // RPM/IG with Prog inactive: in tabs 1 to 3 the second button is "Prog" and the names change.
    const Expected expected[] = {
        { 0, { " ", " " }, { "SetUp", "Clear", "Recal", "Start" }, 1 },
        { 1, { "DUTY", "DWELL" }, { "", "Prog", "Reset", "Pause" }, 0 },
        { 2, { "DUTY", "DWELL" }, { "SetUp", "Prog", "", "Pause" }, 0 },
        { 3, { "DUTY", "DWELL" }, { "SetUp", "Prog", "", "Pause" }, 0 },
        { 4, { "Hight", "Low" }, { "SetUp", "", "Clear", "Start" }, 2 },
    };
    for (const Expected& e : expected) {
        window().SSTab1->setCurrentIndex(e.tab);
        EXPECT_EQ(program->state.vu.ModeCaption[0], QLatin1String(e.captions[0])) << e.tab;
        EXPECT_EQ(program->state.vu.ModeCaption[1], QLatin1String(e.captions[1])) << e.tab;
        for (std::size_t k = 0; k < 4; ++k) {
            EXPECT_EQ(window().cmdFun[k]->text(), QLatin1String(e.buttons[k])) << e.tab << ' ' << k;
            EXPECT_EQ(window().cmdFun[k]->isEnabled(), e.buttons[k][0] != '\0') << e.tab << ' ' << k;
        }
        for (int area = 0; area < 3; ++area) {
            EXPECT_EQ(window().p1[static_cast<std::size_t>(area)]->isVisibleTo(&window()), area == e.area);
        }
    }
    // "RPM/IP": "FREQ" and an empty name, no ignition panel.
    window().SSTab1->setCurrentIndex(2);
    window().cmb[1]->setCurrentIndex(EngineFixture::RpmIg + 1);
    EXPECT_EQ(program->state.vu.ModeCaption[0], QStringLiteral("FREQ"));
    EXPECT_EQ(program->state.vu.ModeCaption[1], QString());
    EXPECT_FALSE(window().panIg->isVisibleTo(&window()));
}

TEST_F(ButtonFixture, ListsAndHoldSendWhatTheUserChose)
{
    ShowTab(1);
    window().cmb[1]->setCurrentIndex(3); // a function with one range
    EXPECT_EQ(Sent(), (Commands { "FUN03", "MOD01", "PST??" }));
    ASSERT_EQ(window().cmb[2]->count(), 1);
    window().cmb[1]->setCurrentIndex(0);
    Sent();
    window().cmb[2]->setCurrentIndex(2);
    EXPECT_EQ(Sent(), (Commands { "RGE01" }));
    window().cmb[2]->setCurrentIndex(0);
    EXPECT_EQ(Sent(), (Commands { "RGE10" }));

    window().chkHold->setChecked(true);
    EXPECT_EQ(ForeColour(window().chkHold), colour::Red);
    window().chkHold->setChecked(false);
    EXPECT_EQ(ForeColour(window().chkHold), colour::Black) << "the caption goes back to black";
    EXPECT_EQ(Sent(), (Commands { "HLD01,HLD??", "HLD00,HLD??" }));
}

// The whole program on the virtual meter.
struct VirtualButtons : ::testing::Test, testing::VirtualProgram {

    void SetUp() override
    {
        program.Start();
        program.CmdSys_Click(0);
        ASSERT_EQ(BackColour(window.CmdSys[0]), colour::Linked);
    }
};

TEST_F(VirtualButtons, RecalDownloadsTheWholeMemoryRecordByRecord)
{
    std::vector<LoggerRecord> memory;
    for (int address = 0; address < 300; ++address) {
        memory.push_back({ address, "09:00:00", "  1.0000V " });
    }
    ASSERT_TRUE(meter.SetLogger({ 1, 0, 299 }));
    ASSERT_TRUE(meter.SetLoggerMemory(memory));
    program.link.SendCommand("PLV??"); // the settings beside the table, as the tab shows them
    window.SSTab1->setCurrentIndex(0);
    window.cmdFun[2]->click();
    ASSERT_EQ(BackColour(window.cmdFun[2]), colour::Lit);
    program.loop.tmrLog_Timer();
    EXPECT_EQ(window.StatusBar1->PanelText(2), QStringLiteral("Downloading 2 of 300 records"));
    for (int tick = 0; tick < 400 && window.tmrLog->Enabled(); ++tick) {
        program.loop.tmrLog_Timer();
    }
    EXPECT_FALSE(window.tmrLog->Enabled());
    EXPECT_EQ(program.logger.logRow, 302);
    EXPECT_EQ(window.grdLog[4]->TextMatrix(300, 0).toInt(), 299);
    EXPECT_EQ(window.grdLog[4]->TextMatrix(301, 1), QStringLiteral("--EOD---"));
    EXPECT_EQ(BackColour(window.led[1]), colour::White);
    EXPECT_EQ(window.StatusBar1->PanelText(2), QStringLiteral("Downloaded 300 records"));
}

TEST_F(VirtualButtons, StartOnTheTrendTabFillsTheBarAndDrawsPoints)
{
    window.SSTab1->setCurrentIndex(4);
    window.cmdFun[3]->click();
    ASSERT_EQ(BackColour(window.cmdFun[3]), colour::Lit);
    ASSERT_TRUE(window.tmrLog->Enabled());
    const QImage before = window.picTrd->image().copy();
    for (int tick = 0; tick < 2000 && window.trdBar->value() < 10; ++tick) {
        time.Advance(20);
        program.loop.tmrLog_Timer();
    }
    EXPECT_GE(window.trdBar->value(), 10);
    EXPECT_FALSE(program.trend.TrendData[10].isEmpty());
    EXPECT_NE(window.picTrd->image(), before) << "no segment was drawn";
}

// A scripted session through the real window; the commands the meter received are compared with
// tests/data/sessions/buttons.txt, one command per line.
TEST_F(VirtualButtons, AScriptedSessionSendsTheExpectedCommands)
{
    meter.ClearReceivedCommands();
    for (int tab = 0; tab <= 4; ++tab) {
        window.SSTab1->setCurrentIndex(tab);
        for (std::size_t button = 1; button < 4; ++button) {
            if (window.cmdFun[button]->isEnabled()) {
                window.cmdFun[button]->click();
                // A button that started something is pressed again to stop it.
                if (BackColour(window.cmdFun[button]) == colour::Lit) {
                    window.cmdFun[button]->click();
                }
            }
        }
    }
    window.SSTab1->setCurrentIndex(1);
    window.cmb[1]->setCurrentIndex(Ohm);
    window.cmdFun[1]->click();
    window.cmb[2]->setCurrentIndex(2);
    window.chkHold->setChecked(true);
    window.chkHold->setChecked(false);

    QStringList received;
    for (const std::string& command : meter.ReceivedCommands()) {
        received << QString::fromStdString(command);
    }
    const QByteArray expected = testing::ReadAll(QStringLiteral(PELICARD_TEST_DATA "/sessions/buttons.txt"));
    EXPECT_EQ((received.join(QLatin1Char('\n')) + QLatin1Char('\n')).toStdString(), expected.toStdString());
}

} // namespace
} // namespace pelicard
