#include "link/ApiUsb.h"

#include "values/Colours.h"

#include <algorithm>

namespace pelicard {

ApiUsb::ApiUsb(HidBackend& backend, LinkIndicators& indicators)
    : backend_(backend)
    , indicators_(indicators)
{ }

bool IsMeterInterface(const HidInterfaceInfo& info)
{
    return info.vendorId == MeterVendorId && info.productId >= FirstProductId
        && info.productId < FirstProductId + ProductIdsToTry;
}

bool ApiUsb::SearchMeter()
{
    productId = FirstProductId;
    for (int attempt = 0; attempt < ProductIdsToTry; ++attempt) {
        CloseMeter();
        deviceFound = false;
        deviceFound = FindMeter();
        if (deviceFound) {
            break;
        }
        ++productId;
    }
    return deviceFound;
}

bool ApiUsb::FindMeter()
{
    deviceFound = false;
    lastDevice = false;
    // Handles left open by a read that failed would otherwise leak with every reopening.
    backend_.Close(writeHandle_);
    backend_.Close(readHandle_);
    writeHandle_ = readHandle_ = -1;
    const std::vector<HidInterfaceInfo> interfaces = backend_.Enumerate();
    for (std::size_t index = 0; !lastDevice && !deviceFound; ++index) {
        if (index >= interfaces.size()) {
            lastDevice = true;
            break;
        }
        const HidInterfaceInfo& info = interfaces[index];
        // Product ids compare as signed 16-bit numbers; the ids are checked before opening so that
        // other people's devices are never touched.
        if (info.vendorId != MeterVendorId
            || static_cast<std::int16_t>(info.productId) != static_cast<std::int16_t>(productId)) {
            continue;
        }
        const int handle = backend_.Open(info.path);
        if (handle >= 0) {
            writeHandle_ = handle;
            devicePath = info.path;
            deviceFound = true;
        }
    }
    if (!deviceFound) {
        return false;
    }
    ReadCaps();
    readHandle_ = backend_.Open(devicePath);
    PrepareRead();
    return true;
}

void ApiUsb::ReadCaps()
{
    const HidReportLengths lengths = backend_.ReportLengths(writeHandle_);
    hidCaps.InputReportByteLength = lengths.input > 0 ? lengths.input : DefaultReportLength;
    hidCaps.OutputReportByteLength = lengths.output > 0 ? lengths.output : DefaultReportLength;
}

void ApiUsb::PrepareRead()
{
    // A fresh read handle has no report waiting.
    reportWaiting = false;
}

void ApiUsb::WriteReport()
{
    const int length = std::max(hidCaps.OutputReportByteLength, 1);
    std::vector<std::uint8_t> report(static_cast<std::size_t>(length), 0);
    const std::size_t payload = std::min(report.size() - 1, outReport.size());
    std::copy_n(outReport.begin(), payload, report.begin() + 1);
    const bool written = writeHandle_ >= 0 && backend_.Write(writeHandle_, report);
    lastResult = written ? 1 : 0;
    ioStatus = lastResult;
}

int ApiUsb::ReadInto(int timeoutMs)
{
    if (readHandle_ < 0) {
        return ReadFailed;
    }
    std::vector<std::uint8_t> report;
    const ReadOutcome outcome
        = backend_.ReadKeepingAlive(readHandle_, report, timeoutMs, [this] { indicators_.KeepAlive(); });
    switch (outcome) {
    case ReadOutcome::Arrived: {
        // The input buffer keeps the report length whatever arrives: a short report is padded with
        // zeros, a long one cut.
        inReport.assign(static_cast<std::size_t>(std::max(hidCaps.InputReportByteLength, 1)), 0);
        std::copy_n(report.begin(), std::min(report.size(), inReport.size()), inReport.begin());
        reportWaiting = true;
        return ReadArrived;
    }
    case ReadOutcome::TimedOut:
        return ReadTimedOut;
    case ReadOutcome::Failed:
        break;
    }
    return ReadFailed;
}

void ApiUsb::ReadReport()
{
    reportWaiting = false;
    lastResult = ReadInto(readTimeout);
    ioStatus = lastResult;
    if (readTimeout != ReplyTimeoutMs || ioStatus == ReadArrived) {
        return;
    }
    if (ioStatus == ReadTimedOut) {
        backend_.CancelRead(readHandle_);
        backend_.Close(writeHandle_);
        backend_.Close(readHandle_);
        writeHandle_ = readHandle_ = -1;
        deviceFound = false;
        indicators_.ShowConnection("Disconnected");
        indicators_.Beep();
    } else {
        deviceFound = false;
        indicators_.ShowConnection("Disconnected");
    }
}

int ApiUsb::WaitForReport(int timeoutMs)
{
    if (reportWaiting) {
        lastResult = ReadArrived;
    } else {
        lastResult = ReadInto(timeoutMs);
    }
    return lastResult;
}

int ApiUsb::QuietMs()
{
    return reportWaiting || readHandle_ < 0 ? 0 : backend_.QuietMs(readHandle_);
}

void ApiUsb::CloseMeter()
{
    backend_.Close(writeHandle_);
    backend_.Close(readHandle_);
    writeHandle_ = readHandle_ = -1;
    deviceFound = false;
    reportWaiting = false;
}

} // namespace pelicard
