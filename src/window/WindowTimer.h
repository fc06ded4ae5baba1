#pragma once

#include <QObject>
#include <QTimer>

namespace pelicard {

// A timer of the window: ticks every Interval milliseconds while it is enabled and the interval
// is above 0. An enabled timer with interval 0 waits silently until it gets an interval.
//
// Its owner may pause it while it knows the ticks would find nothing to do (the gauges at rest, no
// report from the meter yet): a paused timer stays enabled but sends no ticks, so nothing wakes the
// program. SetPaused(false), or enabling it again, resumes it with a fresh count.
class WindowTimer : public QObject {
    Q_OBJECT

public:
    explicit WindowTimer(QObject* parent = nullptr);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    int Interval() const { return interval_; }
    // Negative intervals are ignored. A new interval starts the count afresh.
    void SetInterval(int milliseconds);
    bool Paused() const { return paused_; }
    void SetPaused(bool paused);
    // Whether ticks are coming.
    bool IsRunning() const { return timer_.isActive(); }

signals:
    void Timer();

private:
    void Update(bool restart);

    QTimer timer_;
    bool enabled_ = false;
    bool paused_ = false;
    int interval_ = 0;
};

} // namespace pelicard
