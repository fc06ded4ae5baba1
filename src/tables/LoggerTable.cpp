#include "tables/LoggerTable.h"

#include "tables/RecordFile.h"
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
    return endOfData;
}

} // namespace pelicard
