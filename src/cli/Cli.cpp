#include "cli/Cli.h"

#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/MeterSession.h"
#include "virtualmeter/VirtualMeter.h"

namespace pelicard {

int RunCli(const std::vector<std::string>& arguments, CliEnvironment& environment)
{
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    if (parsed.generalHelp) {
        environment.out << GeneralUsage() << std::flush;
        return ExitDone;
    }
    if (!parsed.options) {
        environment.err << "pelicard-cli: " << parsed.error << "\n" << GeneralUsage() << std::flush;
        return ExitUsage;
    }
    const CliOptions& options = *parsed.options;
    if (options.help) {
        environment.out << CommandHelp(options.command) << std::flush;
        return ExitDone;
    }

    std::unique_ptr<HidBackend> backend;
    VirtualMeter* virtualMeter = nullptr;
    if (options.virtualMeter) {
        auto meter = std::make_unique<VirtualMeter>(*options.virtualMeter, environment.meterTime);
        // The virtual meter's clock starts at the computer's, as in the window.
        meter->SetClock(LocalDateTime(environment));
        if (environment.prepareVirtualMeter) {
            environment.prepareVirtualMeter(*meter);
        }
        virtualMeter = meter.get();
        backend = std::move(meter);
    } else {
        backend = environment.openUsb();
    }
    if (options.command == CliCommand::Scan) {
        return RunScan(*backend, environment);
    }

    MeterSession session(*backend, environment.err, environment.now);
    if (!session.Open()) {
        return ExitNoMeter;
    }
    MeterCommands commands(environment, options, session, virtualMeter);
    const int code = commands.Run();
    session.Close();
    if (virtualMeter != nullptr && environment.inspectVirtualMeter) {
        environment.inspectVirtualMeter(*virtualMeter);
    }
    return code;
}

} // namespace pelicard
