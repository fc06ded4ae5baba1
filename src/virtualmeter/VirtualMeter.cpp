#include "virtualmeter/VirtualMeter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace pelicard {

namespace {

constexpr double kSignalPeriodMs = 20000.0;
constexpr double kNoiseShare = 0.002; // of the swing
constexpr int kLevelsPerDivision = 5;
constexpr std::int64_t kMaxTrackedTicks = 36000; // record tracking looks back one hour at most
constexpr std::string_view kEndOfData = "--EOD---";
constexpr std::string_view kEndOfDataReading = "----------";

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) {
        --q;
    }
    return q;
}

std::uint64_t SplitMix(std::uint64_t& state)
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// A number in [-1, 1) that depends only on the seed and the slot.
double NoiseOf(std::uint64_t seed, std::int64_t slot)
{
    std::uint64_t state = seed * 0xD1B54A32D192ED03ULL ^ static_cast<std::uint64_t>(slot);
    const std::uint64_t r = SplitMix(state);
    return static_cast<double>(r >> 11) * 0x1.0p-52 - 1.0;
}

std::string Format(const char* pattern, int a)
{
    char text[32];
    std::snprintf(text, sizeof text, pattern, a);
    return text;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Two decimal digits at `pos`, or -1.
int TwoDigits(const std::string& text, std::size_t pos)
{
    if (text.size() < pos + 2 || !IsDigit(text[pos]) || !IsDigit(text[pos + 1])) {
        return -1;
    }
    return (text[pos] - '0') * 10 + (text[pos + 1] - '0');
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

std::vector<std::string> SplitArguments(const std::string& text)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) {
            return parts;
        }
        start = comma + 1;
    }
}

std::string Fit(std::string text, std::size_t width)
{
    text.resize(width, ' ');
    return text;
}

std::string LoggerField(int address, std::string_view time, std::string_view reading)
{
    return "plr" + Format("%05d", address) + "," + Fit(std::string(time), 8) + ","
        + Fit(std::string(reading), 10);
}

bool ValidCode(const SetupCode& code, const MeterFunction& function)
{
    return std::isfinite(code.value) && code.range >= 0
        && code.range < static_cast<int>(function.ranges.size());
}

} // namespace

bool VirtualMeter::ReplyText::TryAppend(const std::string& field)
{
    if (full) {
        return false;
    }
    const std::size_t needed = field.size() + (text.empty() ? 0 : 1);
    if (text.size() + needed > static_cast<std::size_t>(kMaxReplyText)) {
        full = true;
        return false;
    }
    if (!text.empty()) {
        text += ',';
    }
    text += field;
    return true;
}

VirtualMeter::VirtualMeter(MeterVariant variant, MeterTime& time, std::uint64_t seed)
    : variant_(variant)
    , time_(time)
    , seed_(seed)
    , garbageState_(seed ^ 0xA5A5A5A5A5A5A5A5ULL)
{
    processedMs_ = time_.NowMs();
    clockSetMs_ = processedMs_;
    clockBaseSeconds_ = ToEpochSeconds(MeterDateTime { 2024, 1, 1, 8, 0, 0 }).value_or(0);
    ResetRecord(processedMs_);
}

// ---- HID seam -------------------------------------------------------------------------------

std::vector<HidInterfaceInfo> VirtualMeter::Enumerate()
{
    std::vector<HidInterfaceInfo> list;
    list.push_back({ std::string(kOtherPath), kOtherVendorId, kOtherProductId });
    if (!unplugged_) {
        list.push_back({ std::string(kMeterPath), kVendorId, ProductIdOf(variant_) });
    }
    return list;
}

int VirtualMeter::Open(const std::string& path)
{
    Target target;
    if (path == kOtherPath) {
        target = Target::Other;
    } else if (path == kMeterPath && !unplugged_) {
        target = Target::Meter;
    } else {
        return -1;
    }
    const int handle = nextHandle_++;
    handles_[handle] = target;
    return handle;
}

void VirtualMeter::Close(int handle)
{
    handles_.erase(handle);
}

HidReportLengths VirtualMeter::ReportLengths(int handle)
{
    if (handles_.count(handle) == 0) {
        return {};
    }
    return { kReportLength, kReportLength };
}

