#include "tables/LoggerTable.h"

#include "tables/RecordFile.h"
#include "tables/TableExport.h"
#include "tables/TableFiles.h"
#include "values/LeadingNumber.h"
#include "window/Clock.h"
#include "window/TableLayouts.h"
#include "window/frmMain.h"

namespace pelicard {

LoggerTable::LoggerTable(frmMain& window, Prompts& prompts, const Clock& clock)
    : window_(window)
    , prompts_(prompts)
    , clock_(clock)
{ }

void LoggerTable::ResetLoggerTable()
{
    FlexGrid& grid = *window_.grdLog[4];
    grid.SetRows(8);
    grid.Clear();
    LayOutLoggerTable(grid);
    grid.SetTopRow(1);
    logRow = 1;
    arrivedAt_.clear();
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
    arrivedAt_.resize(static_cast<std::size_t>(logRow));
    arrivedAt_.back() = clock_.Now();
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

void LoggerTable::ExportCsv()
{
    const FlexGrid& grid = *window_.grdLog[4];
    std::vector<RecordRow> rows = RowsUntilGap(grid);
    // The end-of-data row closes a download; it holds no reading.
    if (!rows.empty() && rows.back()[1] == QLatin1String(EndOfData)) {
        rows.pop_back();
    }
    TableExport table;
    table.kind = TableExport::Kind::Logger;
    table.grid = &grid;
    table.rows = static_cast<int>(rows.size());
    table.takenAt = &arrivedAt_;
    ExportTableCsv(table, window_.dlgopen, prompts_);
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
