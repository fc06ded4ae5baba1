#include "tables/TableFiles.h"

#include "window/CommonDialog.h"
#include "window/FlexGrid.h"
#include "window/Prompts.h"
#include "window/StatusBar.h"

namespace pelicard {

std::vector<RecordRow> RowsUntilGap(const FlexGrid& grid)
{
    std::vector<RecordRow> rows;
    for (int row = 1; row < grid.Rows() && !grid.TextMatrix(row, 0).isEmpty(); ++row) {
        rows.push_back({ grid.TextMatrix(row, 0), grid.TextMatrix(row, 1), grid.TextMatrix(row, 2),
            grid.TextMatrix(row, 3) });
    }
    return rows;
}

bool SaveTableFile(const FlexGrid& grid, const QString& fileName, Prompts& prompts, StatusBar& status)
{
    const std::vector<RecordRow> rows = RowsUntilGap(grid);
    if (rows.empty()) {
        prompts.Ok(QString::fromLatin1(NoDataMessage));
        return false;
    }
    const FileError error = SaveRecordFile(fileName, rows);
    if (error.failed()) {
        prompts.Ok(FormatFileError(error));
        return false;
    }
    status.SetPanelText(1, fileName);
    prompts.Ok(QString::fromLatin1(CompleteMessage) + fileName);
    return true;
}

bool LoadTableFile(FlexGrid& grid, const QString& fileName, Prompts& prompts)
{
    RecordFileContent contents = LoadRecordFile(fileName);
    if (!contents.error.failed() && contents.rows.empty()) {
        // No table saves an empty file: this one is not a record file, or was cut short.
        contents.error = { fileerror::InputPastEndOfFile,
            QStringLiteral("Input past end of file: %1 holds no records").arg(fileName) };
    }
    const int count = static_cast<int>(contents.rows.size());
    // One spare row after the last, as when the rows are added one by one.
    if (grid.Rows() < count + 2 && count > 0) {
        grid.SetRows(count + 2);
    }
    int row = 1;
    for (const RecordRow& fields : contents.rows) {
        for (int column = 0; column < 4; ++column) {
            grid.SetTextMatrix(row, column, fields[static_cast<std::size_t>(column)]);
        }
        ++row;
    }
    if (contents.error.failed()) {
        prompts.Ok(FormatFileError(contents.error));
    }
    return count > 0;
}

} // namespace pelicard
