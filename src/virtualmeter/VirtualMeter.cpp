#include "virtualmeter/VirtualMeter.h"

#include "virtualmeter/SplitMix.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace pelicard {

VirtualMeter::VirtualMeter(MeterVariant variant, MeterTime& time, std::uint64_t seed)
    : time_(time)
    , garbageState_(seed ^ 0xA5A5A5A5A5A5A5A5ULL)
    , model_(variant, time, seed, [this](int index, int level) { QueueTrendPoint(index, level); })
    , interpreter_(model_, kMaxReplyText)
{ }

// ---- HID seam -------------------------------------------------------------------------------

std::vector<HidInterfaceInfo> VirtualMeter::Enumerate()
{
    std::vector<HidInterfaceInfo> list;
    list.push_back({ std::string(kOtherPath), kOtherVendorId, kOtherProductId });
    if (!unplugged_) {
        list.push_back({ std::string(kMeterPath), kVendorId, ProductIdOf(model_.Variant()) });
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
    model_.Advance();
    FeedPayload(report.data() + 1, std::min<std::size_t>(report.size() - 1, kPayloadPerReport));
    // A command may have queued a reply or started a trend.
    if (notify_) {
        notify_();
    }
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
    model_.Advance();
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
        model_.Advance();
    }
}

bool VirtualMeter::PressKey(int key)
{
    const bool pressed = model_.PressKey(key);
    if (notify_) {
        notify_();
    }
    return pressed;
}

int VirtualMeter::QuietMs(int handle)
{
    const auto it = handles_.find(handle);
    if (it == handles_.end() || it->second == Target::Other) {
        return NoReportDue;
    }
    model_.Advance();
    if (!replies_.empty() || !unsolicited_.empty()) {
        return 0;
    }
    const std::optional<std::int64_t> due = NextUnsolicitedMs();
    if (!due) {
        return NoReportDue;
    }
    return static_cast<int>(
        std::clamp<std::int64_t>(*due - time_.NowMs(), 0, std::numeric_limits<int>::max()));
}

void VirtualMeter::CancelRead(int /*handle*/)
{
    // Reads never stay pending here.
}

// ---- Faults ---------------------------------------------------------------------------------

void VirtualMeter::SetUnplugged(bool unplugged)
{
    model_.Advance();
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

// ---- Framing and reports --------------------------------------------------------------------

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
    const std::optional<std::string> reply = interpreter_.Execute(frame);
    if (!reply) {
        return;
    }
    if (dropNextReply_) {
        dropNextReply_ = false;
        return;
    }
    QueueReply(*reply);
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

void VirtualMeter::QueueTrendPoint(int index, int level)
{
    if (unplugged_) {
        return; // a point of an unplugged meter reaches no one
    }
    char text[32];
    std::snprintf(text, sizeof text, "ptr%03d,%03d", index, level);
    Report report(kReportLength, 0);
    report[1] = 2;
    const std::string_view field(text);
    std::copy(field.begin(), field.end(), report.begin() + 2);
    report[2 + field.size()] = 3;
    unsolicited_.push_back(std::move(report));
}

std::optional<std::int64_t> VirtualMeter::NextUnsolicitedMs() const
{
    if (unplugged_) {
        return std::nullopt;
    }
    return model_.NextTrendPointMs();
}

} // namespace pelicard
