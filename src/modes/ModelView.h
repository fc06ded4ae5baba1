#pragma once

namespace pelicard {

class frmMain;
struct MeterState;

// Lays out the function list and the tables for the meter model: the function list of the model,
// the sampling table's columns, the two file bars, the three logger setting boxes and the trend
// progress at 0. Sends nothing, and leaves the rows of every table as they are: it runs on every
// link, and a link never discards readings.
void ApplyModelView(frmMain& window, MeterState& state);

} // namespace pelicard
