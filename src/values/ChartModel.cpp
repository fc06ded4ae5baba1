#include "values/ChartModel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace pelicard {

namespace {

constexpr double Day = 86400;
constexpr double HalfDay = Day / 2;
constexpr double MinTimeSpan = 1; // zooming in stops at one second across
constexpr double MaxTimeSpan = 100 * Day;

// 1, 2 and 5 times powers of ten from `from` upwards, until `accept` takes one.
template <typename Accept> double NiceStep(double from, Accept accept)
{
    double decade = std::pow(10.0, std::floor(std::log10(from)));
    for (int i = 0; i < 64; ++i, decade *= 10) {
        for (const double mantissa : { 1.0, 2.0, 5.0 }) {
            const double step = mantissa * decade;
            if (step >= from * (1 - 1e-12) && accept(step)) {
                return step;
            }
        }
    }
    return decade;
}

ChartTicks TicksWithStep(ChartRange range, double step)
{
    ChartTicks ticks;
    ticks.step = step;
    ticks.first = std::ceil(range.lo / step - 1e-9) * step;
    const double last = std::floor(range.hi / step + 1e-9) * step;
    ticks.count = std::max(0, static_cast<int>(std::llround((last - ticks.first) / step)) + 1);
    return ticks;
}

bool Usable(ChartRange range)
{
    return std::isfinite(range.lo) && std::isfinite(range.hi) && range.hi > range.lo;
}

} // namespace

std::optional<double> TimeOfDaySeconds(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    std::array<double, 3> parts {};
    std::size_t at = 0;
    for (std::size_t part = 0; part < 3; ++part) {
        if (part > 0) {
            if (at >= text.size() || text[at] != ':') {
                return std::nullopt;
            }
            ++at;
        }
        const std::size_t start = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            parts[part] = parts[part] * 10 + (text[at] - '0');
            ++at;
        }
        const std::size_t digits = at - start;
        if (digits == 0 || digits > 2 || (part > 0 && digits != 2)) {
            return std::nullopt;
        }
    }
    if (at < text.size() && text[at] == '.') {
        double scale = 0.1;
        for (++at; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at, scale /= 10) {
            parts[2] += (text[at] - '0') * scale;
        }
    }
    if (at != text.size() || parts[0] > 23 || parts[1] > 59 || parts[2] >= 60) {
        return std::nullopt;
    }
    return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

std::string ChartUnit(const ReadingValue& reading)
{
    if (reading.baseUnit.empty() && reading.prefixFactor != 1) {
        return "ohm";
    }
    return reading.baseUnit;
}

ChartTicks ValueTicks(ChartRange range, int maxTicks)
{
    if (!Usable(range) || maxTicks < 1) {
        return {};
    }
    const double step = NiceStep(range.Span() / maxTicks,
        [&](double candidate) { return TicksWithStep(range, candidate).count <= maxTicks; });
    return TicksWithStep(range, step);
}

ChartTicks TimeTicks(ChartRange range, int maxTicks)
{
    if (!Usable(range) || maxTicks < 1) {
        return {};
    }
    static constexpr double Steps[] = { 0.1, 0.2, 0.5, 1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800,
        3600, 7200, 10800, 21600, 43200, Day };
    for (const double step : Steps) {
        const ChartTicks ticks = TicksWithStep(range, step);
        if (ticks.count <= maxTicks) {
            return ticks;
        }
    }
    // Longer than days: whole days by 1, 2 and 5 times powers of ten.
    const double days = NiceStep(range.Span() / Day / maxTicks,
        [&](double candidate) { return TicksWithStep(range, candidate * Day).count <= maxTicks; });
    return TicksWithStep(range, days * Day);
}

ChartRange NiceValueRange(double lo, double hi, int maxTicks)
{
    if (!std::isfinite(lo) || !std::isfinite(hi) || hi < lo) {
        return { -1, 1 };
    }
    if (hi - lo <= std::max(std::abs(lo), std::abs(hi)) * 1e-9) {
        const double room = lo == 0 ? 1 : std::abs(lo) * 0.01;
        lo -= room;
        hi += room;
    }
    const double step = NiceStep((hi - lo) / maxTicks, [&](double candidate) {
        const double top = std::ceil(hi / candidate - 1e-9) * candidate;
        const double bottom = std::floor(lo / candidate + 1e-9) * candidate;
        return std::llround((top - bottom) / candidate) <= maxTicks;
    });
    return { std::floor(lo / step + 1e-9) * step, std::ceil(hi / step - 1e-9) * step };
}

