#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <optional>

namespace pelicard::testing {

// The text of a PDF file as pdftotext (poppler-utils) reads it, its lines with runs of white space
// made single spaces, pages separated by a line holding "\f"; nothing when the tool is missing or
// fails (the message says why).
inline std::optional<QStringList> PdfTextLines(const QString& pdfFile, QString* why = nullptr)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"),
        { QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdfFile,
            QStringLiteral("-") });
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        if (why != nullptr) {
            *why = QStringLiteral("pdftotext (poppler-utils) did not read %1: %2 %3")
                       .arg(pdfFile, tool.errorString(), QString::fromLocal8Bit(tool.readAllStandardError()));
        }
        return std::nullopt;
    }
    QStringList lines;
    for (QString line : QString::fromUtf8(tool.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        while (line.startsWith(QLatin1Char('\f'))) {
            lines << QStringLiteral("\f");
            line.remove(0, 1);
        }
        line = line.simplified();
        if (!line.isEmpty()) {
            lines << line;
        }
    }
    return lines;
}

} // namespace pelicard::testing
