#include "cli/CliCommands.h"

#include "values/Commands.h"
#include "values/Functions.h"
#include "values/ReadingValue.h"
#include "virtualmeter/VirtualMeter.h"

#include <array>
#include <cstdio>
#include <fstream>

namespace pelicard {

namespace {

constexpr std::array<std::string_view, 5> ModeNames { "Data Logger", "Record Mode", "Relative Mode",
    "Compare Mode", "Trend Plot" };
constexpr std::string_view EndOfData = "--EOD---";
constexpr int RecallBit = 4;
constexpr int WaitSliceMs = 50;

const char* OnOff(bool on)
{
    return on ? "on" : "off";
}

// A reply's text between its frame bytes, control bytes written as \xNN.
std::string Printable(const std::string& frame)
{
    std::string_view text = frame;
    if (!text.empty() && text.front() == '\x02') {
        text.remove_prefix(1);
    }
    if (!text.empty() && text.back() == '\x03') {
        text.remove_suffix(1);
    }
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            std::array<char, 8> escaped {};
            std::snprintf(escaped.data(), escaped.size(), "\\x%02X", static_cast<unsigned>(byte));
            shown += escaped.data();
        } else {
            shown.push_back(c);
        }
    }
    return shown;
}

std::string RangeName(const MeterView& view, const ReplyField& field)
{
    const std::vector<std::string>& ranges = RangesForFunction(FunctionAt(view.modelId, view.function));
    const int index = field.number.value_or(-1);
    if (index < 0 || index >= static_cast<int>(ranges.size())) {
        return "unknown (" + field.tag + ")";
    }
    return ranges[static_cast<std::size_t>(index)];
}

// What the status bits say in a mode: the lit keys of the window's mode buttons.
void PrintProgramStatus(std::ostream& out, int tab, int bits)
{
    if (tab == 0) {
        out << "logging: " << OnOff((bits & 2) != 0) << "\nrecall: " << OnOff((bits & RecallBit) != 0)
            << '\n';
    } else if (tab == 4) {
        out << "trend running: " << OnOff((bits & 2) != 0) << '\n';
    } else {
        out << "paused: " << OnOff((bits & 1) != 0) << "\nbeep/prog: " << OnOff((bits & 8) != 0) << '\n';
    }
}

void PrintParameters(std::ostream& out, const ReplyField& field)
{
    using Kind = ReplyField::Kind;
    if (field.kind == Kind::Plv) {
        out << "sampling time: " << field.samplingTime << "\nstart address: " << field.startAddress
            << "\nstop address: " << field.stopAddress << '\n';
    } else if (field.kind == Kind::Prv) {
        out << "reference: " << field.readings[1] << '\n';
    } else if (field.kind == Kind::Pcv) {
        out << "high limit: " << field.readings[1] << "\nlow limit: " << field.readings[2] << '\n';
    } else if (field.kind == Kind::Ptv) {
        out << "trend reference: " << field.labels[0] << "\ntrend per division: " << field.labels[1]
            << "\ntrend time per division: " << field.labels[2] << '\n';
    }
}

} // namespace

MeterDateTime LocalDateTime(CliEnvironment& environment)
{
    using namespace std::chrono;
    const system_clock::time_point now = environment.now();
    const auto local = floor<seconds>(now) + environment.utcOffset(now);
    const auto day = floor<days>(local);
    const year_month_day date { day };
    const hh_mm_ss<seconds> time { local - day };
    return { static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
        static_cast<int>(static_cast<unsigned>(date.day())), static_cast<int>(time.hours().count()),
        static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()) };
}

int RunScan(HidBackend& backend, CliEnvironment& environment)
{
    static constexpr std::array<std::pair<MeterVariant, std::string_view>, 3> variants { {
        { MeterVariant::Logger5k, "5k" },
        { MeterVariant::Logger50k, "50k" },
        { MeterVariant::Motor, "motor" },
    } };
    int found = 0;
    for (const HidInterfaceInfo& info : backend.Enumerate()) {
        if (!IsMeterInterface(info)) {
            continue;
        }
        std::string_view variant = "?";
        for (const auto& [meterVariant, name] : variants) {
            if (ProductIdOf(meterVariant) == info.productId) {
                variant = name;
            }
        }
        std::array<char, 16> ids {};
        std::snprintf(ids.data(), ids.size(), "%04x:%04x", static_cast<unsigned>(info.vendorId),
            static_cast<unsigned>(info.productId));
        environment.out << ids.data() << '\t' << variant << '\t' << info.path << '\n';
        ++found;
    }
    environment.out << std::flush;
    if (found == 0) {
        environment.err << "pelicard-cli: no meter found\n";
        return ExitNoMeter;
    }
    return ExitDone;
}

MeterCommands::MeterCommands(
    CliEnvironment& environment, const CliOptions& options, MeterSession& session, VirtualMeter* virtualMeter)
    : env_(environment)
    , options_(options)
    , session_(session)
    , virtualMeter_(virtualMeter)
{ }

