#pragma once

#include <QString>

#include <functional>
#include <initializer_list>

namespace pelicard {

class FlexGrid;
class IconStrip;

// The one owner of each table's layout (column widths in twips, row heights, alignments, header
// texts). The window lays its tables out with these when it is built, and the model view and the
// table resets lay them out again with the same functions.

// Writes the column widths and the header texts of row 0, column by column.
void LayOutColumns(
    FlexGrid& grid, std::initializer_list<int> widths, std::initializer_list<const char*> headers);

// grdMain: four columns, time and reading aligned, the headers of row 0.
void LayOutRecordTable(FlexGrid& grid);
// Row 0 of grdMain alone.
void WriteRecordTableHeaders(FlexGrid& grid);

// The cells of a file bar (grdLog(0), grdTrd): column 1 the file name, then the four command cells.
namespace filebar {
inline constexpr int NameColumn = 1;
inline constexpr int ChooseColumn = 2;
inline constexpr int LoadColumn = 3;
inline constexpr int SaveColumn = 4;
inline constexpr int PrintColumn = 5; // print the table, or keep the trend picture
} // namespace filebar

inline constexpr const char* DefaultLoggerFile = "Test.log";
inline constexpr const char* DefaultTrendFile = "Test.trd";

// A file bar: "File", the file name, and the pictures of its four command cells.
void LayOutFileBar(FlexGrid& bar, const QString& fileName, const IconStrip& icons);

// What the four command cells of a file bar do; a click on another cell does nothing.
struct FileBarActions {
    std::function<void()> choose;
    std::function<void()> load;
    std::function<void()> save;
    std::function<void()> print; // print the table, or keep the trend picture
};
// Runs the action of the bar's current cell (the cell just clicked).
void RunFileBarAction(const FlexGrid& bar, const FileBarActions& actions);

// The loaded-file mark of a file bar: the load cell (row 0, filebar::LoadColumn) is light cyan while
// the table or plot below shows data loaded from a file, the bar's normal colour otherwise. Setting
// it makes that cell the bar's current cell.
void SetLoadedMark(FlexGrid& bar, bool loaded);
bool ShowsLoadedMark(FlexGrid& bar);

// grdLog(1..3): one caption cell and one value cell (start address, stop address, sampling time).
void LayOutLoggerSettingBox(FlexGrid& box, int index);

// grdLog(4): the logger memory table's header row and columns.
void LayOutLoggerTable(FlexGrid& grid);

} // namespace pelicard
