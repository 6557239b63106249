#include "game/TickPacer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kTick = 1.0 / 60.0;

TEST(TickPacerTest, FramesRunTheTicksTheirTimeAsksForAndCarryTheRestAsTheViewsBlend) {
    TickPacer pacer(kTick);
    EXPECT_EQ(pacer.advance(kTick * 0.5), 0); // a fast frame: no tick yet, half way to the next
    EXPECT_NEAR(pacer.blend(), 0.5f, 1e-5);
    EXPECT_EQ(pacer.advance(kTick * 0.75), 1); // the halves add up
    EXPECT_NEAR(pacer.blend(), 0.25f, 1e-5);
    EXPECT_EQ(pacer.advance(kTick * 2), 2);

    // A thousand frames at 144 a second run the ticks of their time, give or take the one under way.
    TickPacer fast(kTick);
    int ticks = 0;
    for (int i = 0; i < 1000; ++i)
        ticks += fast.advance(1.0 / 144.0);
    EXPECT_NEAR(ticks, 1000.0 / 144.0 * 60.0, 1.0);
}

TEST(TickPacerTest, AStallRunsAFewTicksAndDropsTheRestAndNothingOddIsTime) {
    TickPacer pacer(kTick);
    EXPECT_EQ(pacer.advance(5.0), TickPacer::kMaxTicksPerFrame); // the world slows down instead of jumping
    EXPECT_EQ(pacer.blend(), 0.0f);
    EXPECT_EQ(pacer.advance(kTick * 0.5), 0); // and goes on from there
    for (double odd : {-1.0, std::nan(""), std::numeric_limits<double>::infinity()})
        EXPECT_EQ(pacer.advance(odd), 0);
    pacer.reset(); // a resumed battle owes nothing
    EXPECT_EQ(pacer.blend(), 0.0f);
}

} // namespace
