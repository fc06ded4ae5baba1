#include "window/FlexGrid.h"

#include "values/Colours.h"
#include "window/Twips.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

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

// A grid shown on screen with room for a few rows, so scrolling really happens.
void ShowSmall(FlexGrid& grid)
{
    grid.resize(320, 150);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    QCoreApplication::processEvents();
}

TEST(FlexGrid, StartsAsASmallGridWithItsHeaderRow)
{
    FlexGrid grid;
    EXPECT_EQ(grid.Rows(), 2);
    EXPECT_EQ(grid.Cols(), 2);
    EXPECT_EQ(grid.TopRow(), 1);
    EXPECT_EQ(grid.Row(), 0);
    EXPECT_EQ(grid.Col(), 0);
    EXPECT_EQ(grid.Index(), -1);
    grid.setProperty("index", 3);
    EXPECT_EQ(grid.Index(), 3);
}

TEST(FlexGrid, RowCountGrowsWithEmptyRowsAndDropsRowsFromTheEnd)
{
    FlexGrid grid;
    grid.SetCols(4);
    grid.SetRows(12);
    grid.SetTextMatrix(10, 2, QStringLiteral("kept"));
    grid.SetTextMatrix(11, 3, QStringLiteral("dropped"));
    for (int rows = 13; rows <= 40; ++rows) {
        grid.SetRows(rows);
        ASSERT_EQ(grid.Rows(), rows);
        EXPECT_EQ(grid.TextMatrix(rows - 1, 0), QString());
    }
    EXPECT_EQ(grid.TextMatrix(10, 2), QStringLiteral("kept"));

    grid.SetRows(11);
    EXPECT_EQ(grid.Rows(), 11);
    EXPECT_EQ(grid.TextMatrix(11, 3), QString());
    grid.SetRows(12);
    EXPECT_EQ(grid.TextMatrix(11, 3), QString()) << "a dropped row comes back empty";
    EXPECT_EQ(grid.TextMatrix(10, 2), QStringLiteral("kept"));
}

TEST(FlexGrid, BadRowAndColumnCountsAreIgnored)
{
    FlexGrid grid;
    grid.SetTextMatrix(1, 1, QStringLiteral("x"));
    for (const int bad : { 0, -1, -32768, FlexGrid::MaxRows + 1 }) {
        grid.SetRows(bad);
        EXPECT_EQ(grid.Rows(), 2);
    }
    for (const int bad : { 0, -5, FlexGrid::MaxCols + 1 }) {
        grid.SetCols(bad);
        EXPECT_EQ(grid.Cols(), 2);
    }
    EXPECT_EQ(grid.TextMatrix(1, 1), QStringLiteral("x"));
}

TEST(FlexGrid, ColumnsGrowAndShrinkWithTheirTexts)
{
    FlexGrid grid;
    grid.SetTextMatrix(1, 1, QStringLiteral("b"));
    grid.SetCols(6);
    grid.SetTextMatrix(0, 5, QStringLiteral("f"));
    EXPECT_EQ(grid.TextMatrix(0, 5), QStringLiteral("f"));
    EXPECT_EQ(grid.TextMatrix(1, 1), QStringLiteral("b"));
    grid.SetCol(5);
    grid.SetCols(3);
    EXPECT_EQ(grid.Col(), 2) << "the current column stays inside the grid";
    grid.SetCols(6);
    EXPECT_EQ(grid.TextMatrix(0, 5), QString());
}

TEST(FlexGrid, TextsAreStoredAndReturnedUnchanged)
{
    FlexGrid grid;
    grid.SetCols(4);
    const QString texts[] = { QStringLiteral("Reading   "), QStringLiteral("     Remark"),
        QStringLiteral("  4.9999V  "), QStringLiteral("--EOD---"), QStringLiteral("\t\xB5s"), QString() };
    for (const QString& text : texts) {
        grid.SetTextMatrix(1, 3, text);
        EXPECT_EQ(grid.TextMatrix(1, 3), text);
    }
}

