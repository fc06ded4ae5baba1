// The trend plot and its file bar in the whole program, on the virtual meter and virtual time.

#include "support/Files.h"
#include "support/VirtualProgram.h"
#include "trend/TrendBench.h"
#include "values/Colours.h"
#include "window/ControlColours.h"

#include <gtest/gtest.h>

#include <set>

namespace pelicard {
namespace {

using Kind = PromptRecorder::Kind;

struct TrendScene : ::testing::Test, testing::VirtualProgram {
    TrendPlot& plot = program.trend;

    void SetUp() override
    {
        ASSERT_TRUE(meter.SetMode(4));
        StartLinked();
        ASSERT_EQ(window.SSTab1->currentIndex(), 4);
    }
    // A click on the file bar's load cell, as the grid reports it.
    void ClickLoad()
    {
        window.grdTrd->SetRow(0);
        window.grdTrd->SetCol(filebar::LoadColumn);
        emit window.grdTrd->Click(window.grdTrd->Index());
    }
    void StartTrend()
    {
        window.cmdFun[3]->click();
        ASSERT_EQ(BackColour(window.cmdFun[3]), colour::Lit);
        ASSERT_TRUE(meter.TrendRunning());
    }
    bool SegmentDrawn(int index) const { return testing::SegmentDrawn(*window.picTrd, index); }
};

TEST_F(TrendScene, LivePointsAreDrawnInTheOrderTheyArrive)
{
    plot.ClearPlot();
    StartTrend();
    Listen(2400, 50, 30);
    const int last = window.trdBar->value();
    ASSERT_GE(last, 30);
    std::vector<int> levels;
    for (int i = 0; i <= last; ++i) {
        const QString& text = plot.TrendData[static_cast<std::size_t>(i)];
        EXPECT_EQ(text.size(), 3) << i;
        levels.push_back(text.toInt());
    }
    EXPECT_GT(std::set<int>(levels.begin(), levels.end()).size(), 1U) << "a trace that shows its order";
    EXPECT_TRUE(plot.TrendData[static_cast<std::size_t>(last) + 1].isEmpty());

    // The same points drawn one after the other in index order give the same picture.
    const QImage live = window.picTrd->image().copy();
    plot.ClearPlot();
    for (int i = 0; i <= last; ++i) {
        ASSERT_TRUE(plot.AddTrendPoint(i, levels[static_cast<std::size_t>(i)]));
    }
    EXPECT_EQ(window.picTrd->image(), live);
}

TEST_F(TrendScene, LoadingWhileTheTrendRunsStopsItAndStartClearsTheLoadedFile)
{
    StartTrend();
    Listen(1200, 50, 5);
    const QString path = dir.filePath(QStringLiteral("flat.trd"));
    ASSERT_TRUE(testing::WriteAll(path, QByteArray("020\r\n").repeated(120)));
    window.grdTrd->SetTextMatrix(0, filebar::NameColumn, path);
    ClickLoad();
    EXPECT_FALSE(meter.TrendRunning());
    EXPECT_NE(BackColour(window.cmdFun[3]), colour::Lit);
    EXPECT_EQ(prompts.Count(Kind::Ok), 0);
    EXPECT_TRUE(ShowsLoadedMark(*window.grdTrd));

    // Nothing of the stopped trend comes over the file's points.
    Listen(200, 50);
    for (std::size_t i = 0; i < 119; ++i) {
        EXPECT_EQ(plot.TrendData[i], QStringLiteral("020")) << i;
    }
    EXPECT_EQ(plot.PrevTrendLevel, 20);
    EXPECT_TRUE(SegmentDrawn(118));

    // "Start" clears the loaded file away before the new trend.
    window.cmdFun[3]->click();
    EXPECT_FALSE(ShowsLoadedMark(*window.grdTrd));
    EXPECT_FALSE(SegmentDrawn(118));
    EXPECT_TRUE(meter.TrendRunning());
    Listen(1200, 50, 3);
    EXPECT_TRUE(SegmentDrawn(3));
    EXPECT_FALSE(SegmentDrawn(118));
}

} // namespace
} // namespace pelicard
