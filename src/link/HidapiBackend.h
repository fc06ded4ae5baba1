#pragma once

#include "link/HidBackend.h"

#include <map>

struct hid_device_;

namespace pelicard {

// Real USB through hidapi (hidraw on Linux).
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

private:
    hid_device_* Device(int handle) const;

    std::map<int, hid_device_*> devices_;
    std::vector<std::string> enumeratedPaths_;
    int nextHandle_ = 1;
};

} // namespace pelicard
