// The sampling panel on a scripted meter: the interval, readings into the table, save and load.

#include "support/Files.h"
#include "support/ProgramFixture.h"
#include "tables/RecordTable.h"
#include "values/Colours.h"
#include "window/ControlColours.h"

#include <QFile>

#include <gtest/gtest.h>

namespace pelicard {
namespace {

using Kind = PromptRecorder::Kind;
using Commands = std::vector<std::string>;

struct SamplingFixture : ::testing::Test, testing::ProgramFixture {
    FlexGrid& grid() { return *window().grdMain; }
    void SetUp() override { StartQuietly(true); }
    void Tick(int times = 1)
    {
        for (int i = 0; i < times; ++i) {
            clock.AdvanceSeconds(1);
            program->loop.tmrSpl_Timer();
        }
    }
    bool Sampling() { return window().tmrSpl->Enabled(); }
    void Use(const char* name) { window().txtGfn->setText(dir.filePath(QLatin1String(name))); }
};

// The interval is a plain decimal number of seconds giving 1 to 65535 ms after rounding.
TEST_F(SamplingFixture, StartTakesAnIntervalTheTimerCanKeepAndRefusesAnyOtherWithOneMessage)
{
    const std::pair<const char*, int> good[]
        = { { "0.5", 500 }, { " 1 ", 1000 }, { "65.535", 65535 }, { "0.001", 1 } };
    for (const auto& [text, ms] : good) {
        window().txtSpl->setText(QString::fromLatin1(text));
        window().cmdStart->click();
        EXPECT_TRUE(Sampling()) << text;
        EXPECT_EQ(window().tmrSpl->Interval(), ms) << text;
        window().cmdStart->click();
        EXPECT_FALSE(Sampling()) << text;
        EXPECT_EQ(BackColour(window().cmdStart), colour::ButtonFace);
    }
    for (const char* bad : { "", "abc", "1s", "0", "-1", "65.536", "0.0001", "nan", "inf", "1e9" }) {
        prompts.Clear();
        window().txtSpl->setText(QString::fromLatin1(bad));
        window().cmdStart->click();
        EXPECT_FALSE(Sampling()) << bad;
        EXPECT_NE(BackColour(window().cmdStart), colour::Linked) << bad;
        EXPECT_EQ(prompts.Count(Kind::Ok), 1) << bad;
    }
}

TEST_F(SamplingFixture, TicksRequestReadingsAndTheTableGrowsAndScrolls)
{
    Tick(10);
    EXPECT_EQ(Sent(), Commands(10, "DRM"));
    EXPECT_EQ(prompts.BeepCount(), 10);
    EXPECT_EQ(grid().Rows(), 12);
    EXPECT_EQ(grid().TopRow(), 1);
    EXPECT_EQ(RowsUntilGap(grid()).back(),
        (RecordRow {
            QStringLiteral("10"), QStringLiteral("14:05:19"), QStringLiteral("  1.2345V  "), QString() }));
    Tick(30);
    EXPECT_EQ(grid().Rows(), 42);
    EXPECT_GT(grid().TopRow(), 1) << "the newest record is kept in view";

    // Hold ticked: nothing is asked for, no beep, no row.
    window().chkHold->setChecked(true);
    Sent();
    prompts.Clear();
    Tick(3);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(prompts.BeepCount(), 0);
    EXPECT_EQ(RowsUntilGap(grid()).size(), 40U);
}

TEST_F(SamplingFixture, SaveWritesTheRowsBeforeTheFirstGapAndNothingForAnEmptyTable)
{
    Use("samples.dat");
    window().cmdGrd[0]->click();
    EXPECT_FALSE(QFile::exists(window().txtGfn->text()));
    Tick(3);
    grid().SetTextMatrix(3, 0, QString()); // a gap: row 3 and below are not saved
    window().cmdGrd[0]->click();
    EXPECT_EQ(testing::ReadAll(window().txtGfn->text()),
        testing::ReadAll(QStringLiteral(PELICARD_TEST_DATA "/sampling/two_samples.dat")));
    EXPECT_EQ(prompts.Texts(Kind::Ok),
        (QStringList { QStringLiteral("None Data. Please check again!! "),
            QStringLiteral("Complete Text file: ") + window().txtGfn->text() }));
}

TEST_F(SamplingFixture, LoadStopsSamplingAndStartDiscardsTheLoadedTable)
{
    Use("three.dat");
    ASSERT_TRUE(testing::WriteAll(window().txtGfn->text(),
        "1\t10:00:01\t 1.000V\tnote 1\r\n2\t10:00:02\t 1.000V\tnote 2\r\n3\t10:00:03\t 1.000V\tnote 3\r\n"));
    window().cmdStart->click();
    window().cmdGrd[1]->click();
    EXPECT_FALSE(Sampling());
    EXPECT_EQ(RowsUntilGap(grid()).size(), 3U);
    EXPECT_EQ(grid().TextMatrix(3, 3), QStringLiteral("note 3"));
    EXPECT_EQ(grid().TextMatrix(0, 0), QStringLiteral("Index"));
    EXPECT_EQ(BackColour(window().cmdGrd[1]), colour::Linked);
    EXPECT_EQ(prompts.BeepCount(), 1);

    window().cmdStart->click();
    EXPECT_TRUE(grid().TextMatrix(1, 0).isEmpty());
    EXPECT_EQ(BackColour(window().cmdGrd[1]), colour::ButtonFace);
    Tick();
    EXPECT_EQ(grid().TextMatrix(1, 0), QStringLiteral("1"));
}

TEST_F(SamplingFixture, ABrokenFileKeepsTheRowsReadBeforeTheFaultAndOneMessage)
{
    Use("broken.dat");
    ASSERT_TRUE(testing::WriteAll(window().txtGfn->text(),
        "1\t10:00:00\ta\t\r\n2\t10:00:01\tb\t\r\nonly two\tfields\r\n4\t10:00:03\td\t\r\n"));
    window().cmdGrd[1]->click();
    EXPECT_EQ(RowsUntilGap(grid()).size(), 2U);
    EXPECT_EQ(grid().TextMatrix(2, 2), QStringLiteral("b"));
    ASSERT_EQ(prompts.Count(Kind::Ok), 1);
    EXPECT_TRUE(prompts.Texts(Kind::Ok)[0].startsWith(QStringLiteral("Error #: 62")));

    prompts.Clear();
    Use("missing.dat");
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
    EXPECT_FALSE(Sampling());
    EXPECT_EQ(prompts.Count(Kind::Ok), 1);
    Tick();
    EXPECT_EQ(grid().Rows(), MaxRecords + 2) << "nothing is written past the last record";
    EXPECT_EQ(program->records.recordRow, MaxRecords + 1);
}

} // namespace
} // namespace pelicard