bool VirtualMeter::Write(int handle, const std::vector<std::uint8_t>& report)
{
    const auto it = handles_.find(handle);
    if (it == handles_.end() || report.empty() || report.size() > static_cast<std::size_t>(kReportLength)
        || report[0] != 0) {
        return false;
    }
    if (it->second == Target::Other) {
        return true;
    }
    if (failNextWrite_) {
        failNextWrite_ = false;
        return false;
    }
    Advance();
    FeedPayload(report.data() + 1, std::min<std::size_t>(report.size() - 1, kPayloadPerReport));
    return true;
}

ReadOutcome VirtualMeter::Read(int handle, std::vector<std::uint8_t>& report, int timeoutMs)
{
    const auto it = handles_.find(handle);
    if (it == handles_.end()) {
        return ReadOutcome::Failed;
    }
    timeoutMs = std::max(timeoutMs, 0);
    if (it->second == Target::Other) {
        time_.WaitMs(timeoutMs);
        return ReadOutcome::TimedOut;
    }
    const auto take = [&report](std::deque<Report>& queue) {
        report = std::move(queue.front());
        queue.pop_front();
        return ReadOutcome::Arrived;
    };
    Advance();
    if (!replies_.empty()) {
        return take(replies_);
    }
    const std::int64_t deadline = time_.NowMs() + timeoutMs;
    while (true) {
        if (!unsolicited_.empty()) {
            return take(unsolicited_);
        }
        const std::int64_t now = time_.NowMs();
        if (now >= deadline) {
            return ReadOutcome::TimedOut;
        }
        std::int64_t wakeAt = deadline;
        if (const auto due = NextUnsolicitedMs(); due && *due < wakeAt) {
            wakeAt = std::max(*due, now + 1);
        }
        time_.WaitMs(static_cast<int>(wakeAt - now));
        Advance();
    }
}

void VirtualMeter::CancelRead(int /*handle*/)
{
    // Reads never stay pending here.
}

// ---- Faults ---------------------------------------------------------------------------------

void VirtualMeter::SetUnplugged(bool unplugged)
{
    Advance();
    unplugged_ = unplugged;
    if (!unplugged) {
        return;
    }
    // A replugged meter needs opening again, and nothing sent before reaches anyone.
    std::erase_if(handles_, [](const auto& entry) { return entry.second == Target::Meter; });
    inFrame_ = false;
    frame_.clear();
    replies_.clear();
    unsolicited_.clear();
}

void VirtualMeter::FailNextWrite()
{
    failNextWrite_ = true;
}
void VirtualMeter::DropNextReply()
{
    dropNextReply_ = true;
}
void VirtualMeter::CutEndByteOfNextReply()
{
    cutNextReply_ = true;
}
void VirtualMeter::SendGarbageNext()
{
    garbageNext_ = true;
}

// ---- Framing and commands -------------------------------------------------------------------

void VirtualMeter::FeedPayload(const std::uint8_t* payload, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t byte = payload[i];
        if (byte == 2) {
            // Commands never hold a 2, so it always opens a new frame.
            inFrame_ = true;
            frame_.clear();
            continue;
        }
        if (!inFrame_) {
            return; // no frame starts in this report
        }
        if (byte == 3) {
            inFrame_ = false;
            const std::string frame = std::move(frame_);
            frame_.clear();
            HandleFrame(frame);
            return; // the rest of the report is stale
        }
        if (frame_.size() >= kMaxFrameLength) {
            inFrame_ = false;
            frame_.clear();
            return;
        }
        frame_.push_back(static_cast<char>(byte));
    }
}

void VirtualMeter::HandleFrame(const std::string& frame)
{
    received_.push_back(frame);
    const unsigned epoch = downloadEpoch_;
    const std::size_t cursor = cursor_;
    const bool recall = recall_;

    ReplyText reply;
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
    if (rejected && downloadEpoch_ == epoch) {
        // Records of an unanswered frame were never delivered.
        cursor_ = cursor;
        recall_ = recall;
    }
    if (silent) {
        return;
    }
    if (dropNextReply_) {
        dropNextReply_ = false;
        return;
    }
    if (rejected) {
        QueueReply("\x05");
    } else if (queried) {
        QueueReply(reply.text);
    } else {
        QueueReply("\x06");
    }
}

bool VirtualMeter::IsQuery(const std::string& command) const
{
    return command == "DRM" || command == "SD0" || command == "SD9"
        || (command.size() >= 2 && command.compare(command.size() - 2, 2, "??") == 0);
}

