#include "objects/ComputerSpieler.h"

#include "config/CPowerUpData.h"
#include "main/InputRules.h"
#include "objects/AiData.h"
#include "objects/Fahrzeug.h"
#include "objects/PowerUpObject.h"
#include "objects/Projektil.h"
#include "objects/Spieler.h"
#include "objects/Weapon.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A computer player over lists the test fills, like the session's vehicle and shell lists; no
// physics, so nothing blocks a view and nothing moves but by turning.
struct ComputerSpielerTest : ::testing::Test {
    std::vector<Fahrzeug *> vehicles;
    std::vector<Projektil *> projectiles;
    ComputerSpieler cpu{&vehicles, &projectiles};
    Spieler human{'s', 'x', 'z', 'c', 'a'};
    std::vector<std::unique_ptr<Fahrzeug>> owned;
    std::vector<std::unique_ptr<Projektil>> shells;

    Fahrzeug *add(Owner *owner, float x, float z, float heading = 0.0f) {
        owned.push_back(std::make_unique<Fahrzeug>());
        Fahrzeug *v = owned.back().get();
        v->setName("v" + std::to_string(owned.size()));
        v->setOwner(owner);
        v->setSide(owner == nullptr                               ? Sides::kNone
                  : owner->getOwnerTyp() == Owner::kTypComputer ? Sides::kComputer
                                                                 : 0);
        const float pos[3] = {x, 0.0f, z};
        v->setPos(pos);
        v->setRotY(heading);
        v->setTurningrate(60.0f);
        if (owner == &cpu) {
            v->setAiData(new AiData());
        }
        vehicles.push_back(v);
        return v;
    }

    // One step of every vehicle's owner; fired shells are kept by the test.
    int stepAll(float dt = 1.0f / 60.0f) {
        int fired = 0;
        for (Fahrzeug *v : vehicles) {
            if (v->getOwner() == nullptr) {
                continue;
            }
            if (Projektil *shot = v->getOwner()->doSomething(v, PlayerInput{}, dt)) {
                shells.emplace_back(shot);
                ++fired;
            }
        }
        return fired;
    }
};

TEST_F(ComputerSpielerTest, WithoutAHumanVehicleNothingIsAttackedAndOddCallersOnlyReload) {
    Fahrzeug *guard = add(&cpu, 0.0f, 0.0f);
    add(&cpu, 0.0f, 5.0f);
    ComputerSpieler secondCpu; // another computer player's vehicle is no enemy either
    add(&secondCpu, 5.0f, 0.0f);
    add(nullptr, 0.0f, -5.0f);
    guard->getWeapon()->setReloadTime(0.0f);
    for (int i = 0; i < 300; ++i) {
        ASSERT_EQ(stepAll(), 0);
    }
    EXPECT_EQ(guard->getAiData()->getState(), AiState::Patrol);

    ComputerSpieler blind;
    Fahrzeug lone;
    lone.setAiData(new AiData());
    EXPECT_EQ(blind.doSomething(&lone, PlayerInput{}, 0.25f), nullptr);
    EXPECT_FLOAT_EQ(lone.getWeapon()->getReloadTime(), 0.75f);
    Fahrzeug plain;
    EXPECT_EQ(cpu.doSomething(&plain, PlayerInput{}, 0.25f), nullptr);
    EXPECT_FLOAT_EQ(plain.getWeapon()->getReloadTime(), 0.75f);
    EXPECT_EQ(cpu.doSomething(nullptr, PlayerInput{}, 0.25f), nullptr);
    EXPECT_TRUE(cpu.isEnemy(guard, vehicles[vehicles.size() - 1]) == false); // no side: no enemy
}