TEST(FlexGrid, OutOfRangeCellsReadEmptyAndIgnoreWrites)
{
    FlexGrid grid;
    grid.SetCols(4);
    grid.SetRows(3);
    const std::pair<int, int> outside[]
        = { { -1, 0 }, { 0, -1 }, { 3, 0 }, { 0, 4 }, { 32767, 2 }, { 1, 1 << 30 } };
    for (const auto& [row, col] : outside) {
        grid.SetTextMatrix(row, col, QStringLiteral("lost"));
        EXPECT_EQ(grid.TextMatrix(row, col), QString());
    }
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col) {
            EXPECT_EQ(grid.TextMatrix(row, col), QString()) << row << "," << col;
        }
    }
    grid.SetRow(7);
    grid.SetCol(-2);
    EXPECT_EQ(grid.Row(), 0);
    EXPECT_EQ(grid.Col(), 0);
    EXPECT_EQ(grid.ColWidth(9), 0);
    EXPECT_EQ(grid.RowHeight(-1), 0);
    grid.SetColWidth(9, 500);
    grid.SetRowHeight(9, 500);
}

TEST(FlexGrid, ClearEmptiesEveryCellHeaderRowIncluded)
{
    FlexGrid grid;
    grid.SetCols(4);
    grid.SetRows(8);
    for (int row = 0; row < 8; ++row) {
        for (int col = 0; col < 4; ++col) {
            grid.SetTextMatrix(row, col, QStringLiteral("%1,%2").arg(row).arg(col));
        }
    }
    grid.SetRow(3);
    grid.SetCol(3);
    grid.SetCellBackColor(colour::LoadedMark);
    grid.Clear();
    EXPECT_EQ(grid.Rows(), 8);
    EXPECT_EQ(grid.Cols(), 4);
    for (int row = 0; row < 8; ++row) {
        for (int col = 0; col < 4; ++col) {
            EXPECT_EQ(grid.TextMatrix(row, col), QString()) << row << "," << col;
        }
    }
    EXPECT_EQ(grid.CellBackColor(), grid.BackColor()) << "formats go with the texts";
}

TEST(FlexGrid, TopRowScrollsOneRowAtATimeWithinTheScrollingRows)
{
    FlexGrid grid;
    grid.SetRows(40);
    grid.SetTopRow(grid.TopRow() + 1);
    EXPECT_EQ(grid.TopRow(), 2);
    grid.SetTopRow(0);
    EXPECT_EQ(grid.TopRow(), 1) << "row 0 is fixed, never a top row";
    grid.SetTopRow(500);
    EXPECT_EQ(grid.TopRow(), 39);
    grid.SetRows(12);
    EXPECT_EQ(grid.TopRow(), 11) << "dropping rows keeps the top row inside the grid";
    grid.SetRows(1);
    EXPECT_EQ(grid.TopRow(), 1);
}

TEST(FlexGrid, ScrollingKeepsRowZeroShownAboveTheTopRow)
{
    FlexGrid grid;
    grid.SetCols(3);
    grid.SetRows(40);
    grid.SetTextMatrix(0, 0, QStringLiteral("Index"));
    for (int row = 1; row < 40; ++row) {
        grid.SetTextMatrix(row, 0, QString::number(row));
    }
    ShowSmall(grid);
    QTableView* fixed = FixedRowView(grid);
    QTableView* scrolling = ScrollingView(grid);
    ASSERT_NE(fixed, nullptr);
    ASSERT_NE(scrolling, nullptr);

    for (int step = 0; step < 5; ++step) {
        grid.SetTopRow(grid.TopRow() + 1);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.TopRow(), 6);
    EXPECT_EQ(scrolling->rowAt(0) + 1, 6) << "the first scrolling row shown is the top row";
    EXPECT_TRUE(fixed->isVisible());
    EXPECT_EQ(fixed->model()->index(0, 0).data().toString(), QStringLiteral("Index"));
    EXPECT_EQ(fixed->rowAt(0), 0);
    EXPECT_LT(fixed->geometry().bottom(), scrolling->geometry().top() + 1);

    // Scrolling by hand moves the top row too.
    scrolling->verticalScrollBar()->setValue(9);
    EXPECT_EQ(grid.TopRow(), 10);
}

