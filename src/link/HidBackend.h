#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pelicard {

// One HID interface as the platform lists it.
struct HidInterfaceInfo {
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

enum class ReadOutcome { Arrived, TimedOut, Failed };

// Report lengths in bytes, report id included; 0 where the platform does not tell.
struct HidReportLengths {
    int input = 0;
    int output = 0;
};

// The seam between the meter link and whatever carries HID reports: hidapi on real USB,
// the built-in virtual meter, or a test fake.
class HidBackend {
public:
    virtual ~HidBackend() = default;

    virtual std::vector<HidInterfaceInfo> Enumerate() = 0;
    // Opens a path that Enumerate returned. Returns a handle >= 0, or -1 when it cannot be opened.
    virtual int Open(const std::string& path) = 0;
    // Closing an invalid or already closed handle is harmless.
    virtual void Close(int handle) = 0;
    virtual HidReportLengths ReportLengths(int handle) = 0;
    // Writes one output report; byte 0 is the report id (0). True when the whole report went out.
    virtual bool Write(int handle, const std::vector<std::uint8_t>& report) = 0;
    // Waits up to timeoutMs for one input report. On Arrived, `report` holds it with the
    // report id in byte 0, resized to the length received.
    virtual ReadOutcome Read(int handle, std::vector<std::uint8_t>& report, int timeoutMs) = 0;
    // Read, with the wait taken in slices and keepAlive called between them (so the window goes
    // on painting); the outcome is the one a single wait of the whole time gives. A backend whose
    // reads never wait may read once.
    virtual ReadOutcome ReadKeepingAlive(
        int handle, std::vector<std::uint8_t>& report, int timeoutMs, const std::function<void()>& keepAlive)
    {
        ReadOutcome outcome = ReadOutcome::TimedOut;
        for (int left = std::max(timeoutMs, 0);;) {
            const int slice = std::min(left, WaitSliceMs);
            outcome = Read(handle, report, slice);
            left -= slice;
            if (outcome != ReadOutcome::TimedOut || left <= 0) {
                return outcome;
            }
            keepAlive();
        }
    }

    static constexpr int WaitSliceMs = 20;

    // Listening without looking every millisecond. QuietMs tells how long the receive side may go
    // without looking and still miss nothing: 0 when a report can be read now or the backend cannot
    // tell (look again at the next tick), NoReportDue when none becomes readable until the notifier
    // is called. The notifier is called, possibly from another thread, whenever QuietMs may have
    // become shorter (a report arrived, a command started something that sends reports); an empty
    // function stops the calls.
    static constexpr int NoReportDue = -1;
    virtual int QuietMs(int /*handle*/) { return 0; }
    // Taken by value: the backends that call it keep it.
    // NOLINTNEXTLINE(performance-unnecessary-value-param)
    virtual void SetReportNotifier(std::function<void()> /*notify*/) { }
    // Drops a read still pending on the handle (nothing to do where reads never stay pending).
    virtual void CancelRead(int handle) = 0;
};

} // namespace pelicard
