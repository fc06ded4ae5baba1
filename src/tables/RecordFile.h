#pragma once

#include <QString>

#include <array>
#include <vector>

// The tab-separated text file of the sampling record table and of the logger table: one record per
// line, four fields (index or address, time, reading, remark) separated by single tabs, CR LF line
// ends, no header and no trailer. Files are written in UTF-8; a line that is not valid UTF-8 (a file
// from an older program) is read as Latin-1.
namespace pelicard {

using RecordRow = std::array<QString, 4>;

// File error numbers, shown to the user with their description (see FormatFileError).
namespace fileerror {
inline constexpr int Overflow = 6; // more records than a table holds
inline constexpr int BadFileName = 52; // no file name given
inline constexpr int FileNotFound = 53;
inline constexpr int DeviceIo = 57; // reading failed half-way
inline constexpr int BadRecordLength = 59; // a line longer than MaxLineBytes
inline constexpr int DiskFull = 61; // writing failed, most often for want of room
inline constexpr int InputPastEndOfFile = 62; // a line with fewer than four fields
inline constexpr int PathFileAccess = 75; // no permission, or a folder of that name
inline constexpr int PathNotFound = 76; // the folder of the file does not exist
inline constexpr int InvalidFileFormat = 321; // binary data (control bytes such as NUL) in a line
} // namespace fileerror

struct FileError {
    int number = 0; // 0: no error
    QString description;

    bool failed() const { return number != 0; }
};

struct RecordFileContent {
    std::vector<RecordRow> rows; // the rows read before any fault
    FileError error;
};

inline constexpr int MaxLineBytes = 4096; // without the line end
inline constexpr int MaxRecords = 32767; // a table's rows are counted in 16 bits

// "hh:mm:ss" for a text that reads as a time of day (h:m:s, each one or two digits, within a day:
// "9:3:7" -> "09:03:07"); any other text ("--EOD---") unchanged.
QString FormatRecordTime(const QString& text);

// Writes one line per row: field 0, TAB, the time formatted by FormatRecordTime, TAB, field 2, TAB,
// field 3, CR LF. Control characters inside a field (a tab or a line end from a garbled reading)
// are written as spaces so the file keeps one record per line and four fields per record.
// The file is written beside the old one and renamed over it only when complete, so a failed save
// reports an error and leaves the old file as it was.
FileError SaveRecordFile(const QString& path, const std::vector<RecordRow>& rows);

// Reads lines (CR LF or LF), splits each at every tab and keeps the first four fields. Stops at the
// first fault and returns the rows read before it: the file cannot be opened, a line with fewer
// than four fields, a line longer than MaxLineBytes, control bytes other than tabs, more than
// MaxRecords lines. Empty lines at the very end of the file are ignored; an empty file gives no
// rows and no error.
RecordFileContent LoadRecordFile(const QString& path);

// "Error #: " number CR LF "Description : " description CR LF CR LF, as shown in a message box.
QString FormatFileError(const FileError& error);

} // namespace pelicard
