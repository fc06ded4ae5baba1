// The logger table's file bar in the whole program on the virtual meter: a download to its end,
// then save, load and print through clicks on the bar, with the files and the printout read back.

#include "app/Program.h"
#include "support/Files.h"
#include "support/PdfText.h"
#include "tables/TableFiles.h"
#include "values/Colours.h"
#include "virtualmeter/VirtualMeter.h"
#include "window/Clock.h"
#include "window/ControlColours.h"
#include "window/PromptRecorder.h"
#include "window/QtPrompts.h"
#include "window/TableLayouts.h"

#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace pelicard {
namespace {

using Kind = PromptRecorder::Kind;

QString DataFile(const char* name)
{
    return QStringLiteral(PELICARD_TEST_DATA "/files/") + QLatin1String(name);
}

// Scripted prompts whose PDF print jobs are rendered for real, as on a desktop without a printer.
struct PdfPrompts : PromptRecorder {
    FileError PrintLines(const QStringList& lines, const QString& pdfFile) override
    {
        FileError scripted = PromptRecorder::PrintLines(lines, pdfFile);
        if (scripted.failed() || pdfFile.isEmpty()) {
            return scripted;
        }
        return desktop.PrintLines(lines, pdfFile);
    }
    QtPrompts desktop;
};

// The records in the meter's memory: times as the meter may send them, with or without the
// leading zero of the hour (the file always has it).
std::vector<LoggerRecord> MeterRecords(int count)
{
    std::vector<LoggerRecord> records;
    for (int i = 0; i < count; ++i) {
        const int seconds = 8 * 3600 + i * 7;
        char time[16];
        std::snprintf(time, sizeof time, i % 2 == 0 ? "%02d:%02d:%02d" : "%2d:%02d:%02d", seconds / 3600,
            seconds / 60 % 60, seconds % 60);
        char reading[16];
        std::snprintf(reading, sizeof reading, "%8.4fV ", ((i * 37) % 20000 - 10000) / 1000.0);
        records.push_back({ i, time, reading });
    }
    return records;
}

struct LoggerFile : ::testing::Test {
    QTemporaryDir dir;
    ManualMeterTime time;
    VirtualMeter meter { MeterVariant::Logger50k, time };
    PdfPrompts prompts;
    FixedClock clock;
    std::unique_ptr<Program> program;

    void SetUp() override
    {
        ASSERT_TRUE(meter.SetMode(0));
        ASSERT_TRUE(meter.SetLoggerMemory(MeterRecords(300)));
        program = std::make_unique<Program>(meter, prompts, clock, dir.path());
        program->Start();
        program->CmdSys_Click(0);
        ASSERT_EQ(BackColour(window().CmdSys[0]), colour::Linked);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
        prompts.Clear();
    }

    frmMain& window() const { return program->window; }
    FlexGrid& table() const { return *window().grdLog[4]; }
    QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    void UseFile(const QString& name) const
    {
        window().grdLog[0]->SetTextMatrix(0, filebar::NameColumn, name);
    }

    // A real mouse click on a cell of a grid.
    static void Click(FlexGrid& grid, int row, int column)
    {
        auto* view = grid.findChild<QTableView*>(
            row == 0 ? QStringLiteral("fixedRow") : QStringLiteral("scrollingRows"));
        ASSERT_NE(view, nullptr);
        const QRect cell = view->visualRect(view->model()->index(row == 0 ? 0 : row - 1, column));
        ASSERT_TRUE(view->isVisible() && view->viewport()->rect().contains(cell.center()))
            << grid.objectName().toStdString() << " cell " << row << "," << column << " is not on screen";
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    }
    void ClickBar(int column) const { Click(*window().grdLog[0], 0, column); }

