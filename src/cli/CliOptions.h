#pragma once

#include "values/Export.h"
#include "virtualmeter/MeterFunctions.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelicard {

enum class CliCommand { Scan, Status, Read, Sample, Download, Clock, Send };

// A command line read into what to do.
struct CliOptions {
    CliCommand command = CliCommand::Scan;
    bool help = false; // --help after a command: that command's help
    std::optional<MeterVariant> virtualMeter;
    // A test aid: the virtual meter is unplugged once this many rows are written.
    std::optional<std::int64_t> unplugAfter;
    int intervalMs = 0; // sample
    std::optional<std::int64_t> count; // sample
    std::optional<std::int64_t> durationMs; // sample
    std::string output; // sample, download: the file; empty for standard output
    std::optional<ExportFormat> format; // read: none gives the plain reading; sample, download: CSV when none
    std::string raw; // send
};

// Either options, or the general help, or a usage error to print with the usage.
struct ParsedCommandLine {
    std::optional<CliOptions> options;
    bool generalHelp = false;
    std::string error;
};

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The usage of every command, and the help of one.
std::string GeneralUsage();
std::string CommandHelp(CliCommand command);
std::string_view CommandName(CliCommand command);

} // namespace pelicard
