// The logger table and its file bar on a window of their own: the rows a download writes, and
// choose, load, save and print with every fault a user can meet.

#include "tables/LoggerFileBar.h"

#include "support/Files.h"
#include "support/FullDisk.h"
#include "tables/LoggerTable.h"
#include "tables/TableFiles.h"
#include "values/Colours.h"
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
    LoggerTable table { window };
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
        for (int i = 1; i <= records; ++i) {
            table.AddRecord(QString::number(i).rightJustified(5, QLatin1Char('0')),
                QStringLiteral("9:5:%1").arg(i % 60), QStringLiteral(" 1.0000V  "));
        }
        table.AddRecord(QString::number(records + 1).rightJustified(5, QLatin1Char('0')),
            QString::fromLatin1(LoggerTable::EndOfData), QString(10, QLatin1Char(' ')));
    }
    bool Marked() { return ShowsLoadedMark(*window.grdLog[0]); }
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
    EXPECT_EQ(grid.TextMatrix(20, 1), QStringLiteral("--EOD---"));
    EXPECT_TRUE(grid.TextMatrix(20, 3).isEmpty());

    table.ResetLoggerTable();
    EXPECT_EQ(grid.Rows(), 8);
    EXPECT_EQ(grid.TopRow(), 1);
    EXPECT_EQ(table.logRow, 1);
    EXPECT_TRUE(grid.TextMatrix(1, 0).isEmpty());
    EXPECT_EQ(grid.TextMatrix(0, 3), QStringLiteral("Remarks"));
    EXPECT_EQ(grid.RowHeight(0), 240);
}

TEST_F(LoggerBar, ChoosingProposesTestLogAndACancelKeepsTheProposal)
{
    UseFile(QStringLiteral("old.log"));
    prompts.ScriptFileChoice(Path("mine.log"));
    bar.ChooseFile();
    ASSERT_EQ(prompts.Dialogs().size(), 1U);
    EXPECT_EQ(prompts.Dialogs()[0].Filter, QStringLiteral("Data Logger File(*.log)|*.log"));
    EXPECT_EQ(prompts.Dialogs()[0].FileName, QStringLiteral("Test.log"));
    EXPECT_EQ(prompts.Dialogs()[0].Flags, 512);
    EXPECT_EQ(bar.FileName(), Path("mine.log"));
    bar.ChooseFile();
    EXPECT_EQ(bar.FileName(), QStringLiteral("Test.log"));
}

TEST_F(LoggerBar, LoadPausesALoggerRunFirstThenFillsAndMarks)
{
    const QString file = Path("ten.log");
    ASSERT_TRUE(WriteAll(file, Lines(10)));
    UseFile(file);
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

    sent.clear();
    SetBackColour(window.cmdFun[3], colour::ButtonFace);
    bar.Load();
    EXPECT_TRUE(sent.empty());
    table.ResetLoggerTable();
    EXPECT_FALSE(Marked()) << "an empty table shows no loaded file";
}

struct LoadFault {
    const char* name;
    std::function<QString(const QString& folder)> make; // makes the file, returns its name
    int error; // the number in the box; 0: no box
    int rowsKept;
};

const LoadFault loadFaults[] = {
    { "missing file", [](const QString& d) { return d + QStringLiteral("/missing.log"); }, 53, 0 },
    { "no file name", [](const QString&) { return QString(); }, 52, 0 },
    { "a folder",
        [](const QString& d) {
            QDir(d).mkdir(QStringLiteral("folder.log"));
            return d + QStringLiteral("/folder.log");
        },
        75, 0 },
    { "empty file",
        [](const QString& d) {
            WriteAll(d + QStringLiteral("/empty.log"), {});
            return d + QStringLiteral("/empty.log");
        },
        62, 0 },
    { "third line with three fields",
        [](const QString& d) {
            WriteAll(d + QStringLiteral("/short.log"), Lines(2) + "00003\t12:00:02\t 1.0V\r\n" + Lines(2, 4));
            return d + QStringLiteral("/short.log");
        },
        62, 2 },
    { "binary garbage after two lines",
        [](const QString& d) {
            QByteArray garbage(4000, '\0');
            QRandomGenerator random(7);
            for (char& byte : garbage) {
                byte = static_cast<char>(random.bounded(256));
            }
            WriteAll(d + QStringLiteral("/garbage.log"), Lines(2) + garbage);
            return d + QStringLiteral("/garbage.log");
        },
        321, 2 },
    { "line longer than a record line",
        [](const QString& d) {
            WriteAll(d + QStringLiteral("/long.log"),
                Lines(1) + "2\t12:00:00\t" + QByteArray(5000, 'r') + "\t\r\n");
            return d + QStringLiteral("/long.log");
        },
        59, 1 },
    { "100 000 lines",
        [](const QString& d) {
            WriteAll(d + QStringLiteral("/huge.log"), Lines(100000));
            return d + QStringLiteral("/huge.log");
        },
        6, MaxRecords },
};

