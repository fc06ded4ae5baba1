#include "tables/TableExport.h"

#include "tables/TableFiles.h"
#include "values/Export.h"
#include "window/CommonDialog.h"
#include "window/FileSave.h"
#include "window/FlexGrid.h"
#include "window/Prompts.h"

#include <chrono>

namespace pelicard {

namespace {

std::string Bytes(const QString& text)
{
    // The meter's bytes, one Latin-1 character each, as the tables hold them.
    return text.toLatin1().toStdString();
}

std::string Timestamp(const TableExport& table, int row)
{
    const std::size_t index = static_cast<std::size_t>(row) - 1;
    if (table.takenAt == nullptr || index >= table.takenAt->size() || !(*table.takenAt)[index].isValid()) {
        return {};
    }
    const QDateTime& when = (*table.takenAt)[index];
    const std::chrono::system_clock::time_point point { std::chrono::milliseconds(when.toMSecsSinceEpoch()) };
    return IsoTimestamp(point, std::chrono::minutes(when.offsetFromUtc() / 60));
}

} // namespace

QByteArray FormatTableCsv(const TableExport& table)
{
    const bool logger = table.kind == TableExport::Kind::Logger;
    const ExportColumns columns = logger ? ExportColumns::LoggerRecords : ExportColumns::Readings;
    std::string text = ExportHeader(ExportFormat::Csv, columns);
    for (int row = 1; row <= table.rows; ++row) {
        ExportRow line;
        line.timestamp = Timestamp(table, row);
        line.reading = Bytes(table.grid->TextMatrix(row, 2));
        if (logger) {
            line.address = Bytes(table.grid->TextMatrix(row, 0));
            line.meterTime = Bytes(table.grid->TextMatrix(row, 1));
        }
        text += ExportLine(ExportFormat::Csv, columns, line);
    }
    return QByteArray::fromStdString(text);
}

void ExportTableCsv(const TableExport& table, CommonDialog& dialog, Prompts& prompts)
{
    if (table.rows < 1) {
        prompts.Ok(QLatin1String(NoDataMessage));
        return;
    }
    dialog.Filter = QStringLiteral("CSV File(*.csv)|*.csv");
    dialog.FileName = table.kind == TableExport::Kind::Logger ? QStringLiteral("logger.csv")
                                                              : QStringLiteral("sampling.csv");
    dialog.Flags = 0;
    const QString path = prompts.ChooseFile(dialog);
    if (path.isEmpty()) {
        return;
    }
    const FileError error = SaveWholeFile(path, FormatTableCsv(table));
    prompts.Ok(error.failed() ? FormatFileError(error) : QLatin1String(CompleteMessage) + path);
}

} // namespace pelicard
