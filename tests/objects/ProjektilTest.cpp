#include "objects/Projektil.h"

#include "math/Vector3D.h"
#include "objects/Explosion.h"
#include "objects/Fahrzeug.h"
#include "objects/Weapon.h"
#include "particles/CPeExplosion.h"
#include "particles/ParticleEngine.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

void expectVec(const float *actual, float x, float y, float z, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual[0], x, tolerance);
    EXPECT_NEAR(actual[1], y, tolerance);
    EXPECT_NEAR(actual[2], z, tolerance);
}

// A vehicle with no session, at `x`, 0, `z` with heading `heading`, ready to fire.
std::unique_ptr<Fahrzeug> tank(const std::string &name, float x, float z, float heading = 0.0f) {
    auto v = std::make_unique<Fahrzeug>();
    v->setName(name);
    v->setActorName(name);
    const float pos[3] = {x, 0.0f, z};
    v->setPos(pos);
    v->setRotY(heading);
    v->getWeapon()->setReloadTime(0.0f);
    return v;
}

// Gives a vehicle the smoke trail every vehicle of a level has, so hits mark it as damaged.
void addSmoke(Fahrzeug &v) {
    v.addPertikleEffekt(new ParticleEngine());
}

// The session's projectile sweep for one shell: true while the shell stays listed.
bool survivesSweep(Projektil &p) {
    if (p.getTTL() > 0.0f) {
        return true;
    }
    if (p.getStatus() == Projektil::kStatusFlying && p.getWeapon()->getExplodiert()) {
        p.explode();
        return p.getTTL() > 0.0f;
    }
    return false;
}

TEST(ProjektilTest, AShotLeavesAlongTheHeadingAtWeaponSpeedPlusTheShootersSpeed) {
    auto shooter = tank("t1", 4.0f, -2.0f, 90.0f);
    shooter->getModell()->setFactors(0.2f, 0.4f, 0.6f);
    std::unique_ptr<Projektil> standing(shooter->shoot());
    ASSERT_NE(standing, nullptr);
    EXPECT_EQ(standing->getStatus(), Projektil::kStatusFlying);
    EXPECT_FLOAT_EQ(standing->getSpeed(), 20.0f); // default weapon, shooter standing
    expectVec(standing->getMoveDirection(), 1.0f, 0.0f, 0.0f);
    expectVec(standing->getPos(), 4.0f, 0.0f, -2.0f); // no turret: from the vehicle position
    EXPECT_FLOAT_EQ(standing->getRotY(), 90.0f);
    EXPECT_FLOAT_EQ(standing->getTTL(), Projektil::kFlightSeconds);
    EXPECT_EQ(standing->getFahrzeug(), shooter.get());
    EXPECT_EQ(standing->getActorName(), "t1-1");
    EXPECT_FLOAT_EQ(standing->getModell()->getScale(), Projektil::kScale);
    EXPECT_FLOAT_EQ(standing->getModell()->getFactors()[2], 0.6f);

    // While driving, the shooter's speed value is added; a turned shooter fires along its new heading.
    shooter->setSpeed(5.0f);
    shooter->setRotY(180.0f);
    shooter->getWeapon()->setReloadTime(0.0f);
    shooter->getWeapon()->setSpeed(40.0f);
    std::unique_ptr<Projektil> driving(shooter->shoot());
    ASSERT_NE(driving, nullptr);
    EXPECT_FLOAT_EQ(driving->getSpeed(), 45.0f);
    expectVec(driving->getMoveDirection(), 0.0f, 0.0f, -1.0f);
    EXPECT_EQ(driving->getActorName(), "t1-2");
}

TEST(ProjektilTest, TheShellOutlivesItsShooterWithItsOwnCopyOfTheWeapon) {
    auto shooter = tank("t1", 0.0f, 0.0f);
    shooter->getWeapon()->setExplosionTime(2.5f);
    std::unique_ptr<Projektil> shot(shooter->shoot());
    ASSERT_NE(shot, nullptr);
    shooter->getWeapon()->setExplosionTime(7.0f); // later changes do not reach the shell in flight
    shooter.reset();                              // the session removed the shooter

    EXPECT_EQ(shot->explode(), Projektil::kStatusExploding);
    EXPECT_FLOAT_EQ(shot->getTTL(), 2.5f);
}

