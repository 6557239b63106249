#include "input/PadMapping.h"
#include "input/PadMenuKeys.h"

#include "config/KeyNames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const int kUp = KeyNames::special(KeyNames::kGlutUp);
const int kDown = KeyNames::special(KeyNames::kGlutDown);
const int kRight = KeyNames::special(KeyNames::kGlutRight);

PadState with(PadButton button) {
    PadState pad;
    pad.setButton(button, true);
    return pad;
}

TEST(PadMappingTest, StickAxisIsZeroInsideTheDeadZoneAndProportionalBeyond) {
    EXPECT_EQ(stickAxis(0.0f, 0.2f), 0.0f);
    EXPECT_EQ(stickAxis(0.19f, 0.2f), 0.0f);
    EXPECT_EQ(stickAxis(-0.2f, 0.2f), 0.0f);
    EXPECT_NEAR(stickAxis(0.6f, 0.2f), 0.5f, 1e-6); // halfway from the edge to full travel
    EXPECT_NEAR(stickAxis(-0.6f, 0.2f), -0.5f, 1e-6);
    EXPECT_NEAR(stickAxis(0.21f, 0.2f), 0.0125f, 1e-6); // just past the edge: barely moving
    EXPECT_EQ(stickAxis(1.0f, 0.2f), 1.0f);
    EXPECT_EQ(stickAxis(-3.0f, 0.2f), -1.0f); // beyond full travel counts as full
    EXPECT_EQ(stickAxis(0.5f, 0.0f), 0.5f);
}

TEST(PadMappingTest, StickAxisSurvivesBrokenValuesAndDeadZones) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(stickAxis(nan, 0.2f), 0.0f);
    EXPECT_EQ(stickAxis(inf, 0.2f), 1.0f);
    EXPECT_EQ(stickAxis(0.5f, nan), 0.5f); // no dead zone
    EXPECT_EQ(stickAxis(0.5f, -1.0f), 0.5f);
    EXPECT_EQ(stickAxis(1.0f, 1.0f), 0.0f); // all dead: never a division by zero
    EXPECT_EQ(stickAxis(1.0f, 7.0f), 0.0f);
}

TEST(PadMappingTest, LeftStickDrivesAndDpadWinsOnItsAxis) {
    const PadBindings bindings = PadBindings::defaults();
    PadState pad;
    pad.leftY = 0.6f;  // forward
    pad.leftX = -1.0f; // full left
    PlayerInput input = padDriving(pad, bindings, 0.2f);
    EXPECT_NEAR(input.throttle, 0.5f, 1e-6);
    EXPECT_NEAR(input.turn, -1.0f, 1e-6);
    EXPECT_FALSE(input.fire);

    pad.setButton(PadButton::DpadDown, true); // reverse, whatever the stick says
    input = padDriving(pad, bindings, 0.2f);
    EXPECT_EQ(input.throttle, -1.0f);
    EXPECT_NEAR(input.turn, -1.0f, 1e-6); // the stick still turns

    pad.setButton(PadButton::DpadRight, true);
    EXPECT_EQ(padDriving(pad, bindings, 0.2f).turn, 1.0f);

    pad.leftY = std::numeric_limits<float>::quiet_NaN();
    pad.setButton(PadButton::DpadDown, false);
    EXPECT_EQ(padDriving(pad, bindings, 0.2f).throttle, 0.0f);
}

TEST(PadMappingTest, BothFireBindingsFireAndNothingElseDoes) {
    PadBindings bindings = PadBindings::defaults();
    EXPECT_TRUE(padDriving(with(PadButton::A), bindings, 0.2f).fire);
    EXPECT_TRUE(padDriving(with(PadButton::RightTrigger), bindings, 0.2f).fire);
    EXPECT_FALSE(padDriving(with(PadButton::B), bindings, 0.2f).fire);
    bindings.set(PadBindings::kFire, PadButton::X);
    EXPECT_FALSE(padDriving(with(PadButton::A), bindings, 0.2f).fire);
    EXPECT_TRUE(padDriving(with(PadButton::X), bindings, 0.2f).fire);
}

