// The mode function buttons under the tabs, the tabs and lists they depend on, and the receive
// loop that runs the download and the trend they start.

#include "support/Files.h"
#include "support/ProgramFixture.h"
#include "support/VirtualProgram.h"
#include "values/Colours.h"
#include "window/ControlColours.h"
#include "window/TableLayouts.h"

#include <gtest/gtest.h>

namespace pelicard {
namespace {

using Commands = std::vector<std::string>;

constexpr int Ohm = 2; // position of "OHM" in the standard function list
constexpr int RpmIg = 12; // position of "RPM/IG" in the engine model's list

struct ButtonFixture : ::testing::Test, testing::ProgramFixture {
    void SetUp() override { StartQuietly(true); }
    void ShowTab(int tab, int function = 0)
    {
        window().cmb[1]->setCurrentIndex(function);
        window().SSTab1->setCurrentIndex(tab);
        Sent();
    }
    bool LoggerTableEmpty() { return window().grdLog[4]->TextMatrix(1, 0).isEmpty(); }
    // The meter reports a recall; each "DRL??" then takes the next report of `memory`.
    void Recall(const std::vector<std::string>& memory)
    {
        backend.respond = [memory, next = std::size_t { 0 }, previous = backend.respond](
                              const std::string& command) mutable {
            if (command == "DRL??") {
                return next < memory.size() ? std::vector { memory[next++] } : std::vector<std::string> {};
            }
            return previous(command);
        };
        answers["PST??"] = { "pst04" };
        program->link.SendCommand("PST??");
        ASSERT_EQ(BackColour(window().cmdFun[2]), colour::Lit);
        answers["PST??"] = { "pst00" };
        Sent();
    }
};

TEST_F(ButtonFixture, EachKeyButtonSendsItsKeyThenTheStatusAndResetsWhatItMakesStale)
{
    struct Row {
        int tab;
        int function;
        int button;
        bool marked; // both file bars show a loaded file before the click
        bool clearsLogger; // the logger table and its mark
        bool clearsTrend; // the trend's mark, bar and plot
    };
    const Row rows[] = {
        { 0, 0, 1, true, true, true },
        { 0, 0, 2, true, true, true },
        { 0, 0, 3, true, true, false },
        { 1, Ohm, 1, true, true, true },
        { 1, 0, 2, true, true, true },
        { 1, 0, 3, true, false, false },
        { 2, Ohm, 1, true, true, true },
        { 2, 0, 3, true, false, false },
        { 3, Ohm, 1, true, true, true },
        { 3, 0, 3, true, false, false },
        { 4, 0, 2, true, true, true },
        { 4, 0, 3, true, false, true },
        { 4, 0, 3, false, false, false },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message()
            << "tab " << row.tab << " button " << row.button << " marked " << row.marked);
        ShowTab(row.tab, row.function);
        window().tmrLog->SetEnabled(false);
        window().grdLog[4]->SetTextMatrix(1, 0, QStringLiteral("00001"));
        SetLoadedMark(*window().grdLog[0], row.marked);
        SetLoadedMark(*window().grdTrd, row.marked);
        window().trdBar->setValue(50);
        program->trend.PrevTrendLevel = 7;

        window().cmdFun[static_cast<std::size_t>(row.button)]->click();
        EXPECT_EQ(Sent(), (Commands { "F" + std::to_string(row.button + 1), "PST??" }));
        EXPECT_EQ(LoggerTableEmpty(), row.clearsLogger);
        EXPECT_EQ(ShowsLoadedMark(*window().grdLog[0]), row.marked && !row.clearsLogger);
        EXPECT_EQ(ShowsLoadedMark(*window().grdTrd), row.marked && !row.clearsTrend);
        EXPECT_EQ(window().trdBar->value(), row.clearsTrend ? 0 : 50);
        EXPECT_EQ(program->trend.PrevTrendLevel, row.clearsTrend ? TrendPlot::NoPreviousPoint : 7);
        // The Data Logger tab enables tmrLog itself; the status reply enables it on the Trend Plot tab.
        EXPECT_EQ(window().tmrLog->Enabled(), row.tab == 0 || row.tab == 4);
    }
}

TEST_F(ButtonFixture, StartEndsARecallAndEmptiesTheTableBeforeF4)
{
    ShowTab(0);
    Recall({});
    window().grdLog[4]->SetTextMatrix(1, 0, QStringLiteral("00001"));
    QString rowWhenF4Went = QStringLiteral("not sent");
    backend.respond = [this, &rowWhenF4Went, previous = backend.respond](const std::string& command) {
        if (command == "F4") {
            rowWhenF4Went = window().grdLog[4]->TextMatrix(1, 0);
        }
        return previous(command);
    };
    window().cmdFun[3]->click();
    EXPECT_EQ(Sent(), (Commands { "F4", "PST??" }));
    EXPECT_TRUE(rowWhenF4Went.isEmpty()) << rowWhenF4Went.toStdString();
    EXPECT_EQ(BackColour(window().cmdFun[2]), colour::ButtonFace);
}

// The engine model, linked, with the function "RPM/IG" chosen in Record Mode.
struct EngineFixture : ButtonFixture {
    void SetUp() override
    {
        answers["SD9"] = { "sd94" };
        StartQuietly(true);
        ShowTab(1, RpmIg);
    }
    bool IgnitionShown() { return window().panIg->isVisibleTo(&window()); }
};

TEST_F(EngineFixture, ProgReappliesTheTabAndTheIgnitionPanelFollowsIt)
{
    ASSERT_EQ(window().cmb[1]->currentText(), QStringLiteral("RPM/IG"));
    ASSERT_TRUE(IgnitionShown());
    answers["PST??"] = { "pst08" };
    window().cmdFun[1]->click();
    EXPECT_EQ(Sent(), (Commands { "F2", "PST??", "MOD01", "PST??" }));
    EXPECT_FALSE(IgnitionShown());
    EXPECT_EQ(program->state.vu.ModeCaption[0], QStringLiteral("Max"));

    answers["PST??"] = { "pst00" };
    window().cmdFun[1]->click();
    EXPECT_TRUE(IgnitionShown());
}

TEST_F(EngineFixture, TabsShowTheirCaptionsAndTheFunctionOverrides)
{
    struct Expected {
        int tab;
        const char* captions[2];
        const char* buttons[4]; // an empty caption: disabled
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
        SCOPED_TRACE(e.tab);
        window().SSTab1->setCurrentIndex(e.tab);
        EXPECT_EQ(program->state.vu.ModeCaption[0], QLatin1String(e.captions[0]));
        EXPECT_EQ(program->state.vu.ModeCaption[1], QLatin1String(e.captions[1]));
        for (std::size_t k = 0; k < 4; ++k) {
            EXPECT_EQ(window().cmdFun[k]->text(), QLatin1String(e.buttons[k])) << k;
            EXPECT_EQ(window().cmdFun[k]->isEnabled(), e.buttons[k][0] != '\0') << k;
        }
        for (std::size_t area = 0; area < 3; ++area) {
            EXPECT_EQ(window().p1[area]->isVisibleTo(&window()), static_cast<int>(area) == e.area);
        }
        EXPECT_EQ(IgnitionShown(), e.area == 0) << "Prog inactive: tabs 1 to 3 show the ignition panel";
    }
    // "RPM/IP": "FREQ" and an empty name, no ignition panel.
    window().SSTab1->setCurrentIndex(2);
    window().cmb[1]->setCurrentIndex(RpmIg + 1);
    EXPECT_EQ(program->state.vu.ModeCaption[0], QStringLiteral("FREQ"));
    EXPECT_EQ(program->state.vu.ModeCaption[1], QString());
    EXPECT_FALSE(IgnitionShown());
}

// Every enabled key button of every tab, then the lists and hold, through the real window on the
// virtual meter; the commands the meter received are tests/data/sessions/buttons.txt, one a line.
// A button wrongly enabled or disabled, or a command out of order, changes the list.
TEST(ModeButtons, AScriptedSessionSendsTheExpectedCommands)
{
    testing::VirtualProgram p;
    p.StartLinked();
    frmMain& window = p.window;
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

    std::string received;
    for (const std::string& command : p.Received()) {
        received += command + '\n';
    }
    EXPECT_EQ(
        received, testing::ReadAll(QStringLiteral(PELICARD_TEST_DATA "/sessions/buttons.txt")).toStdString());
}

TEST_F(ButtonFixture, ARecallRequestsRecordAfterRecordToTheEndOfDataOnTheDataLoggerTabOnly)
{
    Recall({ "plr00001,12:00:00, 1.0000V  ,plr00002,12:00:01, 1.0001V  ", "plr00003,12:00:02, 1.0002V  ",
        "plr00004,--EOD---,          " });
    ASSERT_TRUE(window().tmrLog->Enabled());
    for (int tick = 0; tick < 10 && window().tmrLog->Enabled(); ++tick) {
        program->loop.tmrLog_Timer();
    }
    EXPECT_EQ(Sent(), Commands(3, "DRL??"));
    EXPECT_FALSE(window().tmrLog->Enabled());
    EXPECT_EQ(window().grdLog[4]->TextMatrix(2, 2), QStringLiteral(" 1.0001V  "));
    EXPECT_EQ(window().grdLog[4]->TextMatrix(4, 1), QStringLiteral("--EOD---"))
        << "the end record is written too";
    EXPECT_EQ(program->logger.logRow, 5);

    // Another tab stops the requests at the next tick.
    Recall({ "plr00001,12:00:00, 1.0000V  " });
    program->loop.tmrLog_Timer();
    EXPECT_EQ(Sent(), Commands { "DRL??" });
    program->state.fromMeter = true; // the view switched without the meter
    window().SSTab1->setCurrentIndex(4);
    program->state.fromMeter = false;
    window().tmrLog->SetEnabled(true);
    program->loop.tmrLog_Timer();
    EXPECT_TRUE(Sent().empty());
}

TEST_F(ButtonFixture, ListeningTakesAReportTheMeterSentOnItsOwnOnce)
{
    window().SSTab1->setCurrentIndex(4);
    Sent();
    // One tick with the report the meter queued, if any; the level it drew, 99 when it drew none.
    const auto tick = [this](const char* report) {
        if (report != nullptr) {
            backend.QueueReply(report);
        }
        program->trend.PrevTrendLevel = 99;
        program->loop.tmrLog_Timer();
        return program->trend.PrevTrendLevel;
    };
    EXPECT_EQ(tick("ptr000,005"), 5);
    EXPECT_EQ(program->trend.TrendData[0], QStringLiteral("005"));
    EXPECT_EQ(tick("ptr001,007"), 7);
    EXPECT_EQ(window().trdBar->value(), 1);
    EXPECT_EQ(tick(nullptr), 99) << "a report already taken was parsed again";
    EXPECT_TRUE(Sent().empty()) << "listening sends nothing";

    // A report taken by a transaction's trailing look is not taken again by the next tick.
    answers["PST??"] = { "pst02", "ptr002,009" };
    program->link.SendCommand("PST??");
    EXPECT_EQ(program->trend.PrevTrendLevel, 9);
    EXPECT_EQ(tick(nullptr), 99);
}

TEST_F(ButtonFixture, ListeningNeverReopensALostMeter)
{
    program->usb.CloseMeter();
    const auto opened = backend.openHandles.size();
    program->loop.tmrLog_Timer();
    EXPECT_EQ(backend.openHandles.size(), opened);
    EXPECT_TRUE(prompts.Texts(PromptRecorder::Kind::CriticalStop).isEmpty());
}

} // namespace
} // namespace pelicard
