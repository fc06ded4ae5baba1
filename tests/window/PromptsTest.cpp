#include "support/FullDisk.h"
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

// Lines as a logger table prints them. (The logger file tests of the whole program read a printed
// PDF file back, every line in order, page after page.)
QStringList LoggerLines(int count)
{
    return QStringList(count, QStringLiteral("00001\t08:00:00\t  1.0000V \tnote"));
}

TEST(PrintLines, APrinterThatRefusesOrAPdfFileThatCannotBeWrittenLeavesWhatWasThere)
{
    QTemporaryDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("no/such/folder/table.pdf")));
    const FileError refused = PrintLinesOn(printer, LoggerLines(3));
    EXPECT_EQ(refused.number, fileerror::PrinterError);
    EXPECT_TRUE(refused.description.startsWith(QStringLiteral("Printer error: ")))
        << refused.description.toStdString();

    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.pdf")));
    EXPECT_EQ(PrintLinesToPdf(LoggerLines(3), dir.filePath(QStringLiteral("folder.pdf"))).number,
        fileerror::PathFileAccess);
    EXPECT_EQ(PrintLinesToPdf(LoggerLines(3), dir.filePath(QStringLiteral("missing/table.pdf"))).number,
        fileerror::PathNotFound);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
        QStringList { QStringLiteral("folder.pdf") })
        << "a failed print leaves no file behind";
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("folder.pdf"))).isDir());

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
