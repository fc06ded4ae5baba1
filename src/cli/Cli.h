#pragma once

#include "link/HidBackend.h"
#include "virtualmeter/MeterTime.h"

#include <chrono>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace pelicard {

class VirtualMeter;

// Exit codes of pelicard-cli.
inline constexpr int ExitDone = 0;
inline constexpr int ExitUsage = 1; // bad arguments, a refused command, a file that cannot be written
inline constexpr int ExitNoMeter = 2;
inline constexpr int ExitLinkLost = 3;

// Everything the command line takes from the world, so that tests run it in-process on virtual time.
struct CliEnvironment {
    std::ostream& out;
    std::ostream& err;
    // The virtual meter's time (RealMeterTime in the program).
    MeterTime& meterTime;
    // The USB backend, made only when no virtual meter is asked for.
    std::function<std::unique_ptr<HidBackend>()> openUsb;
    std::function<std::chrono::system_clock::time_point()> now;
    std::function<std::chrono::minutes(std::chrono::system_clock::time_point)> utcOffset;
    // A steady count of milliseconds and a wait on it, for the sampling interval.
    std::function<std::int64_t()> steadyMs;
    std::function<void(int ms)> sleepMs;
    // Ctrl+C or a termination request came: sampling ends after the row in hand.
    std::function<bool()> stopRequested;
    bool stderrIsTerminal = false;
    // Called with a virtual meter before it is used and after the command (tests fill its logger
    // memory and look at its state there).
    std::function<void(VirtualMeter&)> prepareVirtualMeter;
    std::function<void(VirtualMeter&)> inspectVirtualMeter;
};

// Runs one command line (the arguments after the program name); returns the exit code.
int RunCli(const std::vector<std::string>& arguments, CliEnvironment& environment);

} // namespace pelicard
