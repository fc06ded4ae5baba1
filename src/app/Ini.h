#pragma once

#include <QString>

namespace pelicard {

// Our reader and writer of the private-profile text format: "[section]" header lines and
// "key=value" lines; section and key names match without regard to case.

// False for an empty path; true when the path names an existing ordinary file. Never fails.
bool FileExists(const QString& path);

// The value of key in section of file, at most 1023 characters; the empty text when the file,
// section or key is missing.
QString ReadIni(const QString& section, const QString& key, const QString& file);

// Writes one value, creating the file, section or key as needed and keeping every other line as it
// was. The file is replaced in one step, so a failed write leaves the old file intact. Returns false
// when nothing could be written (an empty path among others).
bool WriteIni(const QString& section, const QString& key, const QString& value, const QString& file);

} // namespace pelicard