int MeterCommands::Run()
{
    if (virtualMeter_ != nullptr && options_.unplugAfter == 0) {
        virtualMeter_->SetUnplugged(true);
    }
    switch (options_.command) {
    case CliCommand::Status:
        return Status();
    case CliCommand::Read:
        return Read();
    case CliCommand::Sample:
        return Sample();
    case CliCommand::Download:
        return Download();
    case CliCommand::Clock:
        return Clock();
    case CliCommand::Send:
        return Send();
    case CliCommand::Scan:
        break;
    }
    return ExitUsage;
}

int MeterCommands::Failed() const
{
    return session_.Lost() ? ExitLinkLost : ExitUsage;
}

int MeterCommands::Status()
{
    const std::optional<std::vector<ReplyField>> status = session_.ReadStatus();
    if (!status) {
        return Failed();
    }
    MeterView& view = session_.View();
    std::ostream& out = env_.out;
    for (const ReplyField& field : *status) {
        if (field.kind == ReplyField::Kind::Fun) {
            out << "function: " << FunctionAt(view.modelId, view.function) << '\n';
        } else if (field.kind == ReplyField::Kind::Rge) {
            out << "range: " << RangeName(view, field) << '\n';
        } else if (field.kind == ReplyField::Kind::Mod) {
            out << "mode: " << ModeNames.at(static_cast<std::size_t>(view.tab)) << '\n';
        } else if (field.kind == ReplyField::Kind::Hld) {
            out << "hold: " << OnOff(field.number == 1) << '\n';
        }
    }
    PrintProgramStatus(out, view.tab, view.programStatus);
    const std::string_view query = command::ParameterQueryForTab(view.tab);
    if (!query.empty()) {
        const std::optional<MeterReply> parameters = session_.Exchange(query);
        if (!parameters) {
            return Failed();
        }
        for (const ReplyField& field : view.Walk(parameters->text)) {
            PrintParameters(out, field);
        }
    }
    out << std::flush;
    return ExitDone;
}

std::optional<std::string> MeterCommands::ReadingOf(const MeterReply& reply)
{
    if (!reply.ack && !reply.enq) {
        for (const ReplyField& field : session_.View().Walk(reply.text)) {
            if (field.kind == ReplyField::Kind::Drm) {
                return field.readings[0];
            }
        }
    }
    env_.err << "pelicard-cli: the meter answered \"" << Printable(reply.text) << "\" instead of a reading\n";
    return std::nullopt;
}

ExportRow MeterCommands::RowAt(std::chrono::system_clock::time_point when, const std::string& reading) const
{
    return { IsoTimestamp(when, env_.utcOffset(when)), reading, {}, {} };
}

int MeterCommands::Read()
{
    const std::optional<MeterReply> reply = session_.Exchange(command::ReadingRequest);
    if (!reply) {
        return Failed();
    }
    const std::optional<std::string> reading = ReadingOf(*reply);
    if (!reading) {
        return ExitLinkLost;
    }
    if (options_.format) {
        env_.out << ExportHeader(*options_.format, ExportColumns::Readings)
                 << ExportLine(*options_.format, ExportColumns::Readings, RowAt(reply->received, *reading))
                 << std::flush;
        return ExitDone;
    }
    const ReadingValue value = ParseReading(*reading);
    std::string shown = value.overload ? "OL" : value.shown ? value.decimal : *reading;
    if (!value.unit.empty()) {
        shown += ' ' + value.unit;
    }
    env_.out << shown << '\n' << std::flush;
    return ExitDone;
}

bool MeterCommands::OpenOutput(ExportColumns columns)
{
    format_ = options_.format.value_or(ExportFormat::Csv);
    columns_ = columns;
    output_ = &env_.out;
    if (!options_.output.empty()) {
        file_ = std::make_unique<std::ofstream>(options_.output, std::ios::binary | std::ios::trunc);
        if (!*file_) {
            env_.err << "pelicard-cli: cannot write \"" << options_.output << "\"\n";
            return false;
        }
        output_ = file_.get();
    }
    *output_ << ExportHeader(format_, columns_) << std::flush;
    return static_cast<bool>(*output_);
}

bool MeterCommands::WriteRow(const ExportRow& row)
{
    *output_ << ExportLine(format_, columns_, row) << std::flush;
    if (!*output_) {
        env_.err << "pelicard-cli: cannot write \"" << (options_.output.empty() ? "-" : options_.output)
                 << "\"\n";
        return false;
    }
    ++rowsWritten_;
    if (virtualMeter_ != nullptr && options_.unplugAfter == rowsWritten_) {
        virtualMeter_->SetUnplugged(true);
    }
    return true;
}

