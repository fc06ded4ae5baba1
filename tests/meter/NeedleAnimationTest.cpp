#include "meter/clsVUmeter.h"

#include <gtest/gtest.h>

#include <vector>

namespace pelicard {
namespace {

clsVUmeter AnimatedGauge(std::int16_t operationmode = 2)
{
    clsVUmeter meter;
    meter.Init_Needle(100, 100, 1.4, 1.4, 4, operationmode, 0x0000FF);
    return meter;
}

std::vector<double> Animate(clsVUmeter& meter, int ticks)
{
    std::vector<double> shown;
    for (int i = 0; i < ticks; ++i) {
        meter.AnimationLoop();
        shown.push_back(meter.GetNeedleAnimationValue());
    }
    return shown;
}

TEST(NeedleAnimation, ApproachesTheTargetFromRestWithoutOvershoot)
{
    clsVUmeter meter = AnimatedGauge();
    meter.SetNeedleValue(100);
    EXPECT_EQ(meter.GetNeedleValue(), 100.0);
    EXPECT_EQ(meter.GetNeedleAnimationValue(), 0.0);
    EXPECT_EQ(Animate(meter, 5), (std::vector<double> { 25, 50, 68.75, 81.25, 89.0625 }));
    double previous = meter.GetNeedleAnimationValue();
    for (const double v : Animate(meter, 60)) {
        EXPECT_GE(v, previous);
        EXPECT_LE(v, 100.0);
        previous = v;
    }
    EXPECT_NEAR(previous, 100.0, 1e-6);
}

TEST(NeedleAnimation, NewTargetDuringASwingKeepsTheVelocity)
{
    clsVUmeter meter = AnimatedGauge();
    meter.SetNeedleValue(100);
    std::vector<double> shown = Animate(meter, 2);
    meter.SetNeedleValue(0);
    const std::vector<double> after = Animate(meter, 4);
    shown.insert(shown.end(), after.begin(), after.end());
    EXPECT_EQ(shown, (std::vector<double> { 25, 50, 43.75, 31.25, 20.3125, 12.5 }));
}

TEST(NeedleAnimation, DirectValueStopsTheNeedleAtOnce)
{
    clsVUmeter meter = AnimatedGauge();
    meter.SetNeedleValue(100);
    Animate(meter, 3);
    meter.SetNeedleValueDirect(40);
    EXPECT_EQ(meter.GetNeedleValue(), 40.0);
    EXPECT_EQ(meter.GetNeedleAnimationValue(), 40.0);
    EXPECT_EQ(Animate(meter, 5), std::vector<double>(5, 40.0));
}

TEST(NeedleAnimation, JumpModeShowsTheValueAtOnceButKeepsALeftoverVelocity)
{
    clsVUmeter jumping = AnimatedGauge(1);
    jumping.SetNeedleValue(10);
    EXPECT_EQ(jumping.GetNeedleValue(), 10.0);
    EXPECT_EQ(jumping.GetNeedleAnimationValue(), 10.0);
    EXPECT_EQ(Animate(jumping, 3), std::vector<double>(3, 10.0));

    // A swing started while animated carries on for a while after switching to jumps.
    clsVUmeter meter = AnimatedGauge(2);
    meter.SetNeedleValue(100);
    Animate(meter, 1); // velocity 25
    meter.Init_Needle(100, 100, 1.4, 1.4, 4, 1, 0x0000FF);
    meter.SetNeedleValue(60);
    EXPECT_EQ(meter.GetNeedleAnimationValue(), 60.0);
    // Velocity 25 * 0.25 moves it on to 66.25, where the pull back cancels what is left.
    EXPECT_EQ(Animate(meter, 2), (std::vector<double> { 66.25, 66.25 }));
}

TEST(NeedleAnimation, StylesSendTheNeedleBackToZeroFromWhereItStands)
{
    clsVUmeter meter;
    meter.SetVUDefaults(0, 100, 100);
    meter.SetNeedleValueDirect(80);
    meter.SetVUDefaults(0, 100, 100);
    EXPECT_EQ(meter.GetNeedleValue(), 0.0);
    EXPECT_EQ(meter.GetNeedleAnimationValue(), 80.0);
    EXPECT_EQ(Animate(meter, 2), (std::vector<double> { 60, 40 }));
}

} // namespace
} // namespace pelicard
