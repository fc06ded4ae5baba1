#pragma once

#include <QByteArray>
#include <QString>

namespace pelicard {

// File error numbers, shown to the user with their description (see FormatFileError).
namespace fileerror {
inline constexpr int Overflow = 6; // more records than a table holds
inline constexpr int BadFileName = 52; // no file name given
inline constexpr int FileNotFound = 53;
inline constexpr int DeviceIo = 57; // reading failed half-way
inline constexpr int BadRecordLength = 59; // a line longer than a file kind allows
inline constexpr int DiskFull = 61; // writing failed, most often for want of room
inline constexpr int InputPastEndOfFile = 62; // a line with fewer fields than a record needs
inline constexpr int PathFileAccess = 75; // no permission, or a folder of that name
inline constexpr int PathNotFound = 76; // the folder of the file does not exist
inline constexpr int InvalidFileFormat = 321; // binary data, or a field that is not what it must be
} // namespace fileerror

struct FileError {
    int number = 0; // 0: no error
    QString description;

    bool failed() const { return number != 0; }
};

// Writes bytes as the whole new content of a file. The bytes go into a temporary file beside the
// old one, which is renamed over it only after every write, the flush and the device's error state
// have been checked: a full disk or any other failure reports an error and leaves the old file as
// it was (or no file, where there was none).
FileError SaveWholeFile(const QString& path, const QByteArray& bytes);

// "Error #: " number CR LF "Description : " description CR LF CR LF, as shown in a message box.
QString FormatFileError(const FileError& error);

} // namespace pelicard
