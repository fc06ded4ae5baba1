// The setup panel as a user meets it: SetUp in a mode, values typed, Set, and the meter's answer in
// the window; fields that cannot be sent; the vehicle information form; closing without sending.

#include "app/Program.h"
#include "support/ProgramFixture.h"
#include "values/Colours.h"
#include "values/Commands.h"
#include "values/SetupValue.h"
#include "virtualmeter/VirtualMeter.h"
#include "window/Clock.h"
#include "window/ControlColours.h"
#include "window/PromptRecorder.h"
#include "window/Twips.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace pelicard {
namespace {

using Commands = std::vector<std::string>;
using Fields = std::array<const char*, 3>;
using Kind = PromptRecorder::Kind;

// A program linked to a virtual meter on virtual time.
struct Scene {
    explicit Scene(MeterVariant variant = MeterVariant::Logger50k, int function = 0, int mode = 0)
        : meter(variant, time)
    {
        EXPECT_TRUE(meter.SetFunction(function));
        EXPECT_TRUE(meter.SetMode(mode));
        program.Start();
        program.CmdSys_Click(0);
        EXPECT_EQ(BackColour(window.CmdSys[0]), colour::Linked);
        meter.ClearReceivedCommands();
        prompts.Clear();
    }

    void ShowTab(int tab)
    {
        window.SSTab1->setCurrentIndex(tab);
        meter.ClearReceivedCommands();
    }
    void OpenSetUp() { window.cmdFun[0]->click(); }
    void Type(const Fields& texts)
    {
        for (std::size_t i = 0; i < texts.size(); ++i) {
            window.txtSup[i + 1]->setText(QString::fromLatin1(texts[i]));
        }
    }
    void Set() { window.cmdSup[0]->click(); }
    QString Field(std::size_t i) const { return window.txtSup[i]->text(); }
    bool Marked(std::size_t i) const { return BackColour(window.txtSup[i]) != colour::SystemWindow; }
    // Frames the meter received since the last call.
    Commands Received()
    {
        Commands received = meter.ReceivedCommands();
        meter.ClearReceivedCommands();
        return received;
    }

    QTemporaryDir dir;
    ManualMeterTime time;
    VirtualMeter meter;
    PromptRecorder prompts;
    FixedClock clock;
    Program program { meter, prompts, clock, dir.path() };
    frmMain& window = program.window;
};

TEST(SetupPanel, EachModeShowsItsCaptionsAndTheValuesTheMeterHolds)
{
    Scene scene;
    struct Case {
        int tab;
        std::array<const char*, 4> captions;
        const char* kind;
        Fields fields;
    };
    const Case cases[] = {
        { 2, { "Relative Ref Setup", "Reference", "", "" }, "PRV", { "  1.5000V  ", "", "" } },
        { 3, { "Compare Setup", "Hi Limit", "Lo Limit", "" }, "PCV", { "  4.2500V  ", "  0.7500V  ", "" } },
        { 4, { "Trend Setup", "Reference", "V/DIV", "H/DIV" }, "PTV",
            { "    0.5000V", "    2.0000V", "30" } },
        { 0, { "Logger Setup", "Sampling Time", "Start Address", "Stop Address" }, "PLV",
            { "010", "00100", "02500" } },
    };
    for (const Case& c : cases) {
        scene.ShowTab(c.tab);
        // The values the meter holds reach the displays the panel is filled from.
        ASSERT_TRUE(scene.meter.SetRelativeReference({ 1.5, 1 }));
        ASSERT_TRUE(scene.meter.SetCompareLimits({ 4.25, 1 }, { 0.75, 1 }));
        ASSERT_TRUE(scene.meter.SetTrend({ { 0.5, 1 }, { 2.0, 1 }, 30 }));
        ASSERT_TRUE(scene.meter.SetLogger({ 10, 100, 2500 }));
        scene.program.link.SendCommand(command::ParameterQueryForTab(c.tab));
        scene.Type({ "stale", "stale", "stale" });

        scene.OpenSetUp();
        ASSERT_TRUE(scene.program.setup.Shown()) << c.tab;
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(scene.window.lblSup[i]->text(), QString::fromLatin1(c.captions[i])) << c.tab;
        }
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(scene.Field(i + 1), QString::fromLatin1(c.fields[i])) << c.tab << " field " << i + 1;
        }
        EXPECT_EQ(scene.program.setup.setupKind, QString::fromLatin1(c.kind));
        EXPECT_EQ(HeightTwips(scene.window.picSup), SetupPanel::ModeHeightTwips);
        EXPECT_TRUE(scene.window.chkDli->isHidden());
        scene.window.cmdSup[1]->click();
    }

    // Record Mode has no parameters: the panel stays hidden and forgets its kind.
    scene.ShowTab(1);
    scene.program.setup.OpenSetupPanel();
    EXPECT_FALSE(scene.program.setup.Shown());
    EXPECT_TRUE(scene.program.setup.setupKind.isEmpty());
}

