#pragma once

#include "window/FileSave.h"

#include <QString>

namespace pelicard {

// Our reader and writer of the private-profile text format: "[section]" header lines and
// "key=value" lines; section and key names match without regard to case.

// False for an empty path; true when the path names an existing ordinary file. Never fails.
bool FileExists(const QString& path);

// The value of key in section of file, at most 1023 characters; the empty text when the file,
// section or key is missing.
QString ReadIni(const QString& section, const QString& key, const QString& file);
// A key line's value as ReadIni gives it: without enclosing quotes, up to a NUL, at most 1023
// characters.
QString ValueAsRead(QString value);

// Writes one value, creating the file, section or key as needed and keeping every other line as it
// was. Values are written in UTF-8. The file is replaced in one step, so a failed write (a full disk
// among others) leaves the old file intact and returns the fault.
FileError WriteIni(const QString& section, const QString& key, const QString& value, const QString& file);

} // namespace pelicard