TEST_F(ComputerSpielerTest, ItTurnsAtItsTurningRateAndFiresOnlyOnceItHasReactedAndIsAimed) {
    AiSkill skill = AiSkill::forDifficulty(AiDifficulty::Normal);
    skill.aimErrorDegrees = 0.0f;
    cpu.setSkill(skill);
    Fahrzeug *guard = add(&cpu, 0.0f, 0.0f, 0.0f);
    add(&human, 15.0f, 0.0f); // a quarter turn to the left (heading 90)
    guard->getWeapon()->setReloadTime(0.0f);

    const float dt = 1.0f / 60.0f;
    int firstShot = -1;
    for (int i = 0; i < 180 && firstShot < 0; ++i) {
        const float before = guard->getRotY();
        if (stepAll(dt) > 0) {
            firstShot = i;
        }
        EXPECT_LE(std::fabs(guard->getRotY() - before), 60.0f * dt + 1e-3f);
    }
    ASSERT_GE(firstShot, 0);
    // 90 degrees at 60 per second take 1.5 s, longer than the reaction; a shell 15 units away
    // still meets the target from less than 4 degrees off.
    EXPECT_GE(firstShot, 84);
    EXPECT_NEAR(guard->getRotY(), 90.0f, 4.0f);
    EXPECT_EQ(guard->getAiData()->getState(), AiState::Attack);
    EXPECT_EQ(shells.back()->getFahrzeug(), guard);
    EXPECT_EQ(guard->getAiData()->getMemory().shotsFired, 1);
}

TEST_F(ComputerSpielerTest, OnlyASkilledTankDrivesAsideFromAShellAboutToPassClose) {
    Fahrzeug *gunner = add(&human, -1.0f, -120.0f);
    Fahrzeug *east = add(&cpu, 0.0f, 0.0f, 90.0f);    // facing +x, the shell passes on its -x side
    Fahrzeug *west = add(&cpu, 30.0f, 0.0f, 270.0f);  // facing -x, the shell passes on its +x side
    Fahrzeug *calm = add(&cpu, -30.0f, 30.0f, 90.0f); // the shell passes far from it
    auto shellAt = [&](float x, float z) {
        const float pos[3] = {x, 1.0f, z};
        const float dir[3] = {0.0f, 0.0f, 1.0f};
        shells.push_back(std::make_unique<Projektil>(pos, dir, nullptr, gunner, nullptr, "s"));
        projectiles.push_back(shells.back().get());
    };
    shellAt(-1.0f, -10.0f); // half a second from the east-facing tank
    shellAt(31.0f, -10.0f); // and from the west-facing one
    cpu.setDifficulty(AiDifficulty::Hard);
    stepAll();
    EXPECT_EQ(east->getThrottle(), 1.0f);
    EXPECT_EQ(west->getThrottle(), 1.0f);
    EXPECT_EQ(calm->getAiData()->getMemory().dodgeUntil, 0.0f);
    EXPECT_GT(east->getAiData()->getMemory().dodgeUntil, 0.0f);

    // Easy tanks do not watch shells.
    for (Fahrzeug *v : {east, west}) {
        v->setAiData(new AiData());
    }
    cpu.setDifficulty(AiDifficulty::Easy);
    stepAll();
    EXPECT_EQ(east->getAiData()->getMemory().dodgeUntil, 0.0f);
    EXPECT_EQ(west->getAiData()->getMemory().dodgeUntil, 0.0f);
}

TEST_F(ComputerSpielerTest, TheSameSeedGivesTheSameGameAndAnotherSeedAnother) {
    auto run = [](unsigned seed) {
        std::vector<Fahrzeug *> list;
        std::vector<Projektil *> none;
        ComputerSpieler player(&list, &none);
        player.setSeed(seed);
        Fahrzeug a;
        a.setName("cpu1");
        a.setOwner(&player);
        a.setTurningrate(60.0f);
        a.setAiData(new AiData());
        list.push_back(&a);
        std::string trace;
        for (int i = 0; i < 240; ++i) {
            player.doSomething(&a, PlayerInput{}, 1.0f / 60.0f);
            trace += std::to_string(static_cast<int>(a.getRotY() * 10.0f)) + (a.getThrottle() > 0 ? "f" : "-");
        }
        return trace;
    };
    EXPECT_EQ(run(7), run(7));
    EXPECT_NE(run(7), run(8));
}

} // namespace

