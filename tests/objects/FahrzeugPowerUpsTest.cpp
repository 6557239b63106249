#include "objects/Fahrzeug.h"

#include "config/CPowerUpData.h"
#include "objects/CPowerUp.h"
#include "objects/Projektil.h"
#include "objects/Weapon.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

CPowerUpData powerUp(CPowerUpData::Effect effect) {
    CPowerUpData type;
    type.setName(CPowerUpData::effectName(effect));
    type.setEffectWithDefaults(effect);
    return type;
}

TEST(FahrzeugPowerUpsTest, RepairAddsLifeUpToTheMaximumAndAFullTankLeavesItLying) {
    Fahrzeug tank;
    tank.setMaxLife(100);
    tank.setLife(40);
    const CPowerUpData repair = powerUp(CPowerUpData::kRepair); // 30 points
    EXPECT_TRUE(tank.takePowerUp(repair));
    EXPECT_EQ(tank.getLife(), 70);
    EXPECT_TRUE(tank.takePowerUp(repair));
    EXPECT_EQ(tank.getLife(), 100);         // capped
    EXPECT_FALSE(tank.takePowerUp(repair)); // nothing to mend: the kit stays
    tank.setLife(250);                      // a level may start a tank above its maximum
    EXPECT_FALSE(tank.takePowerUp(repair));
    EXPECT_EQ(tank.getLife(), 250);
    EXPECT_EQ(tank.getPowerUpCount(), 0u); // repair acts at once and is not carried
}

TEST(FahrzeugPowerUpsTest, TimedEffectsRunOutAndTakingOneAgainStartsItAfresh) {
    Fahrzeug tank;
    EXPECT_TRUE(tank.takePowerUp(powerUp(CPowerUpData::kSpeed)));  // 15 s
    EXPECT_TRUE(tank.takePowerUp(powerUp(CPowerUpData::kArmour))); // 20 s
    EXPECT_FLOAT_EQ(tank.getPowerUpFactor(CPowerUpData::kSpeed), 1.5f);
    std::vector<int> expired;
    tank.stepPowerUps(10.0f, &expired);
    EXPECT_TRUE(expired.empty());
    EXPECT_TRUE(tank.takePowerUp(powerUp(CPowerUpData::kSpeed))); // back to 15 s, not a second one
    EXPECT_EQ(tank.getPowerUpCount(), 2u);
    tank.stepPowerUps(10.0f, &expired);
    EXPECT_EQ(expired, std::vector<int>{CPowerUpData::kArmour});
    EXPECT_FLOAT_EQ(tank.getPowerUpFactor(CPowerUpData::kArmour), 1.0f);
    EXPECT_NEAR(tank.getPowerUps().at(0)->getSecondsLeft(), 5.0f, 1e-4f);
    tank.stepPowerUps(5.0f, &expired);
    EXPECT_EQ(tank.getPowerUpCount(), 0u);
    EXPECT_EQ(expired.back(), CPowerUpData::kSpeed);
}

TEST(FahrzeugPowerUpsTest, ArmourHalvesHitsRapidFireHalvesTheReloadAndSpeedRaisesTheTopSpeed) {
    Fahrzeug tank;
    tank.setLife(100);
    tank.addDamage(10);
    EXPECT_EQ(tank.getLife(), 90);
    tank.takePowerUp(powerUp(CPowerUpData::kArmour));
    tank.addDamage(10);
    EXPECT_EQ(tank.getLife(), 85);
    // A player's tank on an easier difficulty: its own share and the armour's together.
    tank.setHitShare(0.8f);
    tank.takeHit(10);
    EXPECT_EQ(tank.getLife(), 81);
    tank.addDamage(10); // any other damage counts in full, but for the armour
    EXPECT_EQ(tank.getLife(), 76);

    Weapon *gun = tank.getWeapon();
    gun->setShootDelay(2.0f);
    gun->setReloadTime(0.0f);
    std::unique_ptr<Projektil> first(tank.shoot());
    ASSERT_NE(first, nullptr);
    EXPECT_FLOAT_EQ(gun->getReloadTime(), 2.0f);
    gun->setReloadTime(0.0f);
    tank.takePowerUp(powerUp(CPowerUpData::kRapidFire));
    std::unique_ptr<Projektil> second(tank.shoot());
    ASSERT_NE(second, nullptr);
    EXPECT_FLOAT_EQ(gun->getReloadTime(), 1.0f);

    // A long step with the drive key held reaches the top speed (10), which the step then halves.
    Fahrzeug slow, fast;
    for (Fahrzeug *t : {&slow, &fast}) {
        t->initFromFahrzeugTypDaten(nullptr);
        t->setDrive(1.0f, 0.0f);
    }
    fast.takePowerUp(powerUp(CPowerUpData::kSpeed));
    slow.move(5.0f);
    fast.move(5.0f);
    EXPECT_FLOAT_EQ(slow.getSpeed(), 5.0f);
    EXPECT_FLOAT_EQ(fast.getSpeed(), 7.5f);
}

} // namespace