std::pair<double, std::string> EngineeringPrefix(double magnitude)
{
    magnitude = std::abs(magnitude);
    if (magnitude == 0 || !std::isfinite(magnitude)) {
        return { 1.0, "" };
    }
    static constexpr const char* Letters[] = { "n", "u", "m", "", "k", "M", "G" };
    const int thousands = std::clamp(static_cast<int>(std::floor(std::log10(magnitude) / 3 + 1e-9)), -3, 3);
    return { std::pow(1000.0, thousands), Letters[thousands + 3] };
}

void ChartModel::Clear()
{
    points_.clear();
    units_.clear();
    live_.reset();
    dayOffset_ = 0;
    fromFile_ = false;
    sums_.valid = false;
}

void ChartModel::MarkFromFile()
{
    fromFile_ = true;
    ClearLive();
}

double ChartModel::Placed(double timeOfDay) const
{
    if (points_.empty()) {
        return timeOfDay;
    }
    const double last = points_.back().time;
    double time = timeOfDay + dayOffset_;
    while (time < last - HalfDay) {
        time += Day;
    }
    return std::max(time, last);
}

ChartModel::Point ChartModel::Make(double time, std::string_view reading)
{
    const ReadingValue parsed = ParseReading(reading);
    Point point;
    point.time = time;
    const std::optional<double> value = parsed.BaseValue();
    point.gap = !value;
    point.value = value.value_or(0);
    if (value) {
        const std::string unit = ChartUnit(parsed);
        auto found = std::find(units_.begin(), units_.end(), unit);
        if (found == units_.end() && units_.size() < std::numeric_limits<std::uint16_t>::max()) {
            units_.push_back(unit);
            found = units_.end() - 1;
        }
        point.unit = static_cast<std::uint16_t>(
            std::min<std::ptrdiff_t>(found - units_.begin(), static_cast<std::ptrdiff_t>(units_.size()) - 1));
    }
    return point;
}

void ChartModel::Append(double timeOfDay, std::string_view reading)
{
    const double time = Placed(timeOfDay);
    if (!points_.empty()) {
        dayOffset_ += std::floor((time - timeOfDay - dayOffset_) / Day + 0.5) * Day;
    }
    points_.push_back(Make(time, reading));
    if (sums_.valid) {
        const ChartRange view = TimeView();
        if (view == sums_.time) {
            if (view.Contains(time)) {
                Add(sums_, points_.back());
            }
        } else {
            sums_.valid = false;
        }
    }
}

void ChartModel::SetLive(double timeOfDay, std::string_view reading)
{
    if (fromFile_) {
        return;
    }
    live_ = Make(Placed(timeOfDay), reading);
    sums_.valid = sums_.valid && TimeView() == sums_.time;
}

void ChartModel::ClearLive()
{
    live_.reset();
    sums_.valid = false;
}

void ChartModel::SetWindow(double seconds)
{
    window_ = std::isfinite(seconds) && seconds > 0 ? seconds : 0;
    sums_.valid = false;
}

ChartRange ChartModel::TimeView() const
{
    if (userTime_) {
        return *userTime_;
    }
    if (points_.empty() && !live_) {
        return { 0, 60 };
    }
    const double first = points_.empty() ? live_->time : points_.front().time;
    double last = points_.empty() ? live_->time : points_.back().time;
    if (live_) {
        last = std::max(last, live_->time);
    }
    const double span = last - first;
    if (window_ <= 0) {
        static constexpr double Pages[]
            = { 60, 120, 300, 600, 1200, 1800, 3600, 7200, 14400, 21600, HalfDay };
        double page = Day;
        for (const double candidate : Pages) {
            if (candidate >= span) {
                page = candidate;
                break;
            }
        }
        while (page < span) {
            page *= 2;
        }
        return { first, first + page };
    }
    if (span <= window_) {
        return { first, first + window_ };
    }
    const double step = window_ / 10;
    const double end = first + window_ + std::ceil((span - window_) / step - 1e-9) * step;
    return { end - window_, end };
}

void ChartModel::Add(Sums& sums, const Point& point) const
{
    if (point.gap) {
        return;
    }
    ChartStatistics& s = sums.statistics;
    s.minimum = s.count == 0 ? point.value : std::min(s.minimum, point.value);
    s.maximum = s.count == 0 ? point.value : std::max(s.maximum, point.value);
    ++s.count;
    sums.sum += point.value;
    s.mean = sums.sum / s.count;
    if (std::find(sums.units.begin(), sums.units.end(), point.unit) == sums.units.end()) {
        sums.units.push_back(point.unit);
    }
}

const ChartModel::Sums& ChartModel::InView() const
{
    const ChartRange view = TimeView();
    if (sums_.valid && sums_.time == view) {
        return sums_;
    }
    sums_ = Sums {};
    sums_.time = view;
    const auto [begin, end] = IndicesIn(view);
    for (std::size_t i = begin; i < end; ++i) {
        Add(sums_, points_[i]);
    }
    sums_.valid = true;
    return sums_;
}