TEST(SetupPanel, SetSendsTheTypedValuesThenAsksForThem)
{
    Scene scene;
    struct Case {
        int tab;
        Fields typed;
        Commands sent;
    };
    const Case cases[] = {
        { 0, { "1", "0", "500" }, { "PLV0000001,0000000,0000500", "PLV??" } },
        { 0, { " 10 ", "0", "500" }, { "PLV0000010,0000000,0000500", "PLV??" } },
        { 0, { "2.5", "+7", "499.5" }, { "PLV0000002,0000007,0000500", "PLV??" } },
        { 2, { " 12.5mV ", "", "" }, { "PRV+012.50_0", "PRV??" } },
        // Fields without a caption are neither read nor sent.
        { 2, { "-0.47kohm", "junk", "junk" }, { "PRV-.4700_1", "PRV??" } },
        { 3, { "5V", "1V", "junk" }, { "PCV+05.000_2,+1.0000_1", "PCV??" } },
        { 4, { "-200mV", "0.5V", "20S" }, { "PTV-200.00_0,+0.5000_1,0000020", "PTV??" } },
        { 4, { "1V", "0.5V", " 2 S " }, { "PTV+1.0000_1,+0.5000_1,0000002", "PTV??" } },
    };
    for (const Case& c : cases) {
        scene.ShowTab(c.tab);
        scene.OpenSetUp();
        scene.Type(c.typed);
        scene.Set();
        EXPECT_EQ(scene.Received(), c.sent) << c.typed[0];
        EXPECT_FALSE(scene.program.setup.Shown()) << c.typed[0];
    }
    EXPECT_EQ(scene.prompts.Calls().size(), 0u);
}

// As a new user: SetUp in each mode, a value in each field, Set; the meter keeps what was typed and
// its answer shows in the window. Opening the panel again offers the meter's values, and setting
// them unchanged sends the same command: the values go round without drifting.
TEST(SetupPanel, WhatIsSetComesBackFromTheMeterIntoTheWindow)
{
    Scene scene;
    const auto setTwice = [&scene](int tab, const Fields& typed, const std::string& command) {
        scene.ShowTab(tab);
        scene.OpenSetUp();
        scene.Type(typed);
        scene.Set();
        const Commands sent { command, command.substr(0, 3) + "??" };
        EXPECT_EQ(scene.Received(), sent) << typed[0];
        scene.OpenSetUp();
        scene.Set();
        EXPECT_EQ(scene.Received(), sent) << typed[0] << ", set again as the meter answered";
    };

    setTwice(0, { "10", "20", "300" }, "PLV0000010,0000020,0000300");
    EXPECT_EQ(scene.meter.Logger(), (LoggerSettings { 10, 20, 300 }));
    EXPECT_EQ(scene.window.grdLog[3]->TextMatrix(0, 1), QStringLiteral("010"));
    EXPECT_EQ(scene.window.grdLog[1]->TextMatrix(0, 1), QStringLiteral("00020"));
    EXPECT_EQ(scene.window.grdLog[2]->TextMatrix(0, 1), QStringLiteral("00300"));

    setTwice(2, { "12.5mV", "", "" }, "PRV+012.50_0");
    EXPECT_EQ(scene.meter.RelativeReference(), (SetupCode { 12.5, 0 }));
    EXPECT_EQ(scene.program.state.vu.readingText[1], QStringLiteral("  012.50mV "));

    setTwice(3, { "5V", "-1.25V", "" }, "PCV+05.000_2,-1.2500_1");
    EXPECT_EQ(scene.meter.HighLimit(), (SetupCode { 5.0, 2 }));
    EXPECT_EQ(scene.meter.LowLimit(), (SetupCode { -1.25, 1 }));
    EXPECT_EQ(scene.program.state.vu.readingText[1], QStringLiteral("  05.000V  "));
    EXPECT_EQ(scene.program.state.vu.readingText[2], QStringLiteral(" -1.2500V  "));

    setTwice(4, { "-200mV", "50mV", "10S" }, "PTV-200.00_0,+050.00_0,0000010");
    EXPECT_EQ(scene.meter.Trend(), (TrendSettings { { -200, 0 }, { 50, 0 }, 10 }));
    EXPECT_EQ(scene.window.lblTrd[0]->text(), QStringLiteral("  -200.00mV"));
    EXPECT_EQ(scene.window.lblTrd[1]->text(), QStringLiteral("    50.00mV"));
    EXPECT_EQ(scene.window.lblTrd[2]->text(), QStringLiteral("10"));

    EXPECT_EQ(scene.prompts.Calls().size(), 0u);
    EXPECT_FALSE(scene.program.setup.Shown());
}

