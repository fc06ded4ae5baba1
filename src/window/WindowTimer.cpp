#include "window/WindowTimer.h"

namespace pelicard {

namespace {
// Below this, ticks are wanted as fast as the platform allows.
constexpr int PreciseBelowMs = 20;
} // namespace

WindowTimer::WindowTimer(QObject* parent)
    : QObject(parent)
{
    connect(&timer, &QTimer::timeout, this, &WindowTimer::Timer);
}

void WindowTimer::SetEnabled(bool on)
{
    if (on == enabled) {
        return;
    }
    enabled = on;
    Update(true);
}

void WindowTimer::SetInterval(int milliseconds)
{
    if (milliseconds < 0 || milliseconds == interval) {
        return;
    }
    interval = milliseconds;
    Update(true);
}

void WindowTimer::Update(bool restart)
{
    if (!enabled || interval <= 0) {
        timer.stop();
        return;
    }
    timer.setTimerType(interval < PreciseBelowMs ? Qt::PreciseTimer : Qt::CoarseTimer);
    if (restart || !timer.isActive()) {
        timer.start(interval);
    }
}

} // namespace pelicard
