#pragma once

#include <QStyledItemDelegate>

namespace pelicard {

// Paints a grid cell: background, text with narrow margins, and the cell's picture where its
// alignment puts it, over the text and background.
class FlexGridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(
        QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace pelicard
