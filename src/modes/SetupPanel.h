#pragma once

#include "values/SetupValue.h"

#include <QString>

namespace pelicard {

class frmMain;
class Prompts;
class Transaction;
struct MeterState;

// The setup panel picSup: the parameters of the mode shown (logger sampling time and addresses,
// relative reference, compare limits, trend reference and scales), or the vehicle information form
// of the engine functions. "Set" sends the parameters and asks the meter for them again.
//
// Fields are read with the spaces around them removed. Values with a unit (reference, limits, volts
// per division) go out as setup value codes; counts (sampling time, addresses) as whole numbers of
// at least seven digits, a fraction rounded to the nearest, halves to even. The time per division
// is a count of seconds that may carry the unit "S" the trend plot shows it with ("20S").
// A field that cannot be written so is not sent in any form: "Set" then sends nothing, marks every
// such field light red, names them in one message with what is accepted, and keeps the panel open.
// The marks go with the next "Set" and whenever the panel opens.
class SetupPanel {
public:
    static constexpr int ModeHeightTwips = 1335;
    static constexpr int VehicleHeightTwips = 1475;

    SetupPanel(frmMain& window, MeterState& state, Transaction& link, Prompts& prompts);

    // Fills the panel for the tab and function shown and shows it; in Record Mode, which has no
    // parameters, it stays hidden and setupKind is emptied.
    void OpenSetupPanel();
    // 0 "Set", 1 "Exit".
    void cmdSup_Click(int index);

    bool Shown() const;
    // Hides the panel without sending anything (tab change, function change, "SetUp" again).
    void Hide();

    // The command prefix of the kind the panel was last opened for ("PLV", "PRV", "PCV", "PTV")
    // or empty; the vehicle form leaves it as it was.
    QString setupKind;

private:
    // Sends the parameter command and the query of setupKind and hides the panel; the vehicle form
    // has nothing the meter takes and only closes.
    void Set();
    void ClearMarks();

    frmMain& window_;
    MeterState& state_;
    Transaction& link_;
    Prompts& prompts_;
    SetupValueEncoder encoder_;
    bool vehicleForm_ = false; // the panel was last opened as the vehicle information form
};

} // namespace pelicard