TEST(FlexGrid, TopRowSetBeforeTheGridIsShownIsAppliedWhenItIs)
{
    FlexGrid grid;
    grid.SetRows(60);
    grid.SetTopRow(20);
    ShowSmall(grid);
    EXPECT_EQ(grid.TopRow(), 20);
    EXPECT_EQ(ScrollingView(grid)->rowAt(0) + 1, 20);
}

TEST(FlexGrid, AppendingRecordsOneByOneReachesTheRecordLimit)
{
    // Rows arrive one at a time, as the sampling table and the logger download write them.
    FlexGrid grid;
    grid.SetCols(4);
    grid.SetRows(12);
    for (int n = 1; n <= 32767; ++n) {
        grid.SetRow(n);
        grid.SetTextMatrix(n, 0, QString::number(n));
        if (grid.Rows() < n + 2) {
            grid.SetRows(n + 2);
        }
        if (n + 1 > 11) {
            grid.SetTopRow(grid.TopRow() + 1);
        }
    }
    EXPECT_EQ(grid.Rows(), 32769);
    EXPECT_EQ(grid.TextMatrix(32767, 0), QStringLiteral("32767"));
    EXPECT_EQ(grid.TopRow(), 32758);
}

TEST(FlexGrid, CellBackColourReadsBackTheNumberSetForTheCurrentCell)
{
    FlexGrid grid;
    grid.SetCols(6);
    grid.SetRows(1);
    grid.SetBackColorFixed(colour::FileBar);
    grid.SetRow(0);
    grid.SetCol(3);
    EXPECT_EQ(grid.CellBackColor(), colour::FileBar) << "an unset cell reads its row's colour";
    for (const std::uint32_t number : { colour::LoadedMark, colour::ButtonFace, colour::FileBar, 0u }) {
        grid.SetCellBackColor(number);
        EXPECT_EQ(grid.CellBackColor(), number);
    }
    grid.SetCellBackColor(colour::LoadedMark);
    grid.SetCol(2);
    EXPECT_EQ(grid.CellBackColor(), colour::FileBar) << "only the current cell changed";
    grid.SetCol(3);
    EXPECT_EQ(grid.CellBackColor(), colour::LoadedMark);

    const QVariant shown = FixedRowView(grid)->model()->index(0, 3).data(Qt::BackgroundRole);
    EXPECT_EQ(shown.value<QBrush>().color(), QColor(0x80, 0xFF, 0xFF));
}

TEST(FlexGrid, ColumnWidthsAndRowHeightsReadBackAndSizeBothParts)
{
    FlexGrid grid;
    grid.SetCols(4);
    grid.SetRows(8);
    grid.SetColWidth(1, 1000);
    grid.SetRowHeight(0, 240);
    grid.SetRowHeight(3, 600);
    EXPECT_EQ(grid.ColWidth(1), 1000);
    EXPECT_EQ(grid.RowHeight(0), 240);
    EXPECT_EQ(grid.RowHeight(3), 600);
    const int pixels = TwipsToPixelsX(&grid, 1000);
    EXPECT_EQ(FixedRowView(grid)->columnWidth(1), pixels);
    EXPECT_EQ(ScrollingView(grid)->columnWidth(1), pixels) << "the fixed row lines up with the rows below";
    EXPECT_GE(ScrollingView(grid)->rowHeight(2), TwipsToPixelsY(&grid, 600));
    EXPECT_GE(FixedRowView(grid)->height(), TwipsToPixelsY(&grid, 240));
}

