// pelicard-cli: the meter from the command line, without a window.

#include "cli/Cli.h"
#include "link/HidapiBackend.h"
#include "values/Export.h"

#include <csignal>
#include <iostream>
#include <thread>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void OnStopSignal(int /*signal*/)
{
    stopRequested = 1;
}

} // namespace

int main(int argc, char* argv[])
{
    std::ios::sync_with_stdio(false);
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    // A reader that goes away (`| head`) ends the output with a write error, not the program.
    std::signal(SIGPIPE, SIG_IGN);

    pelicard::RealMeterTime meterTime;
    pelicard::CliEnvironment environment {
        std::cout,
        std::cerr,
        meterTime,
        [] { return std::make_unique<pelicard::HidapiBackend>(); },
        [] { return std::chrono::system_clock::now(); },
        [](std::chrono::system_clock::time_point when) { return pelicard::LocalUtcOffset(when); },
        [] {
            return std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now().time_since_epoch())
                .count();
        },
        [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); },
        [] { return stopRequested != 0; },
        ::isatty(STDERR_FILENO) == 1,
        {},
        {},
    };
    return pelicard::RunCli(std::vector<std::string>(argv + 1, argv + argc), environment);
}
