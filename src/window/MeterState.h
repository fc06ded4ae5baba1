#pragma once

#include "meter/VuTexts.h"

#include <QString>

namespace pelicard {

// The few values read all over the program; everything else lives with the subsystem that owns it.
struct MeterState {
    // True while the program itself drives controls from meter data: their handlers send nothing.
    bool fromMeter = false;
    // True while the live reading's request runs: its reading moves the gauges but adds no row.
    bool liveReading = false;
    // The status query of the mode tab shown; sent again after a link.
    QString pendingCommand;
    // The model number from the INI file; 4 is the engine-function variant.
    double modelId = 0;
    // The scale multiplier of the last reading conversion.
    QString scaleText;
    // Reading texts, scale labels, stamps and mode words the gauges show.
    VuTexts vu;
};

} // namespace pelicard
