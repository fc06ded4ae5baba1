#include "window/WindowTimer.h"

namespace pelicard {

namespace {
// Below this, ticks are wanted as fast as the platform allows.
constexpr int PreciseBelowMs = 20;
} // namespace

WindowTimer::WindowTimer(QObject* parent)
    : QObject(parent)
{
    connect(&timer_, &QTimer::timeout, this, &WindowTimer::Timer);
}

void WindowTimer::SetEnabled(bool on)
{
    if (on == enabled_ && !(on && paused_)) {
        return;
    }
    enabled_ = on;
    paused_ = false;
    Update(true);
}

void WindowTimer::SetPaused(bool paused)
{
    if (paused == paused_) {
        return;
    }
    paused_ = paused;
    Update(true);
}

void WindowTimer::SetInterval(int milliseconds)
{
    if (milliseconds < 0 || milliseconds == interval_) {
        return;
    }
    interval_ = milliseconds;
    Update(true);
}

void WindowTimer::Update(bool restart)
{
    if (!enabled_ || paused_ || interval_ <= 0) {
        timer_.stop();
        return;
    }
    timer_.setTimerType(interval_ < PreciseBelowMs ? Qt::PreciseTimer : Qt::CoarseTimer);
    if (restart || !timer_.isActive()) {
        timer_.start(interval_);
    }
}

} // namespace pelicard
