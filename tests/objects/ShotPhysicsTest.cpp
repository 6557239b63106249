// A shell's whole road through a real physics world: key held, player, vehicle, shell, body,
// contact report, hit rule, damage, explosion and removal.
#include "game/GameClass.h"
#include "level/VehicleData.h"
#include "main/InputRules.h"
#include "objects/Fahrzeug.h"
#include "objects/HitRule.h"
#include "objects/Projektil.h"
#include "objects/Spieler.h"
#include "objects/Weapon.h"
#include "particles/ParticleEngine.h"
#include "physics/PhysXAccess.h"
#include "support/ShellSweep.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr float kFrame = 1.0f / 60.0f; // seconds per game step

// Copies the shipped vehicle and weapon tables and the two models a duel needs into `dir`.
const fs::path &shippedData(TempDir &dir) {
    const fs::path source = fs::path(PANZER_SOURCE_DIR) / "data";
    for (const char *file :
         {"config/fahrzeugconfig.ini", "config/fahrzeuge/tank.ini", "config/fahrzeuge/heavytank.ini",
          "config/weaponconfig.ini", "config/weapons/cannon.ini", "model/tank1.md2", "model/bullet.md2"}) {
        dir.write(std::string("data/") + file, TempDir::read(source / file));
    }
    return dir.path();
}

// The parts of a session step that shells take part in, over a real session and its physics.
struct ShotPhysicsTest : ::testing::Test {
    TempDir dir;
    ScopedCwd cwd{shippedData(dir)};
    GameClass gc;
    PhysXAccess &physics = *gc.getPhysXAccess();
    std::vector<Fahrzeug *> &vehicles = gc.getWorld().getFahrzeugvektor();
    std::vector<Projektil *> projectiles;
    bool keys[kKeyCount] = {};
    Spieler gunner{'s', 'x', 'z', 'c', 'a'};
    Spieler idle{'8', '5', '4', '6', '0'};

    // The controls of the vehicle's player as the key table holds them; none for the computer.
    PlayerInput inputOf(const Fahrzeug *v) const {
        const auto *human = dynamic_cast<const Spieler *>(v->getOwner());
        return human != nullptr ? human->readKeys(keys) : PlayerInput{};
    }
    std::vector<std::unique_ptr<Fahrzeug>> owned;

    ShotPhysicsTest() {
        physics.initialPhysX();
        gc.getData().importModells("data/model/");
        physics.setContactHandler(HitRule(projectiles, vehicles));
    }

    ~ShotPhysicsTest() override {
        for (Projektil *p : projectiles) {
            delete p;
        }
        vehicles.clear();
    }

    // A vehicle of `type` standing on the ground at x, z, with its body and its smoke trail.
    Fahrzeug *addVehicle(const std::string &name, const std::string &type, Owner *owner, float x, float z,
                         float heading) {
        VehicleData record;
        record.setName(name);
        record.setFahrzeugTyp(type);
        record.setPos(x, 0.0f, z);
        record.setRotation(heading);
        owned.push_back(std::make_unique<Fahrzeug>(&record, &gc, owner));
        Fahrzeug *v = owned.back().get();
        const Modell *m = v->getModell();
        EXPECT_NE(physics.prepareConvexMesh(m->getVerticesCount(), m->getTrianglesCount(),
                                            m->getAllVertices(), m->getAllTriangles(), name, v->getPos(),
                                            m->getScale(), v->getRotY(), v, false),
                  nullptr);
        v->addPertikleEffekt(new ParticleEngine());
        vehicles.push_back(v);
        return v;
    }

    // One game step: physics (with the contacts of the finished step), owners, the new shells armed
    // against every vehicle, movement, then the shell sweep.
    void step() {
        physics.updateObjects(kFrame);
        for (Fahrzeug *v : vehicles) {
            if (Projektil *shot = v->getOwner()->doSomething(v, inputOf(v), kFrame)) {
                projectiles.push_back(shot);
                for (Fahrzeug *w : vehicles) {
                    physics.setContactReport(shot, w);
                }
            }
        }
        moveAndSweepShells(projectiles, vehicles, kFrame);
    }

