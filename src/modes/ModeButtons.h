#pragma once

namespace pelicard {

class frmMain;
class LoggerTable;
class ModeControls;
class SetupPanel;
class Transaction;
class TrendPlot;

// The four mode function buttons under the tabs, cmdFun(0..3): "SetUp" opens and closes the setup
// panel; the others press the meter's keys F2, F3 and F4, ask for its program status, and clear
// what the key makes stale in the program (the logger table, the trend plot, a loaded file).
class ModeButtons {
public:
    ModeButtons(frmMain& window, Transaction& link, ModeControls& modes, SetupPanel& setup,
        LoggerTable& logger, TrendPlot& trend);

    void cmdFun_Click(int index);

private:
    void ResetTablesAndPlot();
    void ResetTrend();

    frmMain& window_;
    Transaction& link_;
    ModeControls& modes_;
    SetupPanel& setup_;
    LoggerTable& logger_;
    TrendPlot& trend_;
};

} // namespace pelicard
