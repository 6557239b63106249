// Power-ups in a running battle: placing, taking by touch, respawning, and broken records.
#include "game/WorldTestSupport.h"

#include "config/CPowerUpData.h"
#include "objects/PowerUpObject.h"

#include <algorithm>

using namespace worldtest;

namespace {

class PowerUpFieldTest : public WorldSession {
  protected:
    // Power-up types of this test: "repair" (30 points, back after `respawn` seconds) and the
    // shipped defaults of "speed".
    void useTypes(const std::string &respawn) {
        const std::string folder = levels.path().string() + "/";
        levels.write("types/repair.ini", "effect = repair\namount = 30\nrespawn = " + respawn + "\n");
        levels.write("types/speed.ini", "");
        levels.write("types/index.ini", "powerupnam1 = repair\npoweruppath1 = " + folder +
                                            "types/repair.ini\npowerupnam2 = speed\npoweruppath2 = " +
                                            folder + "types/speed.ini\n");
        ASSERT_EQ(gc.importPowerUps(folder + "types/index.ini"), 2u);
    }

    static std::string powerUp(const std::string &name, const std::string &type, float x, float z) {
        return "POWERUP\nPowerUpName=" + name + "\nPowerUpTyp=" + type + "\npos_x=" + std::to_string(x) +
               "\npos_z=" + std::to_string(z) + "\n\n";
    }

    static std::string damaged(std::string record, int life) {
        record.replace(record.find("life=100"), 8, "life=" + std::to_string(life));
        return record;
    }

    // Steps until `text` appears on standard output, at most `steps` of them; the output so far.
    std::string runUntil(const std::string &text, int steps) {
        testing::internal::CaptureStdout();
        for (int i = 0; i < steps; ++i) {
            run(1);
            if (i % 10 == 9) { // peek without losing what was printed
                const std::string out = testing::internal::GetCapturedStdout();
                seen += out;
                if (seen.find(text) != std::string::npos)
                    return seen;
                testing::internal::CaptureStdout();
            }
        }
        seen += testing::internal::GetCapturedStdout();
        return seen;
    }

    std::string seen; // standard output of the steps so far
};

TEST_F(PowerUpFieldTest, ATankDrivingOverARepairTakesItAndItComesBackAfterItsRespawnTime) {
    useTypes("1.5");
    ASSERT_TRUE(start("kit.lvl", damaged(vehicle("player1", "spieler1", 0, -6, 0), 40) +
                                     powerUp("kit", "repair", 0, 0)));
    EXPECT_EQ(startErr, "");
    ASSERT_EQ(gc.getWorld().getPowerUpField().getPowerUps().size(), 1u);
    const PowerUpObject &kit = *gc.getWorld().getPowerUpField().getPowerUps()[0];
    EXPECT_NEAR(kit.getPos()[1], 0.4f, 1e-4f); // no pos_y: just above the flat ground
    drawFrame();
    run(10);
    EXPECT_TRUE(kit.isAvailable());
    keys[kUp1] = true;
    const std::string out = runUntil("Power-up repair taken", 180);
    EXPECT_NE(out.find("Power-up repair taken by player1: life 40 -> 70\n"), std::string::npos) << out;
    EXPECT_EQ(gc.getWorld().getPlayer1Vehicle()->getLife(), 70);
    EXPECT_FALSE(kit.isAvailable());
    run(60); // on, away from the kit's place
    keys[kUp1] = false;

    const std::string later = runUntil("Power-up repair back", 180);
    EXPECT_NE(later.find("Power-up repair back at 0.0, 0.0\n"), std::string::npos) << later;
    EXPECT_TRUE(kit.isAvailable());
}

TEST_F(PowerUpFieldTest, OfTwoTanksTouchingAPowerUpOnlyOneTakesIt) {
    useTypes("30");
    levels.write("types/repair.ini", "effect = repair\namount = 30\nradius = 2.5\n");
    ASSERT_EQ(gc.importPowerUps(levels.path().string() + "/types/index.ini"), 2u);
    ASSERT_TRUE(start("two.lvl", damaged(vehicle("player1", "spieler1", -2.5f, 0, 0), 40) +
                                     damaged(vehicle("player2", "spieler2", 2.5f, 0, 0), 40) +
                                     powerUp("kit", "repair", 0, 0)));
    drawFrame();
    const std::string out = runUntil("Power-up repair taken", 60);
    run(30);
    EXPECT_EQ(gc.getWorld().getPlayer1Vehicle()->getLife() + gc.getWorld().getPlayer2Vehicle()->getLife(), 40 + 70) << out;
    EXPECT_EQ(out.find("Power-up repair taken"), out.rfind("Power-up repair taken")) << out;
}

TEST_F(PowerUpFieldTest, ComputerTanksTakePowerUpsAndTimedEffectsRunOut) {
    useTypes("30");
    ASSERT_TRUE(start("cpu.lvl", vehicle("player1", "spieler1", -25, -25, 0) +
                                     vehicle("cpu1", "cpu", 20, 20, 0) + powerUp("boost", "speed", 20, 20)));
    drawFrame();
    const std::string out = runUntil("Power-up speed taken by cpu1", 30);
    EXPECT_NE(out.find("Power-up speed taken by cpu1: speed for 15 s\n"), std::string::npos) << out;
    Fahrzeug *cpu = vehicleNamed("cpu1");
    ASSERT_NE(cpu, nullptr);
    EXPECT_FLOAT_EQ(cpu->getPowerUpFactor(CPowerUpData::kSpeed), 1.5f);
    testing::internal::CaptureStdout();
    runFor(15.0f); // one long step: the effect runs out
    const std::string end = testing::internal::GetCapturedStdout();
    EXPECT_NE(end.find("Power-up speed ran out for cpu1\n"), std::string::npos) << end;
    EXPECT_FLOAT_EQ(cpu->getPowerUpFactor(CPowerUpData::kSpeed), 1.0f);
}

TEST_F(PowerUpFieldTest, ARecordOfAnUnknownTypeIsLeftOutWithOneErrorLineAndTheLevelStarts) {
    useTypes("30");
    ASSERT_TRUE(start("typo.lvl", vehicle("player1", "spieler1", 0, 0, 0) + powerUp("a", "repiar", 5, 5) +
                                      powerUp("b", "repair", -5, 5)));
    EXPECT_NE(startErr.find("power-up \"a\" left out: its type \"repiar\" is not in"), std::string::npos)
        << startErr;
    EXPECT_EQ(std::count(startErr.begin(), startErr.end(), '\n'), 1) << startErr;
    ASSERT_EQ(gc.getWorld().getPowerUpField().getPowerUps().size(), 1u);
    EXPECT_EQ(gc.getWorld().getPowerUpField().getPowerUps()[0]->getObjectName(), "b");
    EXPECT_EQ(gc.getPhysXAccess()->getTriggerCount(), 1u);
    drawFrame(); // drawn with its model and glow
}

} // namespace
