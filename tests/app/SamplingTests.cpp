#include "support/Files.h"
#include "support/ProgramFixture.h"
#include "tables/RecordTable.h"
#include "values/Colours.h"
#include "window/ControlColours.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace pelicard {
namespace {

using testing::ProgramFixture;
using Kind = PromptRecorder::Kind;
using Commands = std::vector<std::string>;

struct SamplingFixture : ::testing::Test, ProgramFixture {
    FlexGrid& grid() { return *window().grdMain; }
    void SetUp() override { StartQuietly(true); }
    void Tick(int times = 1)
    {
        for (int i = 0; i < times; ++i) {
            clock.AdvanceSeconds(1);
            program->loop.tmrSpl_Timer();
        }
    }
};

TEST(SamplingPeriod, AcceptsWholeMillisecondsFromOneToTheTimersLimit)
{
    EXPECT_EQ(SamplingPeriodMs(QStringLiteral("0.5")), 500);
    EXPECT_EQ(SamplingPeriodMs(QStringLiteral(" 1 ")), 1000);
    EXPECT_EQ(SamplingPeriodMs(QStringLiteral("65.535")), 65535);
    EXPECT_EQ(SamplingPeriodMs(QStringLiteral("0.001")), 1);
    for (const char* bad : { "", "abc", "1s", "0", "-1", "65.536", "0.0001", "nan", "inf", "1e9" }) {
        EXPECT_FALSE(SamplingPeriodMs(QString::fromLatin1(bad)).has_value()) << bad;
    }
}

TEST_F(SamplingFixture, StartUsesTheIntervalAndRefusesOneTheTimerCannotKeep)
{
    window().txtSpl->setText(QStringLiteral("0.5"));
    window().cmdStart->click();
    EXPECT_TRUE(window().tmrSpl->Enabled());
    EXPECT_EQ(window().tmrSpl->Interval(), 500);
    EXPECT_EQ(BackColour(window().cmdStart), colour::Linked);
    window().cmdStart->click();
    EXPECT_FALSE(window().tmrSpl->Enabled());
    EXPECT_EQ(BackColour(window().cmdStart), colour::ButtonFace);

    window().txtSpl->setText(QStringLiteral("0"));
    window().cmdStart->click();
    EXPECT_FALSE(window().tmrSpl->Enabled());
    EXPECT_NE(BackColour(window().cmdStart), colour::Linked);
    ASSERT_EQ(prompts.Count(Kind::Ok), 1);
    EXPECT_TRUE(prompts.Texts(Kind::Ok)[0].contains(QStringLiteral("0.001 to 65.535")));
}

TEST_F(SamplingFixture, TicksRequestReadingsAndTheTableGrowsAndScrolls)
{
    Tick(10);
    EXPECT_EQ(Sent(), Commands(10, "DRM"));
    EXPECT_EQ(prompts.BeepCount(), 10);
    EXPECT_EQ(grid().Rows(), 12);
    EXPECT_EQ(grid().TopRow(), 1);
    EXPECT_EQ(grid().TextMatrix(10, 0), QStringLiteral("10"));
    EXPECT_EQ(grid().TextMatrix(10, 1), QStringLiteral("14:05:19"));
    EXPECT_EQ(grid().TextMatrix(10, 2), QStringLiteral("  1.2345V  "));
    Tick();
    EXPECT_EQ(grid().Rows(), 13);
    EXPECT_EQ(program->records.recordRow, 12);
    EXPECT_EQ(program->state.vu.readingText[0], QStringLiteral("  1.2345V  "));
    // Once the rows outgrow the view, the newest record is kept in view.
    Tick(29);
    EXPECT_GT(grid().TopRow(), 1);
}

TEST_F(SamplingFixture, HoldTickedSendsNothingAndStaysSilent)
{
    window().chkHold->setChecked(true);
    Sent();
    prompts.Clear();
    Tick(3);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(prompts.BeepCount(), 0);
    EXPECT_TRUE(grid().TextMatrix(1, 0).isEmpty());
}

TEST_F(SamplingFixture, SaveWritesTabSeparatedLinesAndStopsAtTheFirstGap)
{
    Tick(2);
    Tick(1);
    grid().SetTextMatrix(3, 0, QString()); // a gap: row 3 and below are not saved
    const QString file = dir.filePath(QStringLiteral("samples.dat"));
    window().txtGfn->setText(file);
    window().cmdGrd[0]->click();
    EXPECT_EQ(testing::ReadAll(file),
        testing::ReadAll(QStringLiteral(PELICARD_TEST_DATA "/sampling/two_samples.dat")));
    EXPECT_EQ(window().StatusBar1->PanelText(1), file);
    EXPECT_EQ(prompts.Texts(Kind::Ok), QStringList { QStringLiteral("Complete Text file: ") + file });
}

TEST_F(SamplingFixture, SavingAnEmptyTableWritesNothing)
{
    const QString file = dir.filePath(QStringLiteral("empty.dat"));
    window().txtGfn->setText(file);
    window().cmdGrd[0]->click();
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(prompts.Texts(Kind::Ok), QStringList { QStringLiteral("None Data. Please check again!! ") });
}

TEST_F(SamplingFixture, AFailedSaveReportsAndLeavesTheOldFileIntact)
{
    Tick(1);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.dat")));
    window().txtGfn->setText(dir.filePath(QStringLiteral("folder.dat")));
    window().cmdGrd[0]->click();
    ASSERT_EQ(prompts.Count(Kind::Ok), 1);
    EXPECT_TRUE(prompts.Texts(Kind::Ok)[0].startsWith(QStringLiteral("Error #: ")));
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("folder.dat"))).isDir());
}

