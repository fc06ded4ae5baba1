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

TEST(NeedleAnimation, DampedStepsTowardsTheTargetKeepTheirVelocity)
{
    clsVUmeter meter = AnimatedGauge();
    meter.SetNeedleValue(100);
    EXPECT_EQ(meter.GetNeedleValue(), 100.0);
    EXPECT_EQ(meter.GetNeedleAnimationValue(), 0.0);
    EXPECT_EQ(Animate(meter, 5), (std::vector<double> { 25, 50, 68.75, 81.25, 89.0625 }));
    // It settles without overshooting.
    for (const double v : Animate(meter, 60))
        EXPECT_LE(v, 100.0);
    EXPECT_NEAR(meter.GetNeedleAnimationValue(), 100.0, 1e-6);

    // A new target during a swing keeps the velocity.
    clsVUmeter turned = AnimatedGauge();
    turned.SetNeedleValue(100);
    std::vector<double> shown = Animate(turned, 2);
    turned.SetNeedleValue(0);
    const std::vector<double> after = Animate(turned, 4);
    shown.insert(shown.end(), after.begin(), after.end());
    EXPECT_EQ(shown, (std::vector<double> { 25, 50, 43.75, 31.25, 20.3125, 12.5 }));
}

TEST(NeedleAnimation, DirectValuesAndJumpModeShowTheValueAtOnce)
{
    clsVUmeter meter = AnimatedGauge();
    meter.SetNeedleValue(100);
    Animate(meter, 3);
    meter.SetNeedleValueDirect(40);
    EXPECT_EQ(meter.GetNeedleValue(), 40.0);
    EXPECT_EQ(Animate(meter, 3), std::vector<double>(3, 40.0));

    clsVUmeter jumping = AnimatedGauge(1);
    jumping.SetNeedleValue(10);
    EXPECT_EQ(jumping.GetNeedleAnimationValue(), 10.0);
    EXPECT_EQ(Animate(jumping, 3), std::vector<double>(3, 10.0));
}

} // namespace
} // namespace pelicard
