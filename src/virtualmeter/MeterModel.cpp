#include "virtualmeter/MeterModel.h"

#include "virtualmeter/SplitMix.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace pelicard {

namespace {

constexpr double kSignalPeriodMs = 20000.0;
constexpr double kNoiseShare = 0.002; // of the swing
constexpr std::int64_t kMaxTrackedTicks = 36000; // record tracking looks back one hour at most

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) {
        --q;
    }
    return q;
}

// A number in [-1, 1) that depends only on the seed and the slot.
double NoiseOf(std::uint64_t seed, std::int64_t slot)
{
    std::uint64_t state = seed * 0xD1B54A32D192ED03ULL ^ static_cast<std::uint64_t>(slot);
    const std::uint64_t r = SplitMix(state);
    return static_cast<double>(r >> 11) * 0x1.0p-52 - 1.0;
}

} // namespace

MeterModel::MeterModel(
    MeterVariant variant, MeterTime& time, std::uint64_t seed, TrendGenerator::PointSink trendPoints)
    : variant_(variant)
    , time_(time)
    , seed_(seed)
    , logger_([this](int address, std::int64_t ms) { return TakeRecord(address, ms); })
    , trend_([this](std::int64_t ms) { return SignalAt(ms); }, std::move(trendPoints))
{
    processedMs_ = time_.NowMs();
    clockSetMs_ = processedMs_;
    clockBaseSeconds_ = ToEpochSeconds(MeterDateTime { 2024, 1, 1, 8, 0, 0 }).value_or(0);
    ResetRecord(processedMs_);
}

// ---- Time -----------------------------------------------------------------------------------

void MeterModel::Advance()
{
    const std::int64_t now = time_.NowMs();
    if (now <= processedMs_) {
        return;
    }
    if (mode_ == 1 && !paused_) {
        TrackExtremes(now);
    }
    logger_.Run(now);
    trend_.Run(now, Function());
    processedMs_ = now;
}

void MeterModel::TrackExtremes(std::int64_t until)
{
    std::int64_t first = FloorDiv(processedMs_, kSampleTickMs) + 1;
    const std::int64_t last = FloorDiv(until, kSampleTickMs);
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

// ---- Readings -------------------------------------------------------------------------------

double MeterModel::SignalAt(std::int64_t ms) const
{
    const MeterFunction& f = Function();
    const double phase = 2.0 * std::numbers::pi * static_cast<double>(ms) / kSignalPeriodMs;
    const double noise = NoiseOf(seed_, FloorDiv(ms, kSampleTickMs)) * f.swing * kNoiseShare;
    return f.centre + f.swing * std::sin(phase) + noise;
}

double MeterModel::DisplayedValue(std::int64_t ms) const
{
    return SignalAt(hold_ ? holdMs_ : ms);
}

const MeterRange& MeterModel::RangeFor(double value) const
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

std::string MeterModel::ReadingOf(double value) const
{
    return FormatReading(value, RangeFor(value), variant_);
}

std::string MeterModel::SetupReading(const SetupCode& code) const
{
    const MeterFunction& f = Function();
    const double value = BaseValueOf(code, f);
    const MeterRange& named = RangeOfCode(code, f);
    if (FitsRange(value, named, variant_)) {
        return FormatReading(value, named, variant_);
    }
    return FormatReading(value, f.ranges[static_cast<std::size_t>(PickRange(f, value, variant_))], variant_);
}

std::string MeterModel::StampAt(std::int64_t ms) const
{
    return FormatTimeOfDay(FromEpochSeconds(clockBaseSeconds_ + FloorDiv(ms - clockSetMs_, 1000)));
}

SetupCode MeterModel::CodeOfValue(double value) const
{
    const MeterFunction& f = Function();
    const MeterRange& range = RangeFor(value);
    const int index = static_cast<int>(&range - f.ranges.data());
    const int decimals
        = variant_ == MeterVariant::Logger5k ? std::max(range.decimals - 1, 0) : range.decimals;
    const double factor = std::pow(10.0, decimals);
    return { std::round(value / range.scale * factor) / factor, index };
}

LoggerRecord MeterModel::TakeRecord(int address, std::int64_t ms) const
{
    const std::string reading = ReadingOf(SignalAt(ms));
    return { address, StampAt(ms), LoggerReading(reading, variant_) };
}

std::string MeterModel::Reading()
{
    Advance();
    return ReadingOf(DisplayedValue(time_.NowMs()));
}

std::string MeterModel::ReadingFields()
{
    Advance();
    const double value = DisplayedValue(time_.NowMs());
    std::string text = "drm";
    text += ReadingOf(value);
    if (Function().isRpm && !beepOrProg_) {
        return text; // without the program reading the engine functions have no sub-readings
    }
    if (mode_ == 1) {
        for (const std::string& part :
            { ReadingOf(maxValue_), StampAt(maxMs_), ReadingOf(minValue_), StampAt(minMs_) }) {
            text += ',';
            text += part;
        }
    } else if (mode_ == 2) {
        const double shown = paused_ ? DisplayedValue(pausedMs_) : value;
        const double reference = BaseValueOf(relativeReference_, Function());
        const double percent = reference == 0 ? NAN : (shown - reference) / std::fabs(reference) * 100.0;
        text += ',';
        text += FormatRelative(percent);
    }
    return text;
}

// ---- Function, range, mode, hold ------------------------------------------------------------

const MeterFunction& MeterModel::Function() const
{
    return FunctionsOf(variant_)[static_cast<std::size_t>(function_)];
}

bool MeterModel::SetFunction(int index)
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
        TakeReference(now);
    }
    return true;
}

