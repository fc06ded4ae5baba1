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

    // A logger download runs while cmdFun(2) is lit on the Data Logger tab.
    bool Downloading() const;
    // Ends a download on the program's side: tmrLog off and the recall mark of cmdFun(2) cleared.
    // The rows already downloaded stay.
    void StopDownload();

private:
    frmMain& window_;
    ApiUsb& usb_;
    Transaction& link_;
    Prompts& prompts_;
};

} // namespace pelicard
