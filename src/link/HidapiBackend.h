#pragma once

#include "link/HidBackend.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

struct hid_device_;

namespace pelicard {

// Real USB through hidapi (hidraw on Linux).
//
// Listening: the first QuietMs on a handle hands its reads to a watcher thread, the handle's one
// reader from then on. It waits on the device in slices of WatchSliceMs (so that Close can end it),
// queues what arrives (at most MaxQueuedReports, the oldest dropped like a full input buffer) and
// calls the notifier; Read takes from the queue. Until then, and on every other handle, Read reads
// the device itself.
class HidapiBackend : public HidBackend {
public:
    HidapiBackend();
    ~HidapiBackend() override;
    HidapiBackend(const HidapiBackend&) = delete;
    HidapiBackend& operator=(const HidapiBackend&) = delete;

    std::vector<HidInterfaceInfo> Enumerate() override;
    int Open(const std::string& path) override;
    void Close(int handle) override;
    HidReportLengths ReportLengths(int handle) override;
    bool Write(int handle, const std::vector<std::uint8_t>& report) override;
    ReadOutcome Read(int handle, std::vector<std::uint8_t>& report, int timeoutMs) override;
    void CancelRead(int handle) override;
    int QuietMs(int handle) override;
    void SetReportNotifier(std::function<void()> notify) override;

    static constexpr int WatchSliceMs = 250;
    static constexpr std::size_t MaxQueuedReports = 256;

private:
    struct Watch {
        std::thread thread;
        std::deque<std::vector<std::uint8_t>> queue;
        bool failed = false; // the device read -1: it is gone
        bool stop = false;
    };

    hid_device_* Device(int handle) const;
    void WatchDevice(hid_device_* device, Watch& watch);
    void StopWatch(int handle);

    std::map<int, hid_device_*> devices_;
    std::map<int, std::unique_ptr<Watch>> watches_;
    std::mutex mutex_; // guards the watches' queues and flags, and the notifier
    std::condition_variable arrived_;
    std::function<void()> notify_;
    std::vector<std::string> enumeratedPaths_;
    int nextHandle_ = 1;
};

} // namespace pelicard
