// The program at rest wakes only for what happens: listening for the reports the meter sends on
// its own, and the gauge animation, on the virtual meter in real time.

#include "app/Program.h"
#include "values/Commands.h"
#include "virtualmeter/VirtualMeter.h"
#include "window/Clock.h"
#include "window/PromptRecorder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace pelicard {
namespace {

constexpr int TrendStartKey = 4;

struct RealTimeProgram : ::testing::Test {
    QTemporaryDir dir;
    RealMeterTime time;
    VirtualMeter meter { MeterVariant::Logger50k, time };
    PromptRecorder prompts;
    FixedClock clock;
    Program program { meter, prompts, clock, dir.path() };
    frmMain& window = program.window;

    // Links with the meter in `mode`, so that the program shows that tab.
    void LinkInMode(int mode)
    {
        program.Start();
        ASSERT_TRUE(meter.SetMode(mode));
        program.CmdSys_Click(0);
        ASSERT_EQ(window.SSTab1->currentIndex(), mode);
    }
    // Runs the program's own timers until `done` or `ms` have passed; true when done.
    static bool RunUntil(const std::function<bool()>& done, int ms)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < ms) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
        return done();
    }
    static void RunFor(int ms)
    {
        RunUntil([] { return false; }, ms);
    }
};

// On both tabs that listen, with a trend that the meter's own keys start (one point every 50 ms):
// before it, the program does not look at all; then every point arrives in index order, and the
// receive loop ticks a few times per point instead of every millisecond.
struct ListeningTab : RealTimeProgram, ::testing::WithParamInterface<int> { };

TEST_P(ListeningTab, ReportsTheMeterSendsOnItsOwnArriveInOrderWithoutPolling)
{
    LinkInMode(GetParam());
    program.trend.ClearPlot();
    QSignalSpy ticks(window.tmrLog, &WindowTimer::Timer);
    RunFor(300);
    EXPECT_LE(ticks.count(), 3) << "listening with nothing to hear";
    EXPECT_TRUE(window.tmrLog->Enabled());

    TrendSettings fast = meter.Trend();
    fast.timePerDivision = 1;
    ASSERT_TRUE(meter.SetTrend(fast));
    ASSERT_TRUE(meter.SetMode(4));
    ticks.clear();
    ASSERT_TRUE(meter.PressKey(TrendStartKey));
    ASSERT_TRUE(RunUntil([&] { return window.trdBar->value() >= 12; }, 5000));
    const int last = window.trdBar->value();
    for (int i = 0; i <= last; ++i) {
        EXPECT_EQ(program.trend.TrendData[static_cast<std::size_t>(i)].size(), 3) << i;
    }
    EXPECT_LE(ticks.count(), 4 * (last + 1)) << "ticks for " << last + 1 << " points";
    EXPECT_EQ(prompts.Count(PromptRecorder::Kind::CriticalStop), 0);
}

INSTANTIATE_TEST_SUITE_P(DataLoggerAndTrendPlot, ListeningTab, ::testing::Values(0, 4));

// Timer1 stops once every needle has settled and starts again with the next reading, which the
// needle then reaches.
TEST_F(RealTimeProgram, GaugesAnimateToEveryReadingAndRestBetween)
{
    LinkInMode(1);
    clsVUmeter& main = program.gauges.vuMeters()[0];
    for (const int function : { 0, 3, 0 }) {
        SCOPED_TRACE(function);
        ASSERT_TRUE(meter.SetFunction(function));
        program.link.SendCommand(command::ReadingRequest);
        EXPECT_TRUE(window.Timer1->IsRunning());
        ASSERT_TRUE(RunUntil([&] { return window.Timer1->Paused(); }, 3000));
        EXPECT_FALSE(window.Timer1->IsRunning());
        EXPECT_NEAR(main.GetNeedleAnimationValue(), main.GetNeedleValue(), 1e-9);
        QSignalSpy frames(window.Timer1, &WindowTimer::Timer);
        RunFor(100);
        EXPECT_EQ(frames.count(), 0);
    }
}

} // namespace
} // namespace pelicard
