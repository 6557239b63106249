#pragma once

// A small battlefield for the computer player's scenario tests: flat ground, boxes standing on it
// as walls and houses, tanks of the shipped type, the real physics and hit rule, and a step that
// runs like the session's.
#include "game/GameClass.h"
#include "level/VehicleData.h"
#include "main/InputRules.h"
#include "objects/AiData.h"
#include "objects/ComputerSpieler.h"
#include "objects/Fahrzeug.h"
#include "objects/HitRule.h"
#include "objects/Projektil.h"
#include "objects/Spieler.h"
#include "objects/Weapon.h"
#include "particles/ParticleEngine.h"
#include "physics/PhysXAccess.h"
#include "physics/PhysicsTestModels.h"
#include "support/ShellSweep.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace ai_test {

constexpr float kFrame = 1.0f / 60.0f; // seconds per game step

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
    GameClass gc;
    PhysXAccess &physics = *gc.getPhysXAccess();
    std::vector<Fahrzeug *> vehicles;
    std::vector<Projektil *> projectiles;
    ComputerSpieler cpu{&vehicles, &projectiles};
    Spieler idle{'8', '5', '4', '6', '0'};
    bool keys[kKeyCount] = {};
    std::vector<std::unique_ptr<Fahrzeug>> owned;
    std::vector<std::string> boxNames;
    int blindShots = 0; // computer shells fired with every enemy out of sight
    int cpuShots = 0;   // computer shells fired

    explicit AiArena(AiDifficulty difficulty = AiDifficulty::Normal, unsigned seed = 1) {
        gc.importModells("data/model/");
        physics.setContactHandler(HitRule(projectiles, vehicles));
        cpu.setDifficulty(difficulty);
        cpu.setSeed(seed);
    }
    ~AiArena() {
        for (Projektil *p : projectiles) {
            delete p;
        }
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

    Fahrzeug *addTank(const std::string &name, Owner *owner, float x, float z, float heading,
                      int life = 100) {
        VehicleData record;
        record.setName(name);
        record.setFahrzeugTyp("tank");
        record.setPos(x, 0.0f, z);
        record.setRotation(heading);
        owned.push_back(std::make_unique<Fahrzeug>(&record, &gc, owner));
        Fahrzeug *v = owned.back().get();
        v->setLife(life);
        v->setSide(owner->getOwnerTyp() == Owner::kTypComputer ? Sides::kComputer : 0); // a human's tank: player one's
        const Modell *m = v->getModell();
        physics.prepareConvexMesh(m->getVerticesCount(), m->getTrianglesCount(), m->getAllVertices(),
                                  m->getAllTriangles(), name, v->getPos(), m->getScale(), v->getRotY(), v,
                                  false);
        v->addPertikleEffekt(new ParticleEngine());
        if (owner->getOwnerTyp() == Owner::kTypComputer ||
            dynamic_cast<ComputerSpieler *>(owner) != nullptr) {
            v->setAiData(new AiData(&physics));
        }
        vehicles.push_back(v);
        return v;
    }

    bool sees(const Fahrzeug *from, const Fahrzeug *to) const {
        const float eye[3] = {from->getPos()[0], from->getPos()[1] + 1.7f, from->getPos()[2]};
        const float hull[3] = {to->getPos()[0], to->getPos()[1] + 1.0f, to->getPos()[2]};
        return !physics.firstStaticHit(eye, hull, nullptr);
    }

    // One game step as the session runs it; every computer shell is checked against the view.
    void step() {
        physics.updateObjects(kFrame);
        for (Fahrzeug *v : vehicles) {
            if (v->getStatus() == Fahrzeug::kStatusDestroyed || v->getOwner() == nullptr) {
                continue;
            }
            const auto *human = dynamic_cast<const Spieler *>(v->getOwner());
            const PlayerInput input = human != nullptr ? human->readKeys(keys) : PlayerInput{};
            Projektil *shot = v->getOwner()->doSomething(v, input, kFrame);
            if (shot == nullptr) {
                continue;
            }
            if (v->getAiData() != nullptr) {
                ++cpuShots;
                bool anyInSight = false;
                for (const Fahrzeug *w : vehicles) {
                    auto *owner = dynamic_cast<ComputerSpieler *>(v->getOwner());
                    anyInSight = anyInSight || (owner->isEnemy(v, w) && sees(v, w));
                }
                blindShots += anyInSight ? 0 : 1;
            }
            projectiles.push_back(shot);
            for (Fahrzeug *w : vehicles) {
                physics.setContactReport(shot, w);
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

} // namespace ai_test
