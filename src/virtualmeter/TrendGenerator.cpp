#include "virtualmeter/TrendGenerator.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace pelicard {

TrendGenerator::TrendGenerator(Signal signal, PointSink sink)
    : signal_(std::move(signal))
    , sink_(std::move(sink))
{ }

bool TrendGenerator::SetSettings(
    const TrendSettings& settings, const MeterFunction& function, MeterVariant variant)
{
    if (!IsValidCode(settings.reference, function) || !IsValidCode(settings.perDivision, function)
        || settings.perDivision.value == 0 || settings.timePerDivision < 1
        || settings.timePerDivision > kMaxTimePerDivision
        || !SetupLabel(settings.reference, function, variant)
        || !SetupLabel(settings.perDivision, function, variant)) {
        return false;
    }
    settings_ = settings;
    return true;
}

void TrendGenerator::Start(std::int64_t now)
{
    running_ = true;
    next_ = 0;
    nextMs_ = now + IntervalMs();
}

std::int64_t TrendGenerator::IntervalMs() const
{
    return std::int64_t { settings_.timePerDivision } * 1000 / kPointsPerDivision;
}

std::optional<std::int64_t> TrendGenerator::NextPointMs() const
{
    if (!running_) {
        return std::nullopt;
    }
    return nextMs_;
}

void TrendGenerator::Run(std::int64_t until, const MeterFunction& function)
{
    while (running_) {
        const std::int64_t due = nextMs_;
        if (due > until) {
            break;
        }
        nextMs_ += IntervalMs();
        sink_(next_, LevelOf(signal_(due), function));
        if (++next_ >= kPoints) {
            running_ = false;
        }
    }
}

int TrendGenerator::LevelOf(double value, const MeterFunction& function) const
{
    const double reference = BaseValueOf(settings_.reference, function);
    const double perDivision = std::fabs(BaseValueOf(settings_.perDivision, function));
    double level = 0;
    if (perDivision > 0) {
        level = std::round((value - reference) / perDivision * kLevelsPerDivision);
    }
    return static_cast<int>(std::clamp(level, 0.0, static_cast<double>(kLevels)));
}

} // namespace pelicard
