#include "window/frmMain.h"

#include "values/Colours.h"
#include "window/ControlColours.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

namespace pelicard {
namespace {

// The text a user reads on a control.
QString TextOf(const QWidget* widget)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return button->text() + (button->isChecked() ? QStringLiteral("[x]") : QString());
    }
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (const auto* field = qobject_cast<const QLineEdit*>(widget)) {
        return field->text();
    }
    const auto* list = qobject_cast<const QComboBox*>(widget);
    return list != nullptr ? list->currentText() : QString();
}

// Every given name of the control tree, arrays with the indexes of their elements.
QStringList GivenNames()
{
    QStringList names
        = QStringLiteral("panIg cmdGbrw txtGfn Label5 Command6 txtSpl Label4 cmdClr cmdStart grdMain "
                         "picSup chkDli picTrd grdTrd trdBar Command3 chkHold StatusBar1 SSTab1 txtEdt")
              .split(' ');
    const std::tuple<const char*, int, int> arrays[] = { { "lblIg", 0, 3 }, { "picLay", 0, 2 },
        { "cmdGrd", 0, 1 }, { "lblSup", 0, 3 }, { "txtSup", 1, 3 }, { "cmdSup", 0, 1 }, { "p1", 0, 2 },
        { "grdLog", 0, 4 }, { "Label2", 0, 5 }, { "lblTrd", 0, 2 }, { "Line1", 0, 4 }, { "Line3", 0, 6 },
        { "cmdFun", 0, 3 }, { "Picture2", 0, 1 }, { "led", 0, 1 }, { "Label1", 0, 1 }, { "Picture3", 1, 2 },
        { "cmb", 1, 2 }, { "Label3", 1, 2 }, { "CmdSys", 0, 1 } };
    for (const auto& [name, first, last] : arrays) {
        for (int index = first; index <= last; ++index) {
            names << QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
        }
    }
    return names;
}

class FrmMainTest : public ::testing::Test {
protected:
    frmMain window;
};

TEST_F(FrmMainTest, DesignTimeCaptionsAndTexts)
{
    QStringList tabs;
    for (int tab = 0; tab < window.SSTab1->count(); ++tab) {
        tabs << window.SSTab1->tabText(tab);
    }
    EXPECT_EQ(
        tabs.join('|'), QStringLiteral("Data Logger|Record Mode|Relative Mode|Compare Mode|Trend Plot"));
    EXPECT_EQ(window.SSTab1->currentIndex(), 0);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Data Logger DMM"));

    const std::map<QString, QString> texts { { "cmdGrd(0)", "Save" }, { "cmdGrd(1)", "Load" },
        { "Command6", "Print" }, { "cmdClr", "Clear" }, { "cmdStart", "Start" }, { "cmdSup(0)", "Set" },
        { "cmdSup(1)", "Exit" }, { "Command3", "Clock" }, { "chkHold", "Hold" }, { "chkDli", "D.L.I.:" },
        { "cmdFun(0)", "SetUp" }, { "cmdFun(1)", "Clear" }, { "cmdFun(2)", "Recall" },
        { "cmdFun(3)", "Start" }, { "CmdSys(0)", "Link" }, { "CmdSys(1)", "Exit" }, { "lblIg(3)", "FRQ:" },
        { "lblIg(2)", "P/W:" }, { "lblIg(1)", "000.0Hz" }, { "lblIg(0)", "0000mS" },
        { "Label5", "File Name" }, { "Label4", "Sampling(Sec):" }, { "lblSup(0)", "Logger Setup" },
        { "lblSup(1)", "Sampling Time" }, { "lblSup(2)", "Start Address" }, { "lblSup(3)", "Stop Address" },
        { "Label2(0)", "REF:" }, { "Label2(1)", "V/DIV:" }, { "Label2(3)", "H/DIV:" },
        { "Label2(2)", "REF >" }, { "Label2(4)", "+" }, { "Label2(5)", "-" }, { "lblTrd(0)", "-200.00mVdc" },
        { "lblTrd(1)", "200.00mVdc" }, { "lblTrd(2)", "20S" }, { "Label1(1)", "RX" }, { "Label1(0)", "TX" },
        { "Label3(1)", "Function" }, { "Label3(2)", "Range" }, { "txtGfn", "logger.txt" }, { "txtSpl", "1" },
        { "cmb(2)", "Auto" } };
    for (const auto& [name, text] : texts) {
        const auto* control = window.findChild<QWidget*>(name);
        ASSERT_NE(control, nullptr) << name.toStdString();
        EXPECT_EQ(TextOf(control), text) << name.toStdString();
    }
    EXPECT_EQ(window.cmb[1]->count(), 0) << "the function list is filled for the meter model";
}

