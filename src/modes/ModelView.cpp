#include "modes/ModelView.h"

#include "values/Colours.h"
#include "values/Functions.h"
#include "window/MeterState.h"
#include "window/TableLayouts.h"
#include "window/frmMain.h"

#include <QSignalBlocker>

namespace pelicard {

void ApplyModelView(frmMain& window, MeterState& state)
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

    LayOutRecordTable(*window.grdMain);
    LayOutFileBar(*window.grdLog[0], QString::fromLatin1(DefaultLoggerFile), *window.picClip);
    for (int box = 1; box <= 3; ++box) {
        LayOutLoggerSettingBox(*window.grdLog[static_cast<std::size_t>(box)], box);
    }
    LayOutLoggerTable(*window.grdLog[4]);
    LayOutFileBar(*window.grdTrd, QString::fromLatin1(DefaultTrendFile), *window.picClip);
    window.trdBar->setValue(0);

    state.fromMeter = false;
}

} // namespace pelicard
