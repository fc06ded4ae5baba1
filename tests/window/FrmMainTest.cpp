#include "window/frmMain.h"

#include "values/Colours.h"
#include "window/Colours.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

namespace pelicard {
namespace {

QString Indexed(const char* name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

// Every given name of the control tree, with the array elements the window has.
QStringList GivenNames()
{
    QStringList names { QStringLiteral("panIg"), QStringLiteral("cmdGbrw"), QStringLiteral("txtGfn"),
        QStringLiteral("Label5"), QStringLiteral("Command6"), QStringLiteral("txtSpl"),
        QStringLiteral("Label4"), QStringLiteral("cmdClr"), QStringLiteral("cmdStart"),
        QStringLiteral("grdMain"), QStringLiteral("picSup"), QStringLiteral("chkDli"),
        QStringLiteral("picTrd"), QStringLiteral("grdTrd"), QStringLiteral("trdBar"),
        QStringLiteral("Command3"), QStringLiteral("chkHold"), QStringLiteral("StatusBar1"),
        QStringLiteral("SSTab1"), QStringLiteral("txtEdt") };
    const std::pair<const char*, std::vector<int>> arrays[] = { { "lblIg", { 0, 1, 2, 3 } },
        { "picLay", { 0, 1, 2 } }, { "cmdGrd", { 0, 1 } }, { "lblSup", { 0, 1, 2, 3 } },
        { "txtSup", { 1, 2, 3 } }, { "cmdSup", { 0, 1 } }, { "p1", { 0, 1, 2 } },
        { "grdLog", { 0, 1, 2, 3, 4 } }, { "Label2", { 0, 1, 2, 3, 4, 5 } }, { "lblTrd", { 0, 1, 2 } },
        { "Line1", { 0, 1, 2, 3, 4 } }, { "Line3", { 0, 1, 2, 3, 4, 5, 6 } }, { "cmdFun", { 0, 1, 2, 3 } },
        { "Picture2", { 0, 1 } }, { "led", { 0, 1 } }, { "Label1", { 0, 1 } }, { "Picture3", { 1, 2 } },
        { "cmb", { 1, 2 } }, { "Label3", { 1, 2 } }, { "CmdSys", { 0, 1 } } };
    for (const auto& [name, indexes] : arrays) {
        for (const int index : indexes) {
            names << Indexed(name, index);
        }
    }
    return names;
}

class FrmMainTest : public ::testing::Test {
protected:
    frmMain window;
};

TEST_F(FrmMainTest, TabsInOrder)
{
    const QStringList expected { QStringLiteral("Data Logger"), QStringLiteral("Record Mode"),
        QStringLiteral("Relative Mode"), QStringLiteral("Compare Mode"), QStringLiteral("Trend Plot") };
    ASSERT_EQ(window.SSTab1->count(), expected.size());
    for (int tab = 0; tab < expected.size(); ++tab) {
        EXPECT_EQ(window.SSTab1->tabText(tab), expected[tab]);
    }
    EXPECT_EQ(window.SSTab1->currentIndex(), 0);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Data Logger DMM"));
}

TEST_F(FrmMainTest, DesignTimeCaptionsAndTexts)
{
    const std::map<QString, QString> captions {
        { QStringLiteral("cmdGrd(0)"), QStringLiteral("Save") },
        { QStringLiteral("cmdGrd(1)"), QStringLiteral("Load") },
        { QStringLiteral("Command6"), QStringLiteral("Print") },
        { QStringLiteral("cmdClr"), QStringLiteral("Clear") },
        { QStringLiteral("cmdStart"), QStringLiteral("Start") },
        { QStringLiteral("cmdSup(0)"), QStringLiteral("Set") },
        { QStringLiteral("cmdSup(1)"), QStringLiteral("Exit") },
        { QStringLiteral("Command3"), QStringLiteral("Clock") },
        { QStringLiteral("chkHold"), QStringLiteral("Hold") },
        { QStringLiteral("chkDli"), QStringLiteral("D.L.I.:") },
        { QStringLiteral("cmdFun(0)"), QStringLiteral("SetUp") },
        { QStringLiteral("cmdFun(1)"), QStringLiteral("Clear") },
        { QStringLiteral("cmdFun(2)"), QStringLiteral("Recall") },
        { QStringLiteral("cmdFun(3)"), QStringLiteral("Start") },
        { QStringLiteral("CmdSys(0)"), QStringLiteral("Link") },
        { QStringLiteral("CmdSys(1)"), QStringLiteral("Exit") },
    };
    for (const auto& [name, caption] : captions) {
        auto* button = window.findChild<QAbstractButton*>(name);
        ASSERT_NE(button, nullptr) << name.toStdString();
        EXPECT_EQ(button->text(), caption) << name.toStdString();
    }

    const std::map<QString, QString> labels {
        { QStringLiteral("lblIg(3)"), QStringLiteral("FRQ:") },
        { QStringLiteral("lblIg(2)"), QStringLiteral("P/W:") },
        { QStringLiteral("lblIg(1)"), QStringLiteral("000.0Hz") },
        { QStringLiteral("lblIg(0)"), QStringLiteral("0000mS") },
        { QStringLiteral("Label5"), QStringLiteral("File Name") },
        { QStringLiteral("Label4"), QStringLiteral("Sampling(Sec):") },
        { QStringLiteral("lblSup(0)"), QStringLiteral("Logger Setup") },
        { QStringLiteral("lblSup(1)"), QStringLiteral("Sampling Time") },
        { QStringLiteral("lblSup(2)"), QStringLiteral("Start Address") },
        { QStringLiteral("lblSup(3)"), QStringLiteral("Stop Address") },
        { QStringLiteral("Label2(0)"), QStringLiteral("REF:") },
        { QStringLiteral("Label2(1)"), QStringLiteral("V/DIV:") },
        { QStringLiteral("Label2(3)"), QStringLiteral("H/DIV:") },
        { QStringLiteral("Label2(2)"), QStringLiteral("REF >") },
        { QStringLiteral("Label2(4)"), QStringLiteral("+") },
        { QStringLiteral("Label2(5)"), QStringLiteral("-") },
        { QStringLiteral("lblTrd(0)"), QStringLiteral("-200.00mVdc") },
        { QStringLiteral("lblTrd(1)"), QStringLiteral("200.00mVdc") },
        { QStringLiteral("lblTrd(2)"), QStringLiteral("20S") },
        { QStringLiteral("Label1(1)"), QStringLiteral("RX") },
        { QStringLiteral("Label1(0)"), QStringLiteral("TX") },
        { QStringLiteral("Label3(1)"), QStringLiteral("Function") },
        { QStringLiteral("Label3(2)"), QStringLiteral("Range") },
    };
    for (const auto& [name, text] : labels) {
        auto* label = window.findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr) << name.toStdString();
        EXPECT_EQ(label->text(), text) << name.toStdString();
    }

    EXPECT_EQ(window.txtGfn->text(), QStringLiteral("logger.txt"));
    EXPECT_EQ(window.txtSpl->text(), QStringLiteral("1"));
    EXPECT_EQ(window.cmb[2]->currentText(), QStringLiteral("Auto"));
    EXPECT_EQ(window.cmb[1]->count(), 0) << "the function list is filled for the meter model";
}

TEST_F(FrmMainTest, ArraysMatchTheirNamesAndMissingElementsAreNull)
{
    EXPECT_EQ(window.cmb[0], nullptr);
    EXPECT_EQ(window.txtSup[0], nullptr);
    EXPECT_EQ(window.Label3[0], nullptr);
    EXPECT_EQ(window.Picture3[0], nullptr);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(window.grdLog[static_cast<std::size_t>(i)]->objectName(), Indexed("grdLog", i));
        EXPECT_EQ(window.grdLog[static_cast<std::size_t>(i)]->Index(), i);
    }
    EXPECT_EQ(window.grdMain->Index(), -1);
    EXPECT_EQ(window.grdTrd->Index(), -1);
    EXPECT_EQ(window.led[0]->parentWidget(), window.Picture2[1]) << "led(0) transmits, in Picture2(1)";
    EXPECT_EQ(window.led[1]->parentWidget(), window.Picture2[0]);
    EXPECT_EQ(window.cmb[2]->parentWidget(), window.Picture3[2]);
    EXPECT_EQ(window.picTrd->parentWidget(), window.p1[2]);
    EXPECT_EQ(window.trdBar->parentWidget(), window.picTrd);
    EXPECT_EQ(window.grdLog[4]->parentWidget(), window.p1[1]);
    EXPECT_TRUE(window.picLay[0]->isAncestorOf(window.cmb[1]));
    EXPECT_TRUE(window.picLay[1]->isAncestorOf(window.cmdFun[3]));
    EXPECT_TRUE(window.picLay[2]->isAncestorOf(window.grdMain));
    for (QPushButton* link : window.CmdSys) {
        for (QGroupBox* panel : window.picLay) {
            EXPECT_FALSE(panel->isAncestorOf(link))
                << "Link and Exit stay usable while the panels are disabled";
        }
    }
}

TEST_F(FrmMainTest, TimersAsDesigned)
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
}