TEST_F(FrmMainTest, ArraysAndTheControlsTheyAreIn)
{
    EXPECT_EQ(window.cmb[0], nullptr);
    EXPECT_EQ(window.txtSup[0], nullptr);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(window.grdLog[static_cast<std::size_t>(i)]->Index(), i);
    }
    EXPECT_EQ(window.grdMain->Index(), -1);
    EXPECT_EQ(window.led[0]->parentWidget(), window.Picture2[1]) << "led(0) transmits, in Picture2(1)";
    EXPECT_EQ(window.led[1]->parentWidget(), window.Picture2[0]);
    EXPECT_EQ(window.trdBar->parentWidget(), window.picTrd);
    EXPECT_TRUE(window.picLay[0]->isAncestorOf(window.cmb[1]));
    EXPECT_TRUE(window.picLay[2]->isAncestorOf(window.grdMain));
    for (QPushButton* link : window.CmdSys) {
        for (QGroupBox* panel : window.picLay) {
            EXPECT_FALSE(panel->isAncestorOf(link))
                << "Link and Exit stay usable while the panels are disabled";
        }
    }
}

TEST_F(FrmMainTest, StartsWithTheTimersAsDesignedAndOneDisplayArea)
{
    EXPECT_FALSE(window.tmrLog->Enabled());
    EXPECT_EQ(window.tmrLog->Interval(), 1);
    EXPECT_FALSE(window.tmrSpl->Enabled());
    EXPECT_EQ(window.tmrSpl->Interval(), 1000);
    EXPECT_TRUE(window.Timer1->Enabled());
    EXPECT_EQ(window.Timer1->Interval(), 0);
    QSignalSpy ticks(window.Timer1, &WindowTimer::Timer);
    QTest::qWait(30);
    EXPECT_EQ(ticks.count(), 0) << "Timer1 waits for its interval";

    EXPECT_FALSE(window.p1[0]->isHidden());
    EXPECT_TRUE(window.p1[1]->isHidden() && window.p1[2]->isHidden());
    EXPECT_TRUE(window.picSup->isHidden() && window.panIg->isHidden() && window.txtEdt->isHidden());
    EXPECT_GE(window.p1[0]->ScaleWidth(), 250 + 60) << "room for the gauges";
    for (const QPushButton* button : window.findChildren<QPushButton*>()) {
        EXPECT_EQ(BackColour(button), colour::ButtonFace) << button->objectName().toStdString();
    }
    EXPECT_EQ(BackColour(window.led[0]), colour::White);
}

TEST_F(FrmMainTest, PrintOfTheSamplingPanelDoesNothing)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const auto snapshot = [this] {
        QStringList state { QString::number(window.SSTab1->currentIndex()), window.StatusBar1->PanelText(1) };
        for (const QWidget* widget : window.findChildren<QWidget*>()) {
            state << QStringLiteral("%1=%2|%3|%4|%5")
                         .arg(widget->objectName(), TextOf(widget))
                         .arg(widget->isHidden())
                         .arg(widget->isEnabled())
                         .arg(BackColour(widget));
        }
        return state;
    };
    QSignalSpy closing(&window, &frmMain::closing);
    const QStringList before = snapshot();
    QTest::mouseClick(window.Command6, Qt::LeftButton);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(closing.count(), 0);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(FrmMainTest, TabChangeFromCodeTellsThePreviousTabAtOnce)
{
    QSignalSpy clicks(&window, &frmMain::tabClicked);
    window.SSTab1->setCurrentIndex(2);
    window.SSTab1->setCurrentIndex(4);
    window.SSTab1->setCurrentIndex(4);
    ASSERT_EQ(clicks.count(), 2) << "no change, no click";
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 0);
    EXPECT_EQ(clicks.at(1).at(0).toInt(), 2);
}

TEST_F(FrmMainTest, EveryControlIsNamedAndDescribed)
{
    for (const QString& name : GivenNames()) {
        const auto found = window.findChildren<QWidget*>(name);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        EXPECT_TRUE(found[0]->accessibleDescription().startsWith(name + QStringLiteral(": ")))
            << name.toStdString() << " has \"" << found[0]->accessibleDescription().toStdString() << "\"";
    }
    for (const char* name : { "tmrLog", "tmrSpl", "Timer1", "picClip" }) {
        EXPECT_NE(window.findChild<QObject*>(QLatin1String(name)), nullptr) << name;
    }
    // What a screen reader speaks: a caption, or the purpose of a control without one.
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const bool touched = qobject_cast<QAbstractButton*>(control) != nullptr
            || qobject_cast<QComboBox*>(control) != nullptr || qobject_cast<QLineEdit*>(control) != nullptr
            || qobject_cast<QTabBar*>(control) != nullptr || qobject_cast<FlexGrid*>(control) != nullptr;
        if (!touched || control->objectName().isEmpty()) {
            continue;
        }
        const auto* button = qobject_cast<QAbstractButton*>(control);
        const QString spoken = !control->accessibleName().isEmpty() ? control->accessibleName()
            : button != nullptr                                     ? button->text()
                                                                    : QString();
        EXPECT_FALSE(spoken.trimmed().isEmpty()) << control->objectName().toStdString() << " has no name";
    }
}

TEST_F(FrmMainTest, TheWindowDrawsInAProportionalFont)
{
    // A machine whose only fonts are fixed-pitch would draw every caption like a terminal.
    EXPECT_FALSE(QFontInfo(window.font()).fixedPitch()) << QFontInfo(window.font()).family().toStdString();
}

} // namespace
} // namespace pelicard
