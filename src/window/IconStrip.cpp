#include "window/IconStrip.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>

#include <initializer_list>

namespace pelicard {

namespace {

// The desktop theme's icon, or the style's own where the theme has none.
QPixmap IconFor(std::initializer_list<const char*> themeNames, QStyle::StandardPixmap fallback, int side)
{
    for (const char* name : themeNames) {
        const QIcon icon = QIcon::fromTheme(QLatin1String(name));
        if (!icon.isNull()) {
            return icon.pixmap(side, side);
        }
    }
    return QApplication::style()->standardIcon(fallback).pixmap(side, side);
}

} // namespace

IconStrip::IconStrip(int side, QObject* parent)
    : QObject(parent)
    , side_(side)
{
    cells_[ChooseFile] = IconFor({ "document-open", "folder-open" }, QStyle::SP_DirOpenIcon, side_);
    cells_[Load] = IconFor({ "document-import", "document-revert" }, QStyle::SP_ArrowDown, side_);
    cells_[Save] = IconFor({ "document-save" }, QStyle::SP_DialogSaveButton, side_);
    cells_[Print] = IconFor({ "document-print" }, QStyle::SP_FileDialogContentsView, side_);
}

QPixmap IconStrip::Cell(int index) const
{
    const auto found = cells_.find(index);
    return found == cells_.end() ? QPixmap() : found->second;
}

} // namespace pelicard
