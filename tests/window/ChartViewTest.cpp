#include "window/ChartView.h"

#include <QTest>

#include <gtest/gtest.h>

namespace pelicard {
namespace {

// A reading inside both axes adds its piece to the kept plot; one that moves an axis, a resize
// and a zoom draw the plot anew. The piece drawn alone looks as the plot drawn whole.
TEST(ChartView, ANewReadingInsideTheAxesIsDrawnAloneAndLooksAsTheWholeDrawing)
{
    ChartView chart;
    chart.resize(480, 240);
    chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    chart.Append(100, " 1.0000V ");
    chart.Append(101, " 2.0000V ");
    chart.repaint();
    const int draws = chart.FullDraws();
    chart.Append(102, " 1.5000V ");
    chart.Append(103, "    OL     ");
    chart.Append(104, " 1.2000V ");
    chart.repaint();
    EXPECT_EQ(chart.FullDraws(), draws);
    const QImage kept = chart.grab().toImage();
    chart.resize(481, 240);
    chart.resize(480, 240);
    chart.repaint();
    EXPECT_EQ(chart.FullDraws(), draws + 1);
    const QImage whole = chart.grab().toImage();
    int differing = 0;
    for (int y = 0; y < whole.height(); ++y) {
        for (int x = 0; x < whole.width(); ++x) {
            differing += qGray(kept.pixel(x, y)) / 32 != qGray(whole.pixel(x, y)) / 32 ? 1 : 0;
        }
    }
    EXPECT_LT(differing, 30) << "antialiasing aside, the same line";

    chart.Append(104.5, " 9.0000V "); // above the value axis
    chart.repaint();
    EXPECT_EQ(chart.FullDraws(), draws + 2);
    QTest::mouseDClick(&chart, Qt::LeftButton, {}, QPoint(240, 120));
    EXPECT_TRUE(chart.Model().Following());
}

TEST(ChartView, TickLabelsReadAsTimesOfDayAndValuesInTheAxisPrefix)
{
    EXPECT_EQ(TimeLabel(50709, 10), QStringLiteral("14:05:09"));
    EXPECT_EQ(TimeLabel(50709.5, 0.5), QStringLiteral("14:05:09.5"));
    EXPECT_EQ(TimeLabel(86400 + 61, 10), QStringLiteral("+1d 00:01:01"));
    EXPECT_EQ(ValueLabel(0.0125, 0.0005, 1e-3), QStringLiteral("12.5"));
    EXPECT_EQ(ValueLabel(-1e-17, 0.2, 1), QStringLiteral("0.0"));
    EXPECT_EQ(ValueLabel(4000, 1000, 1e3), QStringLiteral("4"));
}

} // namespace
} // namespace pelicard
