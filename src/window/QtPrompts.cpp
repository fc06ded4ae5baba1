#include "window/QtPrompts.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <algorithm>
#include <cmath>

namespace pelicard {

namespace {

constexpr int TabStopCharacters = 12; // wider than any field the meter sends
constexpr int PrintPointSize = 10;

FileError PrinterFault(const QPrinter& printer, const QString& what)
{
    const QString name
        = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : printer.printerName();
    return { fileerror::PrinterError, QStringLiteral("Printer error: %1 (%2)").arg(what, name) };
}

// Renders a job with a PDF printer into a temporary file, then writes it whole through
// SaveWholeFile, so a failure leaves an old file of that name as it was.
template <typename Job> FileError PrintToPdf(const QString& pdfFile, Job job)
{
    QTemporaryFile rendered(QDir::temp().filePath(QStringLiteral("pelicard-XXXXXX.pdf")));
    if (!rendered.open()) {
        return { fileerror::PathFileAccess,
            QStringLiteral("Path/File access error: %1").arg(rendered.errorString()) };
    }
    rendered.close(); // the PDF printer writes it by name
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(rendered.fileName());
        printer.setDocName(QFileInfo(pdfFile).completeBaseName());
        FileError fault = job(printer);
        if (fault.failed()) {
            fault.description.replace(rendered.fileName(), pdfFile); // the name the user chose
            return fault;
        }
    }
    if (!rendered.open()) {
        return { fileerror::DeviceIo, QStringLiteral("Device I/O error: %1").arg(rendered.errorString()) };
    }
    const QByteArray bytes = rendered.readAll();
    rendered.close();
    return SaveWholeFile(pdfFile, bytes);
}

} // namespace

QtPrompts::QtPrompts(QWidget* parent)
    : parent_(parent)
{ }

void QtPrompts::Beep()
{
    QApplication::beep();
}

void QtPrompts::CriticalStop(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, parent_);
    box.exec();
}

void QtPrompts::Ok(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok, parent_);
    box.exec();
}

QString QtPrompts::ChooseFile(const CommonDialog& dialog)
{
    QFileDialog chooser(parent_);
    if (!dialog.DialogTitle.isEmpty()) {
        chooser.setWindowTitle(dialog.DialogTitle);
    }
    // One dialog chooses the name for loading and for saving, so a new name may be typed.
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setFileMode(QFileDialog::AnyFile);
    const QString filter = FileDialogFilter(dialog.Filter);
    if (!filter.isEmpty()) {
        chooser.setNameFilters(filter.split(QStringLiteral(";;")));
    }
    if (!dialog.FileName.isEmpty()) {
        chooser.selectFile(dialog.FileName);
    }
    if (chooser.exec() != QDialog::Accepted) {
        return {};
    }
    const QStringList chosen = chooser.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

bool QtPrompts::HasDefaultPrinter()
{
    return !QPrinterInfo::defaultPrinter().isNull();
}

FileError QtPrompts::PrintLines(const QStringList& lines, const QString& pdfFile)
{
    if (!pdfFile.isEmpty()) {
        return PrintLinesToPdf(lines, pdfFile);
    }
    QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    printer.setDocName(QApplication::applicationName());
    return PrintLinesOn(printer, lines);
}

FileError PrintLinesOn(QPrinter& printer, const QStringList& lines)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        return PrinterFault(printer, QStringLiteral("the print job could not be started"));
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(PrintPointSize);
    painter.setFont(font);
    const QFontMetricsF metrics(painter.font(), &printer);
    const qreal lineHeight = std::max<qreal>(1.0, metrics.lineSpacing());
    const qreal tabStop
        = std::max<qreal>(1.0, TabStopCharacters * metrics.horizontalAdvance(QLatin1Char('0')));

    const qreal pageHeight = painter.viewport().height();
    qreal y = 0;
    int pageNumber = 1;
    for (const QString& line : lines) {
        if (y > 0 && y + lineHeight > pageHeight) {
            if (!printer.newPage()) {
                painter.end();
                return PrinterFault(printer, QStringLiteral("page %1 was refused").arg(pageNumber + 1));
            }
            ++pageNumber;
            y = 0;
        }
        // Each field starts at the next tab stop after the one before it.
        qreal x = 0;
        for (const QString& field : line.split(QLatin1Char('\t'))) {
            painter.drawText(QPointF(x, y + metrics.ascent()), field);
            x = (std::floor((x + metrics.horizontalAdvance(field)) / tabStop) + 1) * tabStop;
        }
        y += lineHeight;
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        return PrinterFault(printer, QStringLiteral("the print job could not be finished"));
    }
    return {};
}

FileError PrintLinesToPdf(const QStringList& lines, const QString& pdfFile)
{
    return PrintToPdf(pdfFile, [&](QPrinter& printer) { return PrintLinesOn(printer, lines); });
}

FileError QtPrompts::PrintPicture(const QImage& picture, const QString& pdfFile)
{
    if (!pdfFile.isEmpty()) {
        return PrintToPdf(pdfFile, [&](QPrinter& printer) {
            printer.setPageOrientation(QPageLayout::Landscape);
            return PrintPictureOn(printer, picture);
        });
    }
    QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    printer.setDocName(QApplication::applicationName());
    printer.setPageOrientation(QPageLayout::Landscape);
    return PrintPictureOn(printer, picture);
}

FileError PrintPictureOn(QPrinter& printer, const QImage& picture)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        return PrinterFault(printer, QStringLiteral("the print job could not be started"));
    }
    const QRect page = painter.viewport();
    const QSize fitted = picture.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRect(QPoint(0, 0), fitted), picture);
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        return PrinterFault(printer, QStringLiteral("the print job could not be finished"));
    }
    return {};
}

QString FileDialogFilter(const QString& filter)
{
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList converted;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns.isEmpty()) {
            continue;
        }
        QString description = parts[i];
        description.remove(trailingPatterns);
        description = description.trimmed();
        converted << (description.isEmpty()
                ? patterns
                : description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return converted.join(QStringLiteral(";;"));
}

} // namespace pelicard