    void Download()
    {
        program->logger.ResetLoggerTable();
        ASSERT_TRUE(meter.PressKey(3)); // recall on the meter
        program->link.SendCommand("PST??");
        ASSERT_TRUE(window().tmrLog->Enabled());
        for (int tick = 0; tick < 1000 && window().tmrLog->Enabled(); ++tick) {
            program->loop.tmrLog_Timer();
        }
    }
};

TEST_F(LoggerFile, ADownloadRunsToTheMarkerRowAndSavesAsTheExpectedFile)
{
    Download();
    EXPECT_FALSE(window().tmrLog->Enabled());
    EXPECT_EQ(BackColour(window().led[1]), colour::White) << "the receive lamp is off again";
    ASSERT_EQ(RowsUntilGap(table()).size(), 301U);
    EXPECT_EQ(table().TextMatrix(301, 1), QStringLiteral("--EOD---"));
    EXPECT_EQ(table().TextMatrix(2, 1), QStringLiteral(" 8:00:07")) << "the table keeps the meter's text";
    EXPECT_EQ(program->logger.logRow, 302);
    EXPECT_EQ(table().Rows(), 304);
    EXPECT_GT(table().TopRow(), 250) << "the newest rows are in view";

    UseFile(Path("download.log"));
    ClickBar(filebar::SaveColumn);
    const QByteArray saved = testing::ReadAll(Path("download.log"));
    EXPECT_EQ(saved, testing::ReadAll(DataFile("download_300.log")));
    EXPECT_TRUE(saved.endsWith("00300\t--EOD---\t----------\t\r\n"));
    EXPECT_EQ(prompts.Texts(Kind::Ok),
        QStringList { QStringLiteral("Complete Text file: ") + Path("download.log") });
    EXPECT_EQ(window().StatusBar1->PanelText(1), Path("download.log"));
}

TEST_F(LoggerFile, SavingRightAfterAResetMakesNoFile)
{
    Download();
    program->logger.ResetLoggerTable();
    UseFile(Path("nothing.log"));
    ClickBar(filebar::SaveColumn);
    ClickBar(filebar::PrintColumn);
    EXPECT_FALSE(QFile::exists(Path("nothing.log")));
    EXPECT_EQ(prompts.Texts(Kind::Ok), QStringList(2, QStringLiteral("None Data. Please check again!! ")));
    EXPECT_EQ(prompts.Count(Kind::PrintLines), 0);
}

TEST_F(LoggerFile, OnlyTheFileBarsCommandCellsAnswerClicks)
{
    Download();
    const std::vector<RecordRow> rows = RowsUntilGap(table());
    meter.ClearReceivedCommands();
    UseFile(Path("clicked.log"));
    ClickBar(0);
    ClickBar(filebar::NameColumn);
    // The bar's current cell as a click on a command cell leaves it: clicks elsewhere must not act on it.
    window().grdLog[0]->SetCol(filebar::SaveColumn);
    for (int index = 1; index <= 3; ++index) {
        Click(*window().grdLog[static_cast<std::size_t>(index)], 0, 1);
    }
    for (int column = 0; column < 4; ++column) {
        Click(table(), table().TopRow(), column);
        Click(table(), 0, column);
    }
    EXPECT_TRUE(prompts.Calls().empty());
    EXPECT_TRUE(meter.ReceivedCommands().empty());
    EXPECT_EQ(RowsUntilGap(table()), rows);
    EXPECT_FALSE(QFile::exists(Path("clicked.log")));

    prompts.ScriptFileChoice(Path("chosen.log"));
    ClickBar(filebar::ChooseColumn);
    EXPECT_EQ(prompts.Count(Kind::ChooseFile), 1);
    EXPECT_EQ(window().grdLog[0]->TextMatrix(0, 1), Path("chosen.log"));
}

TEST_F(LoggerFile, LoadingDuringALoggerRunPausesTheRunThenShowsTheFile)
{
    ASSERT_TRUE(testing::WriteAll(Path("ten.log"), testing::ReadAll(DataFile("ten_lines.log"))));
    ASSERT_TRUE(meter.PressKey(4)); // a logger run starts on the meter
    program->link.SendCommand("PST??");
    ASSERT_EQ(BackColour(window().cmdFun[3]), colour::Lit);
    meter.ClearReceivedCommands();

    UseFile(Path("ten.log"));
    ClickBar(filebar::LoadColumn);
    ASSERT_FALSE(meter.ReceivedCommands().empty());
    EXPECT_EQ(meter.ReceivedCommands().front(), "F4,PST??");
    EXPECT_EQ(meter.ProgramStatus() & 2, 0) << "the run is paused";
    EXPECT_NE(BackColour(window().cmdFun[3]), colour::Lit);
    EXPECT_EQ(table().Rows(), 12);
    EXPECT_EQ(table().TextMatrix(5, 3),
        QString::fromLatin1("10 \xB5"
                            "A leak"));
    EXPECT_TRUE(ShowsLoadedMark(*window().grdLog[0]));
    EXPECT_EQ(prompts.BeepCount(), 1);

    // Saved again: CR LF line ends, four fields, times as hh:mm:ss.
    UseFile(Path("again.log"));
    ClickBar(filebar::SaveColumn);
    EXPECT_EQ(testing::ReadAll(Path("again.log")), testing::ReadAll(DataFile("ten_lines_saved.log")));
}

TEST_F(LoggerFile, WithoutAPrinterThePrintoutIsAPdfFileWithEveryRecord)
{
    Download();
    prompts.SetHasPrinter(false);
    prompts.ScriptFileChoice(Path("printout.pdf"));
    UseFile(Path("run.log"));
    ClickBar(filebar::PrintColumn);
    ASSERT_EQ(prompts.Texts(Kind::Ok),
        QStringList { QStringLiteral("Complete PDF file: ") + Path("printout.pdf") });
    EXPECT_EQ(prompts.Dialogs().at(0).FileName, Path("run.pdf"));

    QString why;
    const auto text = testing::PdfTextLines(Path("printout.pdf"), &why);
    ASSERT_TRUE(text.has_value()) << why.toStdString();
    QStringList printed = *text;
    printed.removeAll(QStringLiteral("\f"));
    QStringList expected;
    for (const RecordRow& row : RowsUntilGap(table())) {
        expected << QStringList { row[0], row[1], row[2], row[3] }.join(QLatin1Char(' ')).simplified();
    }
    ASSERT_EQ(expected.size(), 301);
    EXPECT_EQ(printed.join(QLatin1Char('\n')).toStdString(), expected.join(QLatin1Char('\n')).toStdString());
}

} // namespace
} // namespace pelicard
