#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QFile;

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
inline constexpr int PrinterError = 482; // the printer refused or broke off a print job
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

// The bytes of a text field in a file that keeps one byte per character (Latin-1): control
// characters below 0x20 (tabs and line ends among them) and the separators given are written as
// spaces, so a field never splits a record; a
// character beyond Latin-1 (which no table holds) as "?".
QByteArray FieldBytes(const QString& field, QStringView separators = {});

// Opens a file for reading: error 52 without a name, 53 when it does not exist, 75 for a folder or a
// file that cannot be opened.
FileError OpenForReading(QFile& file, const QString& path);

struct CommonDialog;
class Prompts;

// Opens the file dialog with the filter and the proposed name; returns the chosen name, or the
// proposed one when the dialog was cancelled.
QString ChooseFileName(
    CommonDialog& dialog, Prompts& prompts, const QString& filter, const QString& proposedName);

class StatusBar;

// Prints on the default printer or, where the desktop has none (many have no print queue), into a
// PDF file the user names, `proposedPdf` offered; `print` is given the PDF file's name, empty for
// the printer. A cancelled dialog does nothing; a fault gives the error box; a PDF file written is
// shown in panel 1 of the status bar and told.
void PrintOrOfferPdf(Prompts& prompts, StatusBar& status, const QString& proposedPdf,
    const std::function<FileError(const QString& pdfFile)>& print);

// What a completed save says, followed by the file name.
inline constexpr const char* CompleteMessage = "Complete Text file: ";

// "Error #: " number CR LF "Description : " description CR LF CR LF, as shown in a message box.
QString FormatFileError(const FileError& error);

} // namespace pelicard
