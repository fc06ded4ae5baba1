#include "trend/TrendPlot.h"

#include "values/Colours.h"
#include "window/frmMain.h"

namespace pelicard {

namespace {
// Plot geometry in twips: index 0 at 750, 30 per index; level 0 at 960, 36 per level, upwards.
int XOf(int index)
{
    return 750 + 30 * index;
}
int YOf(int level)
{
    return 960 - 36 * level;
}
} // namespace

TrendPlot::TrendPlot(frmMain& window)
    : window_(window)
{ }

bool TrendPlot::AddTrendPoint(int x, int y)
{
    if (!IndexFits(x) || !LevelFits(y)) {
        return false;
    }
    if (PrevTrendLevel != NoPreviousPoint) {
        window_.picTrd->DrawLine(XOf(x - 1), YOf(PrevTrendLevel), XOf(x), YOf(y), colour::Red);
        window_.picTrd->Refresh();
    }
    PrevTrendLevel = y;
    return true;
}

void TrendPlot::ClearPlot()
{
    window_.picTrd->Cls();
    window_.picTrd->Refresh();
    PrevTrendLevel = NoPreviousPoint;
}

} // namespace pelicard
