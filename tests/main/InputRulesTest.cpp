#include "main/InputRules.h"

#include <gtest/gtest.h>

namespace {

struct KeyTableTest : ::testing::Test {
    bool keys[kKeyCount] = {};
};

TEST_F(KeyTableTest, SpecialKeysShareEntriesWithCharacters) {
    const int kGlutKeyLeft = 100, kGlutKeyF3 = 3;
    pressKey(keys, kGlutKeyLeft);
    EXPECT_TRUE(keys['d']) << "the left arrow drives a player whose left key is d";
    releaseKey(keys, kModeGame, 'd');
    EXPECT_FALSE(keys[kGlutKeyLeft]);

    pressKey(keys, kGlutKeyF3);
    EXPECT_TRUE(keys[3]);
    pressKey(keys, 300); // codes beyond the table are dropped, not written
    pressKey(keys, -1);
    releaseKey(keys, kModeGame, 999);
}

TEST_F(KeyTableTest, EscapeRulesDependOnTheMode) {
    // In the game, releasing any key while ESC is held returns to the menu...
    pressKey(keys, kKeyEscape);
    pressKey(keys, 'b');
    KeyReleaseEffect effect = releaseKey(keys, kModeGame, 'b');
    EXPECT_TRUE(effect.returnToMenu);
    EXPECT_FALSE(effect.exitProgram);
    EXPECT_TRUE(keys[kKeyEscape]);
    // ...and releasing ESC itself in the menu ends the program: the entry is
    // still set while the release is judged.
    effect = releaseKey(keys, kModeMenu, kKeyEscape);
    EXPECT_TRUE(effect.exitProgram);
    EXPECT_FALSE(keys[kKeyEscape]);

    // Without ESC nothing happens, in either mode.
    pressKey(keys, 'w');
    EXPECT_FALSE(releaseKey(keys, kModeMenu, 'w').exitProgram);
    EXPECT_FALSE(releaseKey(keys, kModeGame, 'w').returnToMenu);
}

TEST_F(KeyTableTest, MiniMapSwitchesOffOnlyInTheGame) {
    pressKey(keys, kKeyMiniMap);
    EXPECT_FALSE(releaseKey(keys, kModeMenu, kKeyMiniMap).miniMapOff);
    pressKey(keys, kKeyMiniMap);
    EXPECT_TRUE(releaseKey(keys, kModeGame, kKeyMiniMap).miniMapOff);
    EXPECT_FALSE(releaseKey(keys, kModeGame, 'n').miniMapOff);
}

TEST_F(KeyTableTest, HeldFunctionKeysFireAgainInOrder) {
    int fired[kLastOptionKey];
    pressKey(keys, 3);
    ASSERT_EQ(heldOptionKeys(keys, fired), 1);
    EXPECT_EQ(fired[0], 3);
    pressKey(keys, 1); // F1 while F3 is still held: both toggle
    ASSERT_EQ(heldOptionKeys(keys, fired), 2);
    EXPECT_EQ(fired[0], 1);
    EXPECT_EQ(fired[1], 3);
    pressKey(keys, 12); // F12 toggles too
    ASSERT_EQ(heldOptionKeys(keys, fired), 3);
    EXPECT_EQ(fired[2], 12);
    pressKey(keys, 13); // beyond F12: recorded but toggles nothing
    EXPECT_TRUE(keys[13]);
    EXPECT_EQ(heldOptionKeys(keys, fired), 3);
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
