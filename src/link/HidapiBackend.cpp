#include "link/HidapiBackend.h"

#include <algorithm>
#include <chrono>
#include <hidapi.h>

namespace pelicard {

namespace {
constexpr int MaxReportLength = 65;
}

HidapiBackend::HidapiBackend()
{
    hid_init();
}

HidapiBackend::~HidapiBackend()
{
    while (!watches_.empty()) {
        StopWatch(watches_.begin()->first);
    }
    for (auto& [handle, device] : devices_) {
        hid_close(device);
    }
    hid_exit();
}

std::vector<HidInterfaceInfo> HidapiBackend::Enumerate()
{
    std::vector<HidInterfaceInfo> result;
    enumeratedPaths_.clear();
    hid_device_info* list = hid_enumerate(0, 0);
    for (const hid_device_info* info = list; info != nullptr; info = info->next) {
        result.push_back({ info->path ? info->path : "", info->vendor_id, info->product_id });
        enumeratedPaths_.push_back(result.back().path);
    }
    hid_free_enumeration(list);
    return result;
}

int HidapiBackend::Open(const std::string& path)
{
    // Only paths that the enumeration returned: the library crashes on paths that open but are no
    // HID node.
    if (std::find(enumeratedPaths_.begin(), enumeratedPaths_.end(), path) == enumeratedPaths_.end()) {
        return -1;
    }
    hid_device* device = hid_open_path(path.c_str());
    if (device == nullptr) {
        return -1;
    }
    const int handle = nextHandle_++;
    devices_[handle] = device;
    return handle;
}

void HidapiBackend::Close(int handle)
{
    StopWatch(handle);
    const auto found = devices_.find(handle);
    if (found != devices_.end()) {
        hid_close(found->second);
        devices_.erase(found);
    }
}

HidReportLengths HidapiBackend::ReportLengths(int /*handle*/)
{
    // The library does not tell the report lengths; the caller takes 65 bytes each way.
    return {};
}

bool HidapiBackend::Write(int handle, const std::vector<std::uint8_t>& report)
{
    hid_device* device = Device(handle);
    if (device == nullptr || report.empty()) {
        return false;
    }
    const int written = hid_write(device, report.data(), report.size());
    return written == static_cast<int>(report.size());
}

ReadOutcome HidapiBackend::Read(int handle, std::vector<std::uint8_t>& report, int timeoutMs)
{
    hid_device* device = Device(handle);
    if (device == nullptr) {
        return ReadOutcome::Failed;
    }
    if (const auto watched = watches_.find(handle); watched != watches_.end()) {
        Watch& watch = *watched->second;
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, std::chrono::milliseconds(std::max(timeoutMs, 0)),
            [&watch] { return !watch.queue.empty() || watch.failed; });
        if (!watch.queue.empty()) {
            report = std::move(watch.queue.front());
            watch.queue.pop_front();
            return ReadOutcome::Arrived;
        }
        return watch.failed ? ReadOutcome::Failed : ReadOutcome::TimedOut;
    }
    // Reports without numbered ids arrive without the id byte; put the id 0 in front.
    std::vector<std::uint8_t> buffer(MaxReportLength, 0);
    const int received = hid_read_timeout(device, buffer.data() + 1, buffer.size() - 1, timeoutMs);
    if (received < 0) {
        return ReadOutcome::Failed;
    }
    if (received == 0) {
        return ReadOutcome::TimedOut;
    }
    buffer.resize(static_cast<std::size_t>(received) + 1);
    report = std::move(buffer);
    return ReadOutcome::Arrived;
}

void HidapiBackend::CancelRead(int /*handle*/)
{
    // Reads never stay pending here: a read that timed out has already returned.
}

int HidapiBackend::QuietMs(int handle)
{
    hid_device* device = Device(handle);
    if (device == nullptr) {
        return NoReportDue;
    }
    auto& slot = watches_[handle];
    if (!slot) {
        slot = std::make_unique<Watch>();
        slot->thread = std::thread([this, device, watch = slot.get()] { WatchDevice(device, *watch); });
    }
    const std::lock_guard lock(mutex_);
    return slot->queue.empty() ? NoReportDue : 0;
}

void HidapiBackend::SetReportNotifier(std::function<void()> notify)
{
    const std::lock_guard lock(mutex_);
    notify_ = std::move(notify);
}

void HidapiBackend::WatchDevice(hid_device_* device, Watch& watch)
{
    std::vector<std::uint8_t> buffer(MaxReportLength, 0);
    for (;;) {
        {
            const std::lock_guard lock(mutex_);
            if (watch.stop) {
                return;
            }
        }
        const int received = hid_read_timeout(device, buffer.data() + 1, buffer.size() - 1, WatchSliceMs);
        if (received == 0) {
            continue;
        }
        const std::lock_guard lock(mutex_);
        if (received < 0) {
            watch.failed = true;
        } else {
            watch.queue.emplace_back(buffer.begin(), buffer.begin() + received + 1);
            if (watch.queue.size() > MaxQueuedReports) {
                watch.queue.pop_front();
            }
        }
        arrived_.notify_all();
        if (notify_) {
            notify_();
        }
        if (watch.failed) {
            return;
        }
    }
}

void HidapiBackend::StopWatch(int handle)
{
    const auto found = watches_.find(handle);
    if (found == watches_.end()) {
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        found->second->stop = true;
    }
    found->second->thread.join();
    watches_.erase(found);
}

hid_device_* HidapiBackend::Device(int handle) const
{
    const auto found = devices_.find(handle);
    return found == devices_.end() ? nullptr : found->second;
}

} // namespace pelicard
