// Every view's camera folded onto the one ear: where a sound is heard for one view and for two.
#include "game/ViewEars.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

using Vec = std::array<float, 3>;

float dot(const Vec &a, const Vec &b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

void expectNear(const Vec &got, const Vec &want, const char *what) {
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(got[i], want[i], 1e-4f) << what << ", axis " << i;
}

TEST(ViewEarsTest, ACameraLooksWhereItIsTurnedWithSquareAxesAndRightToTheRight) {
    const float eye[] = {1, 2, 3};
    const float north[] = {0, 0, -4};
    const ViewEars::Camera ahead = ViewEars::camera(eye, north);
    expectNear(ahead.eye, {1, 2, 3}, "eye");
    expectNear(ahead.forward, {0, 0, -1}, "forward");
    expectNear(ahead.right, {1, 0, 0}, "right of looking along -z");
    expectNear(ahead.up, {0, 1, 0}, "up");

    // Looking east and down: right is south, up leans the way it looks, all square.
    const float eastDown[] = {3, -3, 0};
    const ViewEars::Camera down = ViewEars::camera(eye, eastDown);
    expectNear(down.right, {0, 0, 1}, "right of looking along +x");
    EXPECT_GT(down.up[1], 0.0f);
    EXPECT_GT(down.up[0], 0.0f);
    for (const Vec *axis : {&down.forward, &down.up, &down.right})
        EXPECT_NEAR(dot(*axis, *axis), 1.0f, 1e-5f);
    EXPECT_NEAR(dot(down.forward, down.up), 0.0f, 1e-5f);
    EXPECT_NEAR(dot(down.forward, down.right), 0.0f, 1e-5f);
    EXPECT_NEAR(dot(down.up, down.right), 0.0f, 1e-5f);
}

TEST(ViewEarsTest, OneViewHearsEverySoundWhereItIs) {
    ViewEars ears;
    const float eye[] = {5, 30, 40};
    const float look[] = {-0.3f, -0.7f, -0.6f};
    ears.add(ViewEars::camera(eye, look));
    for (const Vec &source : {Vec{0, 0, 0}, Vec{-123.5f, 2, 77.25f}, Vec{5, 30, 40}, Vec{1e4f, -3, 0.001f}}) {
        const Vec heard = ears.place(source.data());
        EXPECT_EQ(heard, source) << "one view moves no sound";
    }
}

TEST(ViewEarsTest, ASoundByTheSecondCameraIsHeardAsNearAndOnItsSideByTheListener) {
    ViewEars ears;
    const float listenerEye[] = {0, 10, 0}, north[] = {0, 0, -1};
    const float secondEye[] = {500, 10, 500}, east[] = {1, 0, 0};
    ears.add(ViewEars::camera(listenerEye, north));
    ears.add(ViewEars::camera(secondEye, east));
    ASSERT_EQ(ears.getCount(), 2);

    // Three ahead of the second camera, four to its right (south) and two above it.
    const Vec shot{503, 12, 504};
    EXPECT_EQ(ears.nearest(shot.data()), 1);
    const Vec heard = ears.place(shot.data());
    // The same from the listener: three to the north, four to the east, two up.
    expectNear(heard, {4, 12, -3}, "heard by the listener");

    // A sound to the left of the second camera stays on the listener's left.
    const Vec left{510, 10, 490};
    const Vec offset = ears.place(left.data());
    EXPECT_LT(offset[0] - listenerEye[0], 0.0f) << "left stays left";
    EXPECT_NEAR(std::hypot(offset[0] - listenerEye[0], offset[2] - listenerEye[2]), std::hypot(10.0f, 10.0f),
                1e-3f)
        << "as far as from the camera that is nearest";

    // Sounds the listener's camera is nearest to, or as near as any other, are where they are.
    const Vec home{30, 0, -20};
    EXPECT_EQ(ears.place(home.data()), home);
    const Vec between{250, 10, 250};
    EXPECT_EQ(ears.nearest(between.data()), 0);
    EXPECT_EQ(ears.place(between.data()), between);
}

} // namespace
