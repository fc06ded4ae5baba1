#include "modes/ModelView.h"

#include "tables/LoggerTable.h"
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
    const int widths[] = { 850, 2540, 300, 300, 300, 300 };
    for (int column = 0; column < 6; ++column) {
        bar.SetColWidth(column, widths[column]);
    }
    bar.SetTextMatrix(0, 0, QStringLiteral("File"));
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
    box.SetColWidth(0, captionWidth);
    box.SetColWidth(1, valueWidth);
    box.SetTextMatrix(0, 0, QString::fromLatin1(caption));
    box.SetTextMatrix(0, 1, QString::fromLatin1(value));
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
    const int widths[] = { 600, 1000, 1200, 1420 };
    const char* headers[] = { "Index", "Time", "Reading   ", "     Remark" };
    for (int column = 0; column < 4; ++column) {
        records.SetColWidth(column, widths[column]);
        records.SetTextMatrix(0, column, QString::fromLatin1(headers[column]));
    }

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
