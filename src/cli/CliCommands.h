#pragma once

#include "cli/Cli.h"
#include "cli/CliOptions.h"
#include "cli/MeterSession.h"
#include "values/Export.h"
#include "virtualmeter/MeterClock.h"

#include <ostream>

namespace pelicard {

// The computer's local date and time, to the second.
MeterDateTime LocalDateTime(CliEnvironment& environment);

// Lists the meters among the backend's interfaces; ExitNoMeter when there is none.
int RunScan(HidBackend& backend, CliEnvironment& environment);

// The commands that talk to an open meter. Each returns the exit code.
class MeterCommands {
public:
    MeterCommands(CliEnvironment& environment, const CliOptions& options, MeterSession& session,
        VirtualMeter* virtualMeter);

    int Run();

private:
    int Status();
    int Read();
    int Sample();
    int Download();
    int Clock();
    int Send();

    // The exit code after an exchange that returned nothing.
    int Failed() const;
    // Opens the output (the file, or standard output); false, with a message, when it cannot be written.
    bool OpenOutput(ExportColumns columns);
    // Writes one row and flushes it; false, with a message, when the output cannot take it.
    bool WriteRow(const ExportRow& row);
    ExportRow RowAt(std::chrono::system_clock::time_point when, const std::string& reading) const;
    // The main reading of a "drm" reply; empty when the reply holds none.
    std::optional<std::string> ReadingOf(const MeterReply& reply);

    CliEnvironment& env_;
    const CliOptions& options_;
    MeterSession& session_;
    VirtualMeter* virtualMeter_;
    std::unique_ptr<std::ostream> file_;
    std::ostream* output_ = nullptr;
    ExportFormat format_ = ExportFormat::Csv;
    ExportColumns columns_ = ExportColumns::Readings;
    std::int64_t rowsWritten_ = 0;
};

} // namespace pelicard
