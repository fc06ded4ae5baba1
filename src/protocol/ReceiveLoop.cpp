#include "protocol/ReceiveLoop.h"

#include "link/ApiUsb.h"
#include "link/Transaction.h"
#include "values/Colours.h"
#include "values/Commands.h"
#include "window/ControlColours.h"
#include "window/Prompts.h"
#include "window/frmMain.h"

namespace pelicard {

ReceiveLoop::ReceiveLoop(frmMain& window, ApiUsb& usb, Transaction& link, Prompts& prompts)
    : window_(window)
    , usb_(usb)
    , link_(link)
    , prompts_(prompts)
{
    reportDue_.setSingleShot(true);
    reportDue_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&reportDue_, &QTimer::timeout, [this] { ResumeListening(); });
}

void ReceiveLoop::ResumeListening()
{
    reportDue_.stop();
    window_.tmrLog->SetPaused(false);
}

void ReceiveLoop::tmrLog_Timer()
{
    // A tick that comes while a message box of a transaction is open must not start another one.
    // Nor does it look: the transaction reads what comes meanwhile, so the ticks rest in slices
    // until it ends.
    if (link_.InProgress()) {
        PauseListening(HidBackend::WaitSliceMs);
        return;
    }
    if (Downloading()) {
        link_.SendCommand(command::LoggerRecordQuery);
        ResumeListening(); // the next record is asked for at once
        return;
    }
    if (!usb_.deviceFound) {
        return; // listening never reopens the meter
    }
    // Reports queue up until they are read, so a look that does not wait misses none of them and
    // leaves the window free between ticks; waiting here would hold the window up to 50 ms a tick.
    if (usb_.WaitForReport(0) == ReadArrived) {
        link_.TakeReport();
        usb_.ReadReport();
        return;
    }
    PauseListening(usb_.QuietMs());
}

void ReceiveLoop::PauseListening(int quietMs)
{
    if (quietMs != 0 && window_.tmrLog->Enabled()) {
        window_.tmrLog->SetPaused(true);
        if (quietMs > 0) {
            reportDue_.start(quietMs);
        }
    }
}

bool ReceiveLoop::Downloading() const
{
    return BackColour(window_.cmdFun[2]) == colour::Lit && window_.SSTab1->currentIndex() == 0;
}

void ReceiveLoop::StopDownload()
{
    window_.tmrLog->SetEnabled(false);
    if (BackColour(window_.cmdFun[2]) == colour::Lit) {
        SetBackColour(window_.cmdFun[2], colour::ButtonFace);
    }
}

void ReceiveLoop::tmrSpl_Timer()
{
    if (link_.InProgress() || window_.chkHold->isChecked()) {
        return;
    }
    link_.SendCommand(command::ReadingRequest);
    ResumeListening();
    // No beep for a reading that never went out: the loss has its own message.
    if (usb_.deviceFound) {
        prompts_.Beep();
    }
}

} // namespace pelicard
