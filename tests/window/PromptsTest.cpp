#include "support/FullDisk.h"
#include "support/PdfText.h"
#include "window/QtPrompts.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace pelicard {
namespace {

TEST(FileDialogFilter, TurnsPairsIntoTheDialogsForm)
{
    const std::pair<const char*, const char*> cases[]
        = { { "Trend Data File(*.trd)|*.trd", "Trend Data File (*.trd)" },
              { "Text|*.txt|All files (*.*)|*.*", "Text (*.txt);;All files (*.*)" },
              { "Logs|*.log;*.dat", "Logs (*.log *.dat)" }, { "", "" }, { "No pattern", "" },
              { "Empty|", "" }, { "|*.log", "*.log" }, { "Text|*.txt|Dangling", "Text (*.txt)" } };
    for (const auto& [filter, expected] : cases) {
        EXPECT_EQ(FileDialogFilter(QString::fromUtf8(filter)), QString::fromUtf8(expected)) << filter;
    }
}

// Lines as a logger table prints them: address, time, reading, remark between tabs.
QStringList LoggerLines(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i) {
        lines << QStringLiteral("%1\t%2:%3:%4\t %5.%6V  \t%7")
                     .arg(i, 5, 10, QLatin1Char('0'))
                     .arg(8 + i / 3600, 2, 10, QLatin1Char('0'))
                     .arg(i / 60 % 60, 2, 10, QLatin1Char('0'))
                     .arg(i % 60, 2, 10, QLatin1Char('0'))
                     .arg(i % 10)
                     .arg(i * 37 % 10000, 4, 10, QLatin1Char('0'))
                     .arg(i % 7 == 0 ? QStringLiteral("note %1 \u00B5A").arg(i) : QString());
    }
    lines << QStringLiteral("%1\t--EOD---\t          \t").arg(count, 5, 10, QLatin1Char('0'));
    return lines;
}

QStringList Simplified(const QStringList& lines)
{
    QStringList simplified;
    for (const QString& line : lines) {
        simplified << QString(line).replace(QLatin1Char('\t'), QLatin1Char(' ')).simplified();
    }
    return simplified;
}

TEST(PrintLines, APdfPrinterGetsEveryLineInOrderPageAfterPage)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("table.pdf"));
    const QStringList lines = LoggerLines(240);
    const FileError error = PrintLinesToPdf(lines, pdf);
    ASSERT_FALSE(error.failed()) << error.description.toStdString();

    QString why;
    const auto text = testing::PdfTextLines(pdf, &why);
    ASSERT_TRUE(text.has_value()) << why.toStdString();
    QStringList printed = *text;
    const auto pages = printed.removeAll(QStringLiteral("\f"));
    EXPECT_GE(pages, 3) << "240 lines do not fit one page";
    EXPECT_EQ(printed.join(QLatin1Char('\n')).toStdString(),
        Simplified(lines).join(QLatin1Char('\n')).toStdString());
    EXPECT_TRUE(testing::ReadAll(pdf).startsWith("%PDF-"));
}

TEST(PrintLines, APrinterThatRefusesTheJobIsAPrinterFault)
{
    QTemporaryDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("no/such/folder/table.pdf")));
    const FileError error = PrintLinesOn(printer, LoggerLines(3));
    EXPECT_EQ(error.number, fileerror::PrinterError);
    EXPECT_TRUE(error.description.startsWith(QStringLiteral("Printer error: ")))
        << error.description.toStdString();
}

TEST(PrintLines, APdfFileThatCannotBeWrittenLeavesWhatWasThere)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.pdf")));
    EXPECT_EQ(PrintLinesToPdf(LoggerLines(3), dir.filePath(QStringLiteral("folder.pdf"))).number,
        fileerror::PathFileAccess);
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("folder.pdf"))).isDir());
    EXPECT_EQ(PrintLinesToPdf(LoggerLines(3), dir.filePath(QStringLiteral("missing/table.pdf"))).number,
        fileerror::PathNotFound);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
        QStringList { QStringLiteral("folder.pdf") })
        << "a failed print leaves no file behind";

    testing::FullDisk disk(128);
    if (!disk.Mounted()) {
        std::printf("[  SKIPPED ] full disk: %s\n", disk.Why().c_str());
        return;
    }
    const QString old = disk.FilePath(QStringLiteral("table.pdf"));
    ASSERT_TRUE(testing::WriteAll(old, "%PDF-1.4 old printout"));
    disk.Fill();
    EXPECT_EQ(PrintLinesToPdf(LoggerLines(2000), old).number, fileerror::DiskFull);
    EXPECT_EQ(testing::ReadAll(old), QByteArray("%PDF-1.4 old printout"));
}

} // namespace
} // namespace pelicard
