#include "trend/TrendPlot.h"

#include "window/frmMain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace pelicard {
namespace {

// The smallest rectangle of red pixels, in pixels; null when there are none.
QRect RedBounds(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == QColor(Qt::red)) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

struct SegmentCase {
    const char* name;
    bool reset; // a mode button cleared the plot first; otherwise the plot is as at start-up
    std::vector<std::pair<int, int>> points; // index, level
    QPointF from, to; // the red segment in twips; from == to: nothing drawn
};

TEST(TrendPlot, EachPointDrawsTheSegmentFromThePointBefore)
{
    const SegmentCase cases[] = {
        { "first point after a reset", true, { { 0, 0 } }, {}, {} },
        { "second point", true, { { 0, 0 }, { 1, 5 } }, { 750, 960 }, { 780, 780 } },
        { "a level of 255 starts a new trace", true, { { 0, 255 }, { 1, 0 } }, {}, {} },
        { "at start-up the level before is 0", false, { { 4, 2 } }, { 840, 960 }, { 870, 888 } },
        { "below level 0", true, { { 119, 0 }, { 120, -1 } }, { 4320, 960 }, { 4350, 996 } },
    };
    for (const SegmentCase& c : cases) {
        frmMain window;
        TrendPlot plot(window);
        if (c.reset) {
            plot.ClearPlot();
        }
        for (const auto& [index, level] : c.points) {
            EXPECT_TRUE(plot.AddTrendPoint(index, level)) << c.name;
        }
        EXPECT_EQ(plot.PrevTrendLevel, c.points.back().second) << c.name;
        const PictureBox& picture = *window.picTrd;
        const QPoint a = picture.ToPixels(c.from.x(), c.from.y());
        const QPoint b = picture.ToPixels(c.to.x(), c.to.y());
        // Both ends are painted.
        const QRect expected = c.from == c.to ? QRect()
                                              : QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                                                  QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
        EXPECT_EQ(RedBounds(picture.image()), expected) << c.name;
    }
}

TEST(TrendPlot, APointTheTableOrThePlotCannotHoldChangesNothing)
{
    frmMain window;
    TrendPlot plot(window);
    plot.ClearPlot();
    ASSERT_TRUE(plot.AddTrendPoint(0, 3));
    const QImage before = window.picTrd->image().copy();
    for (const auto& [index, level] :
        { std::pair { 121, 4 }, { 32767, 4 }, { -1, 4 }, { 1, 911 }, { 1, -884 } }) {
        EXPECT_FALSE(plot.AddTrendPoint(index, level)) << index << " " << level;
    }
    EXPECT_EQ(plot.PrevTrendLevel, 3);
    EXPECT_EQ(window.picTrd->image(), before);
    // The plot's edges are still drawn.
    EXPECT_TRUE(plot.AddTrendPoint(1, 910));
    EXPECT_TRUE(plot.AddTrendPoint(2, -883));
    EXPECT_NE(window.picTrd->image(), before);
}

} // namespace
} // namespace pelicard
