#include "window/FlexGridDelegate.h"

#include "window/FlexGridModel.h"

#include <QPainter>
#include <QStyle>

namespace pelicard {

namespace {

constexpr int kTextMargin = 2;

} // namespace

void FlexGridDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    // Painted by hand: the style's item margins are too wide for the narrow columns of the bars.
    painter->save();
    painter->setClipRect(option.rect);
    painter->fillRect(option.rect, index.data(Qt::BackgroundRole).value<QBrush>());
    const QString text = index.data(Qt::DisplayRole).toString();
    if (!text.isEmpty()) {
        const auto alignment = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
        painter->setFont(option.font);
        painter->setPen(option.palette.color(QPalette::Text));
        painter->drawText(
            option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0), int(alignment | Qt::TextSingleLine), text);
    }
    const QPixmap picture = index.data(FlexGridPictureRole).value<QPixmap>();
    if (!picture.isNull()) {
        const QSize size = picture.deviceIndependentSize().toSize();
        const QRect area = option.rect.adjusted(1, 1, -1, -1);
        const QRect target = QStyle::alignedRect(option.direction,
            FlexGridAlignment(index.data(FlexGridPictureAlignmentRole).toInt(), QString()),
            size.boundedTo(area.size()), area);
        painter->drawPixmap(target, picture);
    }
    painter->restore();
}

} // namespace pelicard
