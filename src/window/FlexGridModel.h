#pragma once

#include "window/ControlColours.h"
#include "window/FlexGrid.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QPixmap>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace pelicard {

// Roles the grid's views read besides Qt's own: a cell's picture and its alignment code.
inline constexpr int FlexGridPictureRole = Qt::UserRole + 1;
inline constexpr int FlexGridPictureAlignmentRole = Qt::UserRole + 2;
inline constexpr int FlexGridDefaultColWidthTwips = 960;
inline constexpr int FlexGridDefaultRowHeightTwips = 240;

// The alignment of a grid alignment code (0 left-top ... 8 right-bottom in reading order, 9 general:
// numbers right, other texts left, both vertically centred) for a cell's text.
Qt::Alignment FlexGridAlignment(int code, const QString& text);

struct FlexGridCellFormat {
    std::optional<std::uint32_t> back;
    QPixmap picture;
    int pictureAlignment = 0;
};

// The cells of a grid with their formats, and the sizes, alignments and colours of its rows and
// columns.
struct FlexGridCells {
    int cols = 2;
    std::vector<std::vector<QString>> texts = std::vector<std::vector<QString>>(2, std::vector<QString>(2));
    // Few cells carry a format, so formats are kept apart from the texts.
    QHash<quint64, FlexGridCellFormat> formats;
    std::vector<int> colWidths = std::vector<int>(2, -1); // twips, -1 for the default
    std::vector<int> colAlignments = std::vector<int>(2, FlexGrid::AlignGeneral);
    QHash<int, int> rowHeights; // twips, only rows set explicitly
    std::uint32_t backFixed = colour::ButtonFace;
    std::uint32_t back = colour::SystemWindow;

    // The key of a cell in formats.
    static quint64 KeyOf(int row, int col)
    {
        return (static_cast<quint64>(row) << 32) | static_cast<quint32>(col);
    }
    static int RowOfKey(quint64 key) { return static_cast<int>(key >> 32); }
    static int ColOfKey(quint64 key) { return static_cast<int>(key & 0xFFFFFFFFu); }

    int Rows() const { return static_cast<int>(texts.size()); }
    bool Contains(int row, int col) const { return row >= 0 && row < Rows() && col >= 0 && col < cols; }
    const FlexGridCellFormat* FormatAt(int row, int col) const;
    // The cell's own colour, else the colour of its row's kind.
    std::uint32_t BackAt(int row, int col) const;
};

// One model shows the fixed row, another the scrolling rows; both read the same cells. The grid
// changes the cells and tells the models through the calls below.
class FlexGridModel : public QAbstractTableModel {
public:
    FlexGridModel(const FlexGridCells& cells, bool fixedRow, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int FirstRow() const { return firstRow_; }
    bool Shows(int row) const { return row >= firstRow_ && row - firstRow_ < rowCount(); }

    void CellChanged(int row, int col);
    void ColumnChanged(int col);
    void AllChanged();

    // Grid rows first..last (inclusive) of the scrolling part.
    void BeginInsertRows(int first, int last) { beginInsertRows({}, first - firstRow_, last - firstRow_); }
    void EndInsertRows() { endInsertRows(); }
    void BeginRemoveRows(int first, int last) { beginRemoveRows({}, first - firstRow_, last - firstRow_); }
    void EndRemoveRows() { endRemoveRows(); }
    void BeginInsertColumns(int first, int last) { beginInsertColumns({}, first, last); }
    void EndInsertColumns() { endInsertColumns(); }
    void BeginRemoveColumns(int first, int last) { beginRemoveColumns({}, first, last); }
    void EndRemoveColumns() { endRemoveColumns(); }

private:
    const FlexGridCells& cells_;
    int firstRow_;
};

} // namespace pelicard