int MeterModel::RangeIndex()
{
    Advance();
    const MeterFunction& f = Function();
    return static_cast<int>(&RangeFor(DisplayedValue(time_.NowMs())) - f.ranges.data());
}

bool MeterModel::SetAutoRange()
{
    Advance();
    if (Function().choice == RangeChoice::Fixed) {
        return false;
    }
    autoRange_ = true;
    return true;
}

bool MeterModel::SetManualRange(int index)
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

bool MeterModel::SetMode(int mode)
{
    Advance();
    if (mode < 0 || mode >= kModes) {
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
        TakeReference(now);
    }
    return true;
}

void MeterModel::SetHold(bool on)
{
    Advance();
    if (on && !hold_) {
        holdMs_ = time_.NowMs();
    }
    hold_ = on;
}

void MeterModel::ResetRecord(std::int64_t now)
{
    maxValue_ = minValue_ = SignalAt(now);
    maxMs_ = minMs_ = now;
}

void MeterModel::TakeReference(std::int64_t now)
{
    relativeReference_ = CodeOfValue(DisplayedValue(now));
}

void MeterModel::LeaveMode()
{
    logger_.StopLogging();
    logger_.StopRecall();
    trend_.Stop();
    paused_ = false;
}

// ---- Status bits and keys -------------------------------------------------------------------

int MeterModel::ProgramStatus()
{
    Advance();
    switch (mode_) {
    case 0:
        return (logger_.Logging() ? 2 : 0) | (logger_.Recalling() ? 4 : 0);
    case 4:
        return trend_.Running() ? 2 : 0;
    default:
        return (paused_ ? 1 : 0) | (beepOrProg_ ? 8 : 0);
    }
}

bool MeterModel::SetProgramStatus(int bits)
{
    Advance();
    const std::int64_t now = time_.NowMs();
    if (mode_ == 0) {
        if ((bits & ~6) != 0 || bits == 6) {
            return false; // recalling stops logging
        }
        if ((bits & 4) != 0) {
            logger_.StartRecall();
        } else {
            logger_.StopRecall();
        }
        if ((bits & 2) != 0 && !logger_.Logging()) {
            logger_.StartLogging(now);
        } else if ((bits & 2) == 0) {
            logger_.StopLogging();
        }
        return true;
    }
    if (mode_ == 4) {
        if ((bits & ~2) != 0) {
            return false;
        }
        if ((bits & 2) != 0 && !trend_.Running()) {
            trend_.Start(now);
        } else if ((bits & 2) == 0) {
            trend_.Stop();
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

bool MeterModel::PressKey(int key)
{
    Advance();
    if (key < 1 || key > 4) {
        return false;
    }
    const std::int64_t now = time_.NowMs();
    if (mode_ == 0) {
        PressLoggerKey(key, now);
    } else if (mode_ == 4) {
        PressTrendKey(key, now);
    } else {
        PressReadingKey(key, now);
    }
    return true;
}

void MeterModel::PressLoggerKey(int key, std::int64_t now)
{
    if (key == 2) { // clear the memory
        logger_.Clear();
    } else if (key == 3) { // recall: the memory becomes downloadable
        if (logger_.Recalling()) {
            logger_.StopRecall();
        } else {
            logger_.StartRecall();
        }
    } else if (key == 4) { // start or stop logging; ends a recall
        logger_.StopRecall();
        if (logger_.Logging()) {
            logger_.StopLogging();
        } else {
            logger_.StartLogging(now);
        }
    }
}

void MeterModel::PressTrendKey(int key, std::int64_t now)
{
    if (key == 3 && trend_.Running()) {
        trend_.Start(now); // clearing a running trend starts it again from index 0
    } else if (key == 4) {
        if (trend_.Running()) {
            trend_.Stop();
        } else {
            trend_.Start(now);
        }
    }
}

// Record, relative and compare modes.
void MeterModel::PressReadingKey(int key, std::int64_t now)
{
    if (key == 2 && Function().hasBeepOrProg) {
        beepOrProg_ = !beepOrProg_;
    } else if (key == 3) {
        if (mode_ == 1) {
            ResetRecord(now);
        } else if (mode_ == 2) {
            TakeReference(now);
        }
    } else if (key == 4) {
        paused_ = !paused_;
        pausedMs_ = now;
    }
}

// ---- Setup values, logger memory, trend, clock ----------------------------------------------

bool MeterModel::SetLogger(const LoggerSettings& settings)
{
    Advance();
    return logger_.SetSettings(settings);
}

bool MeterModel::SetRelativeReference(const SetupCode& code)
{
    Advance();
    if (!IsValidCode(code, Function())) {
        return false;
    }
    relativeReference_ = code;
    return true;
}

bool MeterModel::SetCompareLimits(const SetupCode& high, const SetupCode& low)
{
    Advance();
    if (!IsValidCode(high, Function()) || !IsValidCode(low, Function())) {
        return false;
    }
    highLimit_ = high;
    lowLimit_ = low;
    return true;
}

bool MeterModel::SetTrend(const TrendSettings& settings)
{
    Advance();
    return trend_.SetSettings(settings, Function(), variant_);
}

const std::vector<LoggerRecord>& MeterModel::LoggerMemory()
{
    Advance();
    return logger_.Records();
}

bool MeterModel::SetLoggerMemory(std::vector<LoggerRecord> records)
{
    Advance();
    return logger_.SetRecords(std::move(records));
}

bool MeterModel::TrendRunning()
{
    Advance();
    return trend_.Running();
}

MeterDateTime MeterModel::Clock()
{
    Advance();
    return FromEpochSeconds(clockBaseSeconds_ + FloorDiv(time_.NowMs() - clockSetMs_, 1000));
}

bool MeterModel::SetClock(const MeterDateTime& dateTime)
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

} // namespace pelicard
