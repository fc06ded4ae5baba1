#pragma once

#include "link/HidBackend.h"

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace pelicard {

// A scripted HID backend for tests: lists the interfaces it is given, records every output report
// and hands out queued input reports. Time is counted, never waited.
class FakeHidBackend : public HidBackend {
public:
    std::vector<HidInterfaceInfo> interfaces;
    HidReportLengths lengths;
    std::set<std::string> unopenable;
    bool failWrites = false;
    bool failReads = false;
    // Each entry answers one Read; an empty optional-like entry (empty vector) times out.
    std::deque<std::vector<std::uint8_t>> inputs;
    std::vector<std::vector<std::uint8_t>> written;
    std::vector<int> readTimeouts;
    int waitedMs = 0;
    int cancelledReads = 0;
    std::set<int> openHandles;

    // When set, answers each command as its frame completes: every text returned is queued as one
    // reply report (see QueueReply).
    std::function<std::vector<std::string>(const std::string& command)> respond;

    // Queues a reply frame: report id 0, the byte 2, the text, the byte 3, padded to 65 bytes.
    void QueueReply(const std::string& text, bool withEndByte = true);
    void QueueTimeout() { inputs.emplace_back(); }
    // The command texts of the written reports, frames put back together.
    const std::vector<std::string>& Commands() const { return commands_; }
    // Forgets what was written, read and sent so far (a long run keeps no history).
    void ForgetRecords()
    {
        written.clear();
        readTimeouts.clear();
        commands_.clear();
    }

    std::vector<HidInterfaceInfo> Enumerate() override { return interfaces; }
    int Open(const std::string& path) override;
    void Close(int handle) override { openHandles.erase(handle); }
    HidReportLengths ReportLengths(int) override { return lengths; }
    bool Write(int handle, const std::vector<std::uint8_t>& report) override;
    ReadOutcome Read(int handle, std::vector<std::uint8_t>& report, int timeoutMs) override;
    // Time is counted, never waited: one read for the whole wait, so each entry answers one wait.
    ReadOutcome ReadKeepingAlive(int handle, std::vector<std::uint8_t>& report, int timeoutMs,
        const std::function<void()>& /*keepAlive*/) override
    {
        return Read(handle, report, timeoutMs);
    }
    void CancelRead(int) override { ++cancelledReads; }

private:
    int nextHandle_ = 1;
    std::vector<std::string> commands_;
    std::string partial_;
    bool inFrame_ = false;
};

} // namespace pelicard
