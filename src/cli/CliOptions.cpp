#include "cli/CliOptions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace pelicard {

namespace {

struct CommandInfo {
    CliCommand command;
    std::string_view name;
    std::vector<std::string_view> options; // the value options it takes
    std::string_view help;
};

const std::array<CommandInfo, 7>& Commands()
{
    static const std::array<CommandInfo, 7> commands { {
        { CliCommand::Scan, "scan", {},
            "Usage: pelicard-cli scan\n"
            "Lists the meters found: vendor:product id, variant, path.\n" },
        { CliCommand::Status, "status", {},
            "Usage: pelicard-cli status\n"
            "Shows the meter's function, range, mode, hold, the status of the mode's keys and the\n"
            "mode's parameters.\n" },
        { CliCommand::Read, "read", { "--format" },
            "Usage: pelicard-cli read [--format csv|jsonl|tsv]\n"
            "Takes one reading (\"DRM\", as sampling does) and prints its value and unit, \"OL\" on\n"
            "overload; with --format, a header and the row as sample writes it.\n" },
        { CliCommand::Sample, "sample", { "--interval", "--count", "--duration", "--output", "--format" },
            "Usage: pelicard-cli sample --interval S [--count N | --duration D] [--output FILE]\n"
            "                           [--format csv|jsonl|tsv]\n"
            "Takes one reading every S seconds (0.001 to 65.535) and writes one row per reading as it\n"
            "comes, until N readings, D seconds, or Ctrl+C. CSV is the default format.\n" },
        { CliCommand::Download, "download", { "--output", "--format" },
            "Usage: pelicard-cli download [--output FILE] [--format csv|jsonl|tsv]\n"
            "Downloads the logger memory (the meter goes to Data Logger mode for it and back) and\n"
            "writes one row per record; a progress line on a terminal.\n" },
        { CliCommand::Clock, "clock", {},
            "Usage: pelicard-cli clock\n"
            "Sets the meter's clock to the computer's.\n" },
        { CliCommand::Send, "send", {},
            "Usage: pelicard-cli send \"RAW\"\n"
            "Sends one command text and prints each reply between its frame bytes: <ACK> for an\n"
            "acknowledgement, <ENQ> for a refusal (exit 1).\n" },
    } };
    return commands;
}

const CommandInfo* FindCommand(std::string_view name)
{
    for (const CommandInfo& info : Commands()) {
        if (info.name == name) {
            return &info;
        }
    }
    return nullptr;
}

// Milliseconds of a plain decimal number of seconds ("0.5", "12", "0.001"), rounded; nothing for
// any other text.
std::optional<std::int64_t> SecondsToMs(std::string_view text)
{
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos
        || text.find('.') != text.rfind('.') || text == ".") {
        return std::nullopt;
    }
    double seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc {} || end != text.data() + text.size() || seconds > 1e12) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(std::llround(seconds * 1000.0));
}

