#include "window/FileSave.h"

#include "window/CommonDialog.h"
#include "window/Prompts.h"
#include "window/StatusBar.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace pelicard {

namespace {

FileError WriteFault(const QSaveFile& file)
{
    return { fileerror::DiskFull, QStringLiteral("Disk full or write error: %1").arg(file.errorString()) };
}

} // namespace

FileError SaveWholeFile(const QString& path, const QByteArray& bytes)
{
    if (path.isEmpty()) {
        return { fileerror::BadFileName, QStringLiteral("Bad file name: no file name given") };
    }
    const QFileInfo info(path);
    if (info.isDir()) {
        return { fileerror::PathFileAccess,
            QStringLiteral("Path/File access error: %1 is a folder").arg(path) };
    }
    if (!info.absoluteDir().exists()) {
        return { fileerror::PathNotFound, QStringLiteral("Path not found: %1").arg(info.absolutePath()) };
    }

    // The direct-write fallback of QSaveFile stays off: it would truncate the old file first.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return { fileerror::PathFileAccess,
            QStringLiteral("Path/File access error: %1").arg(file.errorString()) };
    }
    // QSaveFile buffers: a write can succeed while the disk is full, and commit() has been seen
    // to return true after the real write failed. Every step is checked before the rename.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        FileError fault = WriteFault(file);
        file.cancelWriting();
        return fault;
    }
    if (!file.commit()) {
        const bool writeFailed
            = file.error() == QFileDevice::WriteError || file.error() == QFileDevice::ResourceError;
        if (writeFailed) {
            return WriteFault(file);
        }
        return { fileerror::PathFileAccess,
            QStringLiteral("Path/File access error: %1").arg(file.errorString()) };
    }
    return {};
}

QByteArray FieldBytes(const QString& field, QStringView separators)
{
    QByteArray bytes;
    bytes.reserve(field.size());
    for (const QChar c : field) {
        const char16_t code = c.unicode();
        if (code < 0x20 || separators.contains(c)) {
            bytes += ' ';
        } else if (code > 0xFF) {
            bytes += '?';
        } else {
            bytes += static_cast<char>(code);
        }
    }
    return bytes;
}

FileError OpenForReading(QFile& file, const QString& path)
{
    if (path.isEmpty()) {
        return { fileerror::BadFileName, QStringLiteral("Bad file name: no file name given") };
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        return { fileerror::FileNotFound, QStringLiteral("File not found: %1").arg(path) };
    }
    if (info.isDir()) {
        return { fileerror::PathFileAccess,
            QStringLiteral("Path/File access error: %1 is a folder").arg(path) };
    }
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return { fileerror::PathFileAccess,
            QStringLiteral("Path/File access error: %1").arg(file.errorString()) };
    }
    return {};
}

QString ChooseFileName(
    CommonDialog& dialog, Prompts& prompts, const QString& filter, const QString& proposedName)
{
    dialog.Filter = filter;
    dialog.FileName = proposedName;
    dialog.Flags = dialogflag::AllowMultiSelect;
    const QString chosen = prompts.ChooseFile(dialog);
    // A cancelled dialog leaves its proposed name.
    return chosen.isEmpty() ? dialog.FileName : chosen;
}

void PrintOrOfferPdf(Prompts& prompts, StatusBar& status, const QString& proposedPdf,
    const std::function<FileError(const QString& pdfFile)>& print)
{
    QString pdfFile;
    if (!prompts.HasDefaultPrinter()) {
        CommonDialog offer;
        offer.DialogTitle = QStringLiteral("No printer is installed: print to a PDF file");
        offer.Filter = QStringLiteral("PDF File(*.pdf)|*.pdf");
        offer.FileName = proposedPdf;
        pdfFile = prompts.ChooseFile(offer);
        if (pdfFile.isEmpty()) {
            return; // the user chose not to
        }
    }
    const FileError error = print(pdfFile);
    if (error.failed()) {
        prompts.Ok(FormatFileError(error));
        return;
    }
    if (!pdfFile.isEmpty()) {
        status.SetPanelText(1, pdfFile);
        prompts.Ok(QStringLiteral("Complete PDF file: ") + pdfFile);
    }
}

QString FormatFileError(const FileError& error)
{
    return QStringLiteral("Error #: ") + QString::number(error.number) + QStringLiteral("\r\n")
        + QStringLiteral("Description : ") + error.description + QStringLiteral("\r\n\r\n");
}

} // namespace pelicard
