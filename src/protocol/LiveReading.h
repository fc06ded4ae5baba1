#pragma once

#include <QString>

namespace pelicard {

class Clock;
class RecordTable;
class ReceiveLoop;
class Transaction;
class frmMain;
struct MeterState;

// The live reading: while linked and chosen (chkLive), tmrLive asks for the reading with the
// command sampling sends, at the pace of cmbLive. The reply moves the gauges and the chart's live
// point and adds no row. It waits while sampling, a logger download, a trend or the setup panel
// runs and while the meter holds its reading, and goes on by itself after them.
class LiveReading {
public:
    LiveReading(frmMain& window, MeterState& state, Transaction& link, RecordTable& records,
        ReceiveLoop& loop, const Clock& clock);

    // Follows chkLive, cmbLive and the link: tmrLive runs at the pace while linked and chosen.
    void Update();
    void tmrLive_Timer();

    // What the live reading waits for now; empty when it reads.
    QString Waiting() const;
    // The pace chosen in cmbLive, in milliseconds.
    int PaceMs() const;
    // The setting as the settings file keeps it, "on,1000" or "off,500", and back; a text that is
    // not one leaves the controls as they are.
    QString Setting() const;
    void ApplySetting(const QString& setting);

private:
    bool Linked() const;

    frmMain& window_;
    MeterState& state_;
    Transaction& link_;
    RecordTable& records_;
    ReceiveLoop& loop_;
    const Clock& clock_;
};

} // namespace pelicard