std::optional<std::int64_t> WholeNumber(std::string_view text)
{
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc {} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Applies one value option; an error text when the value does not do.
std::string ApplyValue(CliOptions& options, std::string_view name, const std::string& value)
{
    if (name == "--interval") {
        const auto ms = SecondsToMs(value);
        if (!ms || *ms < 1 || *ms > 65535) {
            return "the interval must be a number of seconds from 0.001 to 65.535";
        }
        options.intervalMs = static_cast<int>(*ms);
    } else if (name == "--count") {
        options.count = WholeNumber(value);
        if (!options.count || *options.count < 1) {
            return "the count must be a whole number of at least 1";
        }
    } else if (name == "--duration") {
        options.durationMs = SecondsToMs(value);
        if (!options.durationMs || *options.durationMs < 1) {
            return "the duration must be a number of seconds above 0";
        }
    } else if (name == "--output") {
        if (value.empty()) {
            return "the output file name is empty";
        }
        options.output = value;
    } else if (name == "--format") {
        options.format = ParseExportFormat(value);
        if (!options.format) {
            return "unknown format \"" + value + "\"; use csv, jsonl or tsv";
        }
    }
    return {};
}

} // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    ParsedCommandLine parsed;
    CliOptions options;
    const CommandInfo* command = nullptr;
    std::vector<std::string> positional;
    bool help = false;
    std::vector<std::string_view> given;
    const auto fail = [&parsed](std::string error) {
        parsed.error = std::move(error);
        return parsed;
    };

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            help = true;
            continue;
        }
        if (!argument.starts_with("--") || argument == "--") {
            if (command == nullptr) {
                command = FindCommand(argument);
                if (command == nullptr) {
                    return fail("unknown command \"" + argument + "\"");
                }
            } else {
                positional.push_back(argument);
            }
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const std::optional<std::string> attached
            = equals == std::string::npos ? std::nullopt : std::optional(argument.substr(equals + 1));
        if (name == "--virtual-meter") {
            // "--virtual-meter" alone means the 50k variant, as in the window.
            options.virtualMeter = ParseVariant(attached.value_or("50k"));
            if (!options.virtualMeter) {
                return fail("unknown virtual meter \"" + *attached + "\"; use 5k, 50k or motor");
            }
            continue;
        }
        if (name == "--virtual-meter-unplug-after") {
            options.unplugAfter = WholeNumber(attached.value_or(""));
            if (!options.unplugAfter || *options.unplugAfter < 0) {
                return fail("--virtual-meter-unplug-after takes a number of rows");
            }
            continue;
        }
        static constexpr std::array<std::string_view, 5> valueOptions { "--interval", "--count", "--duration",
            "--output", "--format" };
        if (std::find(valueOptions.begin(), valueOptions.end(), name) == valueOptions.end()) {
            return fail("unknown option \"" + name + "\"");
        }
        std::string value;
        if (attached) {
            value = *attached;
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            return fail(name + " needs a value");
        }
        if (std::string error = ApplyValue(options, name, value); !error.empty()) {
            return fail(std::move(error));
        }
        given.push_back(*std::find(valueOptions.begin(), valueOptions.end(), name));
    }

    if (command == nullptr) {
        if (help) {
            parsed.generalHelp = true;
            return parsed;
        }
        return fail("no command given");
    }
    options.command = command->command;
    options.help = help;
    if (help) {
        parsed.options = options;
        return parsed;
    }
    for (const std::string_view name : given) {
        if (std::find(command->options.begin(), command->options.end(), name) == command->options.end()) {
            return fail(std::string(name) + " does not go with " + std::string(command->name));
        }
    }
    if (options.command == CliCommand::Send) {
        if (positional.size() != 1 || positional[0].empty()) {
            return fail("send takes one command text");
        }
        options.raw = positional[0];
    } else if (!positional.empty()) {
        return fail("unexpected argument \"" + positional[0] + "\"");
    }
    if (options.command == CliCommand::Sample) {
        if (options.intervalMs == 0) {
            return fail("sample needs --interval");
        }
        if (options.count && options.durationMs) {
            return fail("--count and --duration do not go together");
        }
    }
    if (options.unplugAfter && !options.virtualMeter) {
        return fail("--virtual-meter-unplug-after needs --virtual-meter");
    }
    parsed.options = options;
    return parsed;
}

std::string GeneralUsage()
{
    return "Usage: pelicard-cli [--virtual-meter[=5k|50k|motor]] COMMAND [OPTIONS]\n"
           "Commands:\n"
           "  scan                 list the meters found\n"
           "  status               function, range, mode, hold and the mode's parameters\n"
           "  read                 one reading\n"
           "  sample --interval S  one reading every S seconds, one row each\n"
           "  download             the logger memory, one row per record\n"
           "  clock                set the meter's clock to the computer's\n"
           "  send \"RAW\"           one command text, the replies printed\n"
           "--virtual-meter runs on the built-in virtual meter (50k when no variant is given).\n"
           "pelicard-cli COMMAND --help shows the options of a command.\n"
           "Exit codes: 0 done, 1 usage (or a refused command, an unwritable file), 2 no meter,\n"
           "3 meter lost.\n";
}

std::string CommandHelp(CliCommand command)
{
    for (const CommandInfo& info : Commands()) {
        if (info.command == command) {
            return std::string(info.help);
        }
    }
    return GeneralUsage();
}

std::string_view CommandName(CliCommand command)
{
    for (const CommandInfo& info : Commands()) {
        if (info.command == command) {
            return info.name;
        }
    }
    return {};
}

} // namespace pelicard
