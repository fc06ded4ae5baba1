// The setup panel on the virtual meter: values typed and set, the meter's answer offered again,
// fields that cannot be sent, closing without sending, and the vehicle information form.

#include "support/VirtualProgram.h"
#include "values/Colours.h"
#include "values/SetupValue.h"
#include "window/ControlColours.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>

namespace pelicard {
namespace {

using Commands = std::vector<std::string>;
using Fields = std::array<const char*, 3>;

struct Scene : testing::VirtualProgram {
    using VirtualProgram::VirtualProgram;
    void Show(int tab)
    {
        window.SSTab1->setCurrentIndex(tab);
        meter.ClearReceivedCommands();
    }
    void Type(const Fields& texts)
    {
        for (std::size_t i = 0; i < texts.size(); ++i) {
            window.txtSup[i + 1]->setText(QString::fromLatin1(texts[i]));
        }
    }
    // SetUp, the fields typed, Set.
    void SetTyped(const Fields& texts)
    {
        window.cmdFun[0]->click();
        Type(texts);
        window.cmdSup[0]->click();
    }
    bool Shown() const { return program.setup.Shown(); }
    bool Marked(std::size_t i) const { return BackColour(window.txtSup[i]) != colour::SystemWindow; }
};

// The meter's answer fills the displays the panel is opened from: set again unchanged, the same
// command goes out, whatever the fields held before.
TEST(SetupPanel, SetSendsTheTypedValuesAndTheMetersAnswerIsOfferedAgain)
{
    Scene s;
    s.StartLinked();
    const struct {
        int tab;
        Fields typed;
        const char* sent;
    } cases[] = {
        { 0, { " 10 ", "20", "299.5" }, "PLV0000010,0000020,0000300" },
        { 2, { " 12.5mV ", "junk", "junk" }, "PRV+012.50_0" }, // fields without a caption are not read
        { 3, { "5V", "-1.25V", "junk" }, "PCV+05.000_2,-1.2500_1" },
        { 4, { "-200mV", "50mV", " 10 S " }, "PTV-200.00_0,+050.00_0,0000010" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sent);
        const std::string command = c.sent;
        const Commands expected { command, command.substr(0, 3) + "??" };
        s.Show(c.tab);
        s.SetTyped(c.typed);
        EXPECT_EQ(s.Received(), expected);
        EXPECT_FALSE(s.Shown());
        s.Type({ "stale", "stale", "stale" });
        s.window.cmdFun[0]->click();
        s.window.cmdSup[0]->click();
        EXPECT_EQ(s.Received(), expected) << "set again as the meter answered";
    }
    EXPECT_TRUE(s.prompts.Calls().empty());

    // Record Mode has no parameters: the panel stays hidden and forgets its kind.
    s.Show(1);
    s.program.setup.OpenSetupPanel();
    EXPECT_FALSE(s.Shown());
    EXPECT_TRUE(s.program.setup.setupKind.isEmpty());
}

TEST(SetupPanel, AFieldThatCannotBeSentStopsSetAndIsMarkedUntilCorrected)
{
    Scene s;
    s.StartLinked();
    s.Show(3);
    s.SetTyped({ "2V", "1V", "" });
    ASSERT_EQ(s.meter.HighLimit(), (SetupCode { 2.0, 1 }));

    struct Case {
        int tab;
        Fields typed;
        std::vector<const char*> named; // captions and typed texts the message must show
        std::array<bool, 3> marked;
        bool unitsListed;
    };
    const Case cases[] = {
        // After a value was accepted, a lower-case unit must not send that value again.
        { 3, { "5 v", "1V", "" }, { "Hi Limit: \"5 v\"" }, { true, false, false }, true },
        { 3, { "1V", "500kohm", "" }, { "Lo Limit: \"500kohm\"" }, { false, true, false }, true },
        { 2, { "  ", "", "" }, { "Reference: \"\"" }, { true, false, false }, true },
        { 0, { "10", "abc", "" }, { "Start Address: \"abc\"", "Stop Address: \"\"" }, { false, true, true },
            false },
        { 4, { "1V", "12.5", "20mS" }, { "V/DIV: \"12.5\"", "H/DIV: \"20mS\"" }, { false, true, true },
            true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.named[0]);
        s.window.cmdSup[1]->click();
        s.Show(c.tab);
        s.prompts.Clear();
        s.SetTyped(c.typed);
        EXPECT_TRUE(s.Received().empty());
        EXPECT_TRUE(s.Shown());
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(s.Marked(i + 1), c.marked[i]) << "field " << i + 1;
        }
        ASSERT_EQ(s.prompts.Calls().size(), 1u);
        const QString message = s.prompts.Texts(PromptRecorder::Kind::Ok).value(0);
        for (const char* named : c.named) {
            EXPECT_TRUE(message.contains(QString::fromLatin1(named))) << message.toStdString();
        }
        EXPECT_EQ(message.contains(QString::fromStdString(AcceptedSetupValues())), c.unitsListed);
    }

