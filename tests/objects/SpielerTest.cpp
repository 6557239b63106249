#include "objects/Spieler.h"

#include "main/InputRules.h"
#include "objects/Fahrzeug.h"
#include "objects/Projektil.h"
#include "objects/Weapon.h"

#include <gtest/gtest.h>

#include <cmath>
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
        return std::unique_ptr<Projektil>(player.doSomething(&vehicle, player.readKeys(keys), dt));
    }

    void expectDrive(float throttle, float turn) const {
        EXPECT_EQ(vehicle.getThrottle(), throttle);
        EXPECT_EQ(vehicle.getTurn(), turn);
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

TEST_F(SpielerTest, TheDriveFollowsTheKeyTableEveryStepAndOpposingKeysCancel) {
    keys['s'] = true;
    step(0.1f);
    expectDrive(1.0f, 0.0f);

    keys['s'] = false;
    keys['x'] = true;
    keys['z'] = true;
    step(0.1f);
    expectDrive(-1.0f, -1.0f); // back, turning left

    keys['x'] = false;
    keys['z'] = false;
    keys['c'] = true;
    keys['S'] = true; // another code: not this player's key
    step(0.1f);
    expectDrive(0.0f, 1.0f);

    keys['s'] = keys['x'] = keys['z'] = true; // ahead and back, left and right: nothing
    step(0.1f);
    expectDrive(0.0f, 0.0f);

    keys['s'] = keys['x'] = keys['z'] = keys['c'] = false;
    step(0.1f);
    expectDrive(0.0f, 0.0f);
}

TEST_F(SpielerTest, InputFromOutsideIsLimitedBeforeItDrives) {
    // A pad or a remote machine may send anything: beyond the range is the range's end, and a value
    // that is not a number is no input at all.
    player.doSomething(&vehicle, PlayerInput{7.0f, -3.0f, false}, 0.1f);
    expectDrive(1.0f, -1.0f);
    player.doSomething(&vehicle, PlayerInput{std::nanf(""), 0.25f, false}, 0.1f);
    expectDrive(0.0f, 0.25f);
    EXPECT_EQ((PlayerInput{-0.5f, 2.0f, true}.limited()), (PlayerInput{-0.5f, 1.0f, true}));
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
    std::unique_ptr<Projektil> shot(keypad.doSomething(&other, keypad.readKeys(keys), 0.1f));
    EXPECT_NE(shot, nullptr);
    EXPECT_EQ(other.getThrottle(), 1.0f);
    // Code 200 as a signed byte would be -56: no entry below the table may be read.
    keys[200] = false;
    keys[255] = false;
    keypad.doSomething(&other, keypad.readKeys(keys), 0.1f);
    EXPECT_EQ(other.getThrottle(), 0.0f);

    EXPECT_EQ(player.doSomething(nullptr, player.readKeys(keys), 0.1f), nullptr);
    EXPECT_EQ(player.readKeys(nullptr), PlayerInput{}); // no table: no key held
}

} // namespace
