#include "tables/LoggerTable.h"

#include "tables/RecordFile.h"
#include "values/LeadingNumber.h"
#include "window/TableLayouts.h"
#include "window/frmMain.h"

namespace pelicard {

LoggerTable::LoggerTable(frmMain& window)
    : window_(window)
{ }

void LoggerTable::ResetLoggerTable()
{
    FlexGrid& grid = *window_.grdLog[4];
    grid.SetRows(8);
    grid.Clear();
    LayOutLoggerTable(grid);
    grid.SetTopRow(1);
    logRow = 1;
    // An empty table shows no loaded file.
    SetLoadedMark(*window_.grdLog[0], false);
}

bool LoggerTable::AddRecord(const QString& address, const QString& time, const QString& reading)
{
    const bool endOfData = time == QLatin1String(EndOfData);
    if (logRow > MaxRecords) {
        return endOfData;
    }
    FlexGrid& grid = *window_.grdLog[4];
    grid.SetTextMatrix(logRow, 0, address);
    grid.SetTextMatrix(logRow, 1, time);
    grid.SetTextMatrix(logRow, 2, reading);
    ++logRow;
    if (grid.Rows() < logRow + 1) {
        grid.SetRows(grid.Rows() + 2);
    }
    if (logRow > 8) {
        grid.SetTopRow(grid.TopRow() + 1);
    }
    grid.Redraw();
    ShowProgress(endOfData);
    return endOfData;
}

void LoggerTable::ShowProgress(bool endOfData)
{
    // The end-of-data row is no record of the meter's.
    const int records = logRow - 1 - (endOfData ? 1 : 0);
    if (endOfData) {
        window_.StatusBar1->SetPanelText(2, QStringLiteral("Downloaded %1 records").arg(records));
        return;
    }
    // The logger's start and stop addresses tell how many records a full memory holds.
    const auto start = TryReadLeadingNumber(window_.grdLog[1]->TextMatrix(0, 1).toStdString());
    const auto stop = TryReadLeadingNumber(window_.grdLog[2]->TextMatrix(0, 1).toStdString());
    const double expected = start && stop ? *stop - *start + 1 : 0;
    if (expected >= records && expected <= MaxRecords) {
        window_.StatusBar1->SetPanelText(
            2, QStringLiteral("Downloading %1 of %2 records").arg(records).arg(static_cast<int>(expected)));
    } else {
        window_.StatusBar1->SetPanelText(2, QStringLiteral("Downloading %1 records").arg(records));
    }
}

} // namespace pelicard
