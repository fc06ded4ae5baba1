#pragma once

#include "virtualmeter/MeterFunctions.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace pelicard {

// A trend point's level is five per division above the reference, held to 0 to
// TrendGenerator::kLevels.
struct TrendSettings {
    SetupCode reference { 0.0, 1 };
    SetupCode perDivision { 1.0, 1 };
    int timePerDivision = 20; // 1 to 99999

    bool operator==(const TrendSettings&) const = default;
};

// The meter's trend: its settings, and the run that sends one point every IntervalMs() of MeterTime
// (the plot holds kPointsPerDivision points per horizontal division, so the pace follows the time per
// division: 20 s per division is one point a second), indexes 0 to kPoints - 1, and then ends by
// itself. A point is handed to the sink when the meter is
// run up to its time; the sink decides whether it reaches anyone.
class TrendGenerator {
public:
    static constexpr int kPointsPerDivision = 20;
    static constexpr int kPoints = 121;
    static constexpr int kLevels = 25;
    static constexpr int kLevelsPerDivision = 5;
    static constexpr int kMaxTimePerDivision = 99999;

    // The living signal at a time of MeterTime, in base units.
    using Signal = std::function<double(std::int64_t ms)>;
    using PointSink = std::function<void(int index, int level)>;

    TrendGenerator(Signal signal, PointSink sink);

    const TrendSettings& Settings() const { return settings_; }
    // False, changing nothing, for settings that `function` cannot take or that the meter could not
    // show as labels (a per-division value of 0 included).
    bool SetSettings(const TrendSettings& settings, const MeterFunction& function, MeterVariant variant);

    // The time between two points under the present settings.
    std::int64_t IntervalMs() const;

    bool Running() const { return running_; }
    // Starts at index 0; a running trend starts again.
    void Start(std::int64_t now);
    void Stop() { running_ = false; }
    // When the next point is due; nothing while no trend runs.
    std::optional<std::int64_t> NextPointMs() const;
    // Hands the points due up to `until` to the sink, their levels measured in `function`.
    void Run(std::int64_t until, const MeterFunction& function);

    // The level of a value in base units under the present settings.
    int LevelOf(double value, const MeterFunction& function) const;

private:
    Signal signal_;
    PointSink sink_;
    TrendSettings settings_;
    bool running_ = false;
    int next_ = 0; // index of the next point
    std::int64_t nextMs_ = 0; // when the next point is due
};

} // namespace pelicard