TEST_F(LoggerBar, LoadFaultsGiveOneBoxKeepTheRowsReadAndLeaveNoFileOpen)
{
    {
        QFile held(Path("held.log"));
        ASSERT_TRUE(held.open(QIODevice::WriteOnly));
        ASSERT_EQ(OpenFilesUnder(dir.path()), 1) << "the open-file probe sees an open file";
    }
    for (const LoadFault& fault : loadFaults) {
        SCOPED_TRACE(fault.name);
        QTemporaryDir folder;
        UseFile(fault.make(folder.path()));
        Download(4); // rows from before, which a load replaces
        prompts.Clear();

        bar.Load();

        const QStringList boxes = prompts.Texts(Kind::Ok);
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("Error #: %1\r\nDescription : ").arg(fault.error)))
            << boxes[0].toStdString();
        EXPECT_TRUE(boxes[0].endsWith(QStringLiteral("\r\n\r\n")));
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
    const std::pair<QString, int> targets[]
        = { { Path("folder.log"), 75 }, { Path("no/such/t.log"), 76 }, { QString(), 52 } };
    for (const auto& [target, error] : targets) {
        prompts.Clear();
        UseFile(target);
        bar.Save();
        EXPECT_TRUE(prompts.Texts(Kind::Ok).value(0).startsWith(QStringLiteral("Error #: %1\r\n").arg(error)))
            << target.toStdString();
    }
    EXPECT_TRUE(QFileInfo(Path("folder.log")).isDir());
    EXPECT_FALSE(QFileInfo::exists(Path("no")));

    testing::FullDisk disk;
    if (!disk.Mounted()) {
        std::printf("[  SKIPPED ] full disk: %s\n", disk.Why().c_str());
        return;
    }
    const QString old = disk.FilePath(QStringLiteral("Test.log"));
    ASSERT_TRUE(WriteAll(old, Lines(1)));
    grid.SetRows(3002);
    for (int row = 1; row <= 3000; ++row) {
        grid.SetTextMatrix(row, 0, QString::number(row));
        grid.SetTextMatrix(row, 1, QStringLiteral("12:00:00"));
    }
    disk.Fill();
    prompts.Clear();
    UseFile(old);
    bar.Save();
    EXPECT_TRUE(prompts.Texts(Kind::Ok).value(0).startsWith(QStringLiteral("Error #: 61\r\n")));
    EXPECT_EQ(ReadAll(old), Lines(1));
    EXPECT_EQ(OpenFilesUnder(disk.Path()), 0);
}

TEST_F(LoggerBar, PrintSendsOneLinePerRowWithTheTimeAsTheCellHoldsIt)
{
    bar.Print();
    EXPECT_EQ(prompts.Texts(Kind::Ok), QStringList { QStringLiteral("None Data. Please check again!! ") });
    EXPECT_EQ(prompts.Count(Kind::PrintLines), 0);

    prompts.Clear();
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
    EXPECT_TRUE(
        prompts.Texts(Kind::Ok).value(0).startsWith(QStringLiteral("Error #: 482\r\nDescription : ")));
    EXPECT_EQ(RowsUntilGap(grid).size(), 3U);
}

TEST_F(LoggerBar, WithoutAPrinterPrintOffersAPdfFile)
{
    Download(2);
    UseFile(Path("run.log"));
    prompts.SetHasPrinter(false);
    bar.Print(); // the offer declined
    ASSERT_EQ(prompts.Dialogs().size(), 1U);
    EXPECT_EQ(prompts.Dialogs()[0].FileName, Path("run.pdf"));
    EXPECT_EQ(prompts.Dialogs()[0].Filter, QStringLiteral("PDF File(*.pdf)|*.pdf"));
    EXPECT_FALSE(prompts.Dialogs()[0].DialogTitle.isEmpty());
    EXPECT_EQ(prompts.Count(Kind::PrintLines), 0);
    EXPECT_EQ(prompts.Count(Kind::Ok), 0);
    EXPECT_EQ(window.dlgopen.FileName, QString()) << "the file bar's own dialog settings are left alone";

    prompts.Clear();
    prompts.ScriptFileChoice(Path("printout.pdf"));
    bar.Print();
    ASSERT_EQ(prompts.Count(Kind::PrintLines), 1);
    EXPECT_EQ(prompts.Calls()[1].title, Path("printout.pdf"));
    EXPECT_EQ(prompts.Texts(Kind::Ok),
        QStringList { QStringLiteral("Complete PDF file: ") + Path("printout.pdf") });

    EXPECT_EQ(PdfFileFor(QStringLiteral("a/Test.LOG")), QStringLiteral("a/Test.pdf"));
    EXPECT_EQ(PdfFileFor(QStringLiteral("notes")), QStringLiteral("notes.pdf"));
    EXPECT_EQ(PdfFileFor(QString()), QStringLiteral("Test.pdf"));
}

} // namespace
} // namespace pelicard
