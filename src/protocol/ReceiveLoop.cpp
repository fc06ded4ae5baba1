#include "protocol/ReceiveLoop.h"

#include "link/ApiUsb.h"
#include "link/Transaction.h"
#include "values/Colours.h"
#include "values/Commands.h"
#include "window/Colours.h"
#include "window/Prompts.h"
#include "window/frmMain.h"

namespace pelicard {

ReceiveLoop::ReceiveLoop(frmMain& window, ApiUsb& usb, Transaction& link, Prompts& prompts)
    : window(window)
    , usb(usb)
    , link(link)
    , prompts(prompts)
{ }

void ReceiveLoop::tmrLog_Timer()
{
    // A tick that comes while a message box of a transaction is open must not start another one.
    if (link.InProgress()) {
        return;
    }
    if (BackColour(window.cmdFun[2]) == colour::Lit && window.SSTab1->currentIndex() == 0) {
        link.SendCommand(command::LoggerRecordQuery);
        return;
    }
    if (!usb.deviceFound) {
        return; // listening never reopens the meter
    }
    // Reports queue up until they are read, so a look that does not wait misses none of them and
    // leaves the window free between ticks; waiting here would hold the window up to 50 ms a tick.
    if (usb.WaitForReport(0) == ReadArrived) {
        link.TakeReport();
        usb.ReadReport();
    }
}

void ReceiveLoop::tmrSpl_Timer()
{
    if (link.InProgress() || window.chkHold->isChecked()) {
        return;
    }
    link.SendCommand(command::ReadingRequest);
    prompts.Beep();
}

} // namespace pelicard