TEST_F(FrmMainTest, OneDisplayAreaAndNoPanelsAtStart)
{
    EXPECT_FALSE(window.p1[0]->isHidden());
    EXPECT_TRUE(window.p1[1]->isHidden());
    EXPECT_TRUE(window.p1[2]->isHidden());
    EXPECT_TRUE(window.picSup->isHidden());
    EXPECT_TRUE(window.panIg->isHidden());
    EXPECT_TRUE(window.txtEdt->isHidden());
    EXPECT_EQ(window.trdBar->minimum(), 0);
    EXPECT_EQ(window.trdBar->maximum(), 120);
    EXPECT_EQ(window.trdBar->value(), 0);
}

TEST_F(FrmMainTest, DisplayAreasShareOnePlace)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QPoint centre;
    for (std::size_t shown = 0; shown < 3; ++shown) {
        for (std::size_t area = 0; area < 3; ++area) {
            window.p1[area]->setVisible(area == shown);
        }
        QCoreApplication::processEvents();
        const QPoint here = window.p1[shown]->geometry().center();
        if (shown == 0) {
            centre = here;
        }
        EXPECT_LE((here - centre).manhattanLength(), 1) << "area " << shown;
    }
}

TEST_F(FrmMainTest, MeterAreaHoldsTheThreeGaugesAndTrendPictureTheWholePlot)
{
    EXPECT_EQ(window.p1[0]->ScaleMode(), PictureScale::Pixels);
    EXPECT_GE(window.p1[0]->ScaleWidth(), 250 + 60);
    EXPECT_GE(window.p1[0]->ScaleHeight(), 155 + 60);
    EXPECT_EQ(window.picTrd->ScaleMode(), PictureScale::Twips);
    EXPECT_GE(window.picTrd->ScaleWidth(), 4500);
    EXPECT_GE(window.picTrd->ScaleHeight(), 1000);
}