namespace {

TEST_F(ComputerSpielerTest, ADamagedTankDrivesToARepairItSeesAndAHealthyOneDoesNot) {
    CPowerUpData repair;
    repair.setEffectWithDefaults(CPowerUpData::kRepair);
    std::vector<std::unique_ptr<PowerUpObject>> powerUps;
    const float far[3] = {60.0f, 0.0f, 0.0f}, near[3] = {0.0f, 0.0f, 12.0f};
    powerUps.push_back(std::make_unique<PowerUpObject>(far, 3600.0f, &repair)); // out of sight
    powerUps.push_back(std::make_unique<PowerUpObject>(near, 3600.0f, &repair));
    cpu.setPowerUps(&powerUps);
    Fahrzeug *hurt = add(&cpu, 0.0f, 0.0f);
    Fahrzeug *healthy = add(&cpu, 5.0f, 0.0f);
    hurt->setLife(40);
    for (int i = 0; i < 10; ++i)
        stepAll();
    EXPECT_EQ(hurt->getAiData()->getState(), AiState::Repair);
    const AiMemory &memory = hurt->getAiData()->getMemory();
    EXPECT_FLOAT_EQ(memory.goal[0], 0.0f);
    EXPECT_FLOAT_EQ(memory.goal[1], 12.0f);
    EXPECT_EQ(hurt->getThrottle(), 1.0f); // the kit lies straight ahead
    EXPECT_EQ(healthy->getAiData()->getState(), AiState::Patrol);

    // Once the kit is gone the tank forgets it.
    powerUps[1]->take();
    stepAll();
    EXPECT_NE(hurt->getAiData()->getState(), AiState::Repair);
}

} // namespace

// The brain that drives the players' tanks (the autopilot) fights the computer with all the players
// together, as players sharing a screen do, and their duel only after the last computer tank.
TEST(ComputerSpielerAutopilotTest, ThePlayersFightTheComputerTogetherAndEachOtherOnlyAfter) {
    std::vector<Fahrzeug *> vehicles;
    std::vector<Projektil *> projectiles;
    ComputerSpieler autopilot{&vehicles, &projectiles}, computer{&vehicles, &projectiles};
    autopilot.setDifficulty(AiDifficulty::Normal, true);
    computer.setDifficulty(AiDifficulty::Normal);
    std::vector<std::unique_ptr<Fahrzeug>> owned;
    const auto add = [&](int side, float x) {
        owned.push_back(std::make_unique<Fahrzeug>());
        Fahrzeug *v = owned.back().get();
        v->setName("v" + std::to_string(owned.size()));
        v->setSide(side);
        v->setOwner(side == Sides::kComputer ? &computer : &autopilot);
        v->setAiData(new AiData());
        const float pos[3] = {x, 0.0f, 0.0f};
        v->setPos(pos);
        vehicles.push_back(v);
        return v;
    };
    Fahrzeug *one = add(0, -20);
    add(1, -10);
    Fahrzeug *enemy = add(Sides::kComputer, 20);
    const auto sides = [&](ComputerSpieler &brain) {
        brain.doSomething(one, PlayerInput{}, 1.0f / 60.0f);
        std::vector<int> out;
        for (const AiTankView &t : brain.getWorld().tanks)
            out.push_back(t.side);
        return out;
    };
    EXPECT_EQ(sides(autopilot), (std::vector<int>{0, 0, Sides::kComputer}));
    EXPECT_EQ(sides(computer), (std::vector<int>{0, 1, Sides::kComputer})) << "the computer's own brain sees them apart";
    enemy->addDamage(1000);
    EXPECT_EQ(sides(autopilot), (std::vector<int>{0, 1, Sides::kComputer})) << "then it is a duel";
}
