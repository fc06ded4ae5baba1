#pragma once

#include "window/ChartView.h"
#include "window/CommonDialog.h"
#include "window/EditBox.h"
#include "window/FlexGrid.h"
#include "window/IconStrip.h"
#include "window/Lamp.h"
#include "window/LineShape.h"
#include "window/PictureBox.h"
#include "window/StatusBar.h"
#include "window/WindowTimer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>

#include <array>

namespace pelicard {

// The main window: its controls hold the meter state, under the names the rest of the program
// uses. It has no behaviour of its own; the program connects to the controls' signals. Control
// arrays are indexed from 0; an element the window does not have is nullptr (noted below).
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Ignition panel: frequency and pulse width, hidden at start.
    QFrame* panIg = nullptr;
    std::array<QLabel*, 4> lblIg {}; // 3 "FRQ:", 2 "P/W:", 1 "000.0Hz", 0 "0000mS"

    // 0 meter control panel, 1 mode button panel, 2 sampling record panel.
    std::array<QGroupBox*, 3> picLay {};

    // Sampling record panel.
    std::array<QPushButton*, 2> cmdGrd {}; // 0 "Save", 1 "Load"
    QPushButton* cmdGbrw = nullptr;
    QLineEdit* txtGfn = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* Command6 = nullptr; // "Print": has no action
    QLineEdit* txtSpl = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* cmdClr = nullptr;
    QPushButton* cmdStart = nullptr;
    FlexGrid* grdMain = nullptr;

    // The chart of the sampling table under the mode and sampling areas, shown with chkChart
    // (hidden at start: the window then looks as it does without it), and the live reading.
    QCheckBox* chkChart = nullptr;
    QFrame* picChart = nullptr;
    ChartView* chtMain = nullptr;
    QComboBox* cmbSpan = nullptr; // the time window: an entry of ChartSpanMinutes
    QPushButton* cmdChartReset = nullptr; // back to following the readings
    QPushButton* cmdChartSave = nullptr; // "Save PNG..."
    QPushButton* cmdChartPrint = nullptr;
    QLabel* lblChartStats = nullptr; // count, minimum, maximum and mean of the readings in view
    QCheckBox* chkLive = nullptr; // live reading while linked, off at start
    QComboBox* cmbLive = nullptr; // its pace: an entry of LivePacesMs
    QLabel* lblLive = nullptr; // what the live reading waits for
    static constexpr std::array<int, 6> ChartSpanMinutes { 0, 1, 5, 10, 30, 60 }; // 0: all readings
    static constexpr std::array<int, 4> LivePacesMs { 500, 1000, 2000, 5000 };
    // Shows or hides the chart pane; the window grows or shrinks by its height where it can.
    void ShowChart(bool shown);

    // Setup panel, hidden at start.
    QFrame* picSup = nullptr;
    std::array<QLabel*, 4> lblSup {};
    std::array<QLineEdit*, 4> txtSup {}; // txtSup[0] is nullptr
    std::array<QPushButton*, 2> cmdSup {}; // 0 "Set", 1 "Exit"
    QCheckBox* chkDli = nullptr;

    // Display areas in one place, one visible at a time: 0 meters (pixels), 1 logger, 2 trend.
    std::array<PictureBox*, 3> p1 {};
    // 0 file bar, 1 start address, 2 stop address, 3 sampling time, 4 logger memory table.
    std::array<FlexGrid*, 5> grdLog {};

    // Trend plot (in twips) and its file bar.
    PictureBox* picTrd = nullptr;
    FlexGrid* grdTrd = nullptr;
    QProgressBar* trdBar = nullptr; // 0 to 120, one step per trend index
    std::array<QLabel*, 6> Label2 {};
    std::array<QLabel*, 3> lblTrd {}; // reference, volts per division, time per division
    std::array<LineShape*, 5> Line1 {}; // horizontal grid lines
    std::array<LineShape*, 7> Line3 {}; // vertical grid lines

    // Mode button panel.
    QPushButton* Command3 = nullptr; // "Clock"
    QCheckBox* chkHold = nullptr;
    std::array<QPushButton*, 4> cmdFun {};

    // Meter control panel. Picture3[0], cmb[0] and Label3[0] are nullptr.
    std::array<QWidget*, 2> Picture2 {};
    std::array<Lamp*, 2> led {}; // 0 transmit, 1 receive
    std::array<QLabel*, 2> Label1 {}; // 0 "TX", 1 "RX"
    std::array<QWidget*, 3> Picture3 {};
    std::array<QComboBox*, 3> cmb {}; // 1 function, 2 range
    std::array<QLabel*, 3> Label3 {};

    // tmrLog: off, 1 ms. tmrSpl: off, 1000 ms. Timer1: enabled with interval 0 (silent).
    // tmrLive: off, 1000 ms: one live reading per tick.
    WindowTimer* tmrLog = nullptr;
    WindowTimer* tmrSpl = nullptr;
    WindowTimer* tmrLive = nullptr;
    WindowTimer* Timer1 = nullptr;

    CommonDialog dlgopen;
    StatusBar* StatusBar1 = nullptr;
    std::array<QPushButton*, 2> CmdSys {}; // 0 "Link", 1 "Exit"
    QTabBar* SSTab1 = nullptr;
    EditBox* txtEdt = nullptr; // never shown
    IconStrip* picClip = nullptr;

signals:
    // The window is asked to close (close box, system, or close() from code).
    void closing();
    void activated();
    // The mode tab changed, by the user or from code; the new tab is SSTab1's current index.
    void tabClicked(int previousTab);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* BuildMeterPanel();
    QWidget* BuildModeColumn();
    QWidget* BuildDisplayArea();
    void BuildLoggerArea();
    void BuildTrendArea();
    void BuildSetupPanel();
    QWidget* BuildIgnitionPanel();
    QWidget* BuildSamplingPanel();
    QWidget* BuildChartPane();
    void BuildTimers();

    int previousTab_ = 0;
    int chartRoom_ = 0; // the height the window grew by when the chart was shown
};

} // namespace pelicard
