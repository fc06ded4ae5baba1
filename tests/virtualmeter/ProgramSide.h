#pragma once

#include "virtualmeter/VirtualMeter.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelicard::testing {

// Talks to a virtual meter the way the program does: one persistent output buffer whose positions
// beyond those written keep older contents, at most payload positions 0 to 61 filled per report.
class ProgramSide {
public:
    explicit ProgramSide(MeterVariant variant = MeterVariant::Logger50k, std::uint64_t seed = 1)
        : meter(variant, time, seed)
    {
        handle = meter.Open(std::string(VirtualMeter::kMeterPath));
        // Stale bytes that would change the meter's state if it ever read them.
        const std::string_view stale = "MOD03,F4,HLD01,";
        for (std::size_t i = 0; i < outPayload.size(); ++i) {
            outPayload[i] = static_cast<std::uint8_t>(stale[i % stale.size()]);
        }
    }

    // The reports the program's packing produces for `command`, advancing the buffer.
    std::vector<std::vector<std::uint8_t>> Pack(std::string_view command)
    {
        std::vector<std::vector<std::uint8_t>> reports;
        std::size_t sendPos = 0;
        bool done = false;
        outPayload[0] = 2;
        std::size_t next = 1;
        while (!done) {
            while (next <= 61) {
                if (sendPos == command.size()) {
                    done = true;
                    outPayload[next] = 3;
                    break;
                }
                outPayload[next++] = static_cast<std::uint8_t>(command[sendPos++]);
            }
            std::vector<std::uint8_t> report(VirtualMeter::kReportLength, 0);
            std::copy(outPayload.begin(), outPayload.end(), report.begin() + 1);
            reports.push_back(report);
            next = 0;
        }
        return reports;
    }

    bool Send(std::string_view command)
    {
        bool ok = true;
        for (const auto& report : Pack(command)) {
            ok = meter.Write(handle, report) && ok;
        }
        return ok;
    }

    // The text between the 2 and the 3 of the next input report, or a marker for what came.
    std::string ReadText(int timeoutMs = 6000)
    {
        std::vector<std::uint8_t> report;
        switch (meter.Read(handle, report, timeoutMs)) {
        case ReadOutcome::TimedOut:
            return "<timed out>";
        case ReadOutcome::Failed:
            return "<failed>";
        case ReadOutcome::Arrived:
            break;
        }
        if (report.size() != static_cast<std::size_t>(VirtualMeter::kReportLength) || report[0] != 0
            || report[1] != 2) {
            return "<unframed>";
        }
        std::string text;
        for (std::size_t i = 2; i < report.size(); ++i) {
            if (report[i] == 3) {
                return text;
            }
            text.push_back(static_cast<char>(report[i]));
        }
        return "<no end byte>";
    }

    std::string Ask(std::string_view command)
    {
        Send(command);
        return ReadText();
    }

    ManualMeterTime time;
    VirtualMeter meter;
    int handle = -1;
    std::array<std::uint8_t, 64> outPayload {};
};

inline const std::string kAck = "\x06";
inline const std::string kEnq = "\x05";

// The fields of a reply joined by ",", split again (no field of these replies holds a comma).
inline std::vector<std::string> Fields(const std::string& text)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        fields.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) {
            return fields;
        }
        start = comma + 1;
    }
}

} // namespace pelicard::testing