bool VirtualMeter::Answer(const std::string& query, ReplyText& reply)
{
    const std::int64_t now = time_.NowMs();
    if (query == "FUN??") {
        reply.TryAppend(Format("fun%02d", function_));
    } else if (query == "RGE??") {
        const MeterFunction& f = Function();
        const bool autoFlag
            = f.choice == RangeChoice::AutoOnly || (f.choice == RangeChoice::AutoOrManual && autoRange_);
        reply.TryAppend(std::string("rge") + (autoFlag ? '1' : '0') + static_cast<char>('0' + RangeIndex()));
    } else if (query == "MOD??") {
        reply.TryAppend(Format("mod%02d", mode_));
    } else if (query == "HLD??") {
        reply.TryAppend(Format("hld%02d", hold_ ? 1 : 0));
    } else if (query == "PST??") {
        reply.TryAppend(Format("pst%02d", ProgramStatus()));
    } else if (query == "PLV??") {
        reply.TryAppend(Format("plv%03d", loggerSettings_.samplingSeconds)
            + Format(",%05d", loggerSettings_.startAddress) + Format(",%05d", loggerSettings_.stopAddress));
    } else if (query == "PRV??") {
        reply.TryAppend("prv" + ReadingOfCode(relativeReference_));
    } else if (query == "PCV??") {
        reply.TryAppend("pcv" + ReadingOfCode(highLimit_) + "," + ReadingOfCode(lowLimit_));
    } else if (query == "PTV??") {
        const MeterFunction& f = Function();
        const std::string overload(kOverloadReading);
        reply.TryAppend("ptv" + SetupLabel(trend_.reference, f, variant_).value_or(overload) + ","
            + SetupLabel(trend_.perDivision, f, variant_).value_or(overload) + ","
            + std::to_string(trend_.timePerDivision) + ":");
    } else if (query == "DRM") {
        reply.TryAppend(DrmFields(now));
    } else if (query == "DRL??") {
        for (int n = 0; n < 2; ++n) {
            if (recall_ && cursor_ < memory_.size()) {
                const LoggerRecord& r = memory_[cursor_];
                if (!reply.TryAppend(LoggerField(r.address, r.time, r.reading))) {
                    break;
                }
                ++cursor_;
                continue;
            }
            const int address = memory_.empty() ? loggerSettings_.startAddress
                                                : std::min(memory_.back().address + 1, 99999);
            if (reply.TryAppend(LoggerField(address, kEndOfData, kEndOfDataReading)) && recall_) {
                // The download is complete: the meter leaves the recall state.
                recall_ = false;
                cursor_ = 0;
            }
            break;
        }
    } else if (query == "SD0") {
        reply.TryAppend("sd0" + CaptionOf(variant_));
    } else if (query == "SD9") {
        reply.TryAppend("sd9" + std::to_string(ModelIdOf(variant_)));
    } else {
        return false;
    }
    return true;
}

bool VirtualMeter::Apply(const std::string& command)
{
    if (command.size() == 2 && command[0] == 'F' && IsDigit(command[1])) {
        return PressKey(command[1] - '0');
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
            return SetFunction(value);
        }
        if (name == "MOD") {
            return SetMode(value);
        }
        if (value > 1) {
            return false;
        }
        SetHold(value == 1);
        return true;
    }
    if (name == "RGE") {
        if (argument.size() != 2 || !IsDigit(argument[1])) {
            return false;
        }
        if (argument[0] == '1') {
            return SetAutoRange();
        }
        return argument[0] == '0' && SetManualRange(argument[1] - '0');
    }
    if (name == "CLK") {
        const auto dateTime = ParseClockArgument(argument);
        return dateTime && SetClock(*dateTime);
    }
    const std::vector<std::string> args = SplitArguments(argument);
    if (name == "PLV") {
        if (args.size() != 3) {
            return false;
        }
        const auto sampling = ParseCount(args[0]);
        const auto start = ParseCount(args[1]);
        const auto stop = ParseCount(args[2]);
        if (!sampling || !start || !stop || *sampling < 1 || *sampling > 999 || *start < 0
            || *stop >= kLoggerCapacity) {
            return false;
        }
        return SetLogger({ static_cast<int>(*sampling), static_cast<int>(*start), static_cast<int>(*stop) });
    }
    if (name == "PRV") {
        const auto code = args.size() == 1 ? ParseSetupCode(args[0]) : std::nullopt;
        return code && SetRelativeReference(*code);
    }
    if (name == "PCV") {
        if (args.size() != 2) {
            return false;
        }
        const auto high = ParseSetupCode(args[0]);
        const auto low = ParseSetupCode(args[1]);
        return high && low && SetCompareLimits(*high, *low);
    }
    if (name == "PTV") {
        if (args.size() != 3) {
            return false;
        }
        const auto reference = ParseSetupCode(args[0]);
        const auto perDivision = ParseSetupCode(args[1]);
        const auto time = ParseCount(args[2]);
        if (!reference || !perDivision || !time || *time < 1 || *time > 99999) {
            return false;
        }
        return SetTrend({ *reference, *perDivision, static_cast<int>(*time) });
    }
    return false;
}

