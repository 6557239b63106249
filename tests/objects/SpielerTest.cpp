#include "objects/Spieler.h"

#include "main/InputRules.h"
#include "objects/Fahrzeug.h"
#include "objects/Projektil.h"
#include "objects/Weapon.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Player one's default keys: s / x forward and back, z / c left and right, a fires.
Spieler playerOne() {
    return Spieler('s', 'x', 'z', 'c', 'a');
}

struct SpielerTest : ::testing::Test {
    bool keys[kKeyCount] = {};
    Fahrzeug vehicle;
    Spieler player = playerOne();

    SpielerTest() {
        vehicle.setName("p1");
        vehicle.setOwner(&player);
    }

    // One step of control; the shell, if any, belongs to the test.
    std::unique_ptr<Projektil> step(float dt) {
        return std::unique_ptr<Projektil>(player.doSomething(&vehicle, keys, dt));
    }

    void expectDriveKeys(bool forward, bool backward, bool left, bool right) const {
        EXPECT_EQ(vehicle.getKeyForward(), forward);
        EXPECT_EQ(vehicle.getKeyBackward(), backward);
        EXPECT_EQ(vehicle.getKeyLeft(), left);
        EXPECT_EQ(vehicle.getKeyRight(), right);
    }
};

TEST_F(SpielerTest, TheConstructorTakesForwardBackwardLeftRightShootAndTheDefaultOwnerType) {
    EXPECT_EQ(player.getUpKey(), 's');
    EXPECT_EQ(player.getDownKey(), 'x');
    EXPECT_EQ(player.getLeftKey(), 'z');
    EXPECT_EQ(player.getRightKey(), 'c');
    EXPECT_EQ(player.getShootKey(), 'a');
    EXPECT_EQ(player.getOwnerTyp(), Owner::kTypDefault);
    EXPECT_TRUE(player.getName().empty());
}

TEST_F(SpielerTest, TheDriveKeysFollowTheKeyTableEveryStep) {
    keys['s'] = true;
    step(0.1f);
    expectDriveKeys(true, false, false, false);

    keys['s'] = false;
    keys['x'] = true;
    keys['z'] = true;
    step(0.1f);
    expectDriveKeys(false, true, true, false);

    keys['x'] = false;
    keys['z'] = false;
    keys['c'] = true;
    keys['S'] = true; // another code: not this player's key
    step(0.1f);
    expectDriveKeys(false, false, false, true);

    keys['c'] = false;
    step(0.1f);
    expectDriveKeys(false, false, false, false);
}

TEST_F(SpielerTest, HoldingShootFiresOncePerShootDelayFromOneSecondAfterTheStart) {
    keys['a'] = true;
    std::vector<float> shotTimes;
    const float dt = 0.125f; // exact in binary, so the countdown meets 0 exactly
    for (int i = 1; i <= 28; ++i) {
        if (step(dt) != nullptr) {
            shotTimes.push_back(i * dt);
        }
    }
    // The countdown is lowered after the shot request, so a shot leaves in the step after it ran out.
    ASSERT_EQ(shotTimes.size(), 3u);
    EXPECT_FLOAT_EQ(shotTimes[0], 1.125f);
    EXPECT_FLOAT_EQ(shotTimes[1], 2.125f);
    EXPECT_FLOAT_EQ(shotTimes[2], 3.125f);
    EXPECT_EQ(vehicle.getShotCount(), 3);
}

TEST_F(SpielerTest, TheWeaponReloadsWhetherOrNotTheShootKeyIsHeld) {
    step(0.25f);
    EXPECT_FLOAT_EQ(vehicle.getWeapon()->getReloadTime(), 0.75f);
    step(0.75f);
    keys['a'] = true;
    EXPECT_NE(step(0.125f), nullptr);
    EXPECT_FLOAT_EQ(vehicle.getWeapon()->getReloadTime(), 0.875f); // the shot's delay, then reloading
}

TEST_F(SpielerTest, KeysAboveTheAsciiRangeUseTheirOwnEntriesAndMissingInputDoesNothing) {
    Spieler keypad(200, 201, 202, 203, 255);
    Fahrzeug other;
    keys[200] = true;
    keys[255] = true;
    other.getWeapon()->setReloadTime(0.0f);
    std::unique_ptr<Projektil> shot(keypad.doSomething(&other, keys, 0.1f));
    EXPECT_NE(shot, nullptr);
    EXPECT_TRUE(other.getKeyForward());
    EXPECT_FALSE(other.getKeyBackward());
    // Code 200 as a signed byte would be -56: no entry below the table may be read.
    keys[200] = false;
    keys[255] = false;
    keypad.doSomething(&other, keys, 0.1f);
    EXPECT_FALSE(other.getKeyForward());

    EXPECT_EQ(player.doSomething(nullptr, keys, 0.1f), nullptr);
    vehicle.setKeyForward(true);
    EXPECT_EQ(player.doSomething(&vehicle, nullptr, 0.1f), nullptr);
    EXPECT_FALSE(vehicle.getKeyForward());
}

} // namespace