int MeterCommands::Sample()
{
    if (!OpenOutput(ExportColumns::Readings)) {
        return ExitUsage;
    }
    const std::int64_t start = env_.steadyMs();
    for (std::int64_t taken = 0; !options_.count || taken < *options_.count; ++taken) {
        // Each reading is due a whole number of intervals after the first; one that is late goes at once.
        const std::int64_t due = start + taken * options_.intervalMs;
        for (std::int64_t now = env_.steadyMs(); now < due && !env_.stopRequested(); now = env_.steadyMs()) {
            env_.sleepMs(static_cast<int>(std::min<std::int64_t>(due - now, WaitSliceMs)));
        }
        if (env_.stopRequested()
            || (options_.durationMs && env_.steadyMs() - start >= *options_.durationMs)) {
            break;
        }
        const std::optional<MeterReply> reply = session_.Exchange(command::ReadingRequest);
        if (!reply) {
            return Failed();
        }
        const std::optional<std::string> reading = ReadingOf(*reply);
        if (!reading) {
            return ExitLinkLost;
        }
        if (!WriteRow(RowAt(reply->received, *reading))) {
            return ExitUsage;
        }
    }
    return ExitDone;
}

int MeterCommands::Download()
{
    if (!session_.ReadStatus()) {
        return Failed();
    }
    MeterView& view = session_.View();
    const int modeBefore = view.tab;
    // The memory is read in Data Logger mode, with the recall key pressed once (twice when a recall
    // already runs, so that the download starts at the first record).
    std::vector<std::string> steps;
    if (modeBefore != 0) {
        steps.emplace_back(*command::BuildModeCommand(0));
    } else if ((view.programStatus & RecallBit) != 0) {
        steps.emplace_back(*command::BuildKeyCommand(3));
    }
    steps.emplace_back(*command::BuildKeyCommand(3));
    steps.emplace_back(command::ProgramStatusQuery);
    for (const std::string& step : steps) {
        const std::optional<MeterReply> reply = session_.Exchange(step);
        if (!reply) {
            return Failed();
        }
        if (reply->enq) {
            env_.err << "pelicard-cli: the meter refused \"" << step << "\"\n";
            return ExitUsage;
        }
        if (!reply->ack) {
            view.Walk(reply->text);
        }
    }
    view.tab = 0; // the mode command is acknowledged, not echoed
    if ((view.programStatus & RecallBit) == 0) {
        env_.err << "pelicard-cli: the meter did not start its recall\n";
        return ExitLinkLost;
    }
    if (!OpenOutput(ExportColumns::LoggerRecords)) {
        return ExitUsage;
    }
    for (bool done = false; !done;) {
        const std::optional<MeterReply> reply = session_.Exchange(command::LoggerRecordQuery);
        if (!reply) {
            return Failed();
        }
        bool anyRecord = false;
        for (const ReplyField& field : view.Walk(reply->text)) {
            if (field.kind != ReplyField::Kind::Plr) {
                continue;
            }
            anyRecord = true;
            if (field.time == EndOfData) {
                done = true;
                break;
            }
            ExportRow row = RowAt(reply->received, field.readings[0]);
            row.address = field.address;
            row.meterTime = field.time;
            if (!WriteRow(row)) {
                return ExitUsage;
            }
        }
        if (!anyRecord) {
            env_.err << "pelicard-cli: the meter answered \"" << Printable(reply->text)
                     << "\" instead of logger records\n";
            return ExitLinkLost;
        }
        if (env_.stderrIsTerminal) {
            env_.err << "\rdownloading: " << rowsWritten_ << " records" << std::flush;
        }
    }
    if (env_.stderrIsTerminal) {
        env_.err << '\n';
    }
    if (modeBefore != 0 && !session_.Exchange(*command::BuildModeCommand(modeBefore))) {
        return Failed();
    }
    return ExitDone;
}

int MeterCommands::Clock()
{
    const MeterDateTime now = LocalDateTime(env_);
    const std::string command
        = command::BuildClockCommand(now.year, now.month, now.day, now.hour, now.minute, now.second);
    const std::optional<MeterReply> reply = session_.Exchange(command);
    if (!reply) {
        return Failed();
    }
    if (!reply->ack) {
        env_.err << "pelicard-cli: the meter refused \"" << command << "\"\n";
        return ExitUsage;
    }
    env_.out << "clock set: " << command.substr(3) << '\n' << std::flush;
    return ExitDone;
}

int MeterCommands::Send()
{
    const std::optional<MeterReply> reply = session_.Exchange(options_.raw);
    if (!reply) {
        return Failed();
    }
    std::vector<MeterReply> replies { *reply };
    replies.insert(replies.end(), session_.Trailing().begin(), session_.Trailing().end());
    for (const MeterReply& each : replies) {
        if (each.text.empty()) {
            continue; // a command that is answered by no reply
        }
        env_.out << (each.ack ? "<ACK>" : each.enq ? "<ENQ>" : Printable(each.text)) << '\n';
    }
    env_.out << std::flush;
    if (reply->enq) {
        env_.err << "pelicard-cli: the meter refused \"" << options_.raw << "\"\n";
        return ExitUsage;
    }
    return ExitDone;
}

} // namespace pelicard
