#pragma once

namespace pelicard {

class ApiUsb;
class frmMain;
class Prompts;
class Transaction;

// The two timers that talk to the meter outside the user's actions: tmrLog takes reports the meter
// sends on its own and drives the logger download; tmrSpl asks for one reading per interval.
class ReceiveLoop {
public:
    ReceiveLoop(frmMain& window, ApiUsb& usb, Transaction& link, Prompts& prompts);

    void tmrLog_Timer();
    void tmrSpl_Timer();

private:
    frmMain& window;
    ApiUsb& usb;
    Transaction& link;
    Prompts& prompts;
};

} // namespace pelicard
