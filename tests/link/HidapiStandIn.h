#pragma once

#include "virtualmeter/VirtualMeter.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace pelicard::testing {

// One interface the stand-in lists besides the virtual meter's. One that opens is no meter: it
// swallows writes and its reads time out.
struct StandInDevice {
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    bool opens = true;
};

// A stand-in of the HID library's C functions (the ones the hidapi backend calls, with the
// library's own signatures), linked in place of the library. It lists `extraDevices` and then the
// virtual meter's interfaces, forwards the meter's reports to it, and keeps the library's contract
// in view: every breach the backend commits goes into `breaches`.
//
// The C functions have no context to carry, so there is one instance; a test sets it up through
// StandInScope, which resets it on both ends.
struct HidStandIn {
    // Set by the test.
    VirtualMeter* meter = nullptr;
    std::vector<StandInDevice> extraDevices; // listed before the meter's interfaces
    bool failWrites = false; // hid_write returns -1
    bool failReads = false; // hid_read_timeout returns -1
    // The meter is unplugged right before the next call of the function of this name
    // ("hid_open_path", "hid_write", ...), once.
    std::string unplugBefore;

    // What the backend did.
    int initCalls = 0;
    int exitCalls = 0;
    std::vector<std::string> openedPaths; // every path given to hid_open_path, opened or not
    std::vector<std::vector<std::uint8_t>> written; // every report given to hid_write
    std::vector<int> readTimeouts; // every time-out given to hid_read_timeout
    std::vector<std::string> breaches;

    int openDevices = 0; // handed out by hid_open_path and not closed yet
    int liveLists = 0; // enumerations not freed yet
};

HidStandIn& StandIn();
// Holds the library's calls off while the test changes or reads the stand-in or the meter behind it
// (the backend may be calling from a thread of its own).
std::unique_lock<std::recursive_mutex> LockStandIn();

class StandInScope {
public:
    explicit StandInScope(VirtualMeter& meter);
    ~StandInScope();
    StandInScope(const StandInScope&) = delete;
    StandInScope& operator=(const StandInScope&) = delete;
};

} // namespace pelicard::testing
