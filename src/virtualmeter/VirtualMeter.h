#pragma once

#include "link/HidBackend.h"
#include "virtualmeter/MeterClock.h"
#include "virtualmeter/MeterFunctions.h"
#include "virtualmeter/MeterTime.h"

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelicard {

// One record of the meter's logger memory.
struct LoggerRecord {
    int address = 0;
    std::string time; // "hh:mm:ss"
    std::string reading; // 10 characters

    bool operator==(const LoggerRecord&) const = default;
};

struct LoggerSettings {
    int samplingSeconds = 1; // 1 to 999
    int startAddress = 0;
    int stopAddress = 500; // start to kLoggerCapacity - 1

    bool operator==(const LoggerSettings&) const = default;
};

// A trend point's level is five per division above the reference, held to 0 to kTrendLevels.
struct TrendSettings {
    SetupCode reference { 0.0, 1 };
    SetupCode perDivision { 1.0, 1 };
    int timePerDivision = 20; // 1 to 99999

    bool operator==(const TrendSettings&) const = default;
};

// The meter's side of the protocol, in-process behind the HID seam, so the whole program runs and
// is tested without hardware.
//
// Link: Enumerate lists an unrelated HID interface of another vendor first (it opens, swallows
// writes and never answers), then the meter (vendor 0x10C4, the variant's product id). Reports are
// 65 bytes each way: report id 0, then 64 payload bytes.
//
// Commands: the payload of an output report starts with the byte 2 and carries the command text up
// to the byte 3. The program fills at most payload positions 0 to 61 of a report, so positions 62
// and 63, and everything after the 3, hold stale bytes and are never read; a longer command goes on
// at position 0 of the next report without a new 2. A frame is split at "," into commands (the
// arguments of CLK, PLV, PCV and PTV contain commas and stay with their command).
//
// Replies: one input report, byte 1 = 2, the text, 3, zeros. A frame of set commands only is
// answered by the acknowledgement byte 6; a frame with queries by their fields joined by ","
// (fields that would not fit the report are left out, and logger records left out stay in the
// meter for the next request); a frame holding "GTL" is not answered; a frame with a command the
// meter does not know or whose value it cannot take is answered by the byte 5, the valid commands
// in it having been applied and its queries left unanswered.
//
// Unsolicited reports: while a trend runs, one point "ptrNNN,LLL" every kTrendIntervalMs of
// MeterTime, indexes 0 to 120. Read hands out replies first, then due points; with nothing due it
// waits on MeterTime for the next point or the time-out, whichever comes first.
//
// Not thread-safe: the program uses it from its one user-interface thread.
class VirtualMeter : public HidBackend {
public:
    static constexpr std::uint16_t kVendorId = 0x10C4;
    static constexpr std::uint16_t kOtherVendorId = 0x1234;
    static constexpr std::uint16_t kOtherProductId = 0x5678;
    static constexpr int kReportLength = 65;
    static constexpr int kPayloadPerReport = 62; // payload positions the program fills
    static constexpr int kMaxReplyText = kReportLength - 3; // report id, 2 and 3 around the text
    static constexpr int kTrendIntervalMs = 500;
    static constexpr int kTrendPoints = 121;
    static constexpr int kTrendLevels = 25;
    static constexpr int kLoggerCapacity = 10000;
    static constexpr int kSampleTickMs = 100; // the meter's own measuring rate (record mode)
    static constexpr std::size_t kMaxQueuedReplies = 64;
    static constexpr std::size_t kMaxFrameLength = 4096;
    static constexpr std::string_view kMeterPath = "virtual:meter";
    static constexpr std::string_view kOtherPath = "virtual:other";

    // The seed fixes the noise on the readings and the garbage bytes.
    VirtualMeter(MeterVariant variant, MeterTime& time, std::uint64_t seed = 1);

    // HidBackend
    std::vector<HidInterfaceInfo> Enumerate() override;
    int Open(const std::string& path) override;
    void Close(int handle) override;
    HidReportLengths ReportLengths(int handle) override;
    bool Write(int handle, const std::vector<std::uint8_t>& report) override;
    // A negative time-out counts as 0.
    ReadOutcome Read(int handle, std::vector<std::uint8_t>& report, int timeoutMs) override;
    void CancelRead(int handle) override;

    // Fault injection. The one-shot faults each hit once and then clear.
    // Unplugged: not enumerated, open fails, open handles die (writes fail, reads fail at once),
    // queued replies are lost; after replugging the meter must be opened again and keeps its state.
    void SetUnplugged(bool unplugged);
    bool Unplugged() const { return unplugged_; }
    void FailNextWrite(); // the next Write to the meter returns false and delivers nothing
    void DropNextReply(); // the next frame that would be answered is applied but never answered
    void CutEndByteOfNextReply(); // the next reply to a command comes without its end byte 3
    void SendGarbageNext(); // the next reply to a command is random bytes (report id still 0)

    // Observation: the frames received so far, as reassembled texts.
    const std::vector<std::string>& ReceivedCommands() const { return received_; }
    void ClearReceivedCommands() { received_.clear(); }

    // Meter state, brought up to the present MeterTime first. Setters return false and change
    // nothing for a value the meter cannot take.
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
    // Logging clears the memory, takes a record at once and then every sampling time, and stops
    // after the stop address. A download hands out up to two records per request and ends with a
    // marker record whose time is "--EOD---", after which the recall is over.
    // Record, relative, compare: F2 switches the beeper (resistance) or the program reading
    // (engine speed); F3 resets the extremes (record) or takes the present reading as reference
    // (relative); F4 pauses (record: extremes stand still; relative: the deviation stands still).
    // Trend: F3 restarts a running trend at index 0; F4 starts a trend at index 0 or stops it.
    // Changing the mode stops logging, recall, trend and pause; entering record mode resets the
    // extremes and entering relative mode takes the present reading as reference.
    bool PressKey(int key);

    const LoggerSettings& Logger() const { return loggerSettings_; }
    bool SetLogger(const LoggerSettings& settings);
    const std::vector<LoggerRecord>& LoggerMemory();
    bool SetLoggerMemory(std::vector<LoggerRecord> records);

    const SetupCode& RelativeReference() const { return relativeReference_; }
    bool SetRelativeReference(const SetupCode& code);
    const SetupCode& HighLimit() const { return highLimit_; }
    const SetupCode& LowLimit() const { return lowLimit_; }
    bool SetCompareLimits(const SetupCode& high, const SetupCode& low);
    const TrendSettings& Trend() const { return trend_; }
    bool SetTrend(const TrendSettings& settings);
    bool TrendRunning();

    MeterDateTime Clock();
    bool SetClock(const MeterDateTime& dateTime);

    // The main reading as "DRM" would report it now (11 characters).
    std::string Reading();

private:
    enum class Target { Meter, Other };
    using Report = std::vector<std::uint8_t>;

    struct ReplyText {
        std::string text;
        bool full = false;
        bool TryAppend(const std::string& field);
    };

    void Advance();
    void FeedPayload(const std::uint8_t* payload, std::size_t length);
    void HandleFrame(const std::string& frame);
    bool IsQuery(const std::string& command) const;
    bool Answer(const std::string& query, ReplyText& reply);
    bool Apply(const std::string& command);
    void QueueReply(const std::string& text);
    std::optional<std::int64_t> NextUnsolicitedMs() const;

    double SignalAt(std::int64_t ms) const;
    double DisplayedValue(std::int64_t ms) const;
    const MeterRange& RangeFor(double value) const;
    std::string ReadingOf(double value) const;
    std::string ReadingOfCode(const SetupCode& code) const;
    std::string StampAt(std::int64_t ms) const;
    SetupCode CodeOfValue(double value) const;
    std::string DrmFields(std::int64_t now);

    void ResetRecord(std::int64_t now);
    void StartLogging(std::int64_t now);
    void RunLogger(std::int64_t until);
    void StopRecall();
    void StartTrend(std::int64_t now);
    void RunTrend(std::int64_t until);
    void LeaveMode();

    MeterVariant variant_;
    MeterTime& time_;
    std::uint64_t seed_;
    std::uint64_t garbageState_;

    // Link
    bool unplugged_ = false;
    int nextHandle_ = 1;
    std::map<int, Target> handles_;
    bool inFrame_ = false;
    std::string frame_;
    std::deque<Report> replies_;
    std::deque<Report> unsolicited_;
    std::vector<std::string> received_;
    bool failNextWrite_ = false;
    bool dropNextReply_ = false;
    bool cutNextReply_ = false;
    bool garbageNext_ = false;

    // Measurement
    std::int64_t processedMs_ = 0;
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

    // Logger
    LoggerSettings loggerSettings_;
    LoggerSettings session_;
    bool logging_ = false;
    int nextAddress_ = 0;
    std::int64_t nextLogMs_ = 0;
    std::vector<LoggerRecord> memory_;
    bool recall_ = false;
    std::size_t cursor_ = 0;
    unsigned downloadEpoch_ = 0;

    // Trend
    TrendSettings trend_;
    bool trendRunning_ = false;
    int trendNext_ = 0;
    std::int64_t trendStartMs_ = 0;

    // Clock: the meter's date and time was clockBaseSeconds_ at clockSetMs_ of MeterTime.
    std::int64_t clockBaseSeconds_ = 0;
    std::int64_t clockSetMs_ = 0;
};

} // namespace pelicard
