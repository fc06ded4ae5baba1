#pragma once

#include <QTimer>

namespace pelicard {

class ApiUsb;
class frmMain;
class Prompts;
class Transaction;

// The two timers that talk to the meter outside the user's actions: tmrLog takes reports the meter
// sends on its own and drives the logger download; tmrSpl asks for one reading per interval.
//
// While listening finds no report, tmrLog pauses for as long as the backend says none can come
// (HidBackend::QuietMs), so a linked, idle program does not wake every millisecond; the backend's
// notifier (ResumeListening), the due time, or enabling tmrLog again resumes the ticks, and the
// first tick takes the report exactly as a tick of the running timer would.
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
    // Listening: tmrLog ticks again (from a paused wait), for when a report may have come.
    void ResumeListening();

private:
    // Pauses tmrLog for quietMs (HidBackend::NoReportDue: until resumed; 0: not at all).
    void PauseListening(int quietMs);

    frmMain& window_;
    ApiUsb& usb_;
    Transaction& link_;
    Prompts& prompts_;
    // Ends a paused listen when the next report the meter sends on its own is due.
    QTimer reportDue_;
};

} // namespace pelicard
