// The chart of the sampling table and the live reading in the whole program on the virtual meter.

#include "app/Ini.h"
#include "support/Files.h"
#include "support/VirtualProgram.h"
#include "tables/TableFiles.h"
#include "values/Colours.h"
#include "window/ControlColours.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace pelicard {
namespace {

using Kind = PromptRecorder::Kind;

struct ChartScene : ::testing::Test, testing::VirtualProgram {
    void SetUp() override
    {
        ASSERT_TRUE(meter.SetMode(1));
        StartLinked();
    }
    const ChartModel& Chart() const { return window.chtMain->Model(); }
    std::size_t Rows() const { return RowsUntilGap(*window.grdMain).size(); }
    void Sample(int ticks)
    {
        for (int i = 0; i < ticks; ++i) {
            time.Advance(500);
            clock.AdvanceSeconds(1);
            program.loop.tmrSpl_Timer();
        }
    }
    // One live tick; true when it asked the meter for the reading.
    bool LiveTick()
    {
        time.Advance(500);
        Received();
        program.live.tmrLive_Timer();
        const auto sent = Received();
        return std::count(sent.begin(), sent.end(), "DRM") == 1;
    }
};

TEST_F(ChartScene, TheChartFollowsTheTableAndClearEmptiesIt)
{
    window.cmdStart->click();
    Sample(5);
    ASSERT_EQ(Rows(), 5U);
    ASSERT_EQ(Chart().Points().size(), 5U);
    for (std::size_t i = 0; i < 5; ++i) {
        const ReadingValue reading
            = ParseReading(window.grdMain->TextMatrix(static_cast<int>(i) + 1, 2).toStdString());
        EXPECT_EQ(Chart().Points()[i].gap, !reading.BaseValue());
        EXPECT_DOUBLE_EQ(Chart().Points()[i].value, reading.BaseValue().value_or(0));
    }
    EXPECT_EQ(Chart().Points()[4].time - Chart().Points()[0].time, 4.0);
    EXPECT_EQ(window.lblChartStats->text(), window.chtMain->StatisticsText());
    EXPECT_TRUE(window.lblChartStats->text().startsWith(QStringLiteral("5 readings in view")));
    window.cmdClr->click();
    EXPECT_TRUE(Chart().Points().empty());
    EXPECT_EQ(window.lblChartStats->text(), QStringLiteral("No readings in view"));
}

TEST_F(ChartScene, ALoadedFileIsChartedWithoutItsUnreadableTimesAndWithoutTheLivePoint)
{
    window.txtGfn->setText(dir.filePath(QStringLiteral("three.dat")));
    ASSERT_TRUE(testing::WriteAll(window.txtGfn->text(),
        "1\t23:59:59\t 1.0000V\t\r\n2\tlate\t 2.0000V\t\r\n3\t00:00:01\t    OL     "
        "\t\r\n4\t00:00:02\t-1.5000mV\t\r\n"));
    window.cmdGrd[1]->click();
    ASSERT_EQ(Rows(), 4U);
    const auto& points = Chart().Points();
    ASSERT_EQ(points.size(), 3U);
    EXPECT_EQ(points[1].time, 86401.0) << "past midnight";
    EXPECT_TRUE(points[1].gap);
    EXPECT_DOUBLE_EQ(points[2].value, -1.5e-3);
    window.chkLive->setChecked(true);
    EXPECT_TRUE(LiveTick());
    EXPECT_FALSE(Chart().Live()) << "a file's times have nothing to do with the live reading";
}

// The live reading asks as sampling does, adds no row, and waits while each of these runs.
TEST_F(ChartScene, TheLiveReadingWaitsForWhatUsesTheMeterAndGoesOnAfter)
{
    EXPECT_FALSE(window.tmrLive->Enabled()) << "off by default";
    window.cmbLive->setCurrentIndex(0);
    window.chkLive->setChecked(true);
    EXPECT_TRUE(window.tmrLive->Enabled());
    EXPECT_EQ(window.tmrLive->Interval(), 500);
    ASSERT_TRUE(LiveTick());
    ASSERT_TRUE(Chart().Live());
    EXPECT_EQ(Rows(), 0U);
    EXPECT_FALSE(program.state.vu.readingText[0].isEmpty());

    struct Case {
        const char* name;
        std::function<void(ChartScene&)> begin;
        std::function<void(ChartScene&)> end;
    };
    const Case cases[] = {
        { "sampling", [](ChartScene& s) { s.window.cmdStart->click(); },
            [](ChartScene& s) { s.window.cmdStart->click(); } },
        { "hold", [](ChartScene& s) { s.window.chkHold->setChecked(true); },
            [](ChartScene& s) { s.window.chkHold->setChecked(false); } },
        { "setup panel",
            [](ChartScene& s) {
                s.window.SSTab1->setCurrentIndex(2); // Record Mode has no panel
                s.window.cmdFun[0]->click();
                ASSERT_FALSE(s.window.picSup->isHidden());
            },
            [](ChartScene& s) { s.window.cmdSup[1]->click(); } },
        { "trend",
            [](ChartScene& s) {
                s.window.SSTab1->setCurrentIndex(4);
                s.window.cmdFun[3]->click();
                ASSERT_EQ(BackColour(s.window.cmdFun[3]), colour::Lit);
            },
            [](ChartScene& s) { s.window.cmdFun[3]->click(); } },
        { "logger download",
            [](ChartScene& s) {
                ASSERT_TRUE(s.meter.SetLogger({ 1, 0, 50 }));
                s.window.SSTab1->setCurrentIndex(0);
                s.window.cmdFun[2]->click();
                ASSERT_TRUE(s.program.loop.Downloading());
            },
            [](ChartScene& s) { s.Download(1000); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.begin(*this);
        const std::size_t rows = Rows();
        EXPECT_FALSE(LiveTick());
        EXPECT_FALSE(window.lblLive->text().isEmpty());
        c.end(*this);
        EXPECT_TRUE(LiveTick()) << "goes on by itself";
        EXPECT_TRUE(window.lblLive->text().isEmpty());
        EXPECT_EQ(Rows(), rows) << "no row from the live reading";
    }

    // Unlink stops the ticks; a relink starts them again.
    window.CmdSys[0]->click();
    EXPECT_FALSE(window.tmrLive->Enabled());
    window.CmdSys[0]->click();
    EXPECT_TRUE(window.tmrLive->Enabled()) << "the setting outlives a relink";
}

TEST_F(ChartScene, TheSettingIsKeptOnlyWhenChosenAndReadAtTheNextStart)
{
    const QString ini = program.iniPath;
    const QByteArray before = testing::ReadAll(ini);
    window.close();
    EXPECT_EQ(testing::ReadAll(ini), before) << "the default leaves the file as it was";

    window.cmbLive->setCurrentIndex(2);
    window.chkLive->setChecked(true);
    window.show();
    window.close();
    EXPECT_EQ(testing::ReadAll(ini), before + "[LiveReading]\nLiveReading=on,2000\n");

    VirtualProgram next(MeterVariant::Logger50k, dir.path());
    next.program.Start();
    EXPECT_TRUE(next.window.chkLive->isChecked());
    EXPECT_EQ(next.window.cmbLive->currentIndex(), 2);
    EXPECT_FALSE(next.window.tmrLive->Enabled()) << "not before Link";
    next.window.chkLive->setChecked(false);
    next.window.close();
    EXPECT_EQ(ReadIni(QStringLiteral("LiveReading"), QStringLiteral("LiveReading"), ini),
        QStringLiteral("off,2000"));
}

TEST_F(ChartScene, TheChartIsSavedAsAPictureAndPrintedOrOfferedAsPdf)
{
    window.cmdStart->click();
    Sample(3);
    window.txtGfn->setText(dir.filePath(QStringLiteral("run.dat")));
    prompts.ScriptFileChoice(dir.filePath(QStringLiteral("run.png")));
    window.cmdChartSave->click();
    ASSERT_EQ(prompts.Count(Kind::ChooseFile), 1);
    EXPECT_EQ(prompts.Texts(Kind::ChooseFile)[0], dir.filePath(QStringLiteral("run.png")))
        << "the proposed name";
    const QImage saved(dir.filePath(QStringLiteral("run.png")));
    EXPECT_EQ(saved.size(), QSize(960, 480));
    EXPECT_EQ(prompts.Texts(Kind::Ok).back(),
        QStringLiteral("Complete PNG file: ") + dir.filePath(QStringLiteral("run.png")));

    prompts.Clear();
    window.cmdChartPrint->click();
    ASSERT_EQ(prompts.PrintedPictures().size(), 1U);
    EXPECT_EQ(prompts.PrintedPictures()[0], saved.convertToFormat(prompts.PrintedPictures()[0].format()));
    EXPECT_EQ(prompts.Count(Kind::ChooseFile), 0) << "a printer needs no file";

    prompts.Clear();
    prompts.SetHasPrinter(false);
    prompts.ScriptFileChoice(dir.filePath(QStringLiteral("run.pdf")));
    window.cmdChartPrint->click();
    ASSERT_EQ(prompts.Count(Kind::PrintPicture), 1);
    EXPECT_EQ(prompts.Texts(Kind::ChooseFile), QStringList { dir.filePath(QStringLiteral("run.pdf")) });
    const auto printed = std::find_if(prompts.Calls().begin(), prompts.Calls().end(),
        [](const PromptRecorder::Call& call) { return call.kind == Kind::PrintPicture; });
    EXPECT_EQ(printed->title, dir.filePath(QStringLiteral("run.pdf")));
    EXPECT_EQ(prompts.Texts(Kind::Ok),
        QStringList { QStringLiteral("Complete PDF file: ") + dir.filePath(QStringLiteral("run.pdf")) });
}

} // namespace
} // namespace pelicard