// The labels of a trend plot never answered for are "-200.00mVdc", " 200.00mVdc" and "20S": "mVdc"
// is not "mV", so they are read as volts, and the time per division as 20 seconds.
TEST(SetupPanel, TrendSetupEncodesTheLabelsItIsFilledWith)
{
    testing::ProgramFixture fixture;
    fixture.StartQuietly(true);
    fixture.window().SSTab1->setCurrentIndex(4);
    fixture.Sent();
    fixture.window().cmdFun[0]->click();
    EXPECT_EQ(fixture.window().txtSup[3]->text(), QStringLiteral("20S"));
    fixture.window().cmdSup[0]->click();
    EXPECT_EQ(fixture.Sent(), (Commands { "PTV-200.00_3,+200.00_3,0000020", "PTV??" }));
}

TEST(SetupPanel, AFieldThatCannotBeSentStopsSetAndIsMarkedUntilCorrected)
{
    Scene scene;
    scene.ShowTab(3);
    scene.OpenSetUp();
    scene.Type({ "2V", "1V", "" });
    scene.Set();
    ASSERT_EQ(scene.meter.HighLimit(), (SetupCode { 2.0, 1 }));

    struct Case {
        Fields typed;
        std::vector<const char*> named; // captions and typed texts the message must show
        int tab;
        std::array<bool, 3> marked;
        bool unitsListed;
    };
    const Case cases[] = {
        // After a value was accepted, a lower-case unit must not send that value again.
        { { "5 v", "1V", "" }, { "Hi Limit: \"5 v\"" }, 3, { true, false, false }, true },
        { { "1V", "500kohm", "" }, { "Lo Limit: \"500kohm\"" }, 3, { false, true, false }, true },
        { { "  ", "", "" }, { "Reference: \"\"" }, 2, { true, false, false }, true },
        { { "10", "abc", "" }, { "Start Address: \"abc\"", "Stop Address: \"\"" }, 0, { false, true, true },
            false },
        { { "1V", "12.5", "20mS" }, { "V/DIV: \"12.5\"", "H/DIV: \"20mS\"" }, 4, { false, true, true },
            true },
    };
    for (const Case& c : cases) {
        if (scene.program.setup.Shown()) {
            scene.window.cmdSup[1]->click();
        }
        scene.ShowTab(c.tab);
        scene.prompts.Clear();
        scene.OpenSetUp();
        scene.Type(c.typed);
        scene.Set();
        EXPECT_TRUE(scene.Received().empty()) << c.named[0];
        EXPECT_TRUE(scene.program.setup.Shown()) << c.named[0];
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(scene.Marked(i + 1), c.marked[i]) << c.named[0] << " field " << i + 1;
        }
        ASSERT_EQ(scene.prompts.Count(Kind::Ok), 1) << c.named[0];
        ASSERT_EQ(scene.prompts.Calls().size(), 1u);
        const QString message = scene.prompts.Texts(Kind::Ok).front();
        for (const char* named : c.named) {
            EXPECT_TRUE(message.contains(QString::fromLatin1(named))) << message.toStdString();
        }
        EXPECT_EQ(message.contains(QString::fromStdString(AcceptedSetupValues())), c.unitsListed)
            << message.toStdString();
    }
    EXPECT_EQ(scene.meter.HighLimit(), (SetupCode { 2.0, 1 }));
    EXPECT_EQ(scene.meter.Trend(), TrendSettings {});

    // Still in the trend panel: corrected, the marks go and the values are sent.
    scene.Type({ "1V", "0.5V", "20" });
    scene.Set();
    EXPECT_FALSE(scene.Marked(2) || scene.Marked(3));
    EXPECT_EQ(scene.Received(), (Commands { "PTV+1.0000_1,+0.5000_1,0000020", "PTV??" }));
    EXPECT_FALSE(scene.program.setup.Shown());

    // Opening the panel clears marks left by a panel closed without sending.
    scene.OpenSetUp();
    scene.Type({ "1", "2", "3" });
    scene.Set();
    ASSERT_TRUE(scene.Marked(1));
    scene.window.cmdSup[1]->click();
    scene.OpenSetUp();
    EXPECT_FALSE(scene.Marked(1) || scene.Marked(2) || scene.Marked(3));
}

