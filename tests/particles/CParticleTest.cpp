#include "particles/CParticle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

CParticle makeParticle(float alpha = 1.0f) {
    const float pos[4] = {1.0f, 2.0f, 3.0f, 7.0f};
    const float color[4] = {1.0f, 0.5f, 0.25f, alpha};
    return CParticle(pos, color, 0.5f);
}

TEST(CParticle, ConstructionSetsPositionColourAndSizeWithoutFade) {
    const CParticle p = makeParticle();
    EXPECT_FLOAT_EQ(p.getPos()[0], 1.0f);
    EXPECT_FLOAT_EQ(p.getPos()[2], 3.0f);
    EXPECT_FLOAT_EQ(p.getPos()[3], 7.0f); // the fourth value is carried along
    EXPECT_FLOAT_EQ(p.getColor()[1], 0.5f);
    EXPECT_FLOAT_EQ(p.getHalfSquareLength(), 0.5f);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(p.getFadeColor()[i], 0.0f);
    }
    EXPECT_TRUE(p.getName().empty());

    const CParticle blank;
    EXPECT_EQ(blank.getLife(), 0.0f);
    EXPECT_EQ(blank.getSpeed(), 0.0f);
    EXPECT_EQ(blank.getFadeColor()[3], 0.0f);
}

TEST(CParticle, MovesAlongItsDirectionAtItsSpeed) {
    CParticle p = makeParticle();
    p.setDir(0.0f, 1.0f, 0.0f);
    p.setSpeed(2.0f);
    p.move(0.5f);
    EXPECT_NEAR(p.getPos()[0], 1.0f, 1e-6);
    EXPECT_NEAR(p.getPos()[1], 3.0f, 1e-6); // rose by 1
    EXPECT_NEAR(p.getPos()[2], 3.0f, 1e-6);
    EXPECT_FLOAT_EQ(p.getPos()[3], 7.0f);

    // The direction is not normalised: its length scales the motion.
    p.setDir(3.0f, 0.0f, -4.0f);
    p.setSpeed(0.5f);
    p.move(2.0f);
    EXPECT_NEAR(p.getPos()[0], 4.0f, 1e-6);
    EXPECT_NEAR(p.getPos()[2], -1.0f, 1e-6);
}

TEST(CParticle, FadesEveryChannelAndClampsToTheUnitRange) {
    CParticle p = makeParticle();
    p.setFadeSpeed(2.0f);
    p.setLife(1.0f);
    p.move(0.75f);
    EXPECT_EQ(p.getColor()[3], 0.0f); // clamped, not -0.5
    EXPECT_NEAR(p.getLife(), 0.25f, 1e-6);
    EXPECT_FLOAT_EQ(p.getColor()[0], 1.0f); // only alpha fades
    EXPECT_FLOAT_EQ(p.getColor()[1], 0.5f);

    // A negative fade brightens up to 1 and no further; r, g, b fade too when asked.
    p.setFadeColor4f(0.2f, -1.0f, 0.0f, 0.0f);
    p.move(1.0f);
    EXPECT_NEAR(p.getColor()[0], 0.8f, 1e-6);
    EXPECT_EQ(p.getColor()[1], 1.0f);
    EXPECT_FLOAT_EQ(p.getColor()[2], 0.25f);

    // Colours given out of range are pulled in by the next step.
    p.setColor4f(-3.0f, 5.0f, 0.5f, 2.0f);
    p.setFadeColor4f(0.0f, 0.0f, 0.0f, 0.0f);
    p.move(0.0f);
    EXPECT_EQ(p.getColor()[0], 0.0f);
    EXPECT_EQ(p.getColor()[1], 1.0f);
    EXPECT_EQ(p.getColor()[3], 1.0f);
}

TEST(CParticle, KeepsMovingPastItsLife) {
    CParticle p = makeParticle();
    p.setDir(1.0f, 0.0f, 0.0f);
    p.setSpeed(1.0f);
    p.setLife(0.5f);
    p.move(0.4f);
    p.move(0.4f);
    EXPECT_NEAR(p.getLife(), -0.3f, 1e-6);
    EXPECT_NEAR(p.getPos()[0], 1.8f, 1e-6);
    p.move(1.0f);
    EXPECT_NEAR(p.getLife(), -1.3f, 1e-6);
    EXPECT_NEAR(p.getPos()[0], 2.8f, 1e-6);
}

TEST(CParticle, AnInfiniteFadeNeverLeavesANonFiniteColour) {
    const float inf = std::numeric_limits<float>::infinity();
    for (float dt : {0.0f, 0.1f, -0.1f}) {
        CParticle p = makeParticle();
        p.setFadeColor4f(inf, -inf, std::numeric_limits<float>::quiet_NaN(), inf);
        p.move(dt);
        for (int i = 0; i < 4; ++i) {
            EXPECT_TRUE(std::isfinite(p.getColor()[i])) << "dt " << dt << " channel " << i;
            EXPECT_GE(p.getColor()[i], 0.0f);
            EXPECT_LE(p.getColor()[i], 1.0f);
        }
    }
}

TEST(CParticle, OrdersByTheThirdDepthValue) {
    CParticle a, b;
    a.setPosWC(100.0f, 100.0f, -3.0f);
    b.setPosWC(-100.0f, -100.0f, 2.0f);
    EXPECT_TRUE(a < b);
    EXPECT_FALSE(b < a);
    b.setPosWC(0.0f, 0.0f, -3.0f);
    EXPECT_FALSE(a < b);
    EXPECT_FALSE(b < a);

    // Copies are independent.
    CParticle c = a;
    c.setPosWC(0.0f, 0.0f, 9.0f);
    EXPECT_FLOAT_EQ(a.getPosWC()[2], -3.0f);
}

} // namespace
