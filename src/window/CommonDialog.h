#pragma once

#include <QString>

namespace pelicard {

// The settings of the common file dialog dlgopen, as the table handlers prepare it.
struct CommonDialog {
    // Pairs of description and pattern joined by "|": "Trend Data File(*.trd)|*.trd".
    QString Filter;
    // The proposed file name.
    QString FileName;
    int Flags = 0;
    // The dialog's caption; empty for the desktop's own.
    QString DialogTitle;
};

namespace dialogflag {
inline constexpr int AllowMultiSelect = 512;
}

} // namespace pelicard
