#pragma once

#include <QString>

#include <array>

namespace pelicard {

class frmMain;

// The trend plot in picTrd and the texts of its points.
class TrendPlot {
public:
    static constexpr int PointCount = 121;
    static constexpr int NoPreviousPoint = 255;
    // Levels whose vertical position would not fit the picture's 16-bit coordinates.
    static constexpr int LowestLevel = -883;
    static constexpr int HighestLevel = 910;

    explicit TrendPlot(frmMain& window);

    // Draws the red segment that ends at point x with level y, starting one index to the left at the
    // previous level; nothing is drawn after a reset. Returns false, changing nothing, for an index
    // outside the table or a level the plot cannot place.
    bool AddTrendPoint(int x, int y);
    // Clears the picture and starts a new trace with the next point.
    void ClearPlot();

    static bool IndexFits(int index) { return index >= 0 && index < PointCount; }
    static bool LevelFits(int level) { return level >= LowestLevel && level <= HighestLevel; }

    std::array<QString, PointCount> TrendData;
    // Empty at start-up, which counts as level 0.
    int PrevTrendLevel = 0;

private:
    frmMain& window_;
};

} // namespace pelicard
