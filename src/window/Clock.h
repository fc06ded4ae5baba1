#pragma once

#include <QDateTime>

namespace pelicard {

// The present date and time, injectable for tests.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime Now() const = 0;
};

class SystemClock : public Clock {
public:
    QDateTime Now() const override { return QDateTime::currentDateTime(); }
};

// A clock that stands still until told otherwise.
class FixedClock : public Clock {
public:
    FixedClock() = default;
    explicit FixedClock(const QDateTime& now)
        : now(now)
    { }

    QDateTime Now() const override { return now; }
    void Set(const QDateTime& time) { now = time; }
    void AdvanceSeconds(qint64 seconds) { now = now.addSecs(seconds); }

private:
    QDateTime now { QDate(2000, 1, 1), QTime(0, 0, 0) };
};

} // namespace pelicard
