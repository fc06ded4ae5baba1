#include "virtualmeter/MeterTime.h"

#include <thread>

namespace pelicard {

RealMeterTime::RealMeterTime()
    : start_(std::chrono::steady_clock::now())
{ }

std::int64_t RealMeterTime::NowMs()
{
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
}

void RealMeterTime::WaitMs(int ms)
{
    if (ms > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

} // namespace pelicard
