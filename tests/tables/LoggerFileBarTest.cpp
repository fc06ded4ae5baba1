// The logger table and its file bar on a window of their own: the rows a download writes, and
// choose, load, save and print with every fault a user can meet.

#include "tables/LoggerFileBar.h"

#include "support/Files.h"
#include "support/FullDisk.h"
#include "tables/LoggerTable.h"
#include "tables/TableFiles.h"
#include "values/Colours.h"
#include "window/Clock.h"
#include "window/ControlColours.h"
#include "window/PromptRecorder.h"
#include "window/TableLayouts.h"
#include "window/frmMain.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <optional>

namespace pelicard {
namespace {

using Kind = PromptRecorder::Kind;
using testing::ReadAll;
using testing::WriteAll;

// Descriptors of this process open on files under a folder.
int OpenFilesUnder(const QString& folder)
{
    int open = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString& fd : fds.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot)) {
        open += QFileInfo(fds.filePath(fd)).symLinkTarget().startsWith(folder) ? 1 : 0;
    }
    return open;
}

QByteArray Lines(int count, int firstAddress = 1)
{
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        text += QByteArray::number(firstAddress + i).rightJustified(5, '0')
            + "\t12:00:" + QByteArray::number(i % 60).rightJustified(2, '0') + "\t 1.2345V  \tnote\r\n";
    }
    return text;
}

struct LoggerBar : ::testing::Test {
    QTemporaryDir dir;
    frmMain window;
    PromptRecorder prompts;
    FixedClock clock;
    LoggerTable table { window, prompts, clock };
    std::vector<std::string> sent;
    std::function<void()> onSend; // looks at the window as a command goes out
    LoggerFileBar bar { window, prompts, table, [this](std::string_view command) {
                           sent.emplace_back(command);
                           if (onSend) {
                               onSend();
                           }
                       } };
    FlexGrid& grid = *window.grdLog[4];

    void SetUp() override { table.ResetLoggerTable(); }
    QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    void UseFile(const QString& path) { window.grdLog[0]->SetTextMatrix(0, filebar::NameColumn, path); }
    void Download(int records)
    {
        for (int i = 1; i <= records + 1; ++i) {
            const bool end = i > records;
            table.AddRecord(QString::number(i).rightJustified(5, QLatin1Char('0')),
                end ? QString::fromLatin1(LoggerTable::EndOfData) : QStringLiteral("9:5:%1").arg(i % 60),
                end ? QString(10, QLatin1Char(' ')) : QStringLiteral(" 1.0000V  "));
        }
    }
    bool Marked() { return ShowsLoadedMark(*window.grdLog[0]); }
    bool BoxSays(int error)
    {
        return prompts.Texts(Kind::Ok).value(0).startsWith(QStringLiteral("Error #: %1\r\n").arg(error));
    }
};

TEST_F(LoggerBar, DownloadedRowsGrowByTwoAndScrollPastRowEight)
{
    for (int k = 1; k <= 20; ++k) {
        const bool end = table.AddRecord(QStringLiteral("%1").arg(k, 5, 10, QLatin1Char('0')),
            k == 20 ? QStringLiteral("--EOD---") : QStringLiteral("12:00:00"), QStringLiteral(" 1.0000V  "));
        EXPECT_EQ(end, k == 20);
        EXPECT_EQ(table.logRow, k + 1);
        const int needed = k + 2; // the next row and one spare, in steps of two from eight
        EXPECT_EQ(grid.Rows(), std::max(8, needed + needed % 2)) << "after record " << k;
        EXPECT_EQ(grid.TopRow(), std::max(1, k - 6)) << "after record " << k;
    }
    EXPECT_TRUE(grid.TextMatrix(20, 3).isEmpty());

    table.ResetLoggerTable();
    EXPECT_EQ(std::tuple(grid.Rows(), grid.TopRow(), table.logRow), std::tuple(8, 1, 1));
    EXPECT_TRUE(grid.TextMatrix(1, 0).isEmpty());
}

TEST_F(LoggerBar, LoadPausesALoggerRunFirstThenFillsAndMarks)
{
    ASSERT_TRUE(WriteAll(Path("ten.log"), Lines(10)));
    UseFile(Path("ten.log"));
    Download(2);
    SetBackColour(window.cmdFun[3], colour::Lit);
    bool tableUntouchedWhenSent = false;
    onSend = [&] { tableUntouchedWhenSent = grid.TextMatrix(3, 1) == QLatin1String("--EOD---"); };
    bar.Load();
    EXPECT_EQ(sent, std::vector<std::string> { "F4,PST??" });
    EXPECT_TRUE(tableUntouchedWhenSent) << "the logger run is paused before the table is reset";
    EXPECT_EQ(grid.Rows(), 12);
    EXPECT_EQ(prompts.Count(Kind::Ok), 0);
    EXPECT_TRUE(Marked());

    SetBackColour(window.cmdFun[3], colour::ButtonFace);
    bar.Load();
    EXPECT_EQ(sent.size(), 1U) << "no run, nothing to pause";
    table.ResetLoggerTable();
    EXPECT_FALSE(Marked()) << "an empty table shows no loaded file";
}

