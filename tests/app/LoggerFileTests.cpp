// The logger table in the whole program on the virtual meter: "Recal" downloads the memory to its
// end, and real clicks on the file bar save, choose, print and load.

#include "support/Files.h"
#include "support/VirtualProgram.h"
#include "tables/TableFiles.h"
#include "values/Colours.h"
#include "window/ControlColours.h"
#include "window/TableLayouts.h"

#include <QFile>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>

namespace pelicard {
namespace {

using Kind = PromptRecorder::Kind;

QByteArray DataFile(const char* name)
{
    return testing::ReadAll(QStringLiteral(PELICARD_TEST_DATA "/files/") + QLatin1String(name));
}

// Times as the meter may send them, with or without the leading zero of the hour (the file always
// has it).
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

struct LoggerFile : ::testing::Test, testing::VirtualProgram {
    void SetUp() override
    {
        ASSERT_TRUE(meter.SetMode(0));
        ASSERT_TRUE(meter.SetLogger({ 1, 0, 299 }));
        ASSERT_TRUE(meter.SetLoggerMemory(MeterRecords(300)));
        StartLinked();
        program.link.SendCommand("PLV??"); // the addresses beside the table, as the tab shows them
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    FlexGrid& table() const { return *window.grdLog[4]; }
    QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    void UseFile(const QString& name) const { window.grdLog[0]->SetTextMatrix(0, filebar::NameColumn, name); }
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
    void ClickBar(int column) const { Click(*window.grdLog[0], 0, column); }
};

TEST_F(LoggerFile, RecalDownloadsToTheMarkerRowAndSavesAsTheExpectedFile)
{
    window.cmdFun[2]->click();
    ASSERT_EQ(BackColour(window.cmdFun[2]), colour::Lit);
    program.loop.tmrLog_Timer();
    EXPECT_EQ(window.StatusBar1->PanelText(2), QStringLiteral("Downloading 2 of 300 records"));
    Download(1000);
    EXPECT_FALSE(window.tmrLog->Enabled());
    EXPECT_EQ(window.StatusBar1->PanelText(2), QStringLiteral("Downloaded 300 records"));
    EXPECT_EQ(BackColour(window.led[1]), colour::White) << "the receive lamp is off again";
    ASSERT_EQ(RowsUntilGap(table()).size(), 301U);
    EXPECT_EQ(table().TextMatrix(301, 1), QStringLiteral("--EOD---"));
    EXPECT_EQ(table().TextMatrix(2, 1), QStringLiteral(" 8:00:07")) << "the table keeps the meter's text";
    EXPECT_EQ(program.logger.logRow, 302);

    UseFile(Path("download.log"));
    ClickBar(filebar::SaveColumn);
    EXPECT_EQ(testing::ReadAll(Path("download.log")), DataFile("download_300.log"));
    EXPECT_EQ(prompts.Texts(Kind::Ok),
        QStringList { QStringLiteral("Complete Text file: ") + Path("download.log") });
    EXPECT_EQ(window.StatusBar1->PanelText(1), Path("download.log"));
}

TEST_F(LoggerFile, OnlyTheFileBarsCommandCellsAnswerClicks)
{
    window.cmdFun[2]->click();
    Download(1000);
    const std::vector<RecordRow> rows = RowsUntilGap(table());
    meter.ClearReceivedCommands();
    UseFile(Path("clicked.log"));
    ClickBar(0);
    ClickBar(filebar::NameColumn);
    // The bar's current cell as a click on a command cell leaves it: clicks elsewhere must not act on it.
    window.grdLog[0]->SetCol(filebar::SaveColumn);
    for (std::size_t index = 1; index <= 3; ++index) {
        Click(*window.grdLog[index], 0, 1);
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
    EXPECT_EQ(window.grdLog[0]->TextMatrix(0, filebar::NameColumn), Path("chosen.log"));
    ClickBar(filebar::PrintColumn);
    ASSERT_EQ(prompts.Printed().size(), 1U);
    EXPECT_EQ(prompts.Printed()[0].size(), 301);
    prompts.Clear();
    ClickBar(filebar::LoadColumn); // chosen.log does not exist
    EXPECT_TRUE(prompts.Texts(Kind::Ok).value(0).startsWith(QStringLiteral("Error #: 53"))) << "no load";
}

} // namespace
} // namespace pelicard