void VirtualMeter::QueueReply(const std::string& text)
{
    Report report(kReportLength, 0);
    if (garbageNext_) {
        garbageNext_ = false;
        for (std::size_t i = 1; i < report.size(); ++i) {
            report[i] = static_cast<std::uint8_t>(SplitMix(garbageState_));
        }
    } else {
        report[1] = 2;
        const std::size_t length = std::min(text.size(), static_cast<std::size_t>(kMaxReplyText));
        std::copy_n(text.begin(), length, report.begin() + 2);
        if (cutNextReply_) {
            cutNextReply_ = false;
        } else {
            report[2 + length] = 3;
        }
    }
    replies_.push_back(std::move(report));
    if (replies_.size() > kMaxQueuedReplies) {
        replies_.pop_front(); // like a full input buffer, the oldest report is lost
    }
}

std::optional<std::int64_t> VirtualMeter::NextUnsolicitedMs() const
{
    if (!trendRunning_ || unplugged_) {
        return std::nullopt;
    }
    return trendStartMs_ + static_cast<std::int64_t>(trendNext_ + 1) * kTrendIntervalMs;
}

// ---- Time -----------------------------------------------------------------------------------

void VirtualMeter::Advance()
{
    const std::int64_t now = time_.NowMs();
    if (now <= processedMs_) {
        return;
    }
    if (mode_ == 1 && !paused_) {
        std::int64_t first = FloorDiv(processedMs_, kSampleTickMs) + 1;
        const std::int64_t last = FloorDiv(now, kSampleTickMs);
        first = std::max(first, last - kMaxTrackedTicks);
        for (std::int64_t tick = first; tick <= last; ++tick) {
            const std::int64_t ms = tick * kSampleTickMs;
            const double value = SignalAt(ms);
            if (value > maxValue_) {
                maxValue_ = value;
                maxMs_ = ms;
            }
            if (value < minValue_) {
                minValue_ = value;
                minMs_ = ms;
            }
        }
    }
    RunLogger(now);
    RunTrend(now);
    processedMs_ = now;
}

double VirtualMeter::SignalAt(std::int64_t ms) const
{
    const MeterFunction& f = Function();
    const double phase = 2.0 * std::numbers::pi * static_cast<double>(ms) / kSignalPeriodMs;
    const double noise = NoiseOf(seed_, FloorDiv(ms, kSampleTickMs)) * f.swing * kNoiseShare;
    return f.centre + f.swing * std::sin(phase) + noise;
}

double VirtualMeter::DisplayedValue(std::int64_t ms) const
{
    return SignalAt(hold_ ? holdMs_ : ms);
}

const MeterRange& VirtualMeter::RangeFor(double value) const
{
    const MeterFunction& f = Function();
    int index = 0;
    if (f.choice == RangeChoice::AutoOnly || (f.choice == RangeChoice::AutoOrManual && autoRange_)) {
        index = PickRange(f, value, variant_);
    } else if (f.choice == RangeChoice::AutoOrManual) {
        index = manualRange_;
    }
    return f.ranges[static_cast<std::size_t>(index)];
}

std::string VirtualMeter::ReadingOf(double value) const
{
    return FormatReading(value, RangeFor(value), variant_);
}

std::string VirtualMeter::ReadingOfCode(const SetupCode& code) const
{
    const MeterFunction& f = Function();
    const double value = BaseValueOf(code, f);
    const MeterRange& named = RangeOfCode(code, f);
    if (FitsRange(value, named, variant_)) {
        return FormatReading(value, named, variant_);
    }
    return FormatReading(value, f.ranges[static_cast<std::size_t>(PickRange(f, value, variant_))], variant_);
}

