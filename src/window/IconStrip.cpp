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
    , side(side)
{
    cells[ChooseFile] = IconFor({ "document-open", "folder-open" }, QStyle::SP_DirOpenIcon, side);
    cells[Load] = IconFor({ "document-import", "document-revert" }, QStyle::SP_ArrowDown, side);
    cells[Save] = IconFor({ "document-save" }, QStyle::SP_DialogSaveButton, side);
    cells[Print] = IconFor({ "document-print" }, QStyle::SP_FileDialogContentsView, side);
}

QPixmap IconStrip::Cell(int index) const
{
    const auto found = cells.find(index);
    return found == cells.end() ? QPixmap() : found->second;
}

} // namespace pelicard
