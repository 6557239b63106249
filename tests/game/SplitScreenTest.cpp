// Where the players' views lie in the window, and each player's own camera.
#include "game/SplitScreen.h"
#include "game/OrbitCamera.h"

#include <gtest/gtest.h>

namespace {

using Rect = SplitScreen::Rect;

Rect rect(int left, int top, int width, int height) {
    Rect r;
    r.left = left;
    r.top = top;
    r.width = width;
    r.height = height;
    return r;
}

TEST(SplitScreenTest, OneViewFillsTheWindowTwoShareItWithoutGapOrOverlap) {
    for (SplitScreen::Layout layout : {SplitScreen::kSideBySide, SplitScreen::kStacked})
        EXPECT_EQ(SplitScreen::viewRect(layout, 0, 1, 1025, 769), rect(0, 0, 1025, 769));

    // Side by side: player one left; the odd pixel column goes to the right view.
    EXPECT_EQ(SplitScreen::viewRect(SplitScreen::kSideBySide, 0, 2, 1025, 768), rect(0, 0, 512, 768));
    EXPECT_EQ(SplitScreen::viewRect(SplitScreen::kSideBySide, 1, 2, 1025, 768), rect(512, 0, 513, 768));
    // Stacked: player one above.
    const Rect upper = SplitScreen::viewRect(SplitScreen::kStacked, 0, 2, 1024, 769);
    const Rect lower = SplitScreen::viewRect(SplitScreen::kStacked, 1, 2, 1024, 769);
    EXPECT_EQ(upper, rect(0, 0, 1024, 384));
    EXPECT_EQ(lower, rect(0, 384, 1024, 385));
    // glViewport counts from the bottom: the upper view starts above the lower one.
    EXPECT_EQ(SplitScreen::viewportY(upper, 769), 385);
    EXPECT_EQ(SplitScreen::viewportY(lower, 769), 0);
}

TEST(OrbitCameraTest, FollowsBehindItsTankAndKeepsTheLastPlaceWhenItIsGone) {
    OrbitCamera camera;
    camera.setCamDistance(70);
    camera.setAngleX(-45);
    camera.setAngleX(-5); // outside the pitch range: ignored
    EXPECT_FLOAT_EQ(camera.getAngleX(), -45);
    const float tank[3] = {10, 0, -20};
    camera.follow(tank, 0); // facing +z: the eye lies on -z behind it
    camera.calcViewPos(camera.getOrbitYaw());
    const std::array<float, 3> eye = camera.eye();
    EXPECT_NEAR(eye[0], 10.0f, 1e-3);
    EXPECT_NEAR(eye[1], 49.497f, 1e-3);
    EXPECT_NEAR(eye[2], -20.0f - 49.497f, 1e-3);
    camera.addAngleY(30);
    EXPECT_FLOAT_EQ(camera.getViewYaw(), 210.0f);

    // Zoom: out moves away, in nearer, both together cancel.
    camera.zoom(0.5f, false, true);
    EXPECT_NEAR(camera.getCamDistance(), 72.5f, 1e-4);
    camera.zoom(1.0f, true, true);
    EXPECT_NEAR(camera.getCamDistance(), 72.5f, 1e-4);
    camera.zoom(0.5f, true, false);
    EXPECT_NEAR(camera.getCamDistance(), 70.0f, 1e-4);
}

} // namespace
