#include "main/InputRules.h"

#include <gtest/gtest.h>

namespace {

struct KeyTableTest : ::testing::Test {
    bool keys[kKeyCount] = {};
};

TEST_F(KeyTableTest, SpecialKeysHaveEntriesOfTheirOwn) {
    pressKey(keys, KeyNames::special(KeyNames::kGlutLeft));
    EXPECT_FALSE(keys['d']) << "the left arrow must not drive a player whose left key is d";
    releaseKey(keys, KeyNames::special(KeyNames::kGlutLeft));
    EXPECT_FALSE(keys[KeyNames::special(KeyNames::kGlutLeft)]);
    pressKey(keys, 3); // Ctrl+C arrives as 3, which is no F key
    int fired[kOptionKeyCount];
    EXPECT_EQ(heldOptionKeys(keys, fired), 0);
    pressKey(keys, kKeyCount); // codes beyond the table are dropped, not written
    pressKey(keys, -1);
    releaseKey(keys, 999);
}

TEST_F(KeyTableTest, HeldFunctionKeysFireAgainInOrder) {
    int fired[kOptionKeyCount];
    pressKey(keys, KeyNames::special(3));
    ASSERT_EQ(heldOptionKeys(keys, fired), 1);
    EXPECT_EQ(fired[0], 3);
    pressKey(keys, KeyNames::special(1)); // F1 while F3 is still held: both toggle
    ASSERT_EQ(heldOptionKeys(keys, fired), 2);
    EXPECT_EQ(fired[0], 1);
    EXPECT_EQ(fired[1], 3);
    pressKey(keys, KeyNames::special(12)); // F12 toggles too
    ASSERT_EQ(heldOptionKeys(keys, fired), 3);
    EXPECT_EQ(fired[2], 12);
}

TEST(FrameClockTest, FirstCallOnlyTakesTheTime) {
    FrameClock clock;
    EXPECT_FALSE(clock.advance(100.0).step);
    FrameClock::Tick tick = clock.advance(100.25);
    EXPECT_TRUE(tick.step);
    EXPECT_DOUBLE_EQ(tick.dt, 0.25);
    EXPECT_FALSE(tick.fpsDue);
}

TEST(FrameClockTest, RateIsThatOfTheFramePassingOneSecond) {
    FrameClock clock;
    clock.advance(10.0);
    FrameClock::Tick tick = clock.advance(11.2);
    ASSERT_TRUE(tick.fpsDue);
    EXPECT_NEAR(tick.fps, 1.0 / 1.2, 1e-9);
    EXPECT_NEAR(clock.dFPSTimer, 0.2, 1e-9);

    // Short frames accumulate until the next second is passed.
    int updates = 0;
    double now = 11.2;
    for (int i = 0; i < 100; ++i) {
        now += 0.01;
        if (clock.advance(now).fpsDue)
            ++updates;
    }
    EXPECT_EQ(updates, 1); // 0.2 + 1.0 s of frames passes one second once
    EXPECT_NEAR(clock.lTimeStamp, now, 1e-9);
}

} // namespace
