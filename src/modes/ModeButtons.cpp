#include "modes/ModeButtons.h"

#include "link/Transaction.h"
#include "modes/ModeControls.h"
#include "modes/SetupPanel.h"
#include "tables/LoggerTable.h"
#include "trend/TrendPlot.h"
#include "values/Colours.h"
#include "values/Commands.h"
#include "window/ControlColours.h"
#include "window/TableLayouts.h"
#include "window/frmMain.h"

namespace pelicard {

namespace {
constexpr int DataLoggerTab = 0;
constexpr int TrendPlotTab = 4;
} // namespace

ModeButtons::ModeButtons(frmMain& window, Transaction& link, ModeControls& modes, SetupPanel& setup,
    LoggerTable& logger, TrendPlot& trend)
    : window_(window)
    , link_(link)
    , modes_(modes)
    , setup_(setup)
    , logger_(logger)
    , trend_(trend)
{ }

void ModeButtons::ResetTrend()
{
    window_.trdBar->setValue(0);
    trend_.ClearPlot();
}

void ModeButtons::ResetTablesAndPlot()
{
    logger_.ResetLoggerTable();
    SetLoadedMark(*window_.grdLog[0], false);
    SetLoadedMark(*window_.grdTrd, false);
    ResetTrend();
}

void ModeButtons::cmdFun_Click(int index)
{
    if (index == 0) {
        if (setup_.Shown()) {
            setup_.Hide();
        } else {
            setup_.OpenSetupPanel();
        }
        return;
    }
    if (index < 1 || index > 3) {
        return;
    }

    // What the key makes stale goes first, whether or not the meter answers.
    if (index == 1 || index == 2) {
        ResetTablesAndPlot();
    }
    const int tab = window_.SSTab1->currentIndex();
    if (tab == DataLoggerTab) {
        if (index == 3 && BackColour(window_.cmdFun[2]) == colour::Lit) {
            // "Start" during a recall ends the download on the program's side.
            SetBackColour(window_.cmdFun[2], colour::ButtonFace);
            logger_.ResetLoggerTable();
        }
        if (ShowsLoadedMark(*window_.grdLog[0])) {
            SetLoadedMark(*window_.grdLog[0], false);
            logger_.ResetLoggerTable();
        }
    } else if (tab == TrendPlotTab && index == 3) {
        if (ShowsLoadedMark(*window_.grdTrd)) {
            SetLoadedMark(*window_.grdTrd, false);
            ResetTrend();
        }
    }

    if (const auto key = command::BuildKeyCommand(index + 1)) {
        link_.SendCommand(*key);
    }
    link_.SendCommand(command::ProgramStatusQuery);
    if (window_.SSTab1->currentIndex() == DataLoggerTab) {
        window_.tmrLog->SetEnabled(true);
    }
    const QString function = window_.cmb[1]->currentText();
    if (index == 1 && (function == QLatin1String("RPM/IP") || function == QLatin1String("RPM/IG"))) {
        // The sub-reading names and the ignition panel follow the new Prog state.
        modes_.ApplyModeTab(window_.SSTab1->currentIndex());
    }
}

} // namespace pelicard