TEST(ProjektilTest, ExplodingStopsTheShellHidesItAndShowsTheWeaponsExplosion) {
    auto shooter = tank("t1", 1.0f, 2.0f, 90.0f);
    const float green[4] = {0.0f, 1.0f, 0.0f, 0.5f};
    shooter->getWeapon()->setExplosionsColor(green);
    shooter->getWeapon()->setExplosionRadius(5.0f);
    std::unique_ptr<Projektil> shot(shooter->shoot());
    ASSERT_NE(shot, nullptr);
    Md2Model shared;
    shot->getModell()->setModel(&shared); // as if "bullet.md2" were loaded

    EXPECT_EQ(shot->explode(), Projektil::kStatusExploding);
    EXPECT_EQ(shot->getStatus(), Projektil::kStatusExploding);
    EXPECT_FLOAT_EQ(shot->getSpeed(), 0.0f);
    expectVec(shot->getMoveDirection(), 0.0f, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(shot->getTTL(), 1.0f); // default explosion time
    EXPECT_EQ(shot->getModell()->getModel(), nullptr);
    ASSERT_EQ(shot->getParticleEngineVector().size(), 1u);
    auto *burst = dynamic_cast<CPeExplosion *>(shot->getParticleEngineVector()[0]);
    ASSERT_NE(burst, nullptr);
    EXPECT_EQ(burst->getAnzParticle(), Projektil::kExplosionParticles);
    EXPECT_FLOAT_EQ(burst->getTimeToLife(), 1.0f);
    expectVec(burst->getPos(), 1.0f, 0.0f, 2.0f);
    EXPECT_FLOAT_EQ(burst->getColor4f()[1], 1.0f);

    // A second burst changes nothing: one effect, the time to live runs on.
    shot->move(0.25f);
    EXPECT_EQ(shot->explode(), Projektil::kStatusExploding);
    EXPECT_EQ(shot->getParticleEngineVector().size(), 1u);
    EXPECT_FLOAT_EQ(shot->getTTL(), 0.75f);
}

TEST(ProjektilTest, AFlightEndsInAnExplosionAndTheShellIsSweptOneExplosionTimeLater) {
    auto shooter = tank("t1", 0.0f, 0.0f);
    std::unique_ptr<Projektil> shot(shooter->shoot());
    ASSERT_NE(shot, nullptr);
    const float dt = 0.25f;
    int steps = 0;
    while (shot->getStatus() == Projektil::kStatusFlying) {
        shot->move(dt);
        ASSERT_TRUE(survivesSweep(*shot));
        ++steps;
        ASSERT_LT(steps, 100);
    }
    EXPECT_EQ(steps, 40); // ten seconds of flight; a time to live of exactly 0 counts as spent
    EXPECT_FLOAT_EQ(shot->getTTL(), 1.0f);
    // The explosion effect stays where the shell burst: it is advanced without a position.
    const float burstAt[3] = {shot->getParticleEngineVector()[0]->getPos()[0],
                              shot->getParticleEngineVector()[0]->getPos()[1],
                              shot->getParticleEngineVector()[0]->getPos()[2]};
    const float elsewhere[3] = {9.0f, 9.0f, 9.0f};
    shot->setPos(elsewhere); // the body flies on
    shot->move(dt);
    EXPECT_TRUE(survivesSweep(*shot));
    expectVec(shot->getParticleEngineVector()[0]->getPos(), burstAt[0], burstAt[1], burstAt[2]);
    shot->move(dt);
    shot->move(dt);
    EXPECT_TRUE(survivesSweep(*shot)); // 0.25 s of explosion left
    shot->move(dt);
    EXPECT_FALSE(survivesSweep(*shot));
}

TEST(ProjektilTest, AShellOfANonExplodingWeaponIsSweptWhenItsTimeRunsOut) {
    auto shooter = tank("t1", 0.0f, 0.0f);
    shooter->getWeapon()->setExplodiert(false);
    std::unique_ptr<Projektil> shot(shooter->shoot());
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->explode(), Projektil::kNoExplosion);
    EXPECT_EQ(shot->getStatus(), Projektil::kStatusFlying);
    EXPECT_TRUE(shot->getParticleEngineVector().empty());
    shot->move(9.5f);
    EXPECT_TRUE(survivesSweep(*shot));
    shot->move(0.5f);
    EXPECT_FALSE(survivesSweep(*shot));
}