TEST(SetupPanel, ExitTabsAndFunctionsCloseThePanelWithoutSendingIt)
{
    Scene scene;
    scene.ShowTab(3);
    const SetupCode high = scene.meter.HighLimit();
    const auto sentLimits = [&scene] {
        for (const std::string& frame : scene.Received()) {
            if (frame.rfind("PCV", 0) == 0 && frame != "PCV??" && frame != "PCV??,PST??") {
                return true;
            }
        }
        return false;
    };

    scene.OpenSetUp();
    scene.Type({ "9V", "1V", "" });
    scene.window.cmdSup[1]->click();
    EXPECT_FALSE(scene.program.setup.Shown());
    EXPECT_TRUE(scene.Received().empty());
    EXPECT_EQ(scene.program.setup.setupKind, QStringLiteral("PCV"));

    scene.OpenSetUp();
    scene.Type({ "9V", "1V", "" });
    scene.window.SSTab1->setCurrentIndex(2);
    EXPECT_FALSE(scene.program.setup.Shown());
    EXPECT_FALSE(sentLimits());

    scene.ShowTab(3);
    scene.OpenSetUp();
    scene.Type({ "9V", "1V", "" });
    scene.window.cmb[1]->setCurrentIndex(1);
    EXPECT_FALSE(scene.program.setup.Shown());
    EXPECT_FALSE(sentLimits());
    EXPECT_EQ(scene.meter.HighLimit(), high);
}

// The engine model in the Trend Plot tab: with "RPM/IG" and Prog off, SetUp shows the vehicle
// information form, which has no parameter command: Set sends nothing and closes it.
TEST(SetupPanel, VehicleFormSendsNothingAndKeepsTheKindOfTheModePanel)
{
    constexpr int RpmIg = 12;
    Scene scene(MeterVariant::Motor, 0, 4);
    ASSERT_EQ(scene.window.SSTab1->currentIndex(), 4);
    scene.OpenSetUp();
    const std::array<QString, 3> trendFields { scene.Field(1), scene.Field(2), scene.Field(3) };
    scene.window.cmdSup[1]->click();

    scene.window.cmb[1]->setCurrentIndex(RpmIg);
    ASSERT_EQ(scene.window.cmb[1]->currentText(), QStringLiteral("RPM/IG"));
    ASSERT_EQ(BackColour(scene.window.cmdFun[1]), colour::ButtonFace);
    const TrendSettings trend = scene.meter.Trend();
    scene.Received();

    scene.OpenSetUp();
    ASSERT_TRUE(scene.program.setup.Shown());
    const std::array<const char*, 4> captions { "Vehicle Inform", "CYLINDER", "STROKE", "TRIGGER" };
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(scene.window.lblSup[i]->text(), QString::fromLatin1(captions[i]));
    }
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(scene.Field(i + 1), trendFields[i]);
    }
    EXPECT_FALSE(scene.window.chkDli->isHidden());
    EXPECT_TRUE(scene.window.panIg->isHidden());
    EXPECT_EQ(HeightTwips(scene.window.picSup), SetupPanel::VehicleHeightTwips);
    EXPECT_EQ(scene.program.setup.setupKind, QStringLiteral("PTV"));

    scene.Type({ "4", "4", "abc" });
    scene.Set();
    EXPECT_FALSE(scene.program.setup.Shown());
    EXPECT_TRUE(scene.Received().empty());
    EXPECT_EQ(scene.prompts.Calls().size(), 0u);
    EXPECT_EQ(scene.meter.Trend(), trend);

    // Back on a measuring function the trend panel sends again.
    scene.window.cmb[1]->setCurrentIndex(0);
    scene.OpenSetUp();
    EXPECT_TRUE(scene.window.chkDli->isHidden());
    scene.Type({ "1V", "0.5V", "20" });
    scene.Received();
    scene.Set();
    EXPECT_EQ(scene.Received(), (Commands { "PTV+1.0000_1,+0.5000_1,0000020", "PTV??" }));
}

} // namespace
} // namespace pelicard
