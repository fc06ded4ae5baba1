#include "modes/ModeControls.h"

#include "link/Transaction.h"
#include "meter/VuPanel.h"
#include "values/Colours.h"
#include "values/Commands.h"
#include "values/Functions.h"
#include "window/ControlColours.h"
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
    // A screen reader names a button without a caption after its group otherwise.
    button->setAccessibleName(
        caption[0] != '\0' ? QString::fromLatin1(caption) : QStringLiteral("unused mode function"));
}

} // namespace

ModeControls::ModeControls(frmMain& window, MeterState& state, Transaction& link, VuPanel& gauges)
    : window_(window)
    , state_(state)
    , link_(link)
    , gauges_(gauges)
{ }

int ModeControls::Tab() const
{
    return window_.SSTab1->currentIndex();
}

void ModeControls::Send(const std::string& command)
{
    link_.SendCommand(command);
}

void ModeControls::ApplyModeTab(int /*previousTab*/)
{
    if (!window_.picSup->isHidden()) {
        window_.picSup->hide();
    }
    if (!state_.fromMeter) {
        if (const auto mode = command::BuildModeCommand(Tab())) {
            Send(*mode);
        }
    }
    for (int k = 1; k <= 3; ++k) {
        SetBackColour(window_.cmdFun[static_cast<std::size_t>(k)], colour::ButtonFace);
    }
    state_.vu.recordStamp = {};
    for (std::size_t k = 0; k < 3; ++k) {
        state_.vu.readingText[k].clear();
        gauges_.vuMeters()[k].SetNeedleValue(0);
    }

    const int tab = Tab();
    if (tab >= 0 && tab <= 4) {
        const TabView& view = TabViews[tab];
        state_.vu.ModeCaption
            = { QString::fromLatin1(view.captions[0]), QString::fromLatin1(view.captions[1]) };
        for (std::size_t k = 0; k < 4; ++k) {
            SetButton(window_.cmdFun[k], view.buttons[k]);
        }
        for (int area = 0; area < 3; ++area) {
            window_.p1[static_cast<std::size_t>(area)]->setVisible(area == view.area);
        }
        state_.pendingCommand = QString::fromStdString(std::string(command::ParameterQueryForTab(tab)));
    }
    if (!state_.pendingCommand.isEmpty()) {
        state_.pendingCommand += QStringLiteral(",PST??");
    } else {
        state_.pendingCommand = QStringLiteral("PST??");
    }
    if (!state_.fromMeter) {
        Send(state_.pendingCommand.toStdString());
    }
    window_.panIg->hide();

    const int shown = Tab();
    if (shown >= 1 && shown <= 3) {
        const QString function = window_.cmb[1]->currentText();
        const bool progInactive = BackColour(window_.cmdFun[1]) == colour::ButtonFace;
        if (function == QLatin1String("OHM")) {
            SetButton(window_.cmdFun[1], "Beep");
        }
        if (function == QLatin1String("RPM/IG")) {
            SetButton(window_.cmdFun[1], "Prog");
            if (progInactive) {
                state_.vu.ModeCaption = { QStringLiteral("DUTY"), QStringLiteral("DWELL") };
                window_.panIg->show();
            }
        } else if (function == QLatin1String("RPM/IP")) {
            SetButton(window_.cmdFun[1], "Prog");
            if (progInactive) {
                state_.vu.ModeCaption = { QStringLiteral("FREQ"), QString() };
            }
        }
    }
    vuActivate();
}

void ModeControls::cmb_Click(int index)
{
    if (!window_.picSup->isHidden()) {
        window_.picSup->hide();
    }
    if (!state_.fromMeter) {
        std::optional<std::string> text;
        if (index == 1) {
            text = command::BuildFunctionCommand(window_.cmb[1]->currentIndex());
        } else if (index == 2) {
            const QComboBox& ranges = *window_.cmb[2];
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
    SetBackColour(window_.cmdFun[2], colour::ButtonFace);
    SetBackColour(window_.cmdFun[3], colour::ButtonFace);
    if (index == 1) {
        const QString function
            = QString::fromStdString(std::string(FunctionAt(state_.modelId, window_.cmb[1]->currentIndex())));
        {
            // Showing the first range is no choice of the user's: nothing is sent for it.
            QComboBox& ranges = *window_.cmb[2];
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
    const bool on = window_.chkHold->isChecked();
    SetForeColour(window_.chkHold, on ? colour::Red : colour::Black);
    if (!state_.fromMeter) {
        Send(command::BuildHoldCommand(on));
    }
}

void ModeControls::vuActivate()
{
    state_.vu.functionText = window_.cmb[1]->currentText();
    gauges_.vuActivate(window_.p1[0]->image());
    window_.p1[0]->Refresh();
    window_.Timer1->SetInterval(5);
    window_.Timer1->SetEnabled(true);
}

} // namespace pelicard
