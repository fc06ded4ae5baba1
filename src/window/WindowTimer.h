#pragma once

#include <QObject>
#include <QTimer>

namespace pelicard {

// A timer of the window: ticks every Interval milliseconds while it is enabled and the interval
// is above 0. An enabled timer with interval 0 waits silently until it gets an interval.
class WindowTimer : public QObject {
    Q_OBJECT

public:
    explicit WindowTimer(QObject* parent = nullptr);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    int Interval() const { return interval_; }
    // Negative intervals are ignored. A new interval starts the count afresh.
    void SetInterval(int milliseconds);
    // Whether ticks are coming.
    bool IsRunning() const { return timer_.isActive(); }

signals:
    void Timer();

private:
    void Update(bool restart);

    QTimer timer_;
    bool enabled_ = false;
    int interval_ = 0;
};

} // namespace pelicard
