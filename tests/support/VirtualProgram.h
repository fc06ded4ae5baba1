#pragma once

#include "app/Program.h"
#include "virtualmeter/VirtualMeter.h"
#include "window/Clock.h"
#include "window/PromptRecorder.h"

#include <QTemporaryDir>

namespace pelicard::testing {

// The whole program on the virtual meter (the 50k variant) on virtual time, in a temporary program
// folder, with recorded prompts and a clock that stands still.
struct VirtualProgram {
    QTemporaryDir dir;
    ManualMeterTime time;
    VirtualMeter meter { MeterVariant::Logger50k, time };
    PromptRecorder prompts;
    FixedClock clock;
    Program program { meter, prompts, clock, dir.path() };
    frmMain& window = program.window;
};

} // namespace pelicard::testing