TEST(PadMappingTest, CameraTurnsFinelyNearTheCentreAndFullyAtTheEdge) {
    PadState pad;
    pad.rightX = 0.6f; // half the travel past the dead zone: a quarter of the speed
    pad.rightY = -1.0f;
    PadCamera camera = cameraTurn(pad, 0.2f);
    EXPECT_NEAR(camera.yaw, 0.25f, 1e-6);
    EXPECT_NEAR(camera.pitch, -1.0f, 1e-6);
    pad.rightX = -0.1f;
    EXPECT_EQ(cameraTurn(pad, 0.2f).yaw, 0.0f);
}

TEST(PadMenuKeysTest, ArrowRepeatsAfterTheDelayAtItsInterval) {
    PadMenuKeys menu;
    const PadState down = with(PadButton::DpadDown);
    EXPECT_EQ(menu.update(down, 10.0), std::vector<int>{kDown}); // at once
    EXPECT_TRUE(menu.update(down, 10.2).empty());
    EXPECT_TRUE(menu.update(down, 10.39).empty());
    EXPECT_EQ(menu.update(down, 10.41), std::vector<int>{kDown}); // 0.4 s after the press
    EXPECT_TRUE(menu.update(down, 10.5).empty());
    EXPECT_EQ(menu.update(down, 10.56), std::vector<int>{kDown}); // then every 0.15 s
    EXPECT_EQ(menu.update(down, 10.71), std::vector<int>{kDown});
    // After a stall of a second: one step, and the next a full interval later.
    EXPECT_EQ(menu.update(down, 11.8), std::vector<int>{kDown});
    EXPECT_TRUE(menu.update(down, 11.85).empty());
    EXPECT_EQ(menu.update(down, 11.96), std::vector<int>{kDown});
    // Let go and pressed again: at once, and the delay starts anew.
    EXPECT_TRUE(menu.update(PadState{}, 12.0).empty());
    EXPECT_EQ(menu.update(down, 12.01), std::vector<int>{kDown});
    EXPECT_TRUE(menu.update(down, 12.3).empty());
}

TEST(PadMenuKeysTest, StickBeyondHalfActsAsArrows) {
    PadMenuKeys menu;
    PadState pad;
    pad.leftY = 0.4f;
    EXPECT_TRUE(menu.update(pad, 0.0).empty());
    pad.leftY = 0.9f; // pushed up
    pad.leftX = 0.7f; // and right
    EXPECT_EQ(menu.update(pad, 0.1), (std::vector<int>{kUp, kRight}));
    pad.setButton(PadButton::DpadUp, true); // d-pad and stick on one arrow: still one key
    EXPECT_TRUE(menu.update(pad, 0.2).empty());
}

TEST(PadMenuKeysTest, AAndBGiveOneKeyPerPress) {
    PadMenuKeys menu;
    const PadState a = with(PadButton::A);
    EXPECT_EQ(menu.update(a, 0.0), std::vector<int>{KeyNames::kEnter});
    EXPECT_TRUE(menu.update(a, 1.0).empty()); // held: no repeat
    EXPECT_TRUE(menu.update(PadState{}, 1.1).empty());
    EXPECT_EQ(menu.update(with(PadButton::B), 1.2), std::vector<int>{KeyNames::kEscape});

    // The press that opened a screen is not taken again by it.
    menu.reset(a);
    EXPECT_TRUE(menu.update(a, 1.3).empty());
    EXPECT_TRUE(menu.update(PadState{}, 1.4).empty());
    EXPECT_EQ(menu.update(a, 1.5), std::vector<int>{KeyNames::kEnter});
}

TEST(PadMenuKeysTest, ClockGoingBackOrBrokenRepeatsNothingEarly) {
    PadMenuKeys menu;
    const PadState down = with(PadButton::DpadDown);
    EXPECT_EQ(menu.update(down, 5.0), std::vector<int>{kDown});
    EXPECT_TRUE(menu.update(down, 1.0).empty());
    EXPECT_TRUE(menu.update(down, std::nan("")).empty());
    EXPECT_EQ(menu.update(down, 5.41), std::vector<int>{kDown});
}

} // namespace
