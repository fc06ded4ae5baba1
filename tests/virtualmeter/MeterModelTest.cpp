// The meter model as the program sees it: living readings, hold, record and relative modes.

#include "ProgramSide.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace pelicard {
namespace {

using testing::kAck;
using testing::ProgramSide;

double NumberAt(const std::string& text, std::size_t pos)
{
    return std::strtod(text.c_str() + std::min(pos, text.size()), nullptr);
}

TEST(VirtualMeterReadings, LivingDeterministicForASeedAndFrozenByHold)
{
    ProgramSide a;
    ProgramSide b;
    std::set<std::string> distinct;
    for (int i = 0; i < 10; ++i, a.time.Advance(1000), b.time.Advance(1000)) {
        EXPECT_EQ(b.Ask("DRM"), *distinct.insert(a.Ask("DRM")).first);
    }
    EXPECT_GT(distinct.size(), 7u);
    EXPECT_NE(ProgramSide(MeterVariant::Logger50k, 99).Ask("DRM"), ProgramSide().Ask("DRM"));

    const std::string held = a.Ask("HLD01,DRM");
    a.time.Advance(5000);
    EXPECT_EQ(a.Ask("DRM"), held);
    EXPECT_NE(a.Ask("HLD00,DRM"), held);
}

TEST(VirtualMeterModes, RecordModeTracksExtremesAndRelativeModeTheDeviation)
{
    ProgramSide side;
    // AC volts: one range, so the numbers compare directly. Entering the mode resets the extremes.
    std::string drm = side.Ask("FUN01,MOD01,DRM");
    EXPECT_EQ(drm.substr(15, 11) + drm.substr(36, 11), drm.substr(3, 11) + drm.substr(3, 11));
    side.time.Advance(10000);
    drm = side.Ask("DRM");
    EXPECT_GE(NumberAt(drm, 15), NumberAt(drm, 3));
    EXPECT_LE(NumberAt(drm, 36), NumberAt(drm, 3));
    EXPECT_GT(NumberAt(drm, 15) - NumberAt(drm, 36), 6.0); // half a period of a 6 V swing
    EXPECT_EQ(side.Ask("F4,PST??"), "pst01"); // paused: the extremes stand still
    side.time.Advance(5000);
    EXPECT_EQ(side.Ask("DRM").substr(14), drm.substr(14));
    drm = side.Ask("F4,F3,DRM"); // resumed and reset
    EXPECT_EQ(drm.substr(15, 11) + drm.substr(36, 11), drm.substr(3, 11) + drm.substr(3, 11));

    EXPECT_EQ(side.Ask("MOD02,DRM").substr(15), " 00.00%"); // the present reading is the reference
    EXPECT_EQ(side.Ask("PRV+200.00_3"), kAck);
    for (int i = 0; i < 10; ++i) {
        side.time.Advance(1700);
        drm = side.Ask("DRM");
        EXPECT_NEAR(NumberAt(drm, 15), (NumberAt(drm, 3) - 200.0) / 200.0 * 100.0, 0.011) << drm;
    }
    EXPECT_NE(side.Ask("PRV+0.0000_1,DRM").substr(15).find('O'), std::string::npos); // no deviation from 0
    EXPECT_EQ(side.Ask("F3,DRM").substr(15), " 00.00%");
}

} // namespace
} // namespace pelicard