std::string VirtualMeter::StampAt(std::int64_t ms) const
{
    return FormatTimeOfDay(FromEpochSeconds(clockBaseSeconds_ + FloorDiv(ms - clockSetMs_, 1000)));
}

SetupCode VirtualMeter::CodeOfValue(double value) const
{
    const MeterFunction& f = Function();
    const MeterRange& range = RangeFor(value);
    const int index = static_cast<int>(&range - f.ranges.data());
    const int decimals
        = variant_ == MeterVariant::Logger5k ? std::max(range.decimals - 1, 0) : range.decimals;
    const double factor = std::pow(10.0, decimals);
    return { std::round(value / range.scale * factor) / factor, index };
}

std::string VirtualMeter::DrmFields(std::int64_t now)
{
    const double value = DisplayedValue(now);
    std::string text = "drm" + ReadingOf(value);
    if (Function().isRpm && !beepOrProg_) {
        return text; // without the program reading the engine functions have no sub-readings
    }
    if (mode_ == 1) {
        text += "," + ReadingOf(maxValue_) + "," + StampAt(maxMs_) + "," + ReadingOf(minValue_) + ","
            + StampAt(minMs_);
    } else if (mode_ == 2) {
        const double shown = paused_ ? DisplayedValue(pausedMs_) : value;
        const double reference = BaseValueOf(relativeReference_, Function());
        const double percent = reference == 0 ? NAN : (shown - reference) / std::fabs(reference) * 100.0;
        text += "," + FormatRelative(percent);
    }
    return text;
}

// ---- Modes ----------------------------------------------------------------------------------

void VirtualMeter::ResetRecord(std::int64_t now)
{
    maxValue_ = minValue_ = SignalAt(now);
    maxMs_ = minMs_ = now;
}

void VirtualMeter::StartLogging(std::int64_t now)
{
    session_ = loggerSettings_;
    memory_.clear();
    cursor_ = 0;
    ++downloadEpoch_;
    nextAddress_ = session_.startAddress;
    nextLogMs_ = now;
    logging_ = true;
    RunLogger(now);
}

void VirtualMeter::RunLogger(std::int64_t until)
{
    while (logging_ && nextLogMs_ <= until) {
        if (nextAddress_ > session_.stopAddress
            || memory_.size() >= static_cast<std::size_t>(kLoggerCapacity)) {
            logging_ = false;
            break;
        }
        const std::string reading = ReadingOf(SignalAt(nextLogMs_));
        memory_.push_back({ nextAddress_, StampAt(nextLogMs_), LoggerReading(reading, variant_) });
        ++nextAddress_;
        nextLogMs_ += static_cast<std::int64_t>(session_.samplingSeconds) * 1000;
        if (nextAddress_ > session_.stopAddress) {
            logging_ = false;
        }
    }
}

void VirtualMeter::StopRecall()
{
    if (recall_) {
        recall_ = false;
        cursor_ = 0;
        ++downloadEpoch_;
    }
}

void VirtualMeter::StartTrend(std::int64_t now)
{
    trendRunning_ = true;
    trendNext_ = 0;
    trendStartMs_ = now;
}

void VirtualMeter::RunTrend(std::int64_t until)
{
    while (trendRunning_) {
        const std::int64_t due = trendStartMs_ + static_cast<std::int64_t>(trendNext_ + 1) * kTrendIntervalMs;
        if (due > until) {
            break;
        }
        const MeterFunction& f = Function();
        const double reference = BaseValueOf(trend_.reference, f);
        const double perDivision = std::fabs(BaseValueOf(trend_.perDivision, f));
        double level = 0;
        if (perDivision > 0) {
            level = std::round((SignalAt(due) - reference) / perDivision * kLevelsPerDivision);
        }
        level = std::clamp(level, 0.0, static_cast<double>(kTrendLevels));
        if (!unplugged_) {
            char text[32];
            std::snprintf(text, sizeof text, "ptr%03d,%03d", trendNext_, static_cast<int>(level));
            Report report(kReportLength, 0);
            report[1] = 2;
            const std::string_view field(text);
            std::copy(field.begin(), field.end(), report.begin() + 2);
            report[2 + field.size()] = 3;
            unsolicited_.push_back(std::move(report));
        }
        if (++trendNext_ >= kTrendPoints) {
            trendRunning_ = false;
        }
    }
}

