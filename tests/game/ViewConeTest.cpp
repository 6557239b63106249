#include "game/ViewCone.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(ViewConeTest, LooksAlongMinusZWithoutYawOrPitch) {
    ViewCone cone({0, 0, 0}, 0, 0);
    const float ahead[] = {0, 0, -10};
    const float behind[] = {0, 0, 10};
    const float atLimit[] = {0, 0, 0.1f};  // the near limit itself is behind the viewer
    const float nearEye[] = {0, 0, 0.05f}; // short of it: not behind, but outside the side planes
    const float beside[] = {20, 0, -10};   // 63 degrees off the axis
    const float edge[] = {5, 0, -10};      // 26.6 degrees: inside the 30-degree planes
    EXPECT_EQ(cone.classify(ahead), ViewCone::kVisible);
    EXPECT_EQ(cone.classify(behind), ViewCone::kBehind);
    EXPECT_EQ(cone.classify(atLimit), ViewCone::kBehind);
    EXPECT_EQ(cone.classify(nearEye), ViewCone::kBeside);
    EXPECT_EQ(cone.classify(beside), ViewCone::kBeside);
    EXPECT_EQ(cone.classify(edge), ViewCone::kVisible);
}

TEST(ViewConeTest, YawAndPitchTurnTheCone) {
    // A yaw of 90 degrees maps world +x onto view -z.
    ViewCone turned({0, 0, 0}, 90, 0);
    const float plusX[] = {10, 0, 0};
    std::array<float, 3> view = turned.toViewSpace(plusX);
    EXPECT_NEAR(view[0], 0, 1e-5);
    EXPECT_NEAR(view[2], 10, 1e-5);
    const float minusX[] = {-10, 0, 0};
    EXPECT_EQ(turned.classify(minusX), ViewCone::kVisible);
    EXPECT_EQ(turned.classify(plusX), ViewCone::kBehind);

    // The eye is subtracted first; pitch turns y into depth.
    ViewCone pitched({1, 2, 3}, 0, -45);
    const float below[] = {1, -8, 3};
    view = pitched.toViewSpace(below);
    EXPECT_NEAR(view[2], -10 * std::sqrt(0.5f), 1e-4);
    EXPECT_NEAR(view[1], -10 * std::sqrt(0.5f), 1e-4);
}

} // namespace

namespace {

TEST(ViewConeTest, BoxesAreCulledOnlyWhenWhollyOutsideOnePlane) {
    ViewCone cone({0, 0, 0}, 0, 0);
    // A wide box ahead whose every corner lies beyond one side plane or the
    // other: the cone passes between its corners, so it may be seen.
    const float wideMin[] = {-100, -1, -12}, wideMax[] = {100, 1, -10};
    EXPECT_EQ(cone.classify(wideMin), ViewCone::kBeside);
    EXPECT_TRUE(cone.mayShowBox(wideMin, wideMax));
    // A box around the eye is seen too.
    const float aroundMin[] = {-5, -5, -5}, aroundMax[] = {5, 5, 5};
    EXPECT_TRUE(cone.mayShowBox(aroundMin, aroundMax));
    // Wholly behind, or wholly beyond the right plane: culled.
    const float behindMin[] = {-50, -1, 1}, behindMax[] = {50, 1, 40};
    EXPECT_FALSE(cone.mayShowBox(behindMin, behindMax));
    const float rightMin[] = {40, -1, -10}, rightMax[] = {60, 1, -5};
    EXPECT_FALSE(cone.mayShowBox(rightMin, rightMax));
}

TEST(ViewConeTest, ANarrowViewGetsANarrowerConeAWindowTheUsualOne) {
    EXPECT_DOUBLE_EQ(ViewCone::sideAngleFor(1024.0 / 768.0, 80), ViewCone::kSideAngle);
    EXPECT_DOUBLE_EQ(ViewCone::sideAngleFor(1024.0 / 384.0, 80), ViewCone::kSideAngle);
    // Half of a 4:3 window side by side: about 29 degrees each way, the cone 12 more.
    const double side = ViewCone::sideAngleFor(512.0 / 768.0, 80);
    EXPECT_NEAR(side, 90.0 - 29.2 - 12.0, 0.1);
    const float edge[] = {0.55f, 0, -1}; // about 29 degrees right of the axis: still seen
    const float beyond[] = {1.2f, 0, -1}; // 50 degrees: seen by the usual cone only
    EXPECT_EQ(ViewCone({0, 0, 0}, 0, 0, side).classify(edge), ViewCone::kVisible);
    EXPECT_EQ(ViewCone({0, 0, 0}, 0, 0, side).classify(beyond), ViewCone::kBeside);
    EXPECT_EQ(ViewCone({0, 0, 0}, 0, 0).classify(beyond), ViewCone::kVisible);
}

} // namespace
