#include "tables/RecordTable.h"

#include "tables/RecordFile.h"
#include "values/Colours.h"
#include "values/LeadingNumber.h"
#include "window/Clock.h"
#include "window/Colours.h"
#include "window/Prompts.h"
#include "window/frmMain.h"

#include <QLocale>

#include <cmath>

namespace pelicard {

namespace {
const char* const Headers[] = { "Index", "Time", "Reading   ", "     Remark" };
const QString NoData = QStringLiteral("None Data. Please check again!! ");
const QString Complete = QStringLiteral("Complete Text file: ");
const QString TableFull
    = QStringLiteral("The sampling table is full (%1 records). Save it and clear it to record more.")
          .arg(MaxRecords);
} // namespace

void LayOutColumns(
    FlexGrid& grid, std::initializer_list<int> widths, std::initializer_list<const char*> headers)
{
    int column = 0;
    for (const int width : widths) {
        grid.SetColWidth(column++, width);
    }
    column = 0;
    for (const char* header : headers) {
        grid.SetTextMatrix(0, column++, QString::fromLatin1(header));
    }
}

void RecordTable::WriteHeaders(FlexGrid& grid)
{
    for (int column = 0; column < 4; ++column) {
        grid.SetTextMatrix(0, column, QString::fromLatin1(Headers[column]));
    }
}

std::vector<RecordRow> RowsUntilGap(const FlexGrid& grid)
{
    std::vector<RecordRow> rows;
    for (int row = 1; row < grid.Rows() && !grid.TextMatrix(row, 0).isEmpty(); ++row) {
        rows.push_back({ grid.TextMatrix(row, 0), grid.TextMatrix(row, 1), grid.TextMatrix(row, 2),
            grid.TextMatrix(row, 3) });
    }
    return rows;
}

std::optional<int> SamplingPeriodMs(const QString& secondsText)
{
    bool ok = false;
    const double seconds = QLocale::c().toDouble(secondsText.trimmed(), &ok);
    if (!ok || !std::isfinite(seconds)) {
        return std::nullopt;
    }
    const double ms = seconds * 1000.0;
    if (ms < 0.5 || ms > 65535.0) {
        return std::nullopt;
    }
    const int period = RoundHalfEven(ms);
    if (period < 1 || period > 65535) {
        return std::nullopt;
    }
    return period;
}

RecordTable::RecordTable(frmMain& window, Prompts& prompts, const Clock& clock)
    : window(window)
    , prompts(prompts)
    , clock(clock)
{ }

bool RecordTable::WriteRecord(const QString& reading)
{
    if (recordRow > MaxRecords) {
        return false;
    }
    FlexGrid& grid = *window.grdMain;
    const int n = recordRow;
    grid.SetRow(n);
    grid.SetTextMatrix(n, 0, QString::number(n));
    grid.SetTextMatrix(n, 1, clock.Now().time().toString(QStringLiteral("hh:mm:ss")));
    grid.SetTextMatrix(n, 2, reading);
    ++recordRow;
    if (grid.Rows() < n + 2) {
        grid.SetRows(n + 2);
    }
    if (n + 1 > 11) {
        grid.SetTopRow(grid.TopRow() + 1);
    }
    if (recordRow > MaxRecords && Sampling()) {
        StopSampling();
        prompts.Ok(TableFull);
    }
    return true;
}

bool RecordTable::Sampling() const
{
    return BackColour(window.cmdStart) == colour::Linked;
}

void RecordTable::StopSampling()
{
    SetBackColour(window.cmdStart, colour::ButtonFace);
    window.tmrSpl->SetEnabled(false);
}

void RecordTable::cmdStart_Click()
{
    if (Sampling()) {
        StopSampling();
        return;
    }
    const std::optional<int> period = SamplingPeriodMs(window.txtSpl->text());
    if (!period) {
        prompts.Ok(QStringLiteral("Sampling(Sec): \"%1\" is not an interval the timer can keep. "
                                  "Enter a number of seconds from 0.001 to 65.535, for example 0.5 or 10.")
                       .arg(window.txtSpl->text()));
        return;
    }
    if (recordRow > MaxRecords && BackColour(window.cmdGrd[1]) != colour::Linked) {
        prompts.Ok(TableFull);
        return;
    }
    if (BackColour(window.cmdGrd[1]) == colour::Linked) {
        cmdClr_Click();
    }
    SetBackColour(window.cmdStart, colour::Linked);
    window.tmrSpl->SetInterval(*period);
    window.tmrSpl->SetEnabled(true);
}

void RecordTable::cmdClr_Click()
{
    FlexGrid& grid = *window.grdMain;
    grid.SetRows(FreshRows);
    grid.SetTopRow(1);
    grid.Clear();
    WriteHeaders(grid);
    SetBackColour(window.cmdGrd[1], colour::ButtonFace);
    recordRow = 1;
}

void RecordTable::cmdGbrw_Click()
{
    window.dlgopen.Filter = QStringLiteral("Logger Data File(*.dat)|*.dat");
    window.dlgopen.FileName = QStringLiteral("Test.dat");
    window.dlgopen.Flags = 512;
    const QString chosen = prompts.ChooseFile(window.dlgopen);
    // A cancelled dialog leaves its proposed name.
    window.txtGfn->setText(chosen.isEmpty() ? window.dlgopen.FileName : chosen);
}

void RecordTable::cmdGrd_Click(int index)
{
    if (index == 0) {
        Save();
    } else if (index == 1) {
        Load();
    }
}

void RecordTable::Save()
{
    const FlexGrid& grid = *window.grdMain;
    if (grid.TextMatrix(1, 0).isEmpty()) {
        prompts.Ok(NoData);
        return;
    }
    const QString fileName = window.txtGfn->text();
    const FileError error = SaveRecordFile(fileName, RowsUntilGap(grid));
    if (error.failed()) {
        prompts.Ok(FormatFileError(error));
        return;
    }
    window.StatusBar1->SetPanelText(1, fileName);
    prompts.Ok(Complete + fileName);
}

void RecordTable::Load()
{
    if (Sampling()) {
        StopSampling();
    }
    cmdClr_Click();
    const RecordFileContent contents = LoadRecordFile(window.txtGfn->text());
    FlexGrid& grid = *window.grdMain;
    int n = 1;
    for (const auto& fields : contents.rows) {
        for (int column = 0; column < 4; ++column) {
            grid.SetTextMatrix(n, column, fields[static_cast<std::size_t>(column)]);
        }
        if (grid.Rows() <= n + 1) {
            grid.SetRows(grid.Rows() + 1);
        }
        ++n;
    }
    if (contents.error.failed()) {
        prompts.Ok(FormatFileError(contents.error));
        if (contents.rows.empty()) {
            return;
        }
    }
    prompts.Beep();
    SetBackColour(window.cmdGrd[1], colour::Linked);
}

} // namespace pelicard
