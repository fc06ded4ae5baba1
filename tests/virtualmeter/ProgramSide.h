#pragma once

#include "virtualmeter/VirtualMeter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelicard::testing {

using Report = std::vector<std::uint8_t>;

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
        for (std::size_t i = 0; i < outPayload.size(); ++i)
            outPayload[i] = static_cast<std::uint8_t>(stale[i % stale.size()]);
    }

    // The reports the program's packing produces for `command`, advancing the buffer.
    std::vector<Report> Pack(std::string_view command)
    {
        const std::string framed = "\x02" + std::string(command) + "\x03";
        std::vector<Report> reports;
        for (std::size_t pos = 0; pos < framed.size(); pos += VirtualMeter::kPayloadPerReport) {
            const std::string part = framed.substr(pos, VirtualMeter::kPayloadPerReport);
            std::copy(part.begin(), part.end(), outPayload.begin());
            reports.emplace_back(1, 0).insert(reports.back().end(), outPayload.begin(), outPayload.end());
        }
        return reports;
    }
    bool Send(std::string_view command)
    {
        bool ok = true;
        for (const Report& report : Pack(command))
            ok = meter.Write(handle, report) && ok;
        return ok;
    }
    // The text between the 2 and the 3 of the next input report, or a marker for what came.
    std::string ReadText(int timeoutMs = 6000)
    {
        Report report;
        const ReadOutcome outcome = meter.Read(handle, report, timeoutMs);
        if (outcome != ReadOutcome::Arrived)
            return outcome == ReadOutcome::TimedOut ? "<timed out>" : "<failed>";
        if (report.size() != static_cast<std::size_t>(VirtualMeter::kReportLength) || report[0] != 0
            || report[1] != 2)
            return "<unframed>";
        const auto end = std::find(report.begin() + 2, report.end(), 3);
        return end == report.end() ? "<no end byte>" : std::string(report.begin() + 2, end);
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

// Sends each command in turn and checks its reply.
inline void Converse(ProgramSide& side, std::initializer_list<std::pair<const char*, std::string>> dialogue)
{
    for (const auto& [command, reply] : dialogue)
        EXPECT_EQ(side.Ask(command), reply) << command;
}

// The fields of a reply joined by "," (no field of these replies holds a comma).
inline std::vector<std::string> Fields(const std::string& text)
{
    std::vector<std::string> fields;
    std::istringstream in(text);
    for (std::string field; std::getline(in, field, ',');)
        fields.push_back(field);
    return fields;
}

// The 50,000-count reading form: space, sign or space, five digits with one point, unit.
inline bool IsReading(const std::string& r)
{
    const std::string number = r.size() == 11 ? r.substr(2, 6) : "";
    return number.size() == 6 && r[0] == ' ' && (r[1] == ' ' || r[1] == '-')
        && r.find('O') == std::string::npos && std::count(number.begin(), number.end(), '.') == 1
        && std::count_if(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }) == 5;
}

} // namespace pelicard::testing
