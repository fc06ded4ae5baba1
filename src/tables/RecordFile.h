#pragma once

#include "window/FileSave.h"

#include <QString>

#include <array>
#include <vector>

// The tab-separated text file of the sampling record table and of the logger table: one record per
// line, four fields (index or address, time, reading, remark) separated by single tabs, CR LF line
// ends, no header and no trailer. The text is kept byte for byte: every byte is one character
// (Latin-1), so the meter's bytes go to the file as they came and a saved table loads back as it was.
namespace pelicard {

using RecordRow = std::array<QString, 4>;

struct RecordFileContent {
    std::vector<RecordRow> rows; // the rows read before any fault
    FileError error;
};

// The longest line the loader takes, without the line end, counted as the line will be saved again
// (its time written as "hh:mm:ss"), so that every table the loader fills saves to a file it loads.
inline constexpr int MaxLineBytes = 4096;
inline constexpr int MaxRecords = 32767; // a table's rows are counted in 16 bits

// "hh:mm:ss" for a text that reads as a time of day (h:m:s, each one or two digits, within a day:
// "9:3:7" -> "09:03:07"); any other text ("--EOD---") unchanged.
QString FormatRecordTime(const QString& text);

// Writes one line per row: field 0, TAB, the time formatted by FormatRecordTime, TAB, field 2, TAB,
// field 3, CR LF. Control characters inside a field (a tab or a line end from a garbled reading)
// are written as spaces so the file keeps one record per line and four fields per record; a
// character beyond Latin-1 (which no table can hold) as "?". Goes through SaveWholeFile: a failed
// save reports an error and leaves the old file as it was.
FileError SaveRecordFile(const QString& path, const std::vector<RecordRow>& rows);

// Reads lines (CR LF or LF), splits each at every tab and keeps the first four fields. Stops at the
// first fault and returns the rows read before it: the file cannot be opened, a line with fewer
// than four fields, a line longer than MaxLineBytes, control bytes other than tabs, more than
// MaxRecords lines. Empty lines at the very end of the file are ignored; an empty file gives no
// rows and no error. A byte order mark at the start of the file is skipped.
RecordFileContent LoadRecordFile(const QString& path);

} // namespace pelicard
