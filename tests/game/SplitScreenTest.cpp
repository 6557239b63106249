// Where the players' views lie in the window, and the orbit camera behind a tank.
#include "game/SplitScreen.h"
#include "game/OrbitCamera.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

SplitScreen::Rect rect(int left, int top, int width, int height) {
    SplitScreen::Rect r;
    r.left = left, r.top = top, r.width = width, r.height = height;
    return r;
}

TEST(SplitScreenTest, OneViewFillsTheWindowTwoShareItWithoutGapOrOverlap) {
    for (SplitScreen::Layout layout : {SplitScreen::kSideBySide, SplitScreen::kStacked})
        EXPECT_EQ(SplitScreen::viewRect(layout, 0, 1, 1025, 769), rect(0, 0, 1025, 769));
    // Player one left or above; an odd pixel goes to the second view.
    EXPECT_EQ(SplitScreen::viewRect(SplitScreen::kSideBySide, 0, 2, 1025, 768), rect(0, 0, 512, 768));
    EXPECT_EQ(SplitScreen::viewRect(SplitScreen::kSideBySide, 1, 2, 1025, 768), rect(512, 0, 513, 768));
    const SplitScreen::Rect upper = SplitScreen::viewRect(SplitScreen::kStacked, 0, 2, 1024, 769);
    const SplitScreen::Rect lower = SplitScreen::viewRect(SplitScreen::kStacked, 1, 2, 1024, 769);
    EXPECT_EQ(upper, rect(0, 0, 1024, 384));
    EXPECT_EQ(lower, rect(0, 384, 1024, 385));
    // glViewport counts from the bottom.
    EXPECT_EQ(SplitScreen::viewportY(upper, 769), 385);
    EXPECT_EQ(SplitScreen::viewportY(lower, 769), 0);
}

TEST(SplitScreenTest, ThreeOrFourViewsTakeTheQuartersInReadingOrder) {
    for (SplitScreen::Layout layout : {SplitScreen::kSideBySide, SplitScreen::kStacked}) {
        EXPECT_EQ(SplitScreen::viewRect(layout, 0, 4, 1025, 769), rect(0, 0, 512, 384));
        EXPECT_EQ(SplitScreen::viewRect(layout, 1, 4, 1025, 769), rect(512, 0, 513, 384));
        EXPECT_EQ(SplitScreen::viewRect(layout, 2, 4, 1025, 769), rect(0, 384, 512, 385));
        EXPECT_EQ(SplitScreen::viewRect(layout, 3, 4, 1025, 769), rect(512, 384, 513, 385));
        // Three views take the same three quarters: the fourth is left to the map.
        for (int view = 0; view < 3; ++view)
            EXPECT_EQ(SplitScreen::viewRect(layout, view, 3, 1025, 769),
                      SplitScreen::viewRect(layout, view, 4, 1025, 769));
    }
    // The quarters cover every pixel once.
    std::vector<int> covered(40 * 31, 0);
    for (int view = 0; view < 4; ++view) {
        const SplitScreen::Rect r = SplitScreen::viewRect(SplitScreen::kSideBySide, view, 4, 40, 31);
        for (int y = r.top; y < r.top + r.height; ++y)
            for (int x = r.left; x < r.left + r.width; ++x)
                ++covered[static_cast<std::size_t>(y * 40 + x)];
    }
    EXPECT_EQ(std::count(covered.begin(), covered.end(), 1), 40 * 31);
}

TEST(OrbitCameraTest, TheEyeStandsBehindTheFollowedTank) {
    OrbitCamera camera;
    camera.setCamDistance(70);
    camera.setAngleX(-45);
    camera.setAngleX(-5); // outside the pitch range: ignored
    const float tank[3] = {10, 0, -20};
    camera.follow(tank, 0); // facing +z: the eye lies on -z behind it
    camera.calcViewPos(camera.getOrbitYaw());
    const std::array<float, 3> eye = camera.eye();
    EXPECT_NEAR(eye[0], 10.0f, 1e-3);
    EXPECT_NEAR(eye[1], 49.497f, 1e-3);
    EXPECT_NEAR(eye[2], -20.0f - 49.497f, 1e-3);
}

} // namespace