TEST_F(LoggerBar, LoadFaultsGiveOneBoxKeepTheRowsReadAndLeaveNoFileOpen)
{
    {
        QFile held(Path("held.log"));
        ASSERT_TRUE(held.open(QIODevice::WriteOnly));
        ASSERT_EQ(OpenFilesUnder(dir.path()), 1) << "the open-file probe sees an open file";
    }
    QByteArray garbage(4000, '\0');
    QRandomGenerator random(7);
    for (char& byte : garbage) {
        byte = static_cast<char>(random.bounded(256));
    }
    const struct {
        const char* file; // "": no file name; "folder.log" is made a folder
        std::optional<QByteArray> bytes; // none: the file is not there
        int error;
        int rowsKept;
    } faults[] = {
        { "missing.log", {}, 53, 0 },
        { "", {}, 52, 0 },
        { "folder.log", {}, 75, 0 },
        { "empty.log", "", 62, 0 },
        { "short.log", Lines(2) + "00003\t12:00:02\t 1.0V\r\n" + Lines(2, 4), 62, 2 },
        { "garbage.log", Lines(2) + garbage, 321, 2 },
        { "long.log", Lines(1) + "2\t12:00:00\t" + QByteArray(5000, 'r') + "\t\r\n", 59, 1 },
        { "huge.log", Lines(100000), 6, MaxRecords },
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.file);
        QTemporaryDir folder;
        const QString path = *fault.file == '\0' ? QString() : folder.filePath(QLatin1String(fault.file));
        if (fault.bytes) {
            ASSERT_TRUE(WriteAll(path, *fault.bytes));
        } else if (path.endsWith(QStringLiteral("folder.log"))) {
            ASSERT_TRUE(QDir().mkdir(path));
        }
        UseFile(path);
        Download(4); // rows from before, which a load replaces
        prompts.Clear();

        bar.Load();

        const QStringList boxes = prompts.Texts(Kind::Ok);
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_TRUE(BoxSays(fault.error)) << boxes[0].toStdString();
        EXPECT_TRUE(boxes[0].contains(QStringLiteral("\r\nDescription : ")) && boxes[0].endsWith("\r\n\r\n"));
        EXPECT_EQ(static_cast<int>(RowsUntilGap(grid).size()), fault.rowsKept);
        EXPECT_EQ(grid.Rows(), std::max(8, fault.rowsKept + 2));
        EXPECT_EQ(Marked(), fault.rowsKept > 0);
        EXPECT_EQ(prompts.BeepCount(), fault.rowsKept > 0 ? 1 : 0);
        EXPECT_EQ(OpenFilesUnder(folder.path()), 0);
        if (fault.rowsKept > 0) {
            // What was read saves again, and the saved file loads back to the same rows.
            const std::vector<RecordRow> loaded = RowsUntilGap(grid);
            UseFile(folder.filePath(QStringLiteral("again.log")));
            bar.Save();
            bar.Load();
            EXPECT_EQ(RowsUntilGap(grid), loaded);
            EXPECT_EQ(OpenFilesUnder(folder.path()), 0);
        }
    }
}

TEST_F(LoggerBar, AFailedSaveKeepsTheOldFile)
{
    Download(3);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.log")));
    UseFile(Path("folder.log"));
    bar.Save();
    EXPECT_TRUE(BoxSays(75));
    EXPECT_TRUE(QFileInfo(Path("folder.log")).isDir());

    testing::FullDisk disk;
    if (!disk.Mounted()) {
        std::printf("[  SKIPPED ] full disk: %s\n", disk.Why().c_str());
        return;
    }
    const QString old = disk.FilePath(QStringLiteral("Test.log"));
    ASSERT_TRUE(WriteAll(old, Lines(1)));
    disk.Fill();
    prompts.Clear();
    UseFile(old);
    bar.Save();
    EXPECT_TRUE(BoxSays(61));
    EXPECT_EQ(ReadAll(old), Lines(1));
    EXPECT_EQ(OpenFilesUnder(disk.Path()), 0);
}

TEST_F(LoggerBar, PrintSendsOneLinePerRowWithTheTimeAsTheCellHoldsIt)
{
    Download(2);
    grid.SetTextMatrix(2, 3, QStringLiteral("probe moved"));
    bar.Print();
    ASSERT_EQ(prompts.Printed().size(), 1U);
    EXPECT_EQ(prompts.Printed()[0],
        QStringList({ QStringLiteral("00001\t9:5:1\t 1.0000V  \t"),
            QStringLiteral("00002\t9:5:2\t 1.0000V  \tprobe moved"),
            QStringLiteral("00003\t--EOD---\t          \t") }));
    EXPECT_TRUE(prompts.Calls().back().title.isEmpty()) << "on the default printer";
    EXPECT_EQ(prompts.Count(Kind::Ok), 0);

    prompts.Clear();
    prompts.SetPrinterWorks(false);
    bar.Print();
    EXPECT_TRUE(BoxSays(482));
    EXPECT_EQ(RowsUntilGap(grid).size(), 3U);
}

TEST_F(LoggerBar, WithoutAPrinterADeclinedPdfOfferPrintsNothing)
{
    Download(2);
    UseFile(Path("run.log"));
    prompts.SetHasPrinter(false);
    bar.Print();
    ASSERT_EQ(prompts.Dialogs().size(), 1U);
    EXPECT_EQ(prompts.Dialogs()[0].FileName, Path("run.pdf"));
    EXPECT_EQ(prompts.Count(Kind::PrintLines) + prompts.Count(Kind::Ok), 0);
    EXPECT_EQ(window.dlgopen.FileName, QString()) << "the file bar's own dialog settings are left alone";

    EXPECT_EQ(PdfFileFor(QStringLiteral("a/Test.LOG")), QStringLiteral("a/Test.pdf"));
    EXPECT_EQ(PdfFileFor(QStringLiteral("notes")), QStringLiteral("notes.pdf"));
    EXPECT_EQ(PdfFileFor(QString()), QStringLiteral("Test.pdf"));
}

} // namespace
} // namespace pelicard
