#include "window/FlexGrid.h"

#include "values/Colours.h"
#include "window/Twips.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <limits>

namespace pelicard {
namespace {

QTableView* FixedRowView(FlexGrid& grid)
{
    return grid.findChild<QTableView*>(QStringLiteral("fixedRow"));
}
QTableView* ScrollingView(FlexGrid& grid)
{
    return grid.findChild<QTableView*>(QStringLiteral("scrollingRows"));
}

// All texts of the grid, row by row.
QString AllTexts(const FlexGrid& grid)
{
    QString texts;
    for (int row = 0; row < grid.Rows(); ++row) {
        for (int col = 0; col < grid.Cols(); ++col) {
            texts += grid.TextMatrix(row, col);
        }
    }
    return texts;
}

// A grid shown on screen with room for a few rows, so scrolling really happens.
void ShowSmall(FlexGrid& grid)
{
    grid.resize(320, 150);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    QCoreApplication::processEvents();
}

TEST(FlexGrid, CellsGrowEmptyDropFromTheEndAndIgnoreWhatIsOutside)
{
    FlexGrid grid;
    grid.SetCols(4);
    grid.SetRows(12);
    grid.SetTextMatrix(10, 2, QStringLiteral("kept "));
    grid.SetTextMatrix(11, 3, QStringLiteral("dropped"));
    grid.SetRows(40);
    ASSERT_EQ(grid.Rows(), 40);
    EXPECT_EQ(AllTexts(grid), QStringLiteral("kept dropped")) << "new rows are empty";
    grid.SetRows(11);
    grid.SetRows(12);
    EXPECT_EQ(grid.TextMatrix(11, 3), QString()) << "a dropped row comes back empty";
    grid.SetCol(3);
    grid.SetCols(3);
    EXPECT_EQ(grid.Col(), 2) << "the current column stays inside the grid";
    grid.SetCols(4);
    EXPECT_EQ(grid.TextMatrix(10, 3), QString()) << "a dropped column comes back empty";
    EXPECT_EQ(grid.TextMatrix(10, 2), QStringLiteral("kept ")) << "texts are kept as they are";

    for (const int bad : { 0, -1, -32768, FlexGrid::MaxRows + 1 }) {
        grid.SetRows(bad);
    }
    for (const int bad : { 0, -5, FlexGrid::MaxCols + 1 }) {
        grid.SetCols(bad);
    }
    EXPECT_EQ(grid.Rows(), 12);
    EXPECT_EQ(grid.Cols(), 4);
    for (const auto& [row, col] : { std::pair { -1, 0 }, { 0, -1 }, { 12, 0 }, { 0, 4 }, { 32767, 2 } }) {
        grid.SetTextMatrix(row, col, QStringLiteral("lost"));
        EXPECT_EQ(grid.TextMatrix(row, col), QString());
        grid.SetColWidth(col, 500);
        grid.SetRowHeight(row, 500);
    }
    EXPECT_EQ(AllTexts(grid), QStringLiteral("kept "));
    grid.SetRow(70);
    grid.SetCol(-2);
    EXPECT_EQ(std::pair(grid.Row(), grid.Col()), std::pair(0, 2)) << "the current cell stays";

    // Clear empties every cell, the header row included, with its formats.
    grid.SetTextMatrix(0, 0, QStringLiteral("Index"));
    grid.SetRow(3);
    grid.SetCol(3);
    grid.SetCellBackColor(colour::LoadedMark);
    grid.Clear();
    EXPECT_EQ(grid.Rows(), 12);
    EXPECT_EQ(AllTexts(grid), QString());
    EXPECT_EQ(grid.CellBackColor(), grid.BackColor());
}

TEST(FlexGrid, TopRowIsTheFirstScrollingRowShownBelowTheFixedRow)
{
    FlexGrid grid;
    grid.SetRows(40);
    grid.SetTopRow(0);
    EXPECT_EQ(grid.TopRow(), 1) << "row 0 is fixed, never a top row";
    grid.SetTopRow(500);
    EXPECT_EQ(grid.TopRow(), 39);
    grid.SetRows(12);
    EXPECT_EQ(grid.TopRow(), 11) << "dropping rows keeps the top row inside the grid";
    grid.SetRows(40);
    grid.SetTopRow(3); // before the grid is shown
    grid.SetTextMatrix(0, 0, QStringLiteral("Index"));
    ShowSmall(grid);
    QTableView* fixed = FixedRowView(grid);
    QTableView* scrolling = ScrollingView(grid);
    EXPECT_EQ(scrolling->rowAt(0) + 1, 3);
    for (int step = 0; step < 3; ++step) {
        grid.SetTopRow(grid.TopRow() + 1);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(scrolling->rowAt(0) + 1, 6);
    EXPECT_TRUE(fixed->isVisible());
    EXPECT_EQ(fixed->model()->index(0, 0).data().toString(), QStringLiteral("Index"));
    EXPECT_LT(fixed->geometry().bottom(), scrolling->geometry().top() + 1);
    scrolling->verticalScrollBar()->setValue(9);
    EXPECT_EQ(grid.TopRow(), 10) << "scrolling by hand moves the top row too";

    const int shownAtOnce = scrolling->viewport()->height() / scrolling->rowHeight(0);
    ASSERT_GT(shownAtOnce, 1);
    ASSERT_LT(shownAtOnce, 39);
    // Scrolled to its end, the grid shows fewer rows above the last than the one asked for.
    grid.SetTopRow(38);
    QCoreApplication::processEvents();
    EXPECT_LT(grid.TopRow(), 38);
    EXPECT_EQ(grid.TopRow(), scrolling->rowAt(0) + 1);
    EXPECT_EQ(scrolling->rowAt(scrolling->viewport()->height() - 1) + 1, 39) << "the last row is in view";
    // Stepping on from the row shown moves the view one row at a time once rows are added.
    const int shown = grid.TopRow();
    grid.SetRows(41);
    grid.SetTopRow(grid.TopRow() + 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.TopRow(), shown + 1);
    EXPECT_EQ(grid.TopRow(), scrolling->rowAt(0) + 1);
    // Rows that all fit leave nothing to scroll.
    grid.SetRows(3);
    grid.SetTopRow(2);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.TopRow(), 1);
    EXPECT_EQ(scrolling->rowAt(0), 0);
}

TEST(FlexGrid, SizeHintSaturatesInsteadOfOverflowingOnAbsurdWidths)
{
    FlexGrid grid;
    grid.SetRows(1); // no scroll bar beside the columns
    grid.SetCols(3);
    grid.SetColWidth(0, 1440);
    EXPECT_EQ(grid.sizeHint().width(),
        2 * grid.frameWidth() + TwipsToPixelsX(&grid, 1440) + 2 * TwipsToPixelsX(&grid, grid.ColWidth(1)));
    grid.SetCols(40);
    for (int col = 0; col < grid.Cols(); ++col) {
        grid.SetColWidth(col, std::numeric_limits<int>::max());
    }
    EXPECT_EQ(grid.sizeHint().width(), std::numeric_limits<int>::max());
    EXPECT_GT(grid.sizeHint().height(), 0);
}

TEST(FlexGrid, FormatsReadBackAndApplyToBothParts)
{
    FlexGrid grid;
    grid.SetCols(6);
    grid.SetRows(1);
    grid.SetBackColorFixed(colour::FileBar);
    grid.SetCol(3);
    EXPECT_EQ(grid.CellBackColor(), colour::FileBar) << "an unset cell reads its row's colour";
    for (const std::uint32_t number : { colour::ButtonFace, 0u, colour::LoadedMark }) {
        grid.SetCellBackColor(number);
        EXPECT_EQ(grid.CellBackColor(), number);
    }
    grid.SetCol(2);
    EXPECT_EQ(grid.CellBackColor(), colour::FileBar) << "only the current cell changed";
    const QVariant shown = FixedRowView(grid)->model()->index(0, 3).data(Qt::BackgroundRole);
    EXPECT_EQ(shown.value<QBrush>().color(), QColor(0x80, 0xFF, 0xFF));
    EXPECT_TRUE(ScrollingView(grid)->isHidden()) << "a one-row grid is just its bar";

    grid.SetRows(8);
    grid.SetColWidth(1, 1000);
    grid.SetRowHeight(3, 600);
    EXPECT_EQ(FixedRowView(grid)->columnWidth(1), TwipsToPixelsX(&grid, 1000));
    EXPECT_EQ(ScrollingView(grid)->columnWidth(1), TwipsToPixelsX(&grid, 1000));
    EXPECT_GE(ScrollingView(grid)->rowHeight(2), TwipsToPixelsY(&grid, 600));
    grid.SetColAlignment(1, 5);
    grid.SetColAlignment(2, 6);
    grid.SetColAlignment(2, 42);
    EXPECT_EQ(grid.ColAlignment(2), 6) << "an unknown code is ignored";
    const auto alignment = [&](QTableView* view, int row, int col) {
        return Qt::Alignment(view->model()->index(row, col).data(Qt::TextAlignmentRole).toInt());
    };
    EXPECT_EQ(alignment(FixedRowView(grid), 0, 1), Qt::AlignHCenter | Qt::AlignVCenter)
        << "the fixed row's headers sit on one line";
    EXPECT_EQ(alignment(ScrollingView(grid), 0, 2), Qt::AlignRight | Qt::AlignTop);
}

TEST(FlexGrid, ClicksAndKeysMakeTheCellCurrentAndTellTheArrayIndex)
{
    FlexGrid grid;
    grid.SetIndex(4);
    grid.SetCols(4);
    grid.SetRows(8);
    ShowSmall(grid);
    QSignalSpy clicks(&grid, &FlexGrid::Click);
    const auto click = [](QTableView* view, int row, int col) {
        QTest::mouseClick(
            view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(row, col)).center());
    };
    click(ScrollingView(grid), 2, 1);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 4);
    EXPECT_EQ(std::pair(grid.Row(), grid.Col()), std::pair(3, 1));
    click(FixedRowView(grid), 0, 3);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(std::pair(grid.Row(), grid.Col()), std::pair(0, 3));

    // A one-row bar is worked from the keyboard.
    FlexGrid bar;
    bar.SetCols(6);
    bar.SetRows(1);
    ShowSmall(bar);
    QSignalSpy keys(&bar, &FlexGrid::Click);
    QTableView* cells = FixedRowView(bar);
    ASSERT_TRUE(cells->focusPolicy() & Qt::TabFocus) << "Tab cannot reach the bar";
    cells->setFocus();
    cells->setCurrentIndex(cells->model()->index(0, 2));
    QTest::keyClick(cells, Qt::Key_Right);
    QTest::keyClick(cells, Qt::Key_Space);
    ASSERT_EQ(keys.count(), 1);
    EXPECT_EQ(bar.Col(), 3);
    QTest::keyClick(cells, Qt::Key_Return);
    EXPECT_EQ(keys.count(), 2);
}

} // namespace
} // namespace pelicard
