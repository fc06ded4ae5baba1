#include "window/TableLayouts.h"

#include "values/Colours.h"
#include "window/FlexGrid.h"
#include "window/IconStrip.h"

#include <array>

namespace pelicard {

void LayOutColumns(
    FlexGrid& grid, std::initializer_list<int> widths, std::initializer_list<const char*> headers)
{
    int column = 0;
    for (const int width : widths) {
        grid.SetColWidth(column++, width);
    }
    column = 0;
    for (const char* header : headers) {
        grid.SetTextMatrix(0, column++, QString::fromLatin1(header));
    }
}

void WriteRecordTableHeaders(FlexGrid& grid)
{
    LayOutColumns(grid, {}, { "Index", "Time", "Reading   ", "     Remark" });
}

void LayOutRecordTable(FlexGrid& grid)
{
    grid.SetColAlignment(1, 4);
    grid.SetColAlignment(2, 6);
    LayOutColumns(grid, { 600, 1000, 1200, 1420 }, {});
    WriteRecordTableHeaders(grid);
}

void LayOutFileBar(FlexGrid& bar, const QString& fileName, const IconStrip& icons)
{
    bar.SetRowHeight(0, 260);
    for (int column = 0; column <= 4; ++column) {
        bar.SetColAlignment(column, 5);
    }
    LayOutColumns(bar, { 850, 2540, 300, 300, 300, 300 }, { "File" });
    bar.SetTextMatrix(0, filebar::NameColumn, fileName);
    const std::array<std::pair<int, int>, 4> pictures { { { filebar::ChooseColumn, IconStrip::ChooseFile },
        { filebar::LoadColumn, IconStrip::Load }, { filebar::SaveColumn, IconStrip::Save },
        { filebar::PrintColumn, IconStrip::Print } } };
    for (const auto& [column, picture] : pictures) {
        bar.SetRow(0);
        bar.SetCol(column);
        bar.SetCellPictureAlignment(4);
        bar.SetCellPicture(icons.Cell(picture));
    }
}

void RunFileBarAction(const FlexGrid& bar, const FileBarActions& actions)
{
    const std::function<void()>* action = nullptr;
    switch (bar.Col()) {
    case filebar::ChooseColumn:
        action = &actions.choose;
        break;
    case filebar::LoadColumn:
        action = &actions.load;
        break;
    case filebar::SaveColumn:
        action = &actions.save;
        break;
    case filebar::PrintColumn:
        action = &actions.print;
        break;
    default:
        return;
    }
    if (*action) {
        (*action)();
    }
}

void SetLoadedMark(FlexGrid& bar, bool loaded)
{
    bar.SetRow(0);
    bar.SetCol(filebar::LoadColumn);
    bar.SetCellBackColor(loaded ? colour::LoadedMark : colour::FileBar);
}

bool ShowsLoadedMark(FlexGrid& bar)
{
    bar.SetRow(0);
    bar.SetCol(filebar::LoadColumn);
    return bar.CellBackColor() == colour::LoadedMark;
}

void LayOutLoggerSettingBox(FlexGrid& box, int index)
{
    struct Box {
        int captionWidth;
        int valueWidth;
        const char* caption;
        const char* value;
    };
    static constexpr std::array<Box, 3> boxes { { { 850, 600, "Start Add", "00000" },
        { 850, 600, "Stop Add", "00000" }, { 1060, 400, "Sampling(S)", "1" } } };
    if (index < 1 || index > 3) {
        return;
    }
    const Box& b = boxes[static_cast<std::size_t>(index - 1)];
    box.SetRowHeight(0, 260);
    LayOutColumns(box, { b.captionWidth, b.valueWidth }, { b.caption, b.value });
}

void LayOutLoggerTable(FlexGrid& grid)
{
    grid.SetRowHeight(0, 240);
    LayOutColumns(grid, { 850, 1000, 1200, 1280 }, { "Address", "Time", "Reading", "Remarks" });
}

} // namespace pelicard
