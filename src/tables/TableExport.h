#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

namespace pelicard {

class FlexGrid;
class Prompts;
struct CommonDialog;

// A table's rows as CSV for spreadsheets and scripts (values/Export's columns), beside the program's
// own tab-separated files, which stay as they are.
struct TableExport {
    enum class Kind {
        Sampling, // grdMain: number, time of day, reading
        Logger, // grdLog(4): address, the meter's time stamp, reading
    };
    Kind kind = Kind::Sampling;
    const FlexGrid* grid = nullptr;
    int rows = 0; // rows 1 to `rows` are exported
    // When the computer took each row (row 1 first): the sampling time, or when a downloaded record
    // arrived. A row without one (loaded from a file, which keeps only the time of day) has an
    // empty timestamp.
    const std::vector<QDateTime>* takenAt = nullptr;
};

// The CSV text: a header and one line per row.
QByteArray FormatTableCsv(const TableExport& table);

// "Export CSV...": asks for a file name (nothing happens when the dialog is cancelled) and saves the
// CSV there through SaveWholeFile; a table without rows says NoDataMessage and asks nothing. Every
// outcome is told in one box.
void ExportTableCsv(const TableExport& table, CommonDialog& dialog, Prompts& prompts);

} // namespace pelicard