TEST_F(FrmMainTest, ButtonsStartWithTheButtonFaceAndLampsWhite)
{
    const auto buttons = window.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 15);
    for (const QPushButton* button : buttons) {
        EXPECT_EQ(BackColour(button), colour::ButtonFace) << button->objectName().toStdString();
    }
    EXPECT_EQ(BackColour(window.led[0]), colour::White);
    EXPECT_EQ(BackColour(window.led[1]), colour::White);
}

// Every visible property a user could notice, per named control.
std::map<QString, QString> Snapshot(const frmMain& window)
{
    std::map<QString, QString> state;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->objectName().isEmpty()) {
            continue;
        }
        QString text;
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            text = button->text() + (button->isChecked() ? QStringLiteral("[x]") : QString());
        } else if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            text = label->text();
        } else if (const auto* field = qobject_cast<const QLineEdit*>(widget)) {
            text = field->text();
        } else if (const auto* list = qobject_cast<const QComboBox*>(widget)) {
            text = list->currentText();
        }
        state[widget->objectName()] = QStringLiteral("%1|%2|%3|%4")
                                          .arg(text)
                                          .arg(widget->isHidden())
                                          .arg(widget->isEnabled())
                                          .arg(BackColour(widget));
    }
    state[QStringLiteral("tab")] = QString::number(window.SSTab1->currentIndex());
    state[QStringLiteral("status")] = window.StatusBar1->PanelText(1) + window.StatusBar1->PanelText(3);
    return state;
}

