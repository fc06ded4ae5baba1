#pragma once

#include "window/Prompts.h"

class QPrinter;
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
    bool HasDefaultPrinter() override;
    FileError PrintLines(const QStringList& lines, const QString& pdfFile) override;
    FileError PrintPicture(const QImage& picture, const QString& pdfFile) override;

private:
    QWidget* parent_;
};

// Prints the lines as one job on the printer as it is set up, page after page in a fixed-pitch
// font, a tab moving to the next column. A printer that refuses the job or a page gives error 482.
FileError PrintLinesOn(QPrinter& printer, const QStringList& lines);

// A picture as one page, scaled to the page keeping its shape.
FileError PrintPictureOn(QPrinter& printer, const QImage& picture);

// The same job as a PDF file: rendered by a PDF printer into a temporary file, then written whole
// through SaveWholeFile, so a failure leaves an old file of that name as it was.
FileError PrintLinesToPdf(const QStringList& lines, const QString& pdfFile);

// Turns "Description(*.ext)|*.ext|..." into the file dialog's "Description (*.ext);;..." form.
QString FileDialogFilter(const QString& filter);

} // namespace pelicard
