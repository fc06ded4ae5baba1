#pragma once

#include <QFrame>
#include <QPixmap>

#include <cstdint>
#include <memory>

class QTableView;

namespace pelicard {

struct FlexGridCells;
class FlexGridModel;

// A grid of text cells addressed by row and column, both from 0. Row 0 is a fixed header row that
// never scrolls; the rows below it scroll, and TopRow is the first of them shown. Cell formats
// (back colour, picture) act on the current cell. Widths and heights are in twips.
//
// Out-of-range rows and columns are harmless: reads give empty values, writes are ignored.
class FlexGrid : public QFrame {
    Q_OBJECT
    Q_PROPERTY(int index READ Index WRITE SetIndex)

public:
    // Alignment codes: 0 left-top ... 8 right-bottom in reading order, 9 general (text left,
    // numbers right, both vertically centred).
    static constexpr int AlignGeneral = 9;
    // Keeps a bad row count from exhausting memory.
    static constexpr int MaxRows = 1 << 20;
    static constexpr int MaxCols = 1024;

    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    int Rows() const;
    // Adds empty rows at the end or drops rows from the end. At least the header row stays.
    void SetRows(int rows);
    int Cols() const;
    void SetCols(int cols);

    // The first scrolling row shown: the row asked for, or an earlier one where the view cannot
    // scroll that far (the last row already in view). A grid not on screen reports the row asked
    // for, which it shows as far as it can once laid out.
    int TopRow() const;
    // Clamped to the scrolling rows; the view follows as far as it can scroll.
    void SetTopRow(int row);

    int Row() const;
    void SetRow(int row);
    int Col() const;
    void SetCol(int col);

    QString TextMatrix(int row, int col) const;
    void SetTextMatrix(int row, int col, const QString& text);

    // Empties every cell, header row included, and drops cell colours and pictures.
    void Clear();

    void SetColWidth(int col, int twips);
    int ColWidth(int col) const;
    void SetRowHeight(int row, int twips);
    int RowHeight(int row) const;
    void SetColAlignment(int col, int code);
    int ColAlignment(int col) const;

    // Of the current cell. A cell whose colour was never set reads the grid's colour for its row.
    std::uint32_t CellBackColor() const;
    void SetCellBackColor(std::uint32_t colour);
    QPixmap CellPicture() const;
    void SetCellPicture(const QPixmap& picture);
    int CellPictureAlignment() const;
    void SetCellPictureAlignment(int code);

    // Shows the changed cells now.
    void Redraw();

    // Colours of the cells without one of their own: the fixed row and the scrolling rows.
    std::uint32_t BackColorFixed() const;
    void SetBackColorFixed(std::uint32_t colour);
    std::uint32_t BackColor() const;
    void SetBackColor(std::uint32_t colour);

    // The grid's index in its control array, -1 for a grid of its own.
    int Index() const;
    void SetIndex(int index);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A cell was clicked; it is now the current cell.
    void Click(int index);

protected:
    void changeEvent(QEvent* event) override;
    // Space or Enter on a one-row grid's cell acts like a click.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CellClicked(int row, int col);
    void ApplyTopRow();
    void ApplyColWidth(int col);
    void ApplyRowHeight(int row);
    int DefaultRowPixels() const;
    int RowPixels(int row) const;
    void UpdateBodyVisibility();

    std::unique_ptr<FlexGridCells> cells_;
    FlexGridModel* headerModel_ = nullptr;
    FlexGridModel* bodyModel_ = nullptr;
    QTableView* headerView_ = nullptr;
    QTableView* bodyView_ = nullptr;
    int index_ = -1;
    int topRow_ = 1; // the row asked for
    int currentRow_ = 0;
    int currentCol_ = 0;
    bool applyingTopRow_ = false;
};

} // namespace pelicard
