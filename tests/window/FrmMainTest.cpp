#include "window/frmMain.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace pelicard {
namespace {

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

TEST(FrmMain, EveryControlIsNamedDescribedAndSpoken)
{
    frmMain window;
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
        const auto* button = qobject_cast<QAbstractButton*>(control);
        const bool touched = button != nullptr || qobject_cast<QComboBox*>(control) != nullptr
            || qobject_cast<QLineEdit*>(control) != nullptr || qobject_cast<QTabBar*>(control) != nullptr
            || qobject_cast<FlexGrid*>(control) != nullptr;
        if (touched && !control->objectName().isEmpty()) {
            const QString spoken = !control->accessibleName().isEmpty() ? control->accessibleName()
                : button != nullptr                                     ? button->text()
                                                                        : QString();
            EXPECT_FALSE(spoken.trimmed().isEmpty()) << control->objectName().toStdString() << " has no name";
        }
    }
}

TEST(FrmMain, LinkAndExitStayOutsideThePanelsAndTheGaugesShowFirst)
{
    frmMain window;
    for (QPushButton* link : window.CmdSys) {
        for (QGroupBox* panel : window.picLay) {
            EXPECT_FALSE(panel->isAncestorOf(link))
                << "Link and Exit stay usable while the panels are disabled";
        }
    }
    EXPECT_FALSE(window.p1[0]->isHidden());
    EXPECT_TRUE(window.p1[1]->isHidden() && window.p1[2]->isHidden());
    EXPECT_GE(window.p1[0]->ScaleWidth(), 250 + 60) << "room for the gauges";
    // A machine whose only fonts are fixed-pitch would draw every caption like a terminal.
    EXPECT_FALSE(QFontInfo(window.font()).fixedPitch()) << QFontInfo(window.font()).family().toStdString();
}

TEST(FrmMain, TabChangeFromCodeTellsThePreviousTabAtOnce)
{
    frmMain window;
    QSignalSpy clicks(&window, &frmMain::tabClicked);
    window.SSTab1->setCurrentIndex(2);
    window.SSTab1->setCurrentIndex(4);
    window.SSTab1->setCurrentIndex(4);
    ASSERT_EQ(clicks.count(), 2) << "no change, no click";
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 0);
    EXPECT_EQ(clicks.at(1).at(0).toInt(), 2);
}

} // namespace
} // namespace pelicard
