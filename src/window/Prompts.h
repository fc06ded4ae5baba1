#pragma once

#include "window/CommonDialog.h"
#include "window/FileSave.h"

#include <QImage>
#include <QString>
#include <QStringList>

namespace pelicard {

// Everything that asks the user or talks to the desktop: message boxes, the file dialog, the
// beep and the printer. The logic calls these, never a blocking dialog directly.
class Prompts {
public:
    virtual ~Prompts() = default;

    virtual void Beep() = 0;
    // A message box with the critical-stop icon.
    virtual void CriticalStop(const QString& text, const QString& title) = 0;
    // A message box with only an OK button, titled with the application's name.
    virtual void Ok(const QString& text) = 0;
    // The file dialog; the chosen file name, or an empty text when the user cancelled.
    virtual QString ChooseFile(const CommonDialog& dialog) = 0;
    // True when the desktop has a default printer (many have none: no print queue is set up).
    virtual bool HasDefaultPrinter() = 0;
    // Prints the lines as one job: on the default printer, or into the PDF file named. A fault is
    // returned for the error box (a printer fault is error 482; a PDF file that cannot be written
    // gives the file's error and leaves an old file of that name as it was).
    virtual FileError PrintLines(const QStringList& lines, const QString& pdfFile) = 0;
    // Prints a picture as one page, as large as the page allows without changing its shape; on the
    // default printer or into the PDF file named, with the faults of PrintLines.
    virtual FileError PrintPicture(const QImage& picture, const QString& pdfFile) = 0;
};

} // namespace pelicard
