#include "virtualmeter/CommandInterpreter.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string_view>
#include <vector>

namespace pelicard {

namespace {

std::string Format(const char* pattern, int a)
{
    char text_[32];
    std::snprintf(text_, sizeof text_, pattern, a);
    return text_;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Two decimal digits at `pos`, or -1.
int TwoDigits(const std::string& text_, std::size_t pos)
{
    if (text_.size() < pos + 2 || !IsDigit(text_[pos]) || !IsDigit(text_[pos + 1])) {
        return -1;
    }
    return (text_[pos] - '0') * 10 + (text_[pos + 1] - '0');
}

bool StartsCommand(std::string_view piece)
{
    if (piece.size() >= 2 && piece[0] == 'F' && IsDigit(piece[1])) {
        return true;
    }
    static constexpr std::string_view kNames[] = { "FUN", "RGE", "MOD", "HLD", "PST", "PLV", "PRV", "PCV",
        "PTV", "DRM", "DRL", "SD0", "SD9", "GTL", "CLK" };
    return std::any_of(std::begin(kNames), std::end(kNames),
        [piece](std::string_view name) { return piece.substr(0, 3) == name; });
}

// Splits a frame at "," into commands; a piece that starts no command is an argument of the one
// before it (CLK, PLV, PCV and PTV carry commas).
std::vector<std::string> SplitCommands(const std::string& frame)
{
    std::vector<std::string> commands;
    if (frame.empty()) {
        return commands;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = frame.find(',', start);
        const std::string piece
            = frame.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (commands.empty() || StartsCommand(piece)) {
            commands.push_back(piece);
        } else {
            commands.back() += ',';
            commands.back() += piece;
        }
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return commands;
}

std::vector<std::string> SplitArguments(const std::string& text_)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text_.find(',', start);
        parts.push_back(text_.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) {
            return parts;
        }
        start = comma + 1;
    }
}

} // namespace

bool CommandInterpreter::ReplyText::TryAppend(const std::string& field)
{
    if (full_) {
        return false;
    }
    const std::size_t needed = field.size() + (text_.empty() ? 0 : 1);
    if (text_.size() + needed > capacity_) {
        full_ = true;
        return false;
    }
    if (!text_.empty()) {
        text_ += ',';
    }
    text_ += field;
    return true;
}

CommandInterpreter::CommandInterpreter(MeterModel& model, std::size_t maxReplyText)
    : model_(model)
    , maxReplyText_(maxReplyText)
{ }

std::optional<std::string> CommandInterpreter::Execute(const std::string& frame)
{
    const MeterLogger::DownloadMark download = model_.MarkDownload();
    ReplyText reply { maxReplyText_, {} };
    bool silent = false;
    bool rejected = false;
    bool queried = false;
    for (const std::string& command : SplitCommands(frame)) {
        if (command == "GTL") {
            silent = true;
        } else if (IsQuery(command)) {
            queried = true;
            if (rejected || !Answer(command, reply)) {
                rejected = true;
            }
        } else if (!Apply(command)) {
            rejected = true;
        }
    }
    if (rejected) {
        // Records of an unanswered frame were never delivered.
        model_.RewindDownload(download);
    }
    if (silent) {
        return std::nullopt;
    }
    if (rejected) {
        return std::string("\x05");
    }
    if (queried) {
        return reply.text_;
    }
    return std::string("\x06");
}

bool CommandInterpreter::IsQuery(const std::string& command)
{
    return command == "DRM" || command == "SD0" || command == "SD9"
        || (command.size() >= 2 && command.compare(command.size() - 2, 2, "??") == 0);
}

bool CommandInterpreter::Answer(const std::string& query, ReplyText& reply)
{
    if (query == "FUN??") {
        reply.TryAppend(Format("fun%02d", model_.FunctionIndex()));
    } else if (query == "RGE??") {
        const MeterFunction& f = model_.Function();
        const bool autoFlag = f.choice == RangeChoice::AutoOnly
            || (f.choice == RangeChoice::AutoOrManual && model_.AutoRange());
        reply.TryAppend(
            std::string("rge") + (autoFlag ? '1' : '0') + static_cast<char>('0' + model_.RangeIndex()));
    } else if (query == "MOD??") {
        reply.TryAppend(Format("mod%02d", model_.Mode()));
    } else if (query == "HLD??") {
        reply.TryAppend(Format("hld%02d", model_.Hold() ? 1 : 0));
    } else if (query == "PST??") {
        reply.TryAppend(Format("pst%02d", model_.ProgramStatus()));
    } else if (query == "PLV??") {
        const LoggerSettings& logger = model_.Logger();
        reply.TryAppend(Format("plv%03d", logger.samplingSeconds) + Format(",%05d", logger.startAddress)
            + Format(",%05d", logger.stopAddress));
    } else if (query == "PRV??") {
        reply.TryAppend("prv" + model_.SetupReading(model_.RelativeReference()));
    } else if (query == "PCV??") {
        reply.TryAppend(
            "pcv" + model_.SetupReading(model_.HighLimit()) + "," + model_.SetupReading(model_.LowLimit()));
    } else if (query == "PTV??") {
        const MeterFunction& f = model_.Function();
        const TrendSettings& trend = model_.Trend();
        const std::string overload(kOverloadReading);
        reply.TryAppend("ptv" + SetupLabel(trend.reference, f, model_.Variant()).value_or(overload) + ","
            + SetupLabel(trend.perDivision, f, model_.Variant()).value_or(overload) + ","
            + std::to_string(trend.timePerDivision) + ":");
    } else if (query == "DRM") {
        reply.TryAppend(model_.ReadingFields());
    } else if (query == "DRL??") {
        model_.HandOutRecords([&reply](const std::string& field) { return reply.TryAppend(field); });
    } else if (query == "SD0") {
        reply.TryAppend("sd0" + CaptionOf(model_.Variant()));
    } else if (query == "SD9") {
        reply.TryAppend("sd9" + std::to_string(ModelIdOf(model_.Variant())));
    } else {
        return false;
    }
    return true;
}

bool CommandInterpreter::Apply(const std::string& command)
{
    if (command.size() == 2 && command[0] == 'F' && IsDigit(command[1])) {
        return model_.PressKey(command[1] - '0');
    }
    if (command.size() < 3) {
        return false;
    }
    const std::string name = command.substr(0, 3);
    const std::string argument = command.substr(3);
    if (name == "FUN" || name == "MOD" || name == "HLD") {
        const int value = argument.size() == 2 ? TwoDigits(argument, 0) : -1;
        if (value < 0) {
            return false;
        }
        if (name == "FUN") {
            return model_.SetFunction(value);
        }
        if (name == "MOD") {
            return model_.SetMode(value);
        }
        if (value > 1) {
            return false;
        }
        model_.SetHold(value == 1);
        return true;
    }
    if (name == "RGE") {
        if (argument.size() != 2 || !IsDigit(argument[1])) {
            return false;
        }
        if (argument[0] == '1') {
            return model_.SetAutoRange();
        }
        return argument[0] == '0' && model_.SetManualRange(argument[1] - '0');
    }
    if (name == "CLK") {
        const auto dateTime = ParseClockArgument(argument);
        return dateTime && model_.SetClock(*dateTime);
    }
    return ApplySetupValue(name, argument);
}

// PLV sampling,start,stop; PRV reference; PCV high,low; PTV reference,per-division,time.
bool CommandInterpreter::ApplySetupValue(const std::string& name, const std::string& argument)
{
    const std::vector<std::string> args = SplitArguments(argument);
    if (name == "PLV") {
        if (args.size() != 3) {
            return false;
        }
        const auto sampling = ParseCount(args[0]);
        const auto start = ParseCount(args[1]);
        const auto stop = ParseCount(args[2]);
        if (!sampling || !start || !stop || *sampling < 1 || *sampling > 999 || *start < 0
            || *stop >= MeterLogger::kCapacity) {
            return false;
        }
        return model_.SetLogger(
            { static_cast<int>(*sampling), static_cast<int>(*start), static_cast<int>(*stop) });
    }
    if (name == "PRV") {
        const auto code = args.size() == 1 ? ParseSetupCode(args[0]) : std::nullopt;
        return code && model_.SetRelativeReference(*code);
    }
    if (name == "PCV") {
        if (args.size() != 2) {
            return false;
        }
        const auto high = ParseSetupCode(args[0]);
        const auto low = ParseSetupCode(args[1]);
        return high && low && model_.SetCompareLimits(*high, *low);
    }
    if (name == "PTV") {
        if (args.size() != 3) {
            return false;
        }
        const auto reference = ParseSetupCode(args[0]);
        const auto perDivision = ParseSetupCode(args[1]);
        const auto time = ParseCount(args[2]);
        if (!reference || !perDivision || !time || *time < 1 || *time > TrendGenerator::kMaxTimePerDivision) {
            return false;
        }
        return model_.SetTrend({ *reference, *perDivision, static_cast<int>(*time) });
    }
    return false;
}

} // namespace pelicard
