#include "math/COLOR.h"
#include "math/PLANE.h"

#include "math/MathTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

// The named colours are compile-time constants, so static constructors in
// any source file can use them whatever the initialisation order.
static_assert(white == COLOR(1.0f, 1.0f, 1.0f, 1.0f), "white");
static_assert(black.a == 0.0f, "black is fully transparent");
static_assert((white * 0.5f).g == 0.5f, "scaling is usable in constant expressions");

// ---------------------------------------------------------------- PLANE

TEST(PlaneTest, FromPointsAndDistance) {
    PLANE plane;
    EXPECT_TRUE(plane == PLANE(VECTOR3DM(0.0f, 0.0f, 0.0f), 0.0f));

    plane.SetFromPoints(VECTOR3DM(0.0f, 0.0f, 0.0f), VECTOR3DM(1.0f, 0.0f, 0.0f),
                        VECTOR3DM(0.0f, 1.0f, 0.0f));
    EXPECT_TRUE(plane.normal == VECTOR3DM(0.0f, 0.0f, 1.0f));
    EXPECT_EQ(plane.intercept, 0.0f);

    // The ground lifted to y = 2, wound so the normal points down.
    plane.SetFromPoints(VECTOR3DM(0.0f, 2.0f, 0.0f), VECTOR3DM(3.0f, 2.0f, 0.0f),
                        VECTOR3DM(0.0f, 2.0f, 5.0f));
    EXPECT_TRUE(vecNear(plane.normal, 0.0f, -1.0f, 0.0f));
    EXPECT_FLOAT_EQ(plane.intercept, 2.0f);
    EXPECT_FLOAT_EQ(plane.GetDistance(VECTOR3DM(7.0f, -1.0f, 4.0f)), 3.0f);
    EXPECT_FLOAT_EQ(plane.GetDistance(VECTOR3DM(7.0f, 5.0f, 4.0f)), -3.0f);

    plane.CalculateIntercept(VECTOR3DM(0.0f, 4.0f, 0.0f));
    EXPECT_FLOAT_EQ(plane.intercept, 4.0f);

    // Collinear points give a zero normal rather than NaN.
    plane.SetFromPoints(VECTOR3DM(0.0f, 0.0f, 0.0f), VECTOR3DM(1.0f, 1.0f, 1.0f),
                        VECTOR3DM(2.0f, 2.0f, 2.0f));
    EXPECT_TRUE(plane.normal == VECTOR3DM(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(plane.intercept, 0.0f);
}

TEST(PlaneTest, ClassifyPointUsesAThinBand) {
    const PLANE plane(VECTOR3DM(0.0f, 1.0f, 0.0f), -1.0f); // y = 1
    EXPECT_EQ(plane.ClassifyPoint(VECTOR3DM(3.0f, 1.005f, 0.0f)), PLANE::kPointOnPlane);
    EXPECT_EQ(plane.ClassifyPoint(VECTOR3DM(3.0f, 0.995f, 0.0f)), PLANE::kPointOnPlane);
    EXPECT_EQ(plane.ClassifyPoint(VECTOR3DM(3.0f, 1.02f, 0.0f)), PLANE::kPointInFront);
    EXPECT_EQ(plane.ClassifyPoint(VECTOR3DM(3.0f, 0.98f, 0.0f)), PLANE::kPointBehind);
    EXPECT_EQ(PLANE::kPointInFront, 1);
    EXPECT_EQ(PLANE::kPointBehind, 2);
    EXPECT_EQ(PLANE::kPointOnPlane, 0);
}

TEST(PlaneTest, NormalizeScalesNormalAndIntercept) {
    PLANE plane(VECTOR3DM(0.0f, 0.0f, 2.0f), 4.0f);
    plane.Normalize();
    EXPECT_TRUE(plane == PLANE(VECTOR3DM(0.0f, 0.0f, 1.0f), 2.0f));

    PLANE tilted(VECTOR3DM(3.0f, 4.0f, 0.0f), -10.0f);
    tilted.Normalize();
    EXPECT_TRUE(vecNear(tilted.normal, 0.6f, 0.8f, 0.0f));
    EXPECT_FLOAT_EQ(tilted.intercept, -2.0f);

    // A zero normal stays zero; the intercept divides by zero as IEEE says.
    PLANE degenerate(VECTOR3DM(), 1.0f);
    degenerate.Normalize();
    EXPECT_TRUE(degenerate.normal == VECTOR3DM());
    EXPECT_TRUE(std::isinf(degenerate.intercept));
}

TEST(PlaneTest, IntersectionOfThreePlanes) {
    const PLANE x(VECTOR3DM(1.0f, 0.0f, 0.0f), -1.0f); // x = 1
    const PLANE y(VECTOR3DM(0.0f, 1.0f, 0.0f), -2.0f); // y = 2
    const PLANE z(VECTOR3DM(0.0f, 0.0f, 1.0f), 3.0f);  // z = -3
    VECTOR3DM point;
    ASSERT_TRUE(x.Intersect3(y, z, point));
    EXPECT_TRUE(vecNear(point, 1.0f, 2.0f, -3.0f));
    ASSERT_TRUE(z.Intersect3(x, y, point)); // order does not matter
    EXPECT_TRUE(vecNear(point, 1.0f, 2.0f, -3.0f));

    // Random planes through a random point meet at that point.
    std::mt19937 random(7u);
    std::uniform_real_distribution<float> value(-3.0f, 3.0f);
    for (int trial = 0; trial < 20; ++trial) {
        const VECTOR3DM target(value(random), value(random), value(random));
        PLANE planes[3];
        for (PLANE &plane : planes) {
            plane.normal = VECTOR3DM(value(random), value(random), value(random));
            plane.CalculateIntercept(target);
        }
        const float volume = planes[0].normal.DotProduct(planes[1].normal.CrossProduct(planes[2].normal));
        if (std::fabs(volume) < 0.5f)
            continue; // nearly parallel: poorly conditioned, skip
        ASSERT_TRUE(planes[0].Intersect3(planes[1], planes[2], point)) << "trial " << trial;
        EXPECT_TRUE(vecNear(point, target.x, target.y, target.z, 1e-4f)) << "trial " << trial;
    }

    // Parallel planes never meet in one point; the result stays untouched.
    const PLANE xAgain(VECTOR3DM(2.0f, 0.0f, 0.0f), 5.0f);
    VECTOR3DM untouched(9.0f, 9.0f, 9.0f);
    EXPECT_FALSE(x.Intersect3(xAgain, y, untouched));
    EXPECT_TRUE(untouched == VECTOR3DM(9.0f, 9.0f, 9.0f));
    // Three planes through one line do not either.
    const PLANE diagonal(VECTOR3DM(1.0f, 1.0f, 0.0f), -3.0f);
    EXPECT_FALSE(x.Intersect3(y, diagonal, untouched));
    EXPECT_TRUE(untouched == VECTOR3DM(9.0f, 9.0f, 9.0f));
}

TEST(PlaneTest, LerpBlendsAndRenormalises) {
    const PLANE a(VECTOR3DM(1.0f, 0.0f, 0.0f), 2.0f);
    const PLANE b(VECTOR3DM(0.0f, 1.0f, 0.0f), 4.0f);
    EXPECT_TRUE(a.lerp(b, 0.0f) == a);
    EXPECT_TRUE(a.lerp(b, 1.0f) == b);

    const PLANE half = a.lerp(b, 0.5f);
    EXPECT_TRUE(vecNear(half.normal, std::sqrt(0.5f), std::sqrt(0.5f), 0.0f));
    EXPECT_FLOAT_EQ(half.intercept, 3.0f);

    EXPECT_FALSE(a == b);
    EXPECT_TRUE(a != PLANE(VECTOR3DM(1.0f, 0.0f, 0.0f), 2.0f + 1e-6f));
}

// ---------------------------------------------------------------- COLOR

TEST(ColorTest, NamedColours) {
    EXPECT_TRUE(white == COLOR(1.0f, 1.0f, 1.0f, 1.0f));
    EXPECT_TRUE(black == COLOR(0.0f, 0.0f, 0.0f, 0.0f));
    EXPECT_TRUE(red == COLOR(1.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_TRUE(green == COLOR(0.0f, 1.0f, 0.0f, 1.0f));
    EXPECT_TRUE(blue == COLOR(0.0f, 0.0f, 1.0f, 1.0f));
    EXPECT_TRUE(cyan == COLOR(0.0f, 1.0f, 1.0f, 1.0f));
    EXPECT_TRUE(magenta == COLOR(1.0f, 0.0f, 1.0f, 1.0f));
    EXPECT_TRUE(yellow == COLOR(1.0f, 1.0f, 0.0f, 1.0f));
}

TEST(ColorTest, ScalingClampingAndFloatView) {
    const COLOR dim = white * 0.2f;
    EXPECT_TRUE(dim == COLOR(0.2f, 0.2f, 0.2f, 0.2f)); // alpha is scaled too
    EXPECT_TRUE(0.2f * white == dim);

    COLOR c(1.5f, -0.5f, 0.5f, 2.0f);
    c.ClampTo01();
    EXPECT_TRUE(c == COLOR(1.0f, 0.0f, 0.5f, 1.0f));
    COLOR inRange(0.0f, 1.0f, 0.25f, 0.75f);
    const COLOR before = inRange;
    inRange.ClampTo01();
    EXPECT_TRUE(inRange == before);

    const float *rgba = magenta;
    EXPECT_EQ(rgba, &magenta.r);
    EXPECT_EQ(rgba[0], 1.0f);
    EXPECT_EQ(rgba[1], 0.0f);
    EXPECT_EQ(rgba[2], 1.0f);
    EXPECT_EQ(rgba[3], 1.0f);

    EXPECT_FALSE(COLOR(0.1f, 0.0f, 0.0f, 1.0f) == COLOR(0.1f + 1e-7f, 0.0f, 0.0f, 1.0f));
    EXPECT_TRUE(red != green);
}

} // namespace
