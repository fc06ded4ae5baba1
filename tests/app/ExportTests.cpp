// "Export CSV..." of the sampling and the logger tables, in the whole program on the virtual meter.

#include "support/Files.h"
#include "support/VirtualProgram.h"
#include "tables/TableFiles.h"

#include <QAction>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace pelicard {
namespace {

using Kind = PromptRecorder::Kind;

struct Export : ::testing::Test, testing::VirtualProgram {
    QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    // The file's lines, CR LF ends taken off.
    QStringList Lines(const QString& path) const
    {
        QStringList lines = QString::fromUtf8(testing::ReadAll(path)).split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.back().isEmpty()) {
            lines.removeLast();
        }
        return lines;
    }
    void SetClock(int second, int ms)
    {
        clock.Set(QDateTime(QDate(2026, 12, 6), QTime(16, 30, second, ms), QTimeZone(3600)));
    }
};

TEST_F(Export, SampledRowsCarryTheirTimeLoadedRowsNoneAndNothingHappensOnCancel)
{
    StartLinked();
    const char* readings[] = { " 4.9999V  ", "    OL     ", "-0.0012mA  " };
    for (int i = 0; i < 3; ++i) {
        SetClock(1 + i, 123 * i);
        ASSERT_TRUE(program.records.WriteRecord(QLatin1String(readings[i])));
    }
    prompts.ScriptFileChoice(Path("sampled.csv"));
    // Through the table's context menu.
    ASSERT_EQ(window.grdMain->actions().size(), 1);
    EXPECT_EQ(window.grdMain->actions().front()->text(), QStringLiteral("Export CSV..."));
    window.grdMain->actions().front()->trigger();
    EXPECT_EQ(Lines(Path("sampled.csv")),
        (QStringList { QStringLiteral("timestamp,value,unit,overload,text"),
            QStringLiteral("2026-12-06T16:30:01.000+01:00,4.9999,V,false, 4.9999V  "),
            QStringLiteral("2026-12-06T16:30:02.123+01:00,,,true,    OL     "),
            QStringLiteral("2026-12-06T16:30:03.246+01:00,-0.0012,mA,false,-0.0012mA  ") }));
    EXPECT_EQ(prompts.Texts(Kind::Ok),
        QStringList { QStringLiteral("Complete Text file: ") + Path("sampled.csv") });

    // The dialog cancelled: no file, no box.
    prompts.Clear();
    program.records.ExportCsv();
    EXPECT_EQ(prompts.Count(Kind::Ok), 0);

    // Rows from a file keep only the time of day: their timestamp stays empty.
    window.txtGfn->setText(Path("sampled.dat"));
    window.cmdGrd[0]->click();
    window.cmdGrd[1]->click();
    prompts.Clear();
    prompts.ScriptFileChoice(Path("loaded.csv"));
    program.records.ExportCsv();
    const QStringList loaded = Lines(Path("loaded.csv"));
    ASSERT_EQ(loaded.size(), 4);
    EXPECT_EQ(loaded[1], QStringLiteral(",4.9999,V,false, 4.9999V  "));

    window.cmdClr->click();
    prompts.Clear();
    program.records.ExportCsv();
    EXPECT_EQ(prompts.Texts(Kind::Ok), QStringList { QLatin1String(NoDataMessage) });
    EXPECT_EQ(prompts.Count(Kind::ChooseFile), 0);
}

TEST_F(Export, DownloadedRecordsKeepTheMetersAddressAndTimeWithoutTheEndOfDataRow)
{
    ASSERT_TRUE(meter.SetMode(0));
    ASSERT_TRUE(meter.SetLogger({ 1, 0, 1 }));
    ASSERT_TRUE(meter.SetLoggerMemory({ { 0, "08:00:00", "  1.0000V " }, { 1, " 8:00:01", "  1.0100V " } }));
    StartLinked();
    SetClock(5, 0);
    window.cmdFun[2]->click();
    Download(100);
    ASSERT_EQ(RowsUntilGap(*window.grdLog[4]).size(), 3U) << "two records and the end-of-data row";

    prompts.ScriptFileChoice(Path("logger.csv"));
    ASSERT_EQ(window.grdLog[4]->actions().size(), 1);
    window.grdLog[4]->actions().front()->trigger();
    const QStringList lines = Lines(Path("logger.csv"));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("timestamp,value,unit,overload,text,address,meter_time"));
    EXPECT_TRUE(
        lines[2].startsWith(QStringLiteral("2026-12-06T16:30:05.000+01:00,1.0100,V,false,  1.0100V ,")))
        << lines[2].toStdString();
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral(", 8:00:01"))) << lines[2].toStdString();
}

} // namespace
} // namespace pelicard
