#include "tables/RecordChart.h"

#include "tables/TableFiles.h"
#include "values/ChartModel.h"
#include "window/FileSave.h"
#include "window/Prompts.h"
#include "window/frmMain.h"

#include <QBuffer>

namespace pelicard {

namespace {

// The chart as shown; a hidden chart is drawn at a size that reads well on paper.
QImage ChartPicture(const frmMain& window)
{
    const ChartView& chart = *window.chtMain;
    return chart.isVisible() ? chart.Picture(chart.size()) : chart.Picture(QSize(960, 480));
}

} // namespace

QString ChartFileFor(const QString& samplingFileName, const char* extension)
{
    QString name = samplingFileName.isEmpty() ? QStringLiteral("chart") : samplingFileName;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > name.lastIndexOf(QLatin1Char('/')) + 1) {
        name.truncate(dot);
    }
    return name + QLatin1Char('.') + QLatin1String(extension);
}

void ChartTableRows(const FlexGrid& grid, ChartView& chart)
{
    ChartModel& model = chart.EditModel();
    model.Clear();
    for (const RecordRow& row : RowsUntilGap(grid)) {
        if (const std::optional<double> time = TimeOfDaySeconds(row[1].toStdString())) {
            model.Append(*time, row[2].toStdString());
        }
    }
    model.MarkFromFile();
    chart.ResetView();
}

RecordChart::RecordChart(frmMain& window, Prompts& prompts)
    : window_(window)
    , prompts_(prompts)
{ }

void RecordChart::cmbSpan_Click()
{
    const int index = window_.cmbSpan->currentIndex();
    if (index < 0 || index >= static_cast<int>(frmMain::ChartSpanMinutes.size())) {
        return;
    }
    window_.chtMain->EditModel().SetWindow(frmMain::ChartSpanMinutes[static_cast<std::size_t>(index)] * 60.0);
    window_.chtMain->ResetView();
}

void RecordChart::cmdChartReset_Click()
{
    window_.chtMain->ResetView();
}

void RecordChart::ShowStatistics()
{
    window_.lblChartStats->setText(window_.chtMain->StatisticsText());
}

void RecordChart::cmdChartSave_Click()
{
    CommonDialog dialog;
    dialog.DialogTitle = QStringLiteral("Save the chart as a PNG picture");
    dialog.Filter = QStringLiteral("PNG Picture(*.png)|*.png");
    dialog.FileName = ChartFileFor(window_.txtGfn->text(), "png");
    const QString file = prompts_.ChooseFile(dialog);
    if (file.isEmpty()) {
        return;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ChartPicture(window_).save(&buffer, "PNG");
    const FileError error = SaveWholeFile(file, bytes);
    if (error.failed()) {
        prompts_.Ok(FormatFileError(error));
        return;
    }
    window_.StatusBar1->SetPanelText(1, file);
    prompts_.Ok(QStringLiteral("Complete PNG file: ") + file);
}

void RecordChart::cmdChartPrint_Click()
{
    PrintOrOfferPdf(prompts_, *window_.StatusBar1, ChartFileFor(window_.txtGfn->text(), "pdf"),
        [this](const QString& pdfFile) { return prompts_.PrintPicture(ChartPicture(window_), pdfFile); });
}

} // namespace pelicard
