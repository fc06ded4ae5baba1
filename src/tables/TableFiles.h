#pragma once

#include "tables/RecordFile.h"

#include <QString>

#include <vector>

namespace pelicard {

struct CommonDialog;
class FlexGrid;
class Prompts;
class StatusBar;

// What the record tables (the sampling table and the logger table) share for their files: the
// rows a table holds, the file dialog, save and load with their messages.

inline constexpr const char* NoDataMessage = "None Data. Please check again!! ";

// Reads the rows of a table from row 1 down to the first row whose column 0 is empty.
std::vector<RecordRow> RowsUntilGap(const FlexGrid& grid);

// Saves the rows of a table down to the first gap: "None Data..." for a table without rows (no
// file is made), the error box for a failed save (an old file stays as it was), otherwise the file
// name in status-bar panel 1 and "Complete Text file: ". True when the file was written.
bool SaveTableFile(const FlexGrid& grid, const QString& fileName, Prompts& prompts, StatusBar& status);

// Loads a record file into a table just reset, from row 1 on, keeping the row count at least one
// past the last row. A fault shows the error box and keeps the rows read before it; a file with no
// record at all is reported as such. True when the table now shows rows from the file.
bool LoadTableFile(FlexGrid& grid, const QString& fileName, Prompts& prompts);

} // namespace pelicard