TEST_F(FrmMainTest, PrintOfTheSamplingPanelDoesNothing)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QSignalSpy closing(&window, &frmMain::closing);
    QSignalSpy tabs(&window, &frmMain::tabClicked);
    const auto before = Snapshot(window);
    QTest::mouseClick(window.Command6, Qt::LeftButton);
    EXPECT_EQ(Snapshot(window), before);
    EXPECT_EQ(closing.count(), 0);
    EXPECT_EQ(tabs.count(), 0);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(FrmMainTest, TabChangeFromCodeTellsThePreviousTabAtOnce)
{
    QSignalSpy clicks(&window, &frmMain::tabClicked);
    window.SSTab1->setCurrentIndex(2);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 0);
    window.SSTab1->setCurrentIndex(4);
    ASSERT_EQ(clicks.count(), 2);
    EXPECT_EQ(clicks.at(1).at(0).toInt(), 2);
    window.SSTab1->setCurrentIndex(4);
    EXPECT_EQ(clicks.count(), 2) << "no change, no click";
}

TEST_F(FrmMainTest, ClosingAndActivationAreReported)
{
    QSignalSpy closing(&window, &frmMain::closing);
    QSignalSpy activated(&window, &frmMain::activated);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_GE(activated.count(), 1);
    window.close();
    EXPECT_EQ(closing.count(), 1);
}

TEST_F(FrmMainTest, EscInTheHiddenEditorHidesItAgain)
{
    window.show();
    window.txtEdt->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(window.txtEdt, Qt::Key_Escape);
    EXPECT_TRUE(window.txtEdt->isHidden());
}

TEST_F(FrmMainTest, ClicksOfTheLoggerGridsTellTheirIndex)
{
    window.show();
    window.p1[0]->hide();
    window.p1[1]->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QSignalSpy clicks(window.grdLog[3], &FlexGrid::Click);
    auto* bar = window.grdLog[3]->findChild<QTableView*>(QStringLiteral("fixedRow"));
    ASSERT_NE(bar, nullptr);
    QTest::mouseClick(
        bar->viewport(), Qt::LeftButton, {}, bar->visualRect(bar->model()->index(0, 1)).center());
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 3);
    EXPECT_EQ(window.grdLog[3]->Col(), 1);
}

TEST_F(FrmMainTest, EveryGivenNameIsOneControlWithADescription)
{
    const QStringList names = GivenNames();
    EXPECT_EQ(names.size(), 85);
    for (const QString& name : names) {
        const auto found = window.findChildren<QWidget*>(name);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        EXPECT_TRUE(found[0]->accessibleDescription().startsWith(name + QStringLiteral(": ")))
            << name.toStdString() << " has \"" << found[0]->accessibleDescription().toStdString() << "\"";
    }
    for (const char* name : { "tmrLog", "tmrSpl", "Timer1", "picClip" }) {
        EXPECT_NE(window.findChild<QObject*>(QLatin1String(name)), nullptr) << name;
    }
}

TEST_F(FrmMainTest, EveryControlInTheTreeIsNamedAndDescribed)
{
    int walked = 0;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(widget) != nullptr
            || qobject_cast<QLabel*>(widget) != nullptr || qobject_cast<QLineEdit*>(widget) != nullptr
            || qobject_cast<QComboBox*>(widget) != nullptr || qobject_cast<FlexGrid*>(widget) != nullptr
            || qobject_cast<PictureBox*>(widget) != nullptr || qobject_cast<QProgressBar*>(widget) != nullptr
            || qobject_cast<QTabBar*>(widget) != nullptr || qobject_cast<Lamp*>(widget) != nullptr;
        // The parts that make up a grid, a list or the tab bar belong to their control.
        bool part = false;
        for (QWidget* up = widget->parentWidget(); up != nullptr; up = up->parentWidget()) {
            part = part || qobject_cast<FlexGrid*>(up) != nullptr || qobject_cast<QComboBox*>(up) != nullptr
                || qobject_cast<QTabBar*>(up) != nullptr;
        }
        if (!control || part) {
            continue;
        }
        ++walked;
        const QString name = widget->objectName();
        EXPECT_FALSE(name.isEmpty()) << widget->metaObject()->className();
        EXPECT_TRUE(widget->accessibleDescription().startsWith(name + QStringLiteral(": ")))
            << name.toStdString();
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(label);
            ASSERT_NE(accessible, nullptr);
            EXPECT_EQ(accessible->text(QAccessible::Name), label->text()) << name.toStdString();
        }
    }
    EXPECT_GT(walked, 60);
}

} // namespace
} // namespace pelicard
