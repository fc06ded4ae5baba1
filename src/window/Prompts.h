#pragma once

#include "window/CommonDialog.h"

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
    // Prints the lines on the default printer as one job; false on a printer fault.
    virtual bool PrintLines(const QStringList& lines) = 0;
};

} // namespace pelicard
