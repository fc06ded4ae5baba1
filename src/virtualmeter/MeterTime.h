#pragma once

#include <chrono>
#include <cstdint>

namespace pelicard {

// The virtual meter's sense of time. The program runs it on the steady clock; tests run it on a
// counter, so that a six-second read time-out costs no real time.
class MeterTime {
public:
    virtual ~MeterTime() = default;
    // Milliseconds since an arbitrary start; never goes backwards.
    virtual std::int64_t NowMs() = 0;
    // Lets `ms` milliseconds pass (nothing for ms <= 0).
    virtual void WaitMs(int ms) = 0;
};

// Real time: the steady clock, and waits that really sleep.
class RealMeterTime : public MeterTime {
public:
    RealMeterTime();
    std::int64_t NowMs() override;
    void WaitMs(int ms) override;

private:
    std::chrono::steady_clock::time_point start_;
};

// Virtual time: a counter that only moves when someone waits or advances it.
class ManualMeterTime : public MeterTime {
public:
    explicit ManualMeterTime(std::int64_t startMs = 0)
        : nowMs_(startMs)
    { }
    std::int64_t NowMs() override { return nowMs_; }
    void WaitMs(int ms) override { Advance(ms); }
    void Advance(std::int64_t ms)
    {
        if (ms > 0) {
            nowMs_ += ms;
        }
    }

private:
    std::int64_t nowMs_;
};

} // namespace pelicard
