#include "protocol/LiveReading.h"

#include "link/Transaction.h"
#include "protocol/ReceiveLoop.h"
#include "tables/RecordTable.h"
#include "values/Colours.h"
#include "values/Commands.h"
#include "window/Clock.h"
#include "window/ControlColours.h"
#include "window/MeterState.h"
#include "window/frmMain.h"

#include <QStringList>

#include <algorithm>

namespace pelicard {

namespace {
constexpr int TrendPlotTab = 4;
} // namespace

LiveReading::LiveReading(frmMain& window, MeterState& state, Transaction& link, RecordTable& records,
    ReceiveLoop& loop, const Clock& clock)
    : window_(window)
    , state_(state)
    , link_(link)
    , records_(records)
    , loop_(loop)
    , clock_(clock)
{ }

bool LiveReading::Linked() const
{
    return BackColour(window_.CmdSys[0]) == colour::Linked;
}

int LiveReading::PaceMs() const
{
    const auto& paces = frmMain::LivePacesMs;
    const int index = std::clamp(window_.cmbLive->currentIndex(), 0, static_cast<int>(paces.size()) - 1);
    return paces[static_cast<std::size_t>(index)];
}

void LiveReading::Update()
{
    const bool on = window_.chkLive->isChecked() && Linked();
    if (window_.tmrLive->Interval() != PaceMs()) {
        window_.tmrLive->SetInterval(PaceMs());
    }
    window_.tmrLive->SetEnabled(on);
    if (!window_.chkLive->isChecked()) {
        window_.lblLive->clear();
    } else if (!Linked()) {
        window_.lblLive->setText(QStringLiteral("waits for Link"));
    }
    if (!on) {
        window_.chtMain->EditModel().ClearLive();
        window_.chtMain->update();
    }
}

QString LiveReading::Waiting() const
{
    if (!Linked()) {
        return QStringLiteral("waits for Link");
    }
    if (records_.Sampling()) {
        return QStringLiteral("waits while sampling");
    }
    // A finished download keeps Recal lit until the next status; tmrLog tells that it runs.
    if (loop_.Downloading() && window_.tmrLog->Enabled()) {
        return QStringLiteral("waits for the download");
    }
    if (window_.SSTab1->currentIndex() == TrendPlotTab && BackColour(window_.cmdFun[3]) == colour::Lit) {
        return QStringLiteral("waits for the trend");
    }
    if (!window_.picSup->isHidden()) {
        return QStringLiteral("waits for the setup panel");
    }
    if (window_.chkHold->isChecked()) {
        return QStringLiteral("waits: Hold is on");
    }
    return {};
}

void LiveReading::tmrLive_Timer()
{
    // Never a second transaction on top of one that runs (or its message box).
    if (link_.InProgress()) {
        return;
    }
    const QString waiting = Waiting();
    window_.lblLive->setText(waiting);
    if (!waiting.isEmpty()) {
        return;
    }
    state_.liveReading = true;
    link_.SendCommand(command::ReadingRequest);
    state_.liveReading = false;
    loop_.ResumeListening();
    if (Linked()) {
        const double now = clock_.Now().time().msecsSinceStartOfDay() / 1000.0;
        window_.chtMain->SetLive(now, state_.vu.readingText[0]);
    }
}

QString LiveReading::Setting() const
{
    return QStringLiteral("%1,%2")
        .arg(window_.chkLive->isChecked() ? QStringLiteral("on") : QStringLiteral("off"))
        .arg(PaceMs());
}

void LiveReading::ApplySetting(const QString& setting)
{
    const QStringList parts = setting.trimmed().split(QLatin1Char(','));
    if (parts.size() != 2) {
        return;
    }
    const QString onOff = parts[0].trimmed().toLower();
    bool number = false;
    const int pace = parts[1].trimmed().toInt(&number);
    const auto& paces = frmMain::LivePacesMs;
    const auto found = std::find(paces.begin(), paces.end(), pace);
    if ((onOff != QLatin1String("on") && onOff != QLatin1String("off")) || !number || found == paces.end()) {
        return;
    }
    window_.cmbLive->setCurrentIndex(static_cast<int>(found - paces.begin()));
    window_.chkLive->setChecked(onOff == QLatin1String("on"));
}

} // namespace pelicard
