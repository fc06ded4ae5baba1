#include "modes/ModelView.h"

#include "tables/LoggerTable.h"
#include "tables/RecordTable.h"
#include "values/Colours.h"
#include "values/Functions.h"
#include "window/MeterState.h"
#include "window/frmMain.h"

#include <QSignalBlocker>

namespace pelicard {

namespace {

// The file bar of the logger table and of the trend plot: caption, file name, four icon cells.
void LayOutFileBar(FlexGrid& bar, const QString& defaultName, const IconStrip& icons)
{
    bar.SetRowHeight(0, 260);
    for (int column = 0; column <= 4; ++column) {
        bar.SetColAlignment(column, 5);
    }
    LayOutColumns(bar, { 850, 2540, 300, 300, 300, 300 }, { "File" });
    bar.SetTextMatrix(0, 1, defaultName);
    // Choose file, load, save, print or keep picture.
    const int cells[] = { 8, 5, 7, 9 };
    for (int i = 0; i < 4; ++i) {
        bar.SetRow(0);
        bar.SetCol(2 + i);
        bar.SetCellPictureAlignment(4);
        bar.SetCellPicture(icons.Cell(cells[i]));
    }
}

void LayOutSettingBox(FlexGrid& box, int captionWidth, int valueWidth, const char* caption, const char* value)
{
    LayOutColumns(box, { captionWidth, valueWidth }, { caption, value });
}

} // namespace

void ApplyModelView(frmMain& window, MeterState& state, LoggerTable& loggerTable)
{
    state.fromMeter = true;

    {
        // Refilling leaves no function chosen, as before the meter has reported one.
        QComboBox& functions = *window.cmb[1];
        const QSignalBlocker quiet(&functions);
        functions.clear();
        for (const std::string& name : FunctionsForModel(state.modelId)) {
            functions.addItem(QString::fromStdString(name));
        }
        functions.setCurrentIndex(-1);
    }
    state.vu.functionText = window.cmb[1]->currentText();

    FlexGrid& records = *window.grdMain;
    records.SetColAlignment(1, 4);
    records.SetColAlignment(2, 6);
    LayOutColumns(records, { 600, 1000, 1200, 1420 }, {});
    RecordTable::WriteHeaders(records);

    LayOutFileBar(*window.grdLog[0], QStringLiteral("Test.log"), *window.picClip);
    window.grdLog[1]->SetRowHeight(0, 260);
    LayOutSettingBox(*window.grdLog[1], 850, 600, "Start Add", "00000");
    LayOutSettingBox(*window.grdLog[2], 850, 600, "Stop Add", "00000");
    LayOutSettingBox(*window.grdLog[3], 1060, 400, "Sampling(S)", "1");
    loggerTable.ResetLoggerTable();
    LayOutFileBar(*window.grdTrd, QStringLiteral("Test.trd"), *window.picClip);
    window.trdBar->setValue(0);

    state.fromMeter = false;
}

} // namespace pelicard