TEST_F(SamplingFixture, LoadFillsRowsGrowsOneRowAtATimeAndStopsSampling)
{
    QByteArray three;
    for (int i = 1; i <= 3; ++i) {
        three += QByteArray::number(i) + "\t10:00:0" + QByteArray::number(i) + "\t 1.000V\tnote "
            + QByteArray::number(i) + "\r\n";
    }
    const QString file = dir.filePath(QStringLiteral("three.dat"));
    ASSERT_TRUE(testing::WriteAll(file, three));
    window().cmdStart->click();
    window().txtGfn->setText(file);
    window().cmdGrd[1]->click();
    EXPECT_FALSE(window().tmrSpl->Enabled());
    EXPECT_EQ(grid().Rows(), 12);
    EXPECT_EQ(grid().TextMatrix(3, 3), QStringLiteral("note 3"));
    EXPECT_EQ(grid().TextMatrix(0, 0), QStringLiteral("Index"));
    EXPECT_EQ(BackColour(window().cmdGrd[1]), colour::Linked);
    EXPECT_EQ(prompts.BeepCount(), 1);
    EXPECT_EQ(program->records.recordRow, 1);

    QByteArray twenty;
    for (int i = 1; i <= 20; ++i) {
        twenty += QByteArray::number(i) + "\t10:00:00\tr\t\r\n";
    }
    ASSERT_TRUE(testing::WriteAll(file, twenty));
    window().cmdGrd[1]->click();
    EXPECT_EQ(grid().Rows(), 22);
    EXPECT_EQ(grid().TextMatrix(20, 0), QStringLiteral("20"));

    // Starting again discards the loaded table.
    window().cmdStart->click();
    EXPECT_TRUE(grid().TextMatrix(1, 0).isEmpty());
    EXPECT_EQ(BackColour(window().cmdGrd[1]), colour::ButtonFace);
}

TEST_F(SamplingFixture, ABrokenFileKeepsTheRowsReadBeforeTheFault)
{
    const QString file = dir.filePath(QStringLiteral("broken.dat"));
    ASSERT_TRUE(testing::WriteAll(
        file, "1\t10:00:00\ta\t\r\n2\t10:00:01\tb\t\r\nonly two\tfields\r\n4\t10:00:03\td\t\r\n"));
    window().txtGfn->setText(file);
    window().cmdGrd[1]->click();
    EXPECT_EQ(grid().TextMatrix(2, 2), QStringLiteral("b"));
    EXPECT_TRUE(grid().TextMatrix(3, 0).isEmpty());
    ASSERT_EQ(prompts.Count(Kind::Ok), 1);
    const QString message = prompts.Texts(Kind::Ok)[0];
    EXPECT_TRUE(message.startsWith(QStringLiteral("Error #: ")));
    EXPECT_TRUE(message.contains(QStringLiteral("\r\nDescription : ")));
    EXPECT_TRUE(message.endsWith(QStringLiteral("\r\n\r\n")));

    prompts.Clear();
    window().txtGfn->setText(dir.filePath(QStringLiteral("missing.dat")));
    window().cmdGrd[1]->click();
    EXPECT_EQ(prompts.Count(Kind::Ok), 1);
    EXPECT_NE(BackColour(window().cmdGrd[1]), colour::Linked);
}

TEST_F(SamplingFixture, TheLastRecordStopsSamplingInsteadOfOverflowing)
{
    window().cmdStart->click();
    program->records.recordRow = MaxRecords;
    grid().SetRows(MaxRecords + 1);
    Tick();
    EXPECT_EQ(grid().TextMatrix(MaxRecords, 0), QStringLiteral("32767"));
    EXPECT_FALSE(window().tmrSpl->Enabled());
    EXPECT_EQ(prompts.Count(Kind::Ok), 1);
    Tick();
    EXPECT_EQ(grid().Rows(), MaxRecords + 2) << "nothing is written past the last record";
    EXPECT_EQ(program->records.recordRow, MaxRecords + 1);
}

TEST_F(SamplingFixture, AMeterUnpluggedWhileSamplingIsReportedAndFoundAgainByLink)
{
    window().cmdStart->click();
    const auto meter = backend.interfaces.back();
    answers["DRM"] = {}; // the meter goes silent, then disappears
    Tick();
    EXPECT_FALSE(program->usb.deviceFound);
    EXPECT_EQ(window().StatusBar1->PanelText(3), QStringLiteral("Disconnected"));
    backend.interfaces.pop_back();
    Tick();
    EXPECT_EQ(prompts.Count(Kind::CriticalStop), 1);
    EXPECT_EQ(prompts.Calls().back().kind, Kind::CriticalStop) << "no beep for a reading that never went out";
    EXPECT_NE(BackColour(window().CmdSys[0]), colour::Linked);
    EXPECT_FALSE(window().tmrSpl->Enabled()) << "the loss stops sampling";
    EXPECT_NE(BackColour(window().cmdStart), colour::Linked);

    backend.interfaces.push_back(meter);
    answers["DRM"] = { "drm  2.0000V  " };
    program->CmdSys_Click(0);
    EXPECT_TRUE(program->usb.deviceFound);
    EXPECT_EQ(BackColour(window().CmdSys[0]), colour::Linked);
}

} // namespace
} // namespace pelicard
