#include "particles/CMuendungsFeuer.h"
#include "particles/CPeExplosion.h"
#include "particles/CPeFeuer.h"
#include "particles/CPeRauch.h"
#include "particles/ScriptedRandom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

float distance3(const float *a, const float *b) {
    const float dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

float length3(const float *v) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

TEST(CPeExplosion, ReachesTheEndRadiusJustAsItFadesOut) {
    ParticleRandom random(11);
    const float centre[3] = {10.0f, 2.0f, -4.0f};
    const float colour[4] = {1.0f, 0.25f, 0.25f, 1.0f};
    CPeExplosion e(centre, colour, 200, 3.0f, 1.5f, nullptr, &random);

    ASSERT_EQ(e.getParticles().size(), 200u);
    EXPECT_EQ(e.getAnzParticle(), 200);
    EXPECT_FLOAT_EQ(e.getTimeToLife(), 1.5f);
    EXPECT_FLOAT_EQ(e.getColor4f()[1], 0.25f);
    for (const CParticle &p : e.getParticles()) {
        EXPECT_FLOAT_EQ(p.getSpeed(), 2.0f);
        EXPECT_NEAR(p.getFadeColor()[3], 1.0f / 1.5f, 1e-6);
        EXPECT_EQ(p.getFadeColor()[0], 0.0f);
        EXPECT_NEAR(length3(p.getDir()), 1.0f, 1e-5);
        EXPECT_FLOAT_EQ(p.getHalfSquareLength(), 0.25f);
        EXPECT_FLOAT_EQ(p.getLife(), 1.5f);
        EXPECT_EQ(distance3(p.getPos(), centre), 0.0f);
    }

    // Directions spread over every octant, not along one axis.
    int octants[8] = {};
    for (const CParticle &p : e.getParticles()) {
        const float *d = p.getDir();
        ++octants[(d[0] > 0) + 2 * (d[1] > 0) + 4 * (d[2] > 0)];
    }
    for (int count : octants) {
        EXPECT_GT(count, 5);
    }

    for (int i = 0; i < 15; ++i) {
        e.doAction(0.1f);
    }
    EXPECT_NEAR(e.getTimeToLife(), 0.0f, 1e-5);
    for (const CParticle &p : e.getParticles()) {
        EXPECT_NEAR(distance3(p.getPos(), centre), 3.0f, 1e-4);
        EXPECT_NEAR(p.getColor()[3], 0.0f, 1e-5);
        EXPECT_FLOAT_EQ(p.getColor()[0], 1.0f); // only alpha fades
    }
    e.doAction(0.1f);
    EXPECT_LT(e.getTimeToLife(), 0.0f); // its owner deletes it now

    // A half-transparent explosion fades from its own alpha, and the position step leaves the time alone.
    const float faint[4] = {1.0f, 0.0f, 0.0f, 0.5f};
    CPeExplosion f(centre, faint, 10, 3.0f, 1.0f, nullptr, &random);
    f.doAction(0.5f, centre);
    EXPECT_FLOAT_EQ(f.getTimeToLife(), 1.0f);
    EXPECT_NEAR(f.getParticles().front().getColor()[3], 0.0f, 1e-6);
}

TEST(CPeExplosion, WithoutDurationIsOverAtOnceWithoutFlyingOff) {
    ScriptedRandom random;
    const float centre[3] = {0.0f, 0.0f, 0.0f};
    const float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    CPeExplosion e(centre, colour, 20, 3.0f, 0.0f, nullptr, &random);
    e.doAction(0.1f);
    EXPECT_LT(e.getTimeToLife(), 0.0f);
    for (const CParticle &p : e.getParticles()) {
        EXPECT_EQ(p.getColor()[3], 0.0f);
        EXPECT_TRUE(particleIsFinite(p.getPos(), 3));
        EXPECT_TRUE(particleIsFinite(p.getFadeColor(), 4));
    }

    // All three direction draws at the middle give no direction; the burst still gets one.
    ScriptedRandom middle{500, 500, 500};
    CPeExplosion m(centre, colour, 1, 3.0f, 1.0f, nullptr, &middle);
    EXPECT_NEAR(length3(m.getParticles().front().getDir()), 1.0f, 1e-6);
}

TEST(CMuendungsFeuer, SpraysAlongTheShotAndExpiresAfterItsTimeToLive) {
    ParticleRandom random(3);
    const float muzzle[3] = {1.0f, 2.0f, 3.0f};
    const float dir[3] = {0.0f, 0.0f, -1.0f};
    const float colour[3] = {1.0f, 0.5f, 0.5f};
    CMuendungsFeuer m(muzzle, dir, colour, 20, 0.5f, 1.5f, nullptr, &random);

    EXPECT_EQ(m.getTextureName(), "Blow.jpg");
    EXPECT_FLOAT_EQ(m.getColor4f()[3], 1.0f);
    ASSERT_EQ(m.getParticles().size(), 20u);
    for (const CParticle &p : m.getParticles()) {
        EXPECT_FLOAT_EQ(p.getColor()[1], 0.5f);
        EXPECT_FLOAT_EQ(p.getColor()[3], 1.0f);
        EXPECT_FLOAT_EQ(p.getHalfSquareLength(), 0.125f);
        EXPECT_NEAR(p.getFadeColor()[3], 2.0f, 1e-6);
        EXPECT_FLOAT_EQ(p.getLife(), 0.5f);
        EXPECT_GE(p.getSpeed(), 0.25f);
        EXPECT_LT(p.getSpeed(), 1.75f);
        const float *d = p.getDir();
        EXPECT_NEAR(length3(d), 1.0f, 1e-5);
        EXPECT_LT(d[2], -0.5f); // within the spray cone around the shot
    }

    // The owner drives off; the flash stays where it was fired.
    const float elsewhere[3] = {50.0f, 0.0f, 50.0f};
    float elapsed = 0.0f;
    const float dt = 1.0f / 60.0f;
    int steps = 0;
    while (m.getTimeToLife() >= 0.0f && steps < 1000) {
        m.doAction(dt, elsewhere);
        elapsed += dt;
        ++steps;
    }
    EXPECT_GT(elapsed, 0.5f);
    EXPECT_LE(elapsed, 0.5f + dt + 1e-5f);
    EXPECT_FLOAT_EQ(m.getPos()[0], 1.0f);
    for (const CParticle &p : m.getParticles()) {
        EXPECT_EQ(p.getColor()[3], 0.0f);
        EXPECT_LT(distance3(p.getPos(), muzzle), 1.75f * elapsed + 1e-4f);
    }
}

TEST(CMuendungsFeuer, ScriptedDrawsGiveTheIntendedSpreadAndSpeed) {
    // Per particle: three direction offsets (value % 800 / 1000 - 0.4), then u for the speed.
    ScriptedRandom random{400, 400, 400, 0, 0, 799, 400, 999};
    const float muzzle[3] = {0.0f, 0.0f, 0.0f};
    const float dir[3] = {1.0f, 0.0f, 0.0f};
    const float colour[3] = {0.2f, 0.4f, 0.6f};
    CMuendungsFeuer m(muzzle, dir, colour, 2, 0.25f, 2.0f, nullptr, &random);
    const CParticle &a = m.getParticles().front();
    EXPECT_NEAR(a.getDir()[0], 1.0f, 1e-6);
    EXPECT_NEAR(a.getSpeed(), 0.25f, 1e-6);
    const CParticle &b = m.getParticles().back();
    const float raw[3] = {0.6f, 0.399f, 0.0f};
    const float len = length3(raw);
    EXPECT_NEAR(b.getDir()[0], raw[0] / len, 1e-5);
    EXPECT_NEAR(b.getDir()[1], raw[1] / len, 1e-5);
    EXPECT_NEAR(b.getSpeed(), 2.0f * 0.999f + 0.25f, 1e-5);
    EXPECT_FLOAT_EQ(b.getColor()[2], 0.6f);
}

TEST(CPeRauch, RisesWithinItsAreaAndRespawnsAroundTheMovedEmitter) {
    ParticleRandom random(5);
    const float start[3] = {0.0f, 1.0f, 0.0f};
    const float green[4] = {0.5f, 1.0f, 0.5f, 1.0f};
    CPeRauch smoke(start, green, 200, 1.0f, 5.0f, 1.0f, nullptr, &random);

    EXPECT_FLOAT_EQ(smoke.getTimeToLife(), 1.0f);
    EXPECT_FLOAT_EQ(smoke.getSpawnArea().getRadius(), 1.0f);
    ASSERT_EQ(smoke.getParticles().size(), 200u);
    for (const CParticle &p : smoke.getParticles()) {
        // The square of side 1 with the emitter at its corner.
        EXPECT_GE(p.getPos()[0], 0.0f);
        EXPECT_LT(p.getPos()[0], 1.0f);
        EXPECT_GE(p.getPos()[2], 0.0f);
        EXPECT_LT(p.getPos()[2], 1.0f);
        EXPECT_FLOAT_EQ(p.getPos()[1], 1.0f);
        EXPECT_GE(p.getLife(), 0.0f);
        EXPECT_LT(p.getLife(), 5.0f);
        if (p.getLife() > 0.0f) {
            EXPECT_NEAR(p.getFadeColor()[3] * p.getLife(), 1.0f, 1e-5);
        }
        EXPECT_FLOAT_EQ(p.getDir()[1], 1.0f);
        EXPECT_LE(std::fabs(p.getDir()[0]), 0.25f);
        EXPECT_LE(std::fabs(p.getDir()[2]), 0.25f);
        EXPECT_FLOAT_EQ(p.getSpeed(), 1.0f);
        EXPECT_FLOAT_EQ(p.getHalfSquareLength(), 0.5f);
    }

    // The vehicle drives away; everything alive keeps rising where it was.
    const float moved[3] = {100.0f, 0.0f, -40.0f};
    smoke.doAction(5.5f, moved);
    EXPECT_FLOAT_EQ(smoke.getPos()[0], 100.0f);
    for (const CParticle &p : smoke.getParticles()) {
        EXPECT_LT(p.getPos()[0], 3.0f);
        EXPECT_NEAR(p.getPos()[1], 6.5f, 1e-4);
        EXPECT_LT(p.getLife(), 0.0f);
    }
    // Next step: every spent particle starts again around the new position.
    smoke.doAction(0.01f, moved);
    for (const CParticle &p : smoke.getParticles()) {
        EXPECT_GE(p.getPos()[0], 100.0f - 0.01f);
        EXPECT_LT(p.getPos()[0], 101.0f + 0.01f);
        EXPECT_GE(p.getPos()[2], -40.0f - 0.01f);
        EXPECT_LT(p.getPos()[2], -39.0f + 0.01f);
        EXPECT_NEAR(p.getPos()[1], 0.01f, 1e-5);
        EXPECT_LT(p.getLife(), 5.5f); // up to 1.099 rise times
        EXPECT_FLOAT_EQ(p.getColor()[1], 1.0f);
    }
    EXPECT_FLOAT_EQ(smoke.getTimeToLife(), 1.0f); // smoke lives as long as its owner
}

TEST(CPeRauch, RespawnedPuffsTakeTheDarkenedColour) {
    ParticleRandom random(9);
    const float origin[3] = {0.0f, 0.0f, 0.0f};
    const float colour[4] = {0.5f, 0.5f, 1.0f, 1.0f};
    CPeRauch smoke(origin, colour, 50, 1.0f, 5.0f, 1.0f, nullptr, &random);
    smoke.setColor4f(0.9f, 0.4f, 0.9f, 1.0f); // the vehicle took a hit
    smoke.doAction(6.0f, origin);
    smoke.doAction(0.0f, origin);
    for (const CParticle &p : smoke.getParticles()) {
        EXPECT_FLOAT_EQ(p.getColor()[0], 0.9f);
        EXPECT_FLOAT_EQ(p.getColor()[1], 0.4f);
    }
}

TEST(CPeRauch, DriftsTowardsOrAwayFromTheCentreAndGetsADriftAtTheCentreToo) {
    const float origin[3] = {0.0f, 0.0f, 0.0f};
    const float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    // Particle 1: ux 500, uz 0 -> at (0.5, 0, 0), centre lies along -x;
    // drift draws dx 400 (+0.15), dz 100 (-0.15); life 500.
    // Particle 2: ux 0, uz 0 -> exactly on the centre; heading draw 900 (90 degrees);
    // drift draws 0 (-0.25) and 499 (+0.249); life 0.
    ScriptedRandom random{500, 0, 400, 100, 500, 0, 0, 900, 0, 499, 0};
    CPeRauch smoke(origin, colour, 2, 1.0f, 5.0f, 1.0f, nullptr, &random);
    EXPECT_EQ(random.remaining(), 0);

    const CParticle &a = smoke.getParticles().front();
    EXPECT_NEAR(a.getDir()[0], -0.15f, 1e-6);
    EXPECT_NEAR(a.getDir()[1], 1.0f, 1e-6);
    EXPECT_NEAR(a.getDir()[2], 0.0f, 1e-6);
    EXPECT_NEAR(a.getLife(), 2.5f, 1e-6);

    const CParticle &b = smoke.getParticles().back();
    EXPECT_TRUE(particleIsFinite(b.getDir(), 3));
    EXPECT_NEAR(b.getDir()[0], 0.0f, 1e-6);   // -0.25 * cos 90
    EXPECT_NEAR(b.getDir()[2], 0.249f, 1e-6); // 0.249 * sin 90
    EXPECT_EQ(b.getLife(), 0.0f);             // a random life of 0 ...
    EXPECT_EQ(b.getColor()[3], 0.0f);         // ... is invisible at once
    EXPECT_EQ(b.getFadeColor()[3], 0.0f);     // ... without an infinite fade
    smoke.doAction(0.0f, origin);             // a zero step keeps it finite
    EXPECT_TRUE(particleIsFinite(b.getColor(), 4));
    smoke.doAction(0.1f, origin);
    EXPECT_LT(b.getLife(), 0.0f);
    // It comes back at the next step: position 300, 300, drift 200, 200, life 600 of 1100.
    for (int v : {300, 300, 200, 200, 600}) {
        random.push(v);
    }
    smoke.doAction(0.1f, origin);
    EXPECT_EQ(random.remaining(), 0);
    EXPECT_NEAR(b.getLife(), 2.9f, 1e-5);
    EXPECT_NEAR(b.getColor()[3], 1.0f - 0.1f / 3.0f, 1e-5);
    EXPECT_NEAR(b.getPos()[0], 0.3f + 0.05f * 0.1f * std::sqrt(0.5f),
                1e-5); // a negative drift leads outwards
    EXPECT_NEAR(b.getPos()[1], 0.1f, 1e-6);
}

TEST(CPeRauch, RectangleFormIsCentredOnTheEmitter) {
    ParticleRandom random(21);
    const float centre[3] = {10.0f, 0.0f, 20.0f};
    const float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    CPeRauch smoke(centre, colour, 400, 4.0f, 2.0f, 3.0f, 1.5f, nullptr, &random);
    EXPECT_EQ(smoke.getSpawnArea().getRadius(), 0.0f);
    float sumX = 0.0f, sumZ = 0.0f;
    for (const CParticle &p : smoke.getParticles()) {
        EXPECT_GE(p.getPos()[0], 8.0f);
        EXPECT_LT(p.getPos()[0], 12.0f);
        EXPECT_GE(p.getPos()[2], 19.0f);
        EXPECT_LT(p.getPos()[2], 21.0f);
        EXPECT_LT(p.getLife(), 2.0f); // rise time 3 / 1.5
        sumX += p.getPos()[0];
        sumZ += p.getPos()[2];
    }
    EXPECT_NEAR(sumX / 400.0f, 10.0f, 0.2f);
    EXPECT_NEAR(sumZ / 400.0f, 20.0f, 0.1f);
}

TEST(CPeFeuer, RisesStraightAndFollowsItsOwner) {
    ParticleRandom random(4);
    const float origin[3] = {0.0f, 0.0f, 0.0f};
    const float orange[4] = {1.0f, 0.6f, 0.1f, 0.8f};
    CPeFeuer fire(origin, orange, 100, 2.0f, 2.0f, 4.0f, 2.0f, nullptr, &random);
    EXPECT_EQ(fire.getTimeToLife(), 0.0f);
    for (const CParticle &p : fire.getParticles()) {
        EXPECT_EQ(p.getDir()[0], 0.0f);
        EXPECT_EQ(p.getDir()[1], 1.0f);
        EXPECT_FLOAT_EQ(p.getSpeed(), 2.0f);
        EXPECT_FLOAT_EQ(p.getHalfSquareLength(), 0.25f);
        EXPECT_GE(p.getPos()[0], -1.0f);
        EXPECT_LT(p.getPos()[0], 1.0f);
        EXPECT_FLOAT_EQ(p.getColor()[3], 0.8f);
    }
    const float moved[3] = {7.0f, 1.0f, 7.0f};
    fire.doAction(3.0f, moved);
    fire.doAction(0.0f, moved);
    for (const CParticle &p : fire.getParticles()) {
        EXPECT_GE(p.getPos()[0], 6.0f);
        EXPECT_LT(p.getPos()[0], 8.0f);
        EXPECT_FLOAT_EQ(p.getPos()[1], 1.0f);
        EXPECT_EQ(p.getDir()[1], 1.0f);
    }
    EXPECT_EQ(fire.getTimeToLife(), 0.0f);

    // Radius form: the emitter is the corner of the square.
    CPeFeuer corner(origin, orange, 50, 0.5f, 1.0f, 1.0f, nullptr, &random);
    for (const CParticle &p : corner.getParticles()) {
        EXPECT_GE(p.getPos()[2], 0.0f);
        EXPECT_LT(p.getPos()[2], 0.5f);
    }
}

// A generator that hands out the extremes often: 0 (zero lives, centre spawns,
// all-minimum drifts) and the largest value of each range.
class EdgeHeavyRandom : public ParticleRandom {
  public:
    explicit EdgeHeavyRandom(unsigned int seed) : ParticleRandom(seed) {}
    int below(int n) override {
        const int pick = ParticleRandom::below(10);
        if (pick < 3) {
            return 0;
        }
        if (pick == 3) {
            return n > 0 ? n - 1 : 0;
        }
        if (pick == 4) {
            return n / 2; // the middle: exactly the centre of a rectangle spawn
        }
        return ParticleRandom::below(n);
    }
};

TEST(Effects, NoParticleStateEverHoldsNaNOrLeavesTheColourRange) {
    EdgeHeavyRandom random(1234);
    const float origin[3] = {0.0f, 0.0f, 0.0f};
    const float dir[3] = {0.0f, 0.0f, 0.0f}; // a vehicle standing still
    const float colour[4] = {1.0f, 0.5f, 0.25f, 1.0f};
    std::vector<std::unique_ptr<ParticleEngine>> effects;
    effects.push_back(std::make_unique<CPeRauch>(origin, colour, 200, 1.0f, 5.0f, 1.0f, nullptr, &random));
    effects.push_back(
        std::make_unique<CPeRauch>(origin, colour, 100, 2.0f, 2.0f, 5.0f, 1.0f, nullptr, &random));
    effects.push_back(std::make_unique<CPeFeuer>(origin, colour, 100, 1.0f, 5.0f, 1.0f, nullptr, &random));
    effects.push_back(
        std::make_unique<CPeFeuer>(origin, colour, 100, 2.0f, 2.0f, 3.0f, 0.0f, nullptr, &random));
    effects.push_back(std::make_unique<CPeExplosion>(origin, colour, 100, 3.0f, 1.0f, nullptr, &random));
    effects.push_back(std::make_unique<CPeExplosion>(origin, colour, 50, 2.0f, 0.0f, nullptr, &random));
    effects.push_back(
        std::make_unique<CMuendungsFeuer>(origin, dir, colour, 20, 0.5f, 1.5f, nullptr, &random));
    effects.push_back(
        std::make_unique<CMuendungsFeuer>(origin, dir, colour, 20, 0.0f, 1.5f, nullptr, &random));

    ParticleRandom steps(99);
    float where[3] = {0.0f, 0.0f, 0.0f};
    for (int frame = 0; frame < 600; ++frame) {
        // Frame times from -0.05 to 0.5 s, with exact zeros among them.
        const int r = steps.below(12);
        const float dt = r == 0 ? 0.0f : r == 1 ? -0.05f : static_cast<float>(steps.below(500)) / 1000.0f;
        where[0] += static_cast<float>(steps.below(3) - 1);
        for (auto &e : effects) {
            if (frame % 2 == 0) {
                e->doAction(dt, where);
            } else {
                e->doAction(dt);
            }
        }
    }
    int checked = 0;
    for (const auto &e : effects) {
        for (const CParticle &p : e->getParticles()) {
            ASSERT_TRUE(particleIsFinite(p.getPos(), 4));
            ASSERT_TRUE(particleIsFinite(p.getDir(), 3));
            ASSERT_TRUE(particleIsFinite(p.getFadeColor(), 4));
            ASSERT_TRUE(std::isfinite(p.getLife()));
            ASSERT_TRUE(std::isfinite(p.getSpeed()));
            for (int i = 0; i < 4; ++i) {
                ASSERT_GE(p.getColor()[i], 0.0f);
                ASSERT_LE(p.getColor()[i], 1.0f);
            }
            ++checked;
        }
        EXPECT_TRUE(std::isfinite(e->getTimeToLife()));
    }
    EXPECT_EQ(checked, 690);
}

} // namespace
