#pragma once

#include "tables/TableFiles.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace pelicard {

class Clock;
class frmMain;
class Prompts;

// The sampling record table grdMain: readings taken at an interval, numbered and time-stamped,
// cleared, saved to and loaded from a tab-separated text file.
class RecordTable {
public:
    static constexpr int FreshRows = 12;

    RecordTable(frmMain& window, Prompts& prompts, const Clock& clock);

    // The record writer: appends a reading as the next row. Returns false when the table is full.
    bool WriteRecord(const QString& reading);

    void cmdStart_Click();
    void cmdClr_Click();
    void cmdGbrw_Click();
    void cmdGrd_Click(int index);

    bool Sampling() const;
    void StopSampling();
    // "Export CSV..." of the table's filled rows.
    void ExportCsv();

    // The next free row.
    int recordRow = 1;

private:
    void Save();
    void Load();

    frmMain& window_;
    Prompts& prompts_;
    const Clock& clock_;
    // When each row was sampled, row 1 first; rows loaded from a file have none.
    std::vector<QDateTime> sampledAt_;
};

// The timer period for an interval text in seconds, rounded to whole milliseconds; nothing when
// the text is no number or the period falls outside 1..65535 ms.
std::optional<int> SamplingPeriodMs(const QString& secondsText);

} // namespace pelicard
