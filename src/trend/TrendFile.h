#pragma once

#include "window/FileSave.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <span>
#include <vector>

// The trend file: plain text, one point's text per line, CR LF line ends, points 0 to 119 in index
// order; an empty entry is an empty line. Every byte is one character (Latin-1) both ways, as in
// the record files, so a saved trend loads back as it was.
namespace pelicard {

inline constexpr int TrendFileLines = 120; // points 0 to 119 are written
inline constexpr int TrendFilePoints = 119; // points 0 to 118 are read back
// The longest field the reader takes; a trend point is a few characters.
inline constexpr int MaxTrendFieldBytes = 4096;

struct TrendFilePoint {
    QString text; // the field as it stands in the file
    int level = 0; // its leading number rounded halves to even; 0 for a blank field
};

struct TrendFileContent {
    std::vector<TrendFilePoint> points; // the points read before any fault, from point 0 on
    FileError error;
};

// The 120 lines of entries 0 to 119 (an entry missing from `entries` is an empty line). A character
// that would split the entry into more fields or lines on loading (a comma, a control character) is
// written as a space, one beyond Latin-1 as "?".
QByteArray FormatTrendFile(std::span<const QString> entries);

// Writes FormatTrendFile's text through SaveWholeFile: a failed save leaves the old file whole.
FileError SaveTrendFile(const QString& path, std::span<const QString> entries);

// Reads the first 119 fields of a trend file's bytes. Every comma and every line end (CR LF, LF or
// CR) ends a field; the bytes end the last one. A blank field reads as level 0. Stops at the first
// fault with the points read before it: fewer than 119 fields (62), a field longer than
// MaxTrendFieldBytes (59), control bytes other than tabs (321), a field with text but no leading
// number (321), a level outside the plot (6). A byte order mark at the start is skipped.
TrendFileContent ParseTrendFile(QByteArrayView bytes);

// ParseTrendFile over a file, which is read no further than 119 fields can reach; a file that
// cannot be opened or read gives its error and no points. The file is closed on return.
TrendFileContent LoadTrendFile(const QString& path);

} // namespace pelicard
