#pragma once

class QString;

namespace pelicard {

class ChartView;
class FlexGrid;
class frmMain;
class Prompts;

// The chart bar of the sampling table: the time window, the view reset, the PNG picture and the
// printout, and the statistics line under the chart.
class RecordChart {
public:
    RecordChart(frmMain& window, Prompts& prompts);

    void cmbSpan_Click();
    void cmdChartReset_Click();
    void cmdChartSave_Click();
    void cmdChartPrint_Click();
    // The statistics line follows the readings in view.
    void ShowStatistics();

private:
    frmMain& window_;
    Prompts& prompts_;
};

// The chart anew from the rows of the table before the first gap (a loaded file). Rows whose time
// does not read as a time of day are left out.
void ChartTableRows(const FlexGrid& grid, ChartView& chart);

// The picture or printout file proposed for the sampling file name: its name with `extension`.
QString ChartFileFor(const QString& samplingFileName, const char* extension);

} // namespace pelicard
