#pragma once

#include "link/HidBackend.h"
#include "link/LinkIndicators.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pelicard {

inline constexpr std::uint16_t MeterVendorId = 0x10C4;
inline constexpr std::uint16_t FirstProductId = 0xE100;
// The meter's variants answer on consecutive product ids from FirstProductId on.
inline constexpr int ProductIdsToTry = 3;
inline constexpr int DefaultReportLength = 65;
inline constexpr std::uint16_t ReplyTimeoutMs = 6000;
inline constexpr std::uint16_t TrailingTimeoutMs = 50;

// Result codes of a read, as the rest of the program compares them.
inline constexpr int ReadArrived = 0;
inline constexpr int ReadTimedOut = 258;
inline constexpr int ReadFailed = 1;

// True for an interface of the meter's vendor with one of the meter's product ids.
bool IsMeterInterface(const HidInterfaceInfo& info);

struct HidCaps {
    int InputReportByteLength = DefaultReportLength;
    int OutputReportByteLength = DefaultReportLength;
};

// Access to the meter over HID: finding it, one output report out, one input report in.
// It knows nothing of the text inside the reports.
class ApiUsb {
public:
    ApiUsb(HidBackend& backend, LinkIndicators& indicators);

    // Looks for a meter of the product id in productId and opens it.
    bool FindMeter();
    // The search at start-up and link: each product id from FirstProductId on, the first meter found
    // opened. Leaves productId at the id found (one past the last id tried when none is found) and
    // returns deviceFound.
    bool SearchMeter();
    void ReadCaps();
    void PrepareRead();
    void WriteReport();
    void ReadReport();
    void CloseMeter();
    // The receive loop's look at the read event: a report already in inReport and not yet taken
    // counts at once; otherwise waits up to timeoutMs for one. Returns ReadArrived, ReadTimedOut or
    // ReadFailed and never declares the meter lost.
    int WaitForReport(int timeoutMs);
    // How long the receive loop may go without looking (see HidBackend::QuietMs); 0 while a report
    // waits in inReport or no meter is open.
    int QuietMs();

    bool deviceFound = false;
    bool lastDevice = false;
    std::uint16_t productId = FirstProductId;
    std::uint16_t readTimeout = TrailingTimeoutMs;
    std::string devicePath;
    HidCaps hidCaps;
    // Payload of the next output report; filled by the transaction and never cleared.
    std::array<std::uint8_t, 65> outReport {};
    // The last input report; byte 0 is the report id.
    std::vector<std::uint8_t> inReport;
    int ioStatus = 0;
    int lastResult = 0;
    // A report sits in inReport that the receive side has not taken yet (the read event is set).
    bool reportWaiting = false;

private:
    int ReadInto(int timeoutMs);

    HidBackend& backend_;
    LinkIndicators& indicators_;
    int writeHandle_ = -1;
    int readHandle_ = -1;
};

} // namespace pelicard