ChartStatistics ChartModel::StatisticsInView() const
{
    return InView().statistics;
}

std::string ChartModel::UnitInView() const
{
    std::string text;
    for (const std::uint16_t unit : InView().units) {
        text += (text.empty() ? "" : "/") + units_[unit];
    }
    if (text.empty() && live_ && !live_->gap) {
        text = units_[live_->unit];
    }
    return text;
}

ChartRange ChartModel::ValueView() const
{
    if (userValue_) {
        return *userValue_;
    }
    const Sums& sums = InView();
    double lo = sums.statistics.minimum;
    double hi = sums.statistics.maximum;
    bool any = sums.statistics.count > 0;
    if (live_ && !live_->gap && sums.time.Contains(live_->time)) {
        lo = any ? std::min(lo, live_->value) : live_->value;
        hi = any ? std::max(hi, live_->value) : live_->value;
        any = true;
    }
    return any ? NiceValueRange(lo, hi, MaxValueTicks) : ChartRange { -1, 1 };
}

void ChartModel::ZoomTime(double about, double factor)
{
    const ChartRange view = TimeView();
    if (!std::isfinite(about) || !std::isfinite(factor) || factor <= 0) {
        return;
    }
    const double span = std::clamp(view.Span() * factor, MinTimeSpan, MaxTimeSpan);
    const double share = view.Span() > 0 ? (about - view.lo) / view.Span() : 0.5;
    userTime_ = ChartRange { about - share * span, about - share * span + span };
}

void ChartModel::ZoomValue(double about, double factor)
{
    const ChartRange view = ValueView();
    if (!std::isfinite(about) || !std::isfinite(factor) || factor <= 0) {
        return;
    }
    const double span = std::max(view.Span() * factor, 1e-12);
    const double share = view.Span() > 0 ? (about - view.lo) / view.Span() : 0.5;
    userValue_ = ChartRange { about - share * span, about - share * span + span };
}

void ChartModel::Pan(double seconds, double value)
{
    const ChartRange values = ValueView();
    const ChartRange times = TimeView();
    if (std::isfinite(seconds) && seconds != 0) {
        userTime_ = ChartRange { times.lo + seconds, times.hi + seconds };
    }
    if (std::isfinite(value) && value != 0) {
        userValue_ = ChartRange { values.lo + value, values.hi + value };
    }
}

void ChartModel::ResetView()
{
    userTime_.reset();
    userValue_.reset();
}

std::pair<std::size_t, std::size_t> ChartModel::IndicesIn(ChartRange time) const
{
    const auto begin = std::lower_bound(
        points_.begin(), points_.end(), time.lo, [](const Point& point, double t) { return point.time < t; });
    const auto end = std::upper_bound(
        begin, points_.end(), time.hi, [](double t, const Point& point) { return t < point.time; });
    return { static_cast<std::size_t>(begin - points_.begin()),
        static_cast<std::size_t>(end - points_.begin()) };
}

std::vector<ChartModel::Column> ChartModel::Columns(ChartRange time, int columns) const
{
    columns = std::max(columns, 1);
    std::vector<Column> result(static_cast<std::size_t>(columns) + 2);
    const auto [begin, end] = IndicesIn(time);
    const std::size_t from = begin > 0 ? begin - 1 : begin;
    const std::size_t to = end < points_.size() ? end + 1 : end;
    const double perSecond = time.Span() > 0 ? columns / time.Span() : 0;
    bool broken = true;
    std::uint16_t lastUnit = 0;
    for (std::size_t i = from; i < to; ++i) {
        const Point& point = points_[i];
        if (point.gap) {
            broken = true;
            continue;
        }
        std::size_t index = 0;
        if (i >= end) {
            index = static_cast<std::size_t>(columns) + 1;
        } else if (i >= begin) {
            const double at = std::floor((point.time - time.lo) * perSecond);
            index = 1 + static_cast<std::size_t>(std::clamp(at, 0.0, static_cast<double>(columns - 1)));
        }
        Column& column = result[index];
        if (!column.filled) {
            column.filled = true;
            column.joined = !broken && point.unit == lastUnit;
            column.first = column.minimum = column.maximum = point.value;
            column.firstTime = point.time;
        }
        column.last = point.value;
        column.lastTime = point.time;
        column.minimum = std::min(column.minimum, point.value);
        column.maximum = std::max(column.maximum, point.value);
        broken = false;
        lastUnit = point.unit;
    }
    return result;
}

} // namespace pelicard
