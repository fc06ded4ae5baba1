#include "modes/ModeControls.h"

#include "link/Transaction.h"
#include "meter/VuPanel.h"
#include "values/Colours.h"
#include "values/Commands.h"
#include "values/Functions.h"
#include "window/Colours.h"
#include "window/MeterState.h"
#include "window/frmMain.h"

#include <QSignalBlocker>

namespace pelicard {

namespace {

struct TabView {
    const char* captions[2];
    const char* buttons[4];
    int area;
};

// Per tab: the two sub-reading names, the four button captions ("" = disabled) and the area shown.
const TabView TabViews[] = {
    { { " ", " " }, { "SetUp", "Clear", "Recal", "Start" }, 1 },
    { { "Max", "Min" }, { "", "", "Reset", "Pause" }, 0 },
    { { "Ref", "Error" }, { "SetUp", "", "", "Pause" }, 0 },
    { { "High", "Low" }, { "SetUp", "", "", "Pause" }, 0 },
    { { "Hight", "Low" }, { "SetUp", "", "Clear", "Start" }, 2 },
};

void SetButton(QPushButton* button, const char* caption)
{
    button->setText(QString::fromLatin1(caption));
    button->setEnabled(caption[0] != '\0');
}

} // namespace

ModeControls::ModeControls(frmMain& window, MeterState& state, Transaction& link, VuPanel& gauges)
    : window(window)
    , state(state)
    , link(link)
    , gauges(gauges)
{ }

int ModeControls::Tab() const
{
    return window.SSTab1->currentIndex();
}

void ModeControls::Send(const std::string& command)
{
    link.SendCommand(command);
}

void ModeControls::ApplyModeTab(int /*previousTab*/)
{
    if (!window.picSup->isHidden()) {
        window.picSup->hide();
    }
    if (!state.fromMeter) {
        if (const auto mode = command::BuildModeCommand(Tab())) {
            Send(*mode);
        }
    }
    for (int k = 1; k <= 3; ++k) {
        SetBackColour(window.cmdFun[static_cast<std::size_t>(k)], colour::ButtonFace);
    }
    state.vu.recordStamp = {};
    for (std::size_t k = 0; k < 3; ++k) {
        state.vu.readingText[k].clear();
        gauges.vuMeters()[k].SetNeedleValue(0);
    }

    const int tab = Tab();
    if (tab >= 0 && tab <= 4) {
        const TabView& view = TabViews[tab];
        state.vu.ModeCaption
            = { QString::fromLatin1(view.captions[0]), QString::fromLatin1(view.captions[1]) };
        for (std::size_t k = 0; k < 4; ++k) {
            SetButton(window.cmdFun[k], view.buttons[k]);
        }
        for (int area = 0; area < 3; ++area) {
            window.p1[static_cast<std::size_t>(area)]->setVisible(area == view.area);
        }
        state.pendingCommand = QString::fromStdString(std::string(command::ParameterQueryForTab(tab)));
    }
    if (!state.pendingCommand.isEmpty()) {
        state.pendingCommand += QStringLiteral(",PST??");
    } else {
        state.pendingCommand = QStringLiteral("PST??");
    }
    if (!state.fromMeter) {
        Send(state.pendingCommand.toStdString());
    }
    window.panIg->hide();

    const int shown = Tab();
    if (shown >= 1 && shown <= 3) {
        const QString function = window.cmb[1]->currentText();
        const bool progInactive = BackColour(window.cmdFun[1]) == colour::ButtonFace;
        if (function == QLatin1String("OHM")) {
            window.cmdFun[1]->setText(QStringLiteral("Beep"));
            window.cmdFun[1]->setEnabled(true);
        }
        if (function == QLatin1String("RPM/IG")) {
            window.cmdFun[1]->setText(QStringLiteral("Prog"));
            window.cmdFun[1]->setEnabled(true);
            if (progInactive) {
                state.vu.ModeCaption = { QStringLiteral("DUTY"), QStringLiteral("DWELL") };
                window.panIg->show();
            }
        } else if (function == QLatin1String("RPM/IP")) {
            window.cmdFun[1]->setText(QStringLiteral("Prog"));
            window.cmdFun[1]->setEnabled(true);
            if (progInactive) {
                state.vu.ModeCaption = { QStringLiteral("FREQ"), QString() };
            }
        }
    }
    vuActivate();
}

void ModeControls::cmb_Click(int index)
{
    if (!window.picSup->isHidden()) {
        window.picSup->hide();
    }
    if (!state.fromMeter) {
        std::optional<std::string> text;
        if (index == 1) {
            text = command::BuildFunctionCommand(window.cmb[1]->currentIndex());
        } else if (index == 2) {
            const QComboBox& ranges = *window.cmb[2];
            text = command::BuildRangeCommand(
                ranges.currentIndex(), ranges.count(), ranges.currentText().toStdString());
        }
        if (text) {
            Send(*text);
        }
    }
    cmb_Change(index);
}

void ModeControls::cmb_Change(int index)
{
    SetBackColour(window.cmdFun[2], colour::ButtonFace);
    SetBackColour(window.cmdFun[3], colour::ButtonFace);
    if (index == 1) {
        const QString function
            = QString::fromStdString(std::string(FunctionAt(state.modelId, window.cmb[1]->currentIndex())));
        {
            // Showing the first range is no choice of the user's: nothing is sent for it.
            QComboBox& ranges = *window.cmb[2];
            const QSignalBlocker quiet(&ranges);
            ranges.clear();
            for (const std::string& range : RangesForFunction(function.toStdString())) {
                ranges.addItem(QString::fromStdString(range));
            }
            ranges.setCurrentIndex(ranges.count() > 0 ? 0 : -1);
        }
        ApplyModeTab(Tab());
        vuActivate();
    } else if (index == 2) {
        vuActivate();
    }
}

void ModeControls::chkHold_Click()
{
    const bool on = window.chkHold->isChecked();
    SetForeColour(window.chkHold, on ? colour::Red : colour::Black);
    if (!state.fromMeter) {
        Send(command::BuildHoldCommand(on));
    }
}

void ModeControls::vuActivate()
{
    state.vu.functionText = window.cmb[1]->currentText();
    gauges.vuActivate(window.p1[0]->image());
    window.p1[0]->Refresh();
    window.Timer1->SetInterval(5);
    window.Timer1->SetEnabled(true);
}

} // namespace pelicard
