#include "HidapiStandIn.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <hidapi.h>
#include <mutex>
#include <set>
#include <string_view>
#include <thread>

// The library's opaque device, as the stand-in keeps it.
struct hid_device_ {
    int meterHandle = -1; // -1: one of the extra devices
};

namespace pelicard::testing {

namespace {

struct Internals {
    HidStandIn visible;
    std::set<hid_device*> devices;
    std::set<hid_device_info*> lists;
    std::vector<std::string> enumerated; // the paths of the last enumeration
};

// The backend may call from a thread of its own (its watcher) while the test calls too.
std::recursive_mutex& CallMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

Internals& State()
{
    static Internals state;
    return state;
}

void FreeList(hid_device_info* list)
{
    while (list != nullptr) {
        hid_device_info* next = list->next;
        std::free(list->path);
        std::free(list);
        list = next;
    }
}

// Whatever the backend left behind goes too, after the scope has counted it.
void Reset()
{
    Internals& state = State();
    for (hid_device* device : state.devices) {
        delete device;
    }
    for (hid_device_info* list : state.lists) {
        FreeList(list);
    }
    state = Internals();
}

// Every call starts here: the library must be initialised, and the meter may vanish now.
HidStandIn& Enter(std::string_view call)
{
    HidStandIn& standIn = State().visible;
    if (standIn.initCalls <= standIn.exitCalls) {
        standIn.breaches.push_back(std::string(call) + " outside hid_init/hid_exit");
    }
    if (!standIn.unplugBefore.empty() && standIn.unplugBefore == call) {
        standIn.unplugBefore.clear();
        standIn.meter->SetUnplugged(true);
    }
    return standIn;
}

// A device pointer the stand-in handed out and that is still open; records a breach otherwise.
bool Live(hid_device* device, std::string_view call)
{
    if (State().devices.count(device) != 0) {
        return true;
    }
    State().visible.breaches.push_back(std::string(call) + " on a device that is not open");
    return false;
}

char* CopyOf(const std::string& text)
{
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

} // namespace

HidStandIn& StandIn()
{
    return State().visible;
}

std::unique_lock<std::recursive_mutex> LockStandIn()
{
    return std::unique_lock(CallMutex());
}

StandInScope::StandInScope(VirtualMeter& meter)
{
    Reset();
    State().visible.meter = &meter;
}

StandInScope::~StandInScope()
{
    const HidStandIn& standIn = StandIn();
    EXPECT_THAT(standIn.breaches, ::testing::IsEmpty());
    EXPECT_EQ(standIn.exitCalls, standIn.initCalls) << "hid_init and hid_exit unbalanced";
    EXPECT_EQ(standIn.openDevices, 0) << "devices left open";
    EXPECT_EQ(standIn.liveLists, 0) << "enumerations never freed";
    Reset();
}

} // namespace pelicard::testing

using pelicard::testing::State;

extern "C" {

int hid_init(void)
{
    const std::lock_guard lock(pelicard::testing::CallMutex());
    ++State().visible.initCalls;
    return 0;
}

int hid_exit(void)
{
    const std::lock_guard lock(pelicard::testing::CallMutex());
    auto& state = State();
    if (!state.devices.empty()) {
        state.visible.breaches.push_back("hid_exit with devices still open");
    }
    ++state.visible.exitCalls;
    return 0;
}

hid_device_info* hid_enumerate(unsigned short vendor_id, unsigned short product_id)
{
    const std::lock_guard lock(pelicard::testing::CallMutex());
    auto& standIn = pelicard::testing::Enter("hid_enumerate");
    auto& state = State();
    std::vector<pelicard::testing::StandInDevice> all = standIn.extraDevices;
    for (const pelicard::HidInterfaceInfo& info : standIn.meter->Enumerate()) {
        all.push_back({ info.path, info.vendorId, info.productId });
    }
    state.enumerated.clear();
    hid_device_info* head = nullptr;
    hid_device_info** tail = &head;
    for (const auto& device : all) {
        if ((vendor_id != 0 && vendor_id != device.vendorId)
            || (product_id != 0 && product_id != device.productId)) {
            continue;
        }
        auto* info = static_cast<hid_device_info*>(std::calloc(1, sizeof(hid_device_info)));
        info->path = pelicard::testing::CopyOf(device.path);
        info->vendor_id = device.vendorId;
        info->product_id = device.productId;
        info->bus_type = HID_API_BUS_USB;
        *tail = info;
        tail = &info->next;
        state.enumerated.push_back(device.path);
    }
    if (head != nullptr) {
        state.lists.insert(head);
        ++standIn.liveLists;
    }
    return head;
}

void hid_free_enumeration(hid_device_info* devs)
{
    const std::lock_guard lock(pelicard::testing::CallMutex());
    auto& state = State();
    if (devs == nullptr) {
        return;
    }
    if (state.lists.erase(devs) == 0) {
        // Freeing it would be a double free or worse; the real library would crash.
        state.visible.breaches.push_back("hid_free_enumeration of a list hid_enumerate did not return");
        return;
    }
    --state.visible.liveLists;
    pelicard::testing::FreeList(devs);
}

hid_device* hid_open_path(const char* path)
{
    const std::lock_guard lock(pelicard::testing::CallMutex());
    auto& standIn = pelicard::testing::Enter("hid_open_path");
    auto& state = State();
    const std::string text = path != nullptr ? path : "";
    standIn.openedPaths.push_back(text);
    // The real library crashes on a path that opens but is no HID node.
    if (std::find(state.enumerated.begin(), state.enumerated.end(), text) == state.enumerated.end()) {
        standIn.breaches.push_back("hid_open_path(\"" + text + "\"), which hid_enumerate did not return");
        return nullptr;
    }
    const auto extra = std::find_if(standIn.extraDevices.begin(), standIn.extraDevices.end(),
        [&](const pelicard::testing::StandInDevice& device) { return device.path == text; });
    int meterHandle = -1;
    if (extra == standIn.extraDevices.end()) {
        meterHandle = standIn.meter->Open(text);
        if (meterHandle < 0) {
            return nullptr;
        }
    } else if (!extra->opens) {
        return nullptr;
    }
    auto* device = new hid_device { meterHandle };
    state.devices.insert(device);
    ++standIn.openDevices;
    return device;
}

void hid_close(hid_device* dev)
{
    const std::lock_guard lock(pelicard::testing::CallMutex());
    auto& standIn = pelicard::testing::Enter("hid_close");
    if (dev == nullptr || !pelicard::testing::Live(dev, "hid_close")) {
        return;
    }
    if (dev->meterHandle >= 0) {
        standIn.meter->Close(dev->meterHandle);
    }
    State().devices.erase(dev);
    --standIn.openDevices;
    delete dev;
}

int hid_write(hid_device* dev, const unsigned char* data, size_t length)
{
    const std::lock_guard lock(pelicard::testing::CallMutex());
    auto& standIn = pelicard::testing::Enter("hid_write");
    if (!pelicard::testing::Live(dev, "hid_write")) {
        return -1;
    }
    std::vector<std::uint8_t> report(data, data + length);
    standIn.written.push_back(report);
    if (length != static_cast<std::size_t>(pelicard::VirtualMeter::kReportLength) || data[0] != 0) {
        standIn.breaches.push_back(
            "hid_write of " + std::to_string(length) + " bytes, not 65 starting with 0");
    }
    if (standIn.failWrites) {
        return -1;
    }
    if (dev->meterHandle < 0) {
        return static_cast<int>(length);
    }
    return standIn.meter->Write(dev->meterHandle, report) ? static_cast<int>(length) : -1;
}

namespace {

int ReadLocked(hid_device* dev, unsigned char* data, size_t length, int milliseconds)
{
    auto& standIn = pelicard::testing::Enter("hid_read_timeout");
    if (!pelicard::testing::Live(dev, "hid_read_timeout")) {
        return -1;
    }
    standIn.readTimeouts.push_back(milliseconds);
    if (standIn.failReads) {
        return -1;
    }
    if (dev->meterHandle < 0) {
        return 0;
    }
    std::vector<std::uint8_t> report;
    switch (standIn.meter->Read(dev->meterHandle, report, milliseconds)) {
    case pelicard::ReadOutcome::Arrived: {
        // Reports without numbered ids come without the id byte, cut to the buffer.
        if (report.empty() || report[0] != 0) {
            standIn.breaches.push_back("the virtual meter sent a report without the id 0");
            return -1;
        }
        const std::size_t count = std::min(report.size() - 1, length);
        std::copy_n(report.begin() + 1, count, data);
        return static_cast<int>(count);
    }
    case pelicard::ReadOutcome::TimedOut:
        return 0;
    case pelicard::ReadOutcome::Failed:
        break;
    }
    return -1;
}

} // namespace

int hid_read_timeout(hid_device* dev, unsigned char* data, size_t length, int milliseconds)
{
    int received = 0;
    {
        const std::lock_guard lock(pelicard::testing::CallMutex());
        received = ReadLocked(dev, data, length, milliseconds);
    }
    // The meter's time only moves on its own clock; a read that waited in vain also takes a little
    // real time, so that a thread reading in a loop leaves room for others.
    if (received == 0 && milliseconds > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return received;
}

} // extern "C"
