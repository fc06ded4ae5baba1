#pragma once

#include "values/ReadingValue.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelicard {

// Seconds since midnight of a time of day written "hh:mm:ss" (the hour may have one digit, the
// seconds a fraction); none for a text that is no time of day.
std::optional<double> TimeOfDaySeconds(std::string_view text);

// The unit a reading is charted in: its base unit, "ohm" for the meter's bare "k" and "M".
std::string ChartUnit(const ReadingValue& reading);

struct ChartRange {
    double lo = 0;
    double hi = 1;

    double Span() const { return hi - lo; }
    bool Contains(double x) const { return x >= lo && x <= hi; }
    bool operator==(const ChartRange&) const = default;
};

// The ticks of an axis: `count` ticks from `first`, `step` apart, all inside the range.
struct ChartTicks {
    double first = 0;
    double step = 1;
    int count = 0;

    double At(int i) const { return first + step * i; }
};

// Value ticks step by 1, 2 or 5 times a power of ten; time ticks (seconds) also by 15 and 30
// seconds, minutes and hours. At most `maxTicks` ticks, at least one when the range is not empty.
ChartTicks ValueTicks(ChartRange range, int maxTicks);
ChartTicks TimeTicks(ChartRange range, int maxTicks);
// lo..hi widened outwards to whole value ticks; a flat line gets a tick of room on each side.
ChartRange NiceValueRange(double lo, double hi, int maxTicks);

// The SI prefix that writes values up to `magnitude` with one to three digits before the point:
// the factor to divide by and the letter ("n", "u", "m", "", "k", "M", "G").
std::pair<double, std::string> EngineeringPrefix(double magnitude);

struct ChartStatistics {
    int count = 0; // readings with a value; overloads and texts without a number are not counted
    double minimum = 0;
    double maximum = 0;
    double mean = 0;
};

// The readings of the sampling table as a line against time, with what the chart needs to show
// it: the time window, the view (following the newest reading, or zoomed and panned by the user),
// auto-scaled axes, the statistics of the readings in view and the line reduced to pixel columns.
// Times are seconds since midnight of the first reading's day; a time more than twelve hours
// before the one before it is on the next day, and a time a little before it is held at it, so
// the time axis never runs backwards.
class ChartModel {
public:
    struct Point {
        double time = 0;
        double value = 0;
        bool gap = false; // no value: an overload or a text without a number; it breaks the line
        std::uint16_t unit = 0; // index into the units seen; a change of unit breaks the line too
    };

    // One pixel column of the line: the first, last, lowest and highest value of its points, and
    // whether its first point joins the last point of the filled column before it.
    struct Column {
        bool filled = false;
        bool joined = false;
        double firstTime = 0;
        double lastTime = 0;
        double first = 0;
        double last = 0;
        double minimum = 0;
        double maximum = 0;
    };

    static constexpr int MaxValueTicks = 8;

    void Clear();
    // A reading taken at a time of day (seconds since midnight).
    void Append(double timeOfDay, std::string_view reading);
    // The reading shown between samples; it is drawn but never counted. Cleared by Clear.
    void SetLive(double timeOfDay, std::string_view reading);
    void ClearLive();
    const std::optional<Point>& Live() const { return live_; }
    // The points came from a file: a live reading has nothing to do with their times and is not
    // shown until Clear.
    void MarkFromFile();
    bool FromFile() const { return fromFile_; }

    const std::vector<Point>& Points() const { return points_; }
    const std::string& UnitOf(const Point& point) const { return units_[point.unit]; }
    // The units of the readings with a value in view, in order of first appearance, joined by "/".
    std::string UnitInView() const;

    // The time window: 0 for all readings, otherwise the width of the view in seconds.
    void SetWindow(double seconds);
    double Window() const { return window_; }

    // Following, the view ends at or a little after the newest reading (or the live one): with all
    // readings, it starts at the first and grows by whole pages (1, 2, 5, 10 ... minutes); with a
    // window, it is the window wide and moves on by tenths of it. The value view spans the
    // readings in the time view, widened to whole ticks. Between those steps a new reading leaves
    // both views as they are, so only the new piece of line has to be drawn.
    ChartRange TimeView() const;
    ChartRange ValueView() const;
    bool Following() const { return !userTime_ && !userValue_; }
    // Zooms about a time or value: a factor below 1 zooms in. The view stops following.
    void ZoomTime(double about, double factor);
    void ZoomValue(double about, double factor);
    void Pan(double seconds, double value);
    void ResetView();

    ChartStatistics StatisticsInView() const;
    // The points whose time lies in the range, as [begin, end) indices.
    std::pair<std::size_t, std::size_t> IndicesIn(ChartRange time) const;
    // The line over `columns` pixel columns of the time range, with one column more on each side
    // (index 0 and columns + 1) holding the nearest point outside, so that the line runs to the edge.
    std::vector<Column> Columns(ChartRange time, int columns) const;

private:
    struct Sums {
        ChartRange time;
        bool valid = false;
        ChartStatistics statistics;
        double sum = 0;
        std::vector<std::uint16_t> units;
    };

    double Placed(double timeOfDay) const;
    Point Make(double time, std::string_view reading);
    void Add(Sums& sums, const Point& point) const;
    const Sums& InView() const;

    std::vector<Point> points_;
    std::vector<std::string> units_;
    std::optional<Point> live_;
    double window_ = 0;
    double dayOffset_ = 0;
    bool fromFile_ = false;
    std::optional<ChartRange> userTime_;
    std::optional<ChartRange> userValue_;
    mutable Sums sums_;
};

} // namespace pelicard