    // Still in the trend panel: corrected, the marks go and the values are sent.
    s.Type({ "1V", "0.5V", "20" });
    s.window.cmdSup[0]->click();
    EXPECT_FALSE(s.Marked(2) || s.Marked(3));
    EXPECT_EQ(s.Received(), (Commands { "PTV+1.0000_1,+0.5000_1,0000020", "PTV??" }));

    // Opening the panel clears marks left by a panel closed without sending.
    s.SetTyped({ "1", "2", "3" });
    ASSERT_TRUE(s.Marked(1));
    s.window.cmdSup[1]->click();
    s.window.cmdFun[0]->click();
    EXPECT_FALSE(s.Marked(1) || s.Marked(2) || s.Marked(3));
}

TEST(SetupPanel, ExitSetUpTabsAndFunctionsCloseThePanelWithoutSendingIt)
{
    Scene s;
    s.StartLinked();
    const std::function<void(frmMain&)> closers[] = {
        [](frmMain& w) { w.cmdSup[1]->click(); },
        [](frmMain& w) { w.cmdFun[0]->click(); },
        [](frmMain& w) { w.SSTab1->setCurrentIndex(2); },
        [](frmMain& w) { w.cmb[1]->setCurrentIndex(1); },
    };
    for (std::size_t i = 0; i < std::size(closers); ++i) {
        s.Show(3);
        s.window.cmdFun[0]->click();
        ASSERT_TRUE(s.Shown());
        s.Type({ "9V", "1V", "" });
        closers[i](s.window);
        EXPECT_FALSE(s.Shown()) << i;
        for (const std::string& command : s.Received()) {
            EXPECT_TRUE(command.rfind("PCV", 0) != 0 || command.find("??") != std::string::npos) << command;
        }
    }
}

// The engine model in the Trend Plot tab: with "RPM/IG" and Prog off, SetUp shows the vehicle
// information form, which has no parameter command.
TEST(SetupPanel, TheVehicleFormSendsNothingAndKeepsTheKindOfTheModePanel)
{
    constexpr int RpmIg = 12;
    Scene s(MeterVariant::Motor);
    ASSERT_TRUE(s.meter.SetMode(4));
    s.StartLinked();
    s.window.cmdFun[0]->click();
    s.window.cmdSup[1]->click();
    s.window.cmb[1]->setCurrentIndex(RpmIg);
    ASSERT_EQ(BackColour(s.window.cmdFun[1]), colour::ButtonFace);
    s.Received();

    s.window.cmdFun[0]->click();
    ASSERT_TRUE(s.Shown());
    EXPECT_FALSE(s.window.chkDli->isHidden());
    EXPECT_TRUE(s.window.panIg->isHidden());
    EXPECT_EQ(s.program.setup.setupKind, QStringLiteral("PTV"));
    s.Type({ "4", "4", "abc" });
    s.window.cmdSup[0]->click();
    EXPECT_FALSE(s.Shown());
    EXPECT_TRUE(s.Received().empty());
    EXPECT_TRUE(s.prompts.Calls().empty());

    // Back on a measuring function the trend panel sends again.
    s.window.cmb[1]->setCurrentIndex(0);
    s.Received();
    s.SetTyped({ "1V", "0.5V", "20" });
    EXPECT_TRUE(s.window.chkDli->isHidden());
    EXPECT_EQ(s.Received(), (Commands { "PTV+1.0000_1,+0.5000_1,0000020", "PTV??" }));
}

} // namespace
} // namespace pelicard
