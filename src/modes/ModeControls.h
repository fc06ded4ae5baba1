#pragma once

#include <string>

namespace pelicard {

class frmMain;
class Transaction;
class VuPanel;
struct MeterState;

// The handlers of the controls that drive the meter's mode and function: the mode tabs, the
// function and range lists and the hold box, and the set-up of the gauges that follows them.
class ModeControls {
public:
    ModeControls(frmMain& window, MeterState& state, Transaction& link, VuPanel& gauges);

    // The tab control's click: switches the meter's mode and the view to the tab shown.
    void ApplyModeTab(int previousTab);
    // A list's selection changed (index 1 function, 2 range), by the user or from a reply.
    void cmb_Click(int index);
    void cmb_Change(int index);
    void chkHold_Click();
    // Sets up and paints the three gauges for the function and mode shown, and starts Timer1.
    void vuActivate();

private:
    int Tab() const;
    void Send(const std::string& command);

    frmMain& window_;
    MeterState& state_;
    Transaction& link_;
    VuPanel& gauges_;
};

} // namespace pelicard
