#pragma once

#include <QString>

namespace pelicard {

class frmMain;

// The logger memory table grdLog(4): its reset and the rows a download writes.
class LoggerTable {
public:
    static constexpr const char* EndOfData = "--EOD---";

    explicit LoggerTable(frmMain& window);

    // Eight empty rows under the headers, row 1 at the top, logRow 1, and the file bar's loaded-file
    // mark cleared.
    void ResetLoggerTable();
    // Writes one downloaded record into row logRow and moves on. Returns true for the end-of-data
    // record, which is written like any other. Records past the table's limit are not written.
    bool AddRecord(const QString& address, const QString& time, const QString& reading);

    // The row into which the next downloaded record goes.
    int logRow = 1;

private:
    // How far a download has come, in panel 2 of the status bar.
    void ShowProgress(bool endOfData);

    frmMain& window_;
};

} // namespace pelicard
