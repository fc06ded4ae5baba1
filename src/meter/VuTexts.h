#pragma once

#include <QString>

#include <array>

namespace pelicard {

// The texts the gauges read from the rest of the program at every repaint. The window's state holds
// one of these; the reply parser and the mode tabs write it.
struct VuTexts {
    QString functionText; // text of the function list cmb(1)
    std::array<QString, 2> ModeCaption; // names of the two sub-readings
    std::array<QString, 3> readingText; // reading texts of the three gauges
    std::array<QString, 3> meterScale; // scale labels ("X10", ...)
    std::array<QString, 2> recordStamp; // time stamps of the sub-readings
};

} // namespace pelicard
