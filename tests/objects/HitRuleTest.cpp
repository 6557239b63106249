#include "objects/HitRule.h"

#include "objects/Fahrzeug.h"
#include "objects/Projektil.h"
#include "particles/ParticleEngine.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// The session's two lists with one shell and two vehicles in them, and the rule reading them.
struct HitRuleTest : ::testing::Test {
    Fahrzeug shooter;
    Fahrzeug target;
    std::unique_ptr<Projektil> shell;
    std::vector<Projektil *> projectiles;
    std::vector<Fahrzeug *> vehicles{&shooter, &target};
    HitRule rule{projectiles, vehicles};

    HitRuleTest() {
        shooter.setName("t1");
        target.setName("t2");
        target.addPertikleEffekt(new ParticleEngine()); // its smoke trail
        shooter.getWeapon()->setReloadTime(0.0f);
        shell.reset(shooter.shoot());
        projectiles.push_back(shell.get());
    }
};

TEST_F(HitRuleTest, AListedShellTouchingAListedVehicleHitsItInEitherOrder) {
    EXPECT_TRUE(rule(shell.get(), &target));
    EXPECT_EQ(target.getLife(), 90);
    EXPECT_EQ(target.getStatus(), Fahrzeug::kStatusDamaged);
    EXPECT_EQ(shell->getStatus(), Projektil::kStatusExploding);
    EXPECT_FALSE(rule(shell.get(), &target)); // the burst shell deals nothing more
    EXPECT_EQ(target.getLife(), 90);

    shooter.getWeapon()->setReloadTime(0.0f);
    std::unique_ptr<Projektil> second(shooter.shoot());
    projectiles.push_back(second.get());
    EXPECT_TRUE(rule(&target, second.get())); // armed the other way round
    EXPECT_EQ(target.getLife(), 80);
}

TEST_F(HitRuleTest, PairsThatAreNotOneListedShellAndOneListedVehicleAreIgnored) {
    SpielObject levelObject;
    EXPECT_FALSE(rule(shell.get(), &levelObject));
    EXPECT_FALSE(rule(&levelObject, &target));
    EXPECT_FALSE(rule(shell.get(), nullptr));
    EXPECT_FALSE(rule(nullptr, &target));
    EXPECT_FALSE(rule(&shooter, &target)); // two vehicles
    EXPECT_EQ(shell->getStatus(), Projektil::kStatusFlying);

    // A shell and a vehicle the session no longer lists are not touched, even while they exist.
    vehicles.pop_back();
    EXPECT_FALSE(rule(shell.get(), &target));
    EXPECT_EQ(target.getLife(), 100);
    projectiles.clear();
    vehicles.push_back(&target);
    EXPECT_FALSE(rule(shell.get(), &target));
    EXPECT_EQ(target.getLife(), 100);
    EXPECT_EQ(shell->getStatus(), Projektil::kStatusFlying);
}

TEST_F(HitRuleTest, TheShootersOwnHullCountsAndAnExplodingVehicleDoesNot) {
    shooter.addPertikleEffekt(new ParticleEngine());
    EXPECT_TRUE(rule(shell.get(), &shooter));
    EXPECT_EQ(shooter.getLife(), 90);

    target.setLife(5);
    shooter.getWeapon()->setReloadTime(0.0f);
    std::unique_ptr<Projektil> second(shooter.shoot());
    projectiles.push_back(second.get());
    ASSERT_TRUE(rule(second.get(), &target));
    ASSERT_EQ(target.getStatus(), Fahrzeug::kStatusExploding);

    shooter.getWeapon()->setReloadTime(0.0f);
    std::unique_ptr<Projektil> third(shooter.shoot());
    projectiles.push_back(third.get());
    EXPECT_FALSE(rule(third.get(), &target));
    EXPECT_EQ(third->getStatus(), Projektil::kStatusFlying);
}

} // namespace
