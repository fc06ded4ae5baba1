#include "link/FakeHidBackend.h"

namespace pelicard {

void FakeHidBackend::QueueReply(const std::string& text, bool withEndByte)
{
    std::vector<std::uint8_t> report(65, 0);
    std::size_t position = 1;
    report[position++] = 2;
    for (const char c : text) {
        if (position < report.size()) {
            report[position++] = static_cast<std::uint8_t>(c);
        }
    }
    if (withEndByte && position < report.size()) {
        report[position] = 3;
    }
    inputs.push_back(report);
}

int FakeHidBackend::Open(const std::string& path)
{
    if (unopenable.count(path) != 0) {
        return -1;
    }
    const int handle = nextHandle_++;
    openHandles.insert(handle);
    return handle;
}

bool FakeHidBackend::Write(int handle, const std::vector<std::uint8_t>& report)
{
    if (failWrites || openHandles.count(handle) == 0) {
        return false;
    }
    written.push_back(report);
    // Put frames back together: a frame starts with 2 at payload position 0 and may go on in the
    // next reports; payload positions 0 to 61 carry it.
    for (std::size_t i = 1; i < report.size() && i <= 62; ++i) {
        const std::uint8_t byte = report[i];
        if (!inFrame_) {
            if (i != 1 || byte != 2) {
                break;
            }
            inFrame_ = true;
            partial_.clear();
            continue;
        }
        if (byte == 3) {
            inFrame_ = false;
            commands_.push_back(partial_);
            if (respond) {
                for (const std::string& reply : respond(partial_)) {
                    QueueReply(reply);
                }
            }
            break;
        }
        partial_.push_back(static_cast<char>(byte));
    }
    return true;
}

ReadOutcome FakeHidBackend::Read(int handle, std::vector<std::uint8_t>& report, int timeoutMs)
{
    readTimeouts.push_back(timeoutMs);
    if (failReads || openHandles.count(handle) == 0) {
        return ReadOutcome::Failed;
    }
    if (inputs.empty() || inputs.front().empty()) {
        if (!inputs.empty()) {
            inputs.pop_front();
        }
        waitedMs += timeoutMs;
        return ReadOutcome::TimedOut;
    }
    report = inputs.front();
    inputs.pop_front();
    return ReadOutcome::Arrived;
}

} // namespace pelicard