TEST(FlexGrid, ColumnAlignmentCodesPlaceTheText)
{
    FlexGrid grid;
    grid.SetCols(3);
    grid.SetColAlignment(0, 4);
    grid.SetColAlignment(1, 5);
    grid.SetColAlignment(2, 6);
    grid.SetColAlignment(2, 42);
    EXPECT_EQ(grid.ColAlignment(0), 4);
    EXPECT_EQ(grid.ColAlignment(1), 5);
    EXPECT_EQ(grid.ColAlignment(2), 6) << "an unknown code is ignored";
    const auto alignment = [&](int row, int col) {
        QAbstractItemModel* model = (row == 0 ? FixedRowView(grid) : ScrollingView(grid))->model();
        return Qt::Alignment(model->index(row == 0 ? 0 : row - 1, col).data(Qt::TextAlignmentRole).toInt());
    };
    EXPECT_EQ(alignment(1, 0), Qt::AlignCenter);
    EXPECT_EQ(alignment(0, 1), Qt::AlignHCenter | Qt::AlignBottom) << "the fixed row follows its column";
    EXPECT_EQ(alignment(1, 2), Qt::AlignRight | Qt::AlignTop);
}

TEST(FlexGrid, CellPictureIsDrawnWhereItsAlignmentPutsIt)
{
    FlexGrid grid;
    grid.SetCols(3);
    grid.SetRows(1);
    for (int col = 0; col < 3; ++col) {
        grid.SetColWidth(col, 300);
    }
    grid.SetRowHeight(0, 300);
    QPixmap icon(6, 6);
    icon.fill(Qt::red);
    grid.SetRow(0);
    grid.SetCol(1);
    grid.SetCellPictureAlignment(4);
    grid.SetCellPicture(icon);
    EXPECT_EQ(grid.CellPictureAlignment(), 4);
    EXPECT_FALSE(grid.CellPicture().isNull());
    grid.SetCol(0);
    EXPECT_TRUE(grid.CellPicture().isNull());

    ShowSmall(grid);
    QTableView* fixed = FixedRowView(grid);
    const QImage shot = fixed->viewport()->grab().toImage();
    const QRect cell = fixed->visualRect(fixed->model()->index(0, 1));
    EXPECT_EQ(shot.pixelColor(cell.center()), QColor(Qt::red));
    EXPECT_NE(shot.pixelColor(cell.left() + 1, cell.top() + 1), QColor(Qt::red))
        << "centred, not at the corner";
    const QRect other = fixed->visualRect(fixed->model()->index(0, 2));
    EXPECT_NE(shot.pixelColor(other.center()), QColor(Qt::red));
}

TEST(FlexGrid, ClickMakesTheCellCurrentAndTellsTheArrayIndex)
{
    FlexGrid grid;
    grid.SetIndex(4);
    grid.SetCols(4);
    grid.SetRows(8);
    ShowSmall(grid);
    QSignalSpy clicks(&grid, &FlexGrid::Click);

    QTableView* scrolling = ScrollingView(grid);
    const QModelIndex cell = scrolling->model()->index(2, 1);
    QTest::mouseClick(scrolling->viewport(), Qt::LeftButton, {}, scrolling->visualRect(cell).center());
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 4);
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(grid.Col(), 1);

    QTableView* fixed = FixedRowView(grid);
    QTest::mouseClick(
        fixed->viewport(), Qt::LeftButton, {}, fixed->visualRect(fixed->model()->index(0, 3)).center());
    ASSERT_EQ(clicks.count(), 2);
    EXPECT_EQ(grid.Row(), 0);
    EXPECT_EQ(grid.Col(), 3);
}

TEST(FlexGrid, OneRowGridIsJustItsBar)
{
    FlexGrid bar;
    bar.SetCols(6);
    bar.SetRows(1);
    EXPECT_TRUE(ScrollingView(bar)->isHidden());
    EXPECT_EQ(bar.sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    bar.SetRows(3);
    EXPECT_FALSE(ScrollingView(bar)->isHidden());
}

} // namespace
} // namespace pelicard