void VirtualMeter::LeaveMode()
{
    logging_ = false;
    StopRecall();
    trendRunning_ = false;
    paused_ = false;
}

// ---- State ----------------------------------------------------------------------------------

const MeterFunction& VirtualMeter::Function() const
{
    return FunctionsOf(variant_)[static_cast<std::size_t>(function_)];
}

bool VirtualMeter::SetFunction(int index)
{
    Advance();
    if (index < 0 || index >= static_cast<int>(FunctionsOf(variant_).size())) {
        return false;
    }
    if (index == function_) {
        return true;
    }
    const std::int64_t now = time_.NowMs();
    function_ = index;
    autoRange_ = Function().choice != RangeChoice::Fixed;
    manualRange_ = 0;
    beepOrProg_ = false;
    ResetRecord(now);
    if (mode_ == 2) {
        relativeReference_ = CodeOfValue(DisplayedValue(now));
    }
    return true;
}

int VirtualMeter::RangeIndex()
{
    Advance();
    const MeterFunction& f = Function();
    return static_cast<int>(&RangeFor(DisplayedValue(time_.NowMs())) - f.ranges.data());
}

bool VirtualMeter::SetAutoRange()
{
    Advance();
    if (Function().choice == RangeChoice::Fixed) {
        return false;
    }
    autoRange_ = true;
    return true;
}

bool VirtualMeter::SetManualRange(int index)
{
    Advance();
    const MeterFunction& f = Function();
    if (f.choice == RangeChoice::Fixed) {
        return index == 0;
    }
    if (f.choice == RangeChoice::AutoOnly || index < 0 || index >= static_cast<int>(f.ranges.size())) {
        return false;
    }
    autoRange_ = false;
    manualRange_ = index;
    return true;
}

bool VirtualMeter::SetMode(int mode)
{
    Advance();
    if (mode < 0 || mode > 4) {
        return false;
    }
    if (mode == mode_) {
        return true;
    }
    const std::int64_t now = time_.NowMs();
    LeaveMode();
    mode_ = mode;
    if (mode_ == 1) {
        ResetRecord(now);
    } else if (mode_ == 2) {
        relativeReference_ = CodeOfValue(DisplayedValue(now));
    }
    return true;
}

void VirtualMeter::SetHold(bool on)
{
    Advance();
    if (on && !hold_) {
        holdMs_ = time_.NowMs();
    }
    hold_ = on;
}

int VirtualMeter::ProgramStatus()
{
    Advance();
    switch (mode_) {
    case 0:
        return (logging_ ? 2 : 0) | (recall_ ? 4 : 0);
    case 4:
        return trendRunning_ ? 2 : 0;
    default:
        return (paused_ ? 1 : 0) | (beepOrProg_ ? 8 : 0);
    }
}

bool VirtualMeter::SetProgramStatus(int bits)
{
    Advance();
    const std::int64_t now = time_.NowMs();
    if (mode_ == 0) {
        if ((bits & ~6) != 0 || bits == 6) {
            return false; // recalling stops logging
        }
        if ((bits & 4) != 0 && !recall_) {
            logging_ = false;
            recall_ = true;
            cursor_ = 0;
            ++downloadEpoch_;
        } else if ((bits & 4) == 0) {
            StopRecall();
        }
        if ((bits & 2) != 0 && !logging_) {
            StartLogging(now);
        } else if ((bits & 2) == 0) {
            logging_ = false;
        }
        return true;
    }
    if (mode_ == 4) {
        if ((bits & ~2) != 0) {
            return false;
        }
        if ((bits & 2) != 0 && !trendRunning_) {
            StartTrend(now);
        } else if ((bits & 2) == 0) {
            trendRunning_ = false;
        }
        return true;
    }
    if ((bits & ~9) != 0 || ((bits & 8) != 0 && !Function().hasBeepOrProg)) {
        return false;
    }
    if ((bits & 1) != 0 && !paused_) {
        pausedMs_ = now;
    }
    paused_ = (bits & 1) != 0;
    beepOrProg_ = (bits & 8) != 0;
    return true;
}

