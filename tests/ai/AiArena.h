#pragma once

// A small battlefield for the computer player's scenario tests: flat ground, boxes standing on it
// as walls and houses, tanks of the shipped type, and the battle's own tick (physics, hit rule,
// sweeps) to run it.
#include "game/GameClass.h"
#include "level/VehicleData.h"
#include "main/InputRules.h"
#include "objects/AiData.h"
#include "objects/ComputerSpieler.h"
#include "objects/Fahrzeug.h"
#include "objects/Projektil.h"
#include "objects/Spieler.h"
#include "objects/Weapon.h"
#include "particles/ParticleEngine.h"
#include "physics/PhysXAccess.h"
#include "physics/PhysicsTestModels.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace ai_test {


inline const std::filesystem::path &arenaData(TempDir &dir) {
    const std::filesystem::path source = std::filesystem::path(PANZER_SOURCE_DIR) / "data";
    for (const char *file :
         {"config/fahrzeugconfig.ini", "config/fahrzeuge/tank.ini", "config/fahrzeuge/heavytank.ini",
          "config/weaponconfig.ini", "config/weapons/cannon.ini", "model/tank1.md2", "model/bullet.md2"}) {
        dir.write(std::string("data/") + file, TempDir::read(source / file));
    }
    return dir.path();
}

struct AiArena {
    static constexpr float kHalf = 40.0f; // the arena spans -40..40 in x and z

    TempDir dir;
    ScopedCwd cwd{arenaData(dir)};
    GameClass gc; // the battle's own tick runs the arena; it owns the tanks and shells
    PhysXAccess &physics = *gc.getPhysXAccess();
    std::vector<Fahrzeug *> &vehicles = gc.getWorld().getFahrzeugvektor();
    std::vector<Projektil *> &projectiles = gc.getWorld().getProjektilvektor();
    ComputerSpieler &cpu = *gc.getWorld().getComputerSpieler();
    Spieler idle{'8', '5', '4', '6', '0'};
    bool keys[kKeyCount] = {};
    std::vector<std::string> boxNames;
    std::set<std::string> shellsSeen; // shells already counted below
    int humans = 0;     // human tanks so far: each is a player's side of its own
    int blindShots = 0; // computer shells fired with every enemy out of sight
    int cpuShots = 0;   // computer shells fired

    explicit AiArena(AiDifficulty difficulty = AiDifficulty::Normal, unsigned seed = 1) {
        gc.getData().importModells("data/model/");
        cpu.setDifficulty(difficulty);
        cpu.setSeed(seed);
    }

    // A static box centred on (x, z): width along x, depth along z, height up.
    void addBox(const std::string &name, float x, float z, float width, float depth, float height) {
        const float largest = std::max({width, depth, height});
        const float scale = largest / (250.0f * 0.048f);
        auto bytes = [scale](float size) {
            return static_cast<std::uint8_t>(std::lround(size / (0.048f * scale)));
        };
        const std::vector<Md2Vertex> corners =
            PhysicsTestModels::box(0, bytes(width), 0, bytes(depth), 0, bytes(height));
        const float pos[3] = {x, 0.0f, z};
        ASSERT_NE(physics.prepareConvexMesh(static_cast<int>(corners.size()), 0, corners.data(), nullptr,
                                            name, pos, scale, 0.0f, nullptr, true),
                  nullptr);
        boxNames.push_back(name);
    }

    // Builds the computer player's map from the boxes; call after the last box.
    void ready() {
        std::vector<AiBox> boxes;
        for (const std::string &name : boxNames) {
            float lo[3], hi[3];
            physics.getActorBounds(name, lo, hi);
            boxes.push_back(AiBox{lo[0], lo[2], hi[0], hi[2], hi[1]});
        }
        cpu.startArena(-kHalf, -kHalf, kHalf, kHalf, boxes, &physics);
    }

    // A tank of the shipped type. A computer owner's tank fights for the computer's side; a human
    // owner's for player one's side, the next one's for player two's.
    Fahrzeug *addTank(const std::string &name, Owner *owner, float x, float z, float heading,
                      int life = 100) {
        VehicleData record;
        record.setName(name);
        record.setFahrzeugTyp("tank");
        record.setPos(x, 0.0f, z);
        record.setRotation(heading);
        auto *v = new Fahrzeug(&record, &gc, owner);
        v->setLife(life);
        const bool computer = owner->getOwnerTyp() == Owner::kTypComputer;
        v->setSide(computer ? Sides::kComputer : humans++);
        const Modell *m = v->getModell();
        physics.prepareConvexMesh(m->getVerticesCount(), m->getTrianglesCount(), m->getAllVertices(),
                                  m->getAllTriangles(), name, v->getPos(), m->getScale(), v->getRotY(), v,
                                  false);
        v->addPertikleEffekt(new ParticleEngine());
        if (computer)
            v->setAiData(new AiData(&physics));
        vehicles.push_back(v);
        return v;
    }

    bool sees(const Fahrzeug *from, const Fahrzeug *to) const {
        const float eye[3] = {from->getPos()[0], from->getPos()[1] + 1.7f, from->getPos()[2]};
        const float hull[3] = {to->getPos()[0], to->getPos()[1] + 1.0f, to->getPos()[2]};
        return !physics.firstStaticHit(eye, hull, nullptr);
    }

    // One tick of the battle, each human tank driven by its owner's keys in `keys`; every new
    // computer shell is checked against the view its tank had.
    void step() {
        TickInput input;
        for (const Fahrzeug *v : vehicles)
            if (const auto *human = dynamic_cast<const Spieler *>(v->getOwner()))
                if (Sides::isPlayer(v->getSide()))
                    input[static_cast<std::size_t>(v->getSide())] = human->readKeys(keys);
        gc.tick(input);
        for (const Projektil *shot : projectiles) {
            const Fahrzeug *shooter = shot->getFahrzeug();
            if (!shellsSeen.insert(shot->getActorName()).second || shooter == nullptr ||
                shooter->getAiData() == nullptr)
                continue;
            ++cpuShots;
            bool anyInSight = false;
            for (const Fahrzeug *w : vehicles)
                anyInSight = anyInSight || (cpu.isEnemy(shooter, w) && sees(shooter, w));
            blindShots += anyInSight ? 0 : 1;
        }
    }

    // Steps until `done` holds or `seconds` have passed; true when it held.
    template <typename Done> bool runUntil(float seconds, Done done) {
        for (float t = 0.0f; t < seconds; t += GameClass::kTickSeconds) {
            step();
            if (done()) {
                return true;
            }
        }
        return false;
    }
};

} // namespace ai_test
