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

std::vector<std::string> FakeHidBackend::Commands() const
{
    std::vector<std::string> commands;
    std::string current;
    bool inFrame = false;
    for (const auto& report : written) {
        for (std::size_t i = 1; i < report.size() && i <= 62; ++i) {
            const std::uint8_t byte = report[i];
            if (!inFrame) {
                if (i == 1 && byte == 2) {
                    inFrame = true;
                    current.clear();
                }
                if (!inFrame) {
                    break;
                }
                continue;
            }
            if (byte == 3) {
                commands.push_back(current);
                inFrame = false;
                break;
            }
            current.push_back(static_cast<char>(byte));
        }
    }
    return commands;
}

int FakeHidBackend::Open(const std::string& path)
{
    if (unopenable.count(path) != 0) {
        return -1;
    }
    const int handle = nextHandle++;
    openHandles.insert(handle);
    return handle;
}

bool FakeHidBackend::Write(int handle, const std::vector<std::uint8_t>& report)
{
    if (failWrites || openHandles.count(handle) == 0) {
        return false;
    }
    written.push_back(report);
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
