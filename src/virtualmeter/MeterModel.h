#pragma once

#include "virtualmeter/MeterClock.h"
#include "virtualmeter/MeterFunctions.h"
#include "virtualmeter/MeterLogger.h"
#include "virtualmeter/MeterTime.h"
#include "virtualmeter/TrendGenerator.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelicard {

// What the meter is and does, apart from the wire: function, range, mode, hold, the keys and the
// status bits of each mode, the setup values, the clock and the living readings. The logger memory
// (MeterLogger) and the trend run (TrendGenerator) are classes of their own that the model owns and
// drives.
//
// Everything happens on MeterTime: every call that is not const first brings the model up to the
// present (record mode tracks its extremes, the logger takes its records, the trend hands out its
// points).
// Setters return false and change nothing for a value the meter cannot take.
class MeterModel {
public:
    static constexpr int kSampleTickMs = 100; // the meter's own measuring rate (record mode)
    static constexpr int kModes = 5; // 0 logger, 1 record, 2 relative, 3 compare, 4 trend

    // The seed fixes the noise on the readings. Trend points go to `trendPoints` as they fall due.
    MeterModel(
        MeterVariant variant, MeterTime& time, std::uint64_t seed, TrendGenerator::PointSink trendPoints);
    MeterModel(const MeterModel&) = delete; // the logger and the trend call back into it
    MeterModel& operator=(const MeterModel&) = delete;

    // Brings the state up to the present MeterTime.
    void Advance();

    MeterVariant Variant() const { return variant_; }
    int FunctionIndex() const { return function_; }
    const MeterFunction& Function() const;
    bool SetFunction(int index);
    bool AutoRange() const { return autoRange_; }
    // The range in use: the manual one, or the one auto ranging picks for the present value.
    int RangeIndex();
    bool SetAutoRange();
    bool SetManualRange(int index);
    int Mode() const { return mode_; }
    // Changing the mode stops logging, recall, trend and pause; entering record mode resets the
    // extremes and entering relative mode takes the present reading as reference.
    bool SetMode(int mode);
    bool Hold() const { return hold_; }
    void SetHold(bool on);

    // The status bits of the current mode: logger 2 logging, 4 recall; record, relative and compare
    // 1 paused, 8 beeper or program reading; trend 2 running.
    int ProgramStatus();
    bool SetProgramStatus(int bits);
    // The keys F1 to F4 (F1 does nothing).
    // Logger: F2 clears the memory; F3 starts or ends the recall, which makes the memory
    // downloadable through "DRL??" and stops logging; F4 ends a recall and starts or stops logging.
    // Record, relative, compare: F2 switches the beeper (resistance) or the program reading
    // (engine speed); F3 resets the extremes (record) or takes the present reading as reference
    // (relative); F4 pauses (record: extremes stand still; relative: the deviation stands still).
    // Trend: F3 restarts a running trend at index 0; F4 starts a trend at index 0 or stops it.
    bool PressKey(int key);

    // Setup values: logger settings, relative reference, compare limits, trend settings.
    const LoggerSettings& Logger() const { return logger_.Settings(); }
    bool SetLogger(const LoggerSettings& settings);
    const SetupCode& RelativeReference() const { return relativeReference_; }
    bool SetRelativeReference(const SetupCode& code);
    const SetupCode& HighLimit() const { return highLimit_; }
    const SetupCode& LowLimit() const { return lowLimit_; }
    bool SetCompareLimits(const SetupCode& high, const SetupCode& low);
    const TrendSettings& Trend() const { return trend_.Settings(); }
    bool SetTrend(const TrendSettings& settings);

    const std::vector<LoggerRecord>& LoggerMemory();
    bool SetLoggerMemory(std::vector<LoggerRecord> records);
    bool TrendRunning();
    std::optional<std::int64_t> NextTrendPointMs() const { return trend_.NextPointMs(); }

    MeterDateTime Clock();
    bool SetClock(const MeterDateTime& dateTime);

    // The main reading as "DRM" reports it now (11 characters).
    std::string Reading();
    // The fields of the "DRM" answer: the reading, then in record mode maximum and minimum with
    // their time stamps, in relative mode the deviation.
    std::string ReadingFields();
    // A setup value as a reading: in the range it names, or the one that shows it.
    std::string SetupReading(const SetupCode& code) const;

    // The logger's download, for the "DRL??" query.
    void HandOutRecords(const MeterLogger::FieldAppender& append) { logger_.HandOut(append); }
    MeterLogger::DownloadMark MarkDownload() const { return logger_.Mark(); }
    void RewindDownload(const MeterLogger::DownloadMark& mark) { logger_.Rewind(mark); }

private:
    double SignalAt(std::int64_t ms) const;
    double DisplayedValue(std::int64_t ms) const;
    const MeterRange& RangeFor(double value) const;
    std::string ReadingOf(double value) const;
    std::string StampAt(std::int64_t ms) const;
    SetupCode CodeOfValue(double value) const;
    LoggerRecord TakeRecord(int address, std::int64_t ms) const;

    void TrackExtremes(std::int64_t until);
    void ResetRecord(std::int64_t now);
    void TakeReference(std::int64_t now);
    void LeaveMode();
    void PressLoggerKey(int key, std::int64_t now);
    void PressTrendKey(int key, std::int64_t now);
    void PressReadingKey(int key, std::int64_t now);

    MeterVariant variant_;
    MeterTime& time_;
    std::uint64_t seed_;
    std::int64_t processedMs_ = 0;

    // Measurement
    int function_ = 0;
    bool autoRange_ = true;
    int manualRange_ = 0;
    int mode_ = 0;
    bool hold_ = false;
    std::int64_t holdMs_ = 0;
    bool beepOrProg_ = false;
    bool paused_ = false;
    std::int64_t pausedMs_ = 0;

    // Record mode
    double maxValue_ = 0;
    double minValue_ = 0;
    std::int64_t maxMs_ = 0;
    std::int64_t minMs_ = 0;

    // Relative and compare modes
    SetupCode relativeReference_ { 0.0, 1 };
    SetupCode highLimit_ { 4.0, 1 };
    SetupCode lowLimit_ { 1.0, 1 };

    // Clock: the meter's date and time was clockBaseSeconds_ at clockSetMs_ of MeterTime.
    std::int64_t clockBaseSeconds_ = 0;
    std::int64_t clockSetMs_ = 0;

    MeterLogger logger_;
    TrendGenerator trend_;
};

} // namespace pelicard
