#include "objects/Fahrzeug.h"

#include "objects/ObjectTestSupport.h"
#include "objects/Projektil.h"
#include "objects/Weapon.h"
#include "particles/CMuendungsFeuer.h"
#include "particles/ParticleEngine.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ObjectTestSupport;

namespace {

TEST(FahrzeugShootTest, AShotNeedsTheReloadCountdownRunOutAndStartsItAgain) {
    Fahrzeug v;
    v.setName("t1");
    Weapon *w = v.getWeapon();
    ASSERT_FLOAT_EQ(w->getReloadTime(), 1.0f); // a new vehicle waits a second for its first shot
    EXPECT_EQ(v.shoot(), nullptr);
    EXPECT_TRUE(v.getParticleEngineVector().empty()); // no flash without a shot
    EXPECT_EQ(v.getShotCount(), 0);                   // and no id used up

    w->reload(0.6f);
    EXPECT_EQ(v.shoot(), nullptr);
    w->reload(0.4f);
    EXPECT_TRUE(w->isReady()); // exactly 0 is ready
    w->setShootDelay(1.5f);
    std::unique_ptr<Projektil> shot(v.shoot());
    ASSERT_NE(shot, nullptr);
    EXPECT_FLOAT_EQ(w->getReloadTime(), 1.5f);
    EXPECT_EQ(v.shoot(), nullptr);

    // The countdown stops at or below 0 instead of running on while nobody fires.
    w->reload(2.0f);
    EXPECT_FLOAT_EQ(w->getReloadTime(), -0.5f);
    w->reload(2.0f);
    EXPECT_FLOAT_EQ(w->getReloadTime(), -0.5f);
}

TEST(FahrzeugShootTest, EveryShotFlashesAtTheMuzzleUnlessTheWeaponHasNoFlash) {
    Fahrzeug v;
    v.setName("t1");
    const float pos[3] = {3.0f, 1.0f, -4.0f};
    v.setPos(pos);
    v.setRotY(90.0f);
    v.getWeapon()->setReloadTime(0.0f);
    std::unique_ptr<Projektil> first(v.shoot());
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(v.getParticleEngineVector().size(), 1u);
    auto *flash = dynamic_cast<CMuendungsFeuer *>(v.getParticleEngineVector()[0]);
    ASSERT_NE(flash, nullptr);
    EXPECT_EQ(flash->getAnzParticle(), 20);
    EXPECT_FLOAT_EQ(flash->getTimeToLife(), 0.5f);
    EXPECT_FLOAT_EQ(flash->getColor4f()[0], 1.0f);
    EXPECT_FLOAT_EQ(flash->getColor4f()[1], 0.5f);
    EXPECT_FLOAT_EQ(flash->getColor4f()[2], 0.5f);
    EXPECT_FLOAT_EQ(flash->getPos()[0], 3.0f);
    EXPECT_FLOAT_EQ(flash->getPos()[2], -4.0f);

    v.getWeapon()->setMuendungsFeuer(false);
    v.getWeapon()->setReloadTime(0.0f);
    std::unique_ptr<Projektil> second(v.shoot());
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(v.getParticleEngineVector().size(), 1u);
}

TEST(FahrzeugShootTest, AnExplodingOrDestroyedVehicleDoesNotFire) {
    Fahrzeug v;
    v.setName("t1");
    v.addPertikleEffekt(new ParticleEngine()); // smoke, so hits count
    v.setLife(10);
    v.addDamage(10);
    ASSERT_EQ(v.getStatus(), Fahrzeug::kStatusExploding);
    v.getWeapon()->setReloadTime(0.0f);
    const std::size_t effects = v.getParticleEngineVector().size();
    EXPECT_EQ(v.shoot(), nullptr);
    EXPECT_EQ(v.getParticleEngineVector().size(), effects);
    while (v.getStatus() != Fahrzeug::kStatusDestroyed) {
        v.move(0.5f);
    }
    EXPECT_EQ(v.shoot(), nullptr);
}

TEST(FahrzeugShootTest, AVehicleWithATurretFiresFromItsMuzzleIntoTheSessionsPhysics) {
    Session session;
    VehicleData record = vehicleRecord("p1", "tank", 5.0f, 0.0f, -5.0f);
    Fahrzeug v(&record, &session.gc, nullptr);
    v.getWeapon()->setReloadTime(0.0f);
    float muzzle[3];
    v.getPosMuendung(muzzle);
    std::unique_ptr<Projektil> shot(v.shoot());
    ASSERT_NE(shot, nullptr);
    EXPECT_FLOAT_EQ(shot->getPos()[0], muzzle[0]);
    EXPECT_FLOAT_EQ(shot->getPos()[1], muzzle[1]);
    EXPECT_FLOAT_EQ(shot->getPos()[2], muzzle[2]);
    EXPECT_NEAR(muzzle[2], -5.0f + 3.0f, 1e-4); // the fixture's muzzle lies 3 ahead of the mount
    EXPECT_EQ(shot->getGameClass(), &session.gc);
    // No "bullet.md2" in the registry: nothing to draw and no body, but the shell still counts down.
    EXPECT_EQ(shot->getModell()->getModel(), nullptr);
    EXPECT_FALSE(session.gc.getPhysXAccess()->hasActor("p1-1"));
    shot->move(1.0f);
    EXPECT_FLOAT_EQ(shot->getTTL(), 9.0f);
}

} // namespace
