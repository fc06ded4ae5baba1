#include "tables/RecordTable.h"

#include "tables/RecordChart.h"
#include "tables/RecordFile.h"
#include "tables/TableExport.h"
#include "values/Colours.h"
#include "values/LeadingNumber.h"
#include "window/Clock.h"
#include "window/ControlColours.h"
#include "window/Prompts.h"
#include "window/TableLayouts.h"
#include "window/frmMain.h"

#include <QLocale>

#include <cmath>

namespace pelicard {

namespace {
const QString TableFull
    = QStringLiteral("The sampling table is full (%1 records). Save it and clear it to record more.")
          .arg(MaxRecords);
} // namespace

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
    : window_(window)
    , prompts_(prompts)
    , clock_(clock)
{ }

bool RecordTable::WriteRecord(const QString& reading)
{
    if (recordRow > MaxRecords) {
        return false;
    }
    FlexGrid& grid = *window_.grdMain;
    const int n = recordRow;
    grid.SetRow(n);
    grid.SetTextMatrix(n, 0, QString::number(n));
    const QDateTime now = clock_.Now();
    grid.SetTextMatrix(n, 1, now.time().toString(QStringLiteral("hh:mm:ss")));
    if (sampledAt_.size() < static_cast<std::size_t>(n)) {
        sampledAt_.resize(static_cast<std::size_t>(n));
    }
    sampledAt_[static_cast<std::size_t>(n) - 1] = now;
    grid.SetTextMatrix(n, 2, reading);
    // The chart takes the time to the millisecond, so that readings less than a second apart
    // stand apart.
    window_.chtMain->Append(now.time().msecsSinceStartOfDay() / 1000.0, reading);
    ++recordRow;
    if (grid.Rows() < n + 2) {
        grid.SetRows(n + 2);
    }
    if (n + 1 > 11) {
        grid.SetTopRow(grid.TopRow() + 1);
    }
    if (recordRow > MaxRecords && Sampling()) {
        StopSampling();
        prompts_.Ok(TableFull);
    }
    return true;
}

bool RecordTable::Sampling() const
{
    return BackColour(window_.cmdStart) == colour::Linked;
}

void RecordTable::StopSampling()
{
    SetBackColour(window_.cmdStart, colour::ButtonFace);
    window_.tmrSpl->SetEnabled(false);
}

void RecordTable::cmdStart_Click()
{
    if (Sampling()) {
        StopSampling();
        return;
    }
    const std::optional<int> period = SamplingPeriodMs(window_.txtSpl->text());
    if (!period) {
        prompts_.Ok(QStringLiteral("Sampling(Sec): \"%1\" is not an interval the timer can keep. "
                                   "Enter a number of seconds from 0.001 to 65.535, for example 0.5 or 10.")
                        .arg(window_.txtSpl->text()));
        return;
    }
    if (recordRow > MaxRecords && BackColour(window_.cmdGrd[1]) != colour::Linked) {
        prompts_.Ok(TableFull);
        return;
    }
    if (BackColour(window_.cmdGrd[1]) == colour::Linked) {
        cmdClr_Click();
    }
    SetBackColour(window_.cmdStart, colour::Linked);
    window_.tmrSpl->SetInterval(*period);
    window_.tmrSpl->SetEnabled(true);
}

void RecordTable::cmdClr_Click()
{
    FlexGrid& grid = *window_.grdMain;
    grid.SetRows(FreshRows);
    grid.SetTopRow(1);
    grid.Clear();
    WriteRecordTableHeaders(grid);
    SetBackColour(window_.cmdGrd[1], colour::ButtonFace);
    recordRow = 1;
    sampledAt_.clear();
    window_.chtMain->Clear();
}

void RecordTable::ExportCsv()
{
    TableExport table;
    table.kind = TableExport::Kind::Sampling;
    table.grid = window_.grdMain;
    table.rows = static_cast<int>(RowsUntilGap(*window_.grdMain).size());
    table.takenAt = &sampledAt_;
    ExportTableCsv(table, window_.dlgopen, prompts_);
}

void RecordTable::cmdGbrw_Click()
{
    window_.txtGfn->setText(ChooseFileName(window_.dlgopen, prompts_,
        QStringLiteral("Logger Data File(*.dat)|*.dat"), QStringLiteral("Test.dat")));
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
    SaveTableFile(*window_.grdMain, window_.txtGfn->text(), prompts_, *window_.StatusBar1);
}

void RecordTable::Load()
{
    if (Sampling()) {
        StopSampling();
    }
    cmdClr_Click();
    const bool loaded = LoadTableFile(*window_.grdMain, window_.txtGfn->text(), prompts_);
    // The rows read before a fault stay in the table, and on the chart.
    ChartTableRows(*window_.grdMain, *window_.chtMain);
    if (!loaded) {
        return;
    }
    prompts_.Beep();
    SetBackColour(window_.cmdGrd[1], colour::Linked);
}

} // namespace pelicard
