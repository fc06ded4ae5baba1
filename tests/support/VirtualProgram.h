#pragma once

#include "app/Program.h"
#include "virtualmeter/VirtualMeter.h"
#include "window/Clock.h"
#include "window/PromptRecorder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelicard::testing {

// The whole program on the virtual meter on virtual time, in a temporary program folder (or the
// one given), with recorded prompts and a clock that stands still.
struct VirtualProgram {
    explicit VirtualProgram(MeterVariant variant = MeterVariant::Logger50k, const QString& folder = {})
        : meter(variant, time)
        , program(meter, prompts, clock, folder.isEmpty() ? dir.path() : folder)
    { }

    QTemporaryDir dir;
    ManualMeterTime time;
    VirtualMeter meter;
    PromptRecorder prompts;
    FixedClock clock;
    Program program;
    frmMain& window = program.window;

    // Starts the program and links, then forgets what that sent and showed.
    void StartLinked()
    {
        program.Start();
        program.CmdSys_Click(0);
        EXPECT_TRUE(program.Linked());
        meter.ClearReceivedCommands();
        prompts.Clear();
    }
    // Commands the meter received since the last call.
    std::vector<std::string> Received()
    {
        std::vector<std::string> received = meter.ReceivedCommands();
        meter.ClearReceivedCommands();
        return received;
    }
    // tmrLog ticks while the timer runs, as a download does; `ticks` at most.
    void Download(int ticks)
    {
        for (int i = 0; i < ticks && window.tmrLog->Enabled(); ++i) {
            program.loop.tmrLog_Timer();
        }
    }
    // tmrLog ticks `ms` of meter time apart until the trend bar reaches `index`; `ticks` at most.
    void Listen(int ticks, int ms, int index = 121)
    {
        for (int i = 0; i < ticks && window.trdBar->value() < index; ++i) {
            time.Advance(ms);
            program.loop.tmrLog_Timer();
        }
    }
};

} // namespace pelicard::testing