    // Steps until `done` holds or `seconds` have passed; true when it held.
    template <typename Done> bool runUntil(float seconds, Done done) {
        for (float t = 0.0f; t < seconds; t += kFrame) {
            step();
            if (done()) {
                return true;
            }
        }
        return false;
    }
};

TEST_F(ShotPhysicsTest, AShellFiredAtATankFifteenUnitsAwayFliesHitsAndCostsItTenLife) {
    Fahrzeug *shooter = addVehicle("p1", "tank", &gunner, 0.0f, 0.0f, 0.0f);
    Fahrzeug *target = addVehicle("cpu1", "tank", &idle, 0.0f, 15.0f, 0.0f);
    shooter->getWeapon()->setReloadTime(0.0f);
    float muzzle[3];
    shooter->getPosMuendung(muzzle);

    keys['a'] = true; // one step with the trigger held
    step();
    keys['a'] = false;
    ASSERT_EQ(projectiles.size(), 1u);
    Projektil *shell = projectiles[0];
    ASSERT_TRUE(physics.hasActor("p1-1"));
    EXPECT_EQ(shell->getModell()->getModel(), gc.getModell("bullet.md2"));
    float v[3];
    ASSERT_TRUE(physics.getActorVelocity("p1-1", v));
    EXPECT_NEAR(v[0], 0.0f, 1e-3);
    EXPECT_NEAR(v[1], 0.0f, 1e-3);
    EXPECT_NEAR(v[2], 20.0f, 1e-3);
    // The body is as large as the drawn shell: about 0.6 long.
    float lo[3];
    float hi[3];
    ASSERT_TRUE(physics.getActorBounds("p1-1", lo, hi));
    const float longest = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]});
    EXPECT_NEAR(longest, 12.0f * Projektil::kScale, 0.1f);

    // In flight it keeps its height: no gravity on shells.
    for (int i = 0; i < 6; ++i) {
        step();
    }
    EXPECT_EQ(shell->getStatus(), Projektil::kStatusFlying);
    EXPECT_GT(shell->getPos()[2], muzzle[2] + 1.0f);
    EXPECT_NEAR(shell->getPos()[0], 0.0f, 0.05f);
    EXPECT_NEAR(shell->getPos()[1] - lo[1], muzzle[1] - lo[1], 0.05f);
    EXPECT_EQ(target->getLife(), 100);

    ASSERT_TRUE(runUntil(1.0f, [&] { return shell->getStatus() != Projektil::kStatusFlying; }));
    EXPECT_EQ(target->getLife(), 90);
    EXPECT_EQ(target->getStatus(), Fahrzeug::kStatusDamaged);
    EXPECT_EQ(shooter->getLife(), 100);
    EXPECT_GT(shell->getPos()[2], 10.0f); // it burst at the target, not at the muzzle

    // The burst shell may touch the target again while its body drifts: no further damage. One
    // explosion time later it is gone, and its body with it.
    ASSERT_TRUE(runUntil(1.5f, [&] { return projectiles.empty(); }));
    EXPECT_EQ(target->getLife(), 90);
    EXPECT_FALSE(physics.hasActor("p1-1"));
    EXPECT_TRUE(physics.hasActor("cpu1"));
}

TEST_F(ShotPhysicsTest, ATankWithoutATurretFiresFromInsideItsOwnHullAndHitsItself) {
    // An unknown type has no turret: the shell starts at the vehicle position, inside its hull.
    Fahrzeug *shooter = addVehicle("p1", "no such type", &gunner, 0.0f, 0.0f, 0.0f);
    Fahrzeug *other = addVehicle("cpu1", "tank", &idle, 0.0f, 15.0f, 0.0f);
    ASSERT_EQ(shooter->getTurm(), nullptr);
    shooter->getWeapon()->setReloadTime(0.0f);
    keys['a'] = true;
    step();
    keys['a'] = false;
    ASSERT_EQ(projectiles.size(), 1u);
    Projektil *shell = projectiles[0];
    ASSERT_TRUE(runUntil(0.5f, [&] { return shell->getStatus() != Projektil::kStatusFlying; }));
    EXPECT_EQ(shooter->getLife(), 90);
    EXPECT_EQ(other->getLife(), 100);
}

} // namespace
