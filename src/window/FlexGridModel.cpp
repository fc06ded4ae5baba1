#include "window/FlexGridModel.h"

#include <QBrush>

#include <algorithm>

namespace pelicard {

Qt::Alignment FlexGridAlignment(int code, const QString& text)
{
    switch (code) {
    case 0:
        return Qt::AlignLeft | Qt::AlignTop;
    case 1:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case 2:
        return Qt::AlignLeft | Qt::AlignBottom;
    case 3:
        return Qt::AlignHCenter | Qt::AlignTop;
    case 4:
        return Qt::AlignCenter;
    case 5:
        return Qt::AlignHCenter | Qt::AlignBottom;
    case 6:
        return Qt::AlignRight | Qt::AlignTop;
    case 7:
        return Qt::AlignRight | Qt::AlignVCenter;
    case 8:
        return Qt::AlignRight | Qt::AlignBottom;
    default: {
        bool number = false;
        text.trimmed().toDouble(&number);
        return (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    }
    }
}

const FlexGridCellFormat* FlexGridCells::FormatAt(int row, int col) const
{
    const auto found = formats.constFind(KeyOf(row, col));
    return found == formats.constEnd() ? nullptr : &found.value();
}

std::uint32_t FlexGridCells::BackAt(int row, int col) const
{
    const FlexGridCellFormat* format = FormatAt(row, col);
    if (format != nullptr && format->back) {
        return *format->back;
    }
    return row == 0 ? backFixed : back;
}

FlexGridModel::FlexGridModel(const FlexGridCells& cells, bool fixedRow, QObject* parent)
    : QAbstractTableModel(parent)
    , cells_(cells)
    , firstRow_(fixedRow ? 0 : 1)
{ }

int FlexGridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid()) {
        return 0;
    }
    return firstRow_ == 0 ? std::min(1, cells_.Rows()) : std::max(0, cells_.Rows() - 1);
}

int FlexGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : cells_.cols;
}

QVariant FlexGridModel::data(const QModelIndex& index, int role) const
{
    const int row = index.row() + firstRow_;
    const int col = index.column();
    if (!index.isValid() || !cells_.Contains(row, col)) {
        return {};
    }
    const QString& text = cells_.texts[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return text;
    case Qt::TextAlignmentRole: {
        Qt::Alignment alignment
            = FlexGridAlignment(cells_.colAlignments[static_cast<std::size_t>(col)], text);
        if (row == 0) {
            // The fixed row's headers sit on one line, whatever the column's vertical alignment.
            alignment = (alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
        }
        return QVariant::fromValue(alignment);
    }
    case Qt::BackgroundRole:
        return QBrush(ToQColor(cells_.BackAt(row, col)));
    case FlexGridPictureRole:
        if (const FlexGridCellFormat* format = cells_.FormatAt(row, col)) {
            return format->picture;
        }
        return {};
    case FlexGridPictureAlignmentRole:
        if (const FlexGridCellFormat* format = cells_.FormatAt(row, col)) {
            return format->pictureAlignment;
        }
        return 0;
    default:
        return {};
    }
}

Qt::ItemFlags FlexGridModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

void FlexGridModel::CellChanged(int row, int col)
{
    if (Shows(row)) {
        const QModelIndex cell = index(row - firstRow_, col);
        emit dataChanged(cell, cell);
    }
}

void FlexGridModel::ColumnChanged(int col)
{
    if (rowCount() > 0) {
        emit dataChanged(index(0, col), index(rowCount() - 1, col));
    }
}

void FlexGridModel::AllChanged()
{
    if (rowCount() > 0 && columnCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
}

} // namespace pelicard
