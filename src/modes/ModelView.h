#pragma once

namespace pelicard {

class frmMain;
class LoggerTable;
struct MeterState;

// Lays out the function list and the tables for the meter model: the function list of the model,
// the sampling table's columns, the two file bars, the three logger setting boxes, an empty logger
// table and the trend progress at 0. Sends nothing.
void ApplyModelView(frmMain& window, MeterState& state, LoggerTable& loggerTable);

} // namespace pelicard
