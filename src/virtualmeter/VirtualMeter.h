#pragma once

#include "link/HidBackend.h"
#include "virtualmeter/CommandInterpreter.h"
#include "virtualmeter/MeterClock.h"
#include "virtualmeter/MeterFunctions.h"
#include "virtualmeter/MeterLogger.h"
#include "virtualmeter/MeterModel.h"
#include "virtualmeter/MeterTime.h"
#include "virtualmeter/TrendGenerator.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelicard {

// The meter's side of the protocol, in-process behind the HID seam, so the whole program runs and
// is tested without hardware. This class is the meter's HID face: handles, reports in and out,
// framing, the reply queue, unsolicited reports and fault injection. What the meter does with a
// command is the CommandInterpreter's; the state it keeps is the MeterModel's, which this class
// owns and whose calls it passes on.
//
// Link: Enumerate lists an unrelated HID interface of another vendor first (it opens, swallows
// writes and never answers), then the meter (vendor 0x10C4, the variant's product id). Reports are
// 65 bytes each way: report id 0, then 64 payload bytes.
//
// Commands: the payload of an output report starts with the byte 2 and carries the command text up
// to the byte 3. The program fills at most payload positions 0 to 61 of a report, so positions 62
// and 63, and everything after the 3, hold stale bytes and are never read; a longer command goes on
// at position 0 of the next report without a new 2. A whole frame goes to the interpreter.
//
// Replies: one input report, byte 1 = 2, the text, 3, zeros.
//
// Unsolicited reports: while a trend runs, one point "ptrNNN,LLL" every TrendIntervalMs() of
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
    static constexpr int kTrendPoints = TrendGenerator::kPoints;
    static constexpr int kTrendLevels = TrendGenerator::kLevels;
    static constexpr int kLoggerCapacity = MeterLogger::kCapacity;
    static constexpr int kSampleTickMs = MeterModel::kSampleTickMs;
    static constexpr std::size_t kMaxQueuedReplies = 64;
    static constexpr std::size_t kMaxFrameLength = 4096;
    static constexpr std::string_view kMeterPath = "virtual:meter";
    static constexpr std::string_view kOtherPath = "virtual:other";

    // The seed fixes the noise on the readings and the garbage bytes.
    VirtualMeter(MeterVariant variant, MeterTime& time, std::uint64_t seed = 1);
    VirtualMeter(const VirtualMeter&) = delete; // the model calls back into this face
    VirtualMeter& operator=(const VirtualMeter&) = delete;

    // HidBackend
    std::vector<HidInterfaceInfo> Enumerate() override;
    int Open(const std::string& path) override;
    void Close(int handle) override;
    HidReportLengths ReportLengths(int handle) override;
    bool Write(int handle, const std::vector<std::uint8_t>& report) override;
    // A negative time-out counts as 0.
    ReadOutcome Read(int handle, std::vector<std::uint8_t>& report, int timeoutMs) override;
    void CancelRead(int handle) override;
    int QuietMs(int handle) override;
    void SetReportNotifier(std::function<void()> notify) override { notify_ = std::move(notify); }

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

    // Meter state, brought up to the present MeterTime first: see MeterModel for what each does.
    MeterVariant Variant() const { return model_.Variant(); }
    int FunctionIndex() const { return model_.FunctionIndex(); }
    const MeterFunction& Function() const { return model_.Function(); }
    bool SetFunction(int index) { return model_.SetFunction(index); }
    bool AutoRange() const { return model_.AutoRange(); }
    int RangeIndex() { return model_.RangeIndex(); }
    bool SetAutoRange() { return model_.SetAutoRange(); }
    bool SetManualRange(int index) { return model_.SetManualRange(index); }
    int Mode() const { return model_.Mode(); }
    bool SetMode(int mode) { return model_.SetMode(mode); }
    bool Hold() const { return model_.Hold(); }
    void SetHold(bool on) { model_.SetHold(on); }
    int ProgramStatus() { return model_.ProgramStatus(); }
    bool SetProgramStatus(int bits) { return model_.SetProgramStatus(bits); }
    // A key pressed on the meter itself; it may start something that sends reports.
    bool PressKey(int key);

    const LoggerSettings& Logger() const { return model_.Logger(); }
    bool SetLogger(const LoggerSettings& settings) { return model_.SetLogger(settings); }
    const std::vector<LoggerRecord>& LoggerMemory() { return model_.LoggerMemory(); }
    bool SetLoggerMemory(std::vector<LoggerRecord> records)
    {
        return model_.SetLoggerMemory(std::move(records));
    }

    const SetupCode& RelativeReference() const { return model_.RelativeReference(); }
    bool SetRelativeReference(const SetupCode& code) { return model_.SetRelativeReference(code); }
    const SetupCode& HighLimit() const { return model_.HighLimit(); }
    const SetupCode& LowLimit() const { return model_.LowLimit(); }
    bool SetCompareLimits(const SetupCode& high, const SetupCode& low)
    {
        return model_.SetCompareLimits(high, low);
    }
    const TrendSettings& Trend() const { return model_.Trend(); }
    bool SetTrend(const TrendSettings& settings) { return model_.SetTrend(settings); }
    bool TrendRunning() { return model_.TrendRunning(); }

    MeterDateTime Clock() { return model_.Clock(); }
    bool SetClock(const MeterDateTime& dateTime) { return model_.SetClock(dateTime); }

    // The main reading as "DRM" would report it now (11 characters).
    std::string Reading() { return model_.Reading(); }

private:
    enum class Target { Meter, Other };
    using Report = std::vector<std::uint8_t>;

    void FeedPayload(const std::uint8_t* payload, std::size_t length);
    void HandleFrame(const std::string& frame);
    void QueueReply(const std::string& text);
    void QueueTrendPoint(int index, int level);
    std::optional<std::int64_t> NextUnsolicitedMs() const;

    MeterTime& time_;
    std::uint64_t garbageState_;

    bool unplugged_ = false;
    int nextHandle_ = 1;
    std::map<int, Target> handles_;
    bool inFrame_ = false;
    std::string frame_;
    std::deque<Report> replies_;
    std::deque<Report> unsolicited_;
    std::vector<std::string> received_;
    bool failNextWrite_ = false;
    std::function<void()> notify_;
    bool dropNextReply_ = false;
    bool cutNextReply_ = false;
    bool garbageNext_ = false;

    MeterModel model_;
    CommandInterpreter interpreter_;
};

} // namespace pelicard