bool VirtualMeter::PressKey(int key)
{
    Advance();
    if (key < 1 || key > 4) {
        return false;
    }
    const std::int64_t now = time_.NowMs();
    if (mode_ == 0) {
        if (key == 2) { // clear the memory
            memory_.clear();
            cursor_ = 0;
            ++downloadEpoch_;
            StopRecall();
            nextAddress_ = session_.startAddress;
        } else if (key == 3) { // recall: the memory becomes downloadable
            if (recall_) {
                StopRecall();
            } else {
                logging_ = false;
                recall_ = true;
                cursor_ = 0;
                ++downloadEpoch_;
            }
        } else if (key == 4) { // start or stop logging; ends a recall
            StopRecall();
            if (logging_) {
                logging_ = false;
            } else {
                StartLogging(now);
            }
        }
    } else if (mode_ == 4) {
        if (key == 3 && trendRunning_) {
            StartTrend(now); // clearing a running trend starts it again from index 0
        } else if (key == 4) {
            if (trendRunning_) {
                trendRunning_ = false;
            } else {
                StartTrend(now);
            }
        }
    } else {
        if (key == 2 && Function().hasBeepOrProg) {
            beepOrProg_ = !beepOrProg_;
        } else if (key == 3) {
            if (mode_ == 1) {
                ResetRecord(now);
            } else if (mode_ == 2) {
                relativeReference_ = CodeOfValue(DisplayedValue(now));
            }
        } else if (key == 4) {
            paused_ = !paused_;
            pausedMs_ = now;
        }
    }
    return true;
}

bool VirtualMeter::SetLogger(const LoggerSettings& settings)
{
    Advance();
    if (settings.samplingSeconds < 1 || settings.samplingSeconds > 999 || settings.startAddress < 0
        || settings.stopAddress < settings.startAddress || settings.stopAddress >= kLoggerCapacity) {
        return false;
    }
    loggerSettings_ = settings; // a running session keeps the settings it started with
    return true;
}

const std::vector<LoggerRecord>& VirtualMeter::LoggerMemory()
{
    Advance();
    return memory_;
}

bool VirtualMeter::TrendRunning()
{
    Advance();
    return trendRunning_;
}

bool VirtualMeter::SetLoggerMemory(std::vector<LoggerRecord> records)
{
    Advance();
    if (records.size() > static_cast<std::size_t>(kLoggerCapacity)) {
        return false;
    }
    for (const LoggerRecord& r : records) {
        if (r.address < 0 || r.address > 99999 || r.time.size() != 8 || r.reading.size() != 10) {
            return false;
        }
    }
    logging_ = false;
    memory_ = std::move(records);
    cursor_ = 0;
    ++downloadEpoch_;
    return true;
}

bool VirtualMeter::SetRelativeReference(const SetupCode& code)
{
    Advance();
    if (!ValidCode(code, Function())) {
        return false;
    }
    relativeReference_ = code;
    return true;
}

bool VirtualMeter::SetCompareLimits(const SetupCode& high, const SetupCode& low)
{
    Advance();
    if (!ValidCode(high, Function()) || !ValidCode(low, Function())) {
        return false;
    }
    highLimit_ = high;
    lowLimit_ = low;
    return true;
}

bool VirtualMeter::SetTrend(const TrendSettings& settings)
{
    Advance();
    const MeterFunction& f = Function();
    if (!ValidCode(settings.reference, f) || !ValidCode(settings.perDivision, f)
        || settings.perDivision.value == 0 || settings.timePerDivision < 1 || settings.timePerDivision > 99999
        || !SetupLabel(settings.reference, f, variant_) || !SetupLabel(settings.perDivision, f, variant_)) {
        return false;
    }
    trend_ = settings;
    return true;
}

MeterDateTime VirtualMeter::Clock()
{
    Advance();
    return FromEpochSeconds(clockBaseSeconds_ + FloorDiv(time_.NowMs() - clockSetMs_, 1000));
}

bool VirtualMeter::SetClock(const MeterDateTime& dateTime)
{
    Advance();
    const auto seconds = ToEpochSeconds(dateTime);
    if (!seconds) {
        return false;
    }
    clockBaseSeconds_ = *seconds;
    clockSetMs_ = time_.NowMs();
    return true;
}

std::string VirtualMeter::Reading()
{
    Advance();
    return ReadingOf(DisplayedValue(time_.NowMs()));
}

} // namespace pelicard
