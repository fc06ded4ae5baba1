#pragma once

#include <QDateTime>
#include <QString>

#include <vector>

namespace pelicard {

class Clock;
class frmMain;
class Prompts;

// The logger memory table grdLog(4): its reset and the rows a download writes.
class LoggerTable {
public:
    static constexpr const char* EndOfData = "--EOD---";

    LoggerTable(frmMain& window, Prompts& prompts, const Clock& clock);

    // Eight empty rows under the headers, row 1 at the top, logRow 1, and the file bar's loaded-file
    // mark cleared.
    void ResetLoggerTable();
    // Writes one downloaded record into row logRow and moves on. Returns true for the end-of-data
    // record, which is written like any other. Records past the table's limit are not written.
    bool AddRecord(const QString& address, const QString& time, const QString& reading);

    // "Export CSV..." of the records written since the last reset.
    void ExportCsv();

    // The row into which the next downloaded record goes.
    int logRow = 1;

private:
    // How far a download has come, in panel 2 of the status bar.
    void ShowProgress(bool endOfData);

    frmMain& window_;
    Prompts& prompts_;
    const Clock& clock_;
    // When each record arrived, row 1 first.
    std::vector<QDateTime> arrivedAt_;
};

} // namespace pelicard