TEST(ProjektilTest, AHitBurstsTheShellAndCostsTheVehicleTenLife) {
    auto shooter = tank("t1", 0.0f, 0.0f);
    auto target = tank("t2", 0.0f, 15.0f);
    addSmoke(*target);
    std::unique_ptr<Projektil> shot(shooter->shoot());
    ASSERT_NE(shot, nullptr);

    EXPECT_TRUE(shot->onHit(target.get()));
    EXPECT_EQ(target->getLife(), 90);
    EXPECT_EQ(target->getStatus(), Fahrzeug::kStatusDamaged);
    EXPECT_EQ(shot->getStatus(), Projektil::kStatusExploding);
    EXPECT_EQ(shooter->getLife(), 100);

    // The exploding shell touches again, on the target and on another vehicle: no further damage.
    EXPECT_FALSE(shot->onHit(target.get()));
    EXPECT_FALSE(shot->onHit(shooter.get()));
    EXPECT_EQ(target->getLife(), 90);
    EXPECT_EQ(shooter->getLife(), 100);
    EXPECT_FALSE(shot->onHit(nullptr));
}

TEST(ProjektilTest, AnExplodingVehicleTakesNoHitAndTheShellFliesOn) {
    auto shooter = tank("t1", 0.0f, 0.0f);
    auto target = tank("t2", 0.0f, 15.0f);
    addSmoke(*target);
    target->setLife(10);
    std::unique_ptr<Projektil> first(shooter->shoot());
    ASSERT_TRUE(first->onHit(target.get()));
    ASSERT_EQ(target->getStatus(), Fahrzeug::kStatusExploding);
    const int lifeLeft = target->getLife();

    shooter->getWeapon()->setReloadTime(0.0f);
    std::unique_ptr<Projektil> second(shooter->shoot());
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(second->onHit(target.get()));
    EXPECT_EQ(second->getStatus(), Projektil::kStatusFlying);
    EXPECT_EQ(target->getLife(), lifeLeft);
    EXPECT_EQ(target->getStatus(), Fahrzeug::kStatusExploding);
}

TEST(ProjektilTest, AShellStrikingItsOwnShooterDamagesIt) {
    auto shooter = tank("t1", 0.0f, 0.0f);
    addSmoke(*shooter);
    std::unique_ptr<Projektil> shot(shooter->shoot());
    ASSERT_NE(shot, nullptr);
    EXPECT_TRUE(shot->onHit(shooter.get()));
    EXPECT_EQ(shooter->getLife(), 90);
    EXPECT_EQ(shooter->getStatus(), Fahrzeug::kStatusDamaged);
}

TEST(ProjektilTest, ReflectionMirrorsTheFlightDirectionAndIgnoresAZeroNormal) {
    auto shooter = tank("t1", 0.0f, 0.0f, 45.0f);
    std::unique_ptr<Projektil> shot(shooter->shoot());
    ASSERT_NE(shot, nullptr);
    const float d = shot->getMoveDirection()[0];
    const float wall[3] = {-1.0f, 0.0f, 0.0f};
    shot->reflect(wall);
    expectVec(shot->getMoveDirection(), -d, 0.0f, d);
    const Vector3D floor(0.0f, 2.0f, 0.0f); // a normal of any length
    shot->reflect(&floor);
    expectVec(shot->getMoveDirection(), -d, 0.0f, d);
    const Vector3D zero;
    shot->reflect(&zero);
    expectVec(shot->getMoveDirection(), -d, 0.0f, d);
    shot->reflect(static_cast<const float *>(nullptr));
    expectVec(shot->getMoveDirection(), -d, 0.0f, d);
}

TEST(ProjektilTest, AnExplosionRecordTakesItsLifetimeAndShooterFromTheShell) {
    auto shooter = tank("t1", 0.0f, 0.0f);
    shooter->getWeapon()->setExplosionTime(3.0f);
    std::unique_ptr<Projektil> shot(shooter->shoot());
    const Explosion explosion(shot.get());
    EXPECT_FLOAT_EQ(explosion.getTTL(), 3.0f);
    EXPECT_EQ(explosion.getFahrzeug(), shooter.get());
    const Explosion none(nullptr);
    EXPECT_FLOAT_EQ(none.getTTL(), 0.0f);
    EXPECT_EQ(none.getFahrzeug(), nullptr);
}

} // namespace
