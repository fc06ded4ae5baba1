#pragma once

#include "window/Prompts.h"

class QWidget;

namespace pelicard {

// The prompts on the desktop: message boxes, the file dialog, the system beep, the default printer.
class QtPrompts : public Prompts {
public:
    // Dialogs are centred on the parent.
    explicit QtPrompts(QWidget* parent = nullptr);

    void Beep() override;
    void CriticalStop(const QString& text, const QString& title) override;
    void Ok(const QString& text) override;
    QString ChooseFile(const CommonDialog& dialog) override;
    bool PrintLines(const QStringList& lines) override;

private:
    QWidget* parent_;
};

// Turns "Description(*.ext)|*.ext|..." into the file dialog's "Description (*.ext);;..." form.
QString FileDialogFilter(const QString& filter);

} // namespace pelicard
