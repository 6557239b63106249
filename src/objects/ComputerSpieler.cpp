#include "objects/ComputerSpieler.h"

#include "ai/TankBrain.h"
#include "config/CPowerUpData.h"
#include "objects/AiData.h"
#include "objects/Fahrzeug.h"
#include "objects/PowerUpObject.h"
#include "objects/Projektil.h"
#include "objects/Weapon.h"
#include "physics/PhysXAccess.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>

ComputerSpieler::ComputerSpieler() {
    setOwnerTyp(kTypComputer);
}

ComputerSpieler::ComputerSpieler(const std::vector<Fahrzeug *> *vehicles,
                                 const std::vector<Projektil *> *projectiles)
    : ComputerSpieler() {
    setLists(vehicles, projectiles);
}

void ComputerSpieler::setLists(const std::vector<Fahrzeug *> *vehicleList,
                               const std::vector<Projektil *> *projectileList) {
    vehicles = vehicleList;
    projectiles = projectileList;
}

void ComputerSpieler::setDifficulty(AiDifficulty value, bool drivesPlayers) {
    difficulty = value;
    skill = drivesPlayers ? AiSkill::forDifficulty(value) : AiSkill::forComputer(value);
    playersAllied = drivesPlayers;
}

void ComputerSpieler::startLevel(const Level &level, const std::vector<LvlObject *> &objects,
                                 PhysXAccess *physics) {
    AiData::s_AiLevelAnalysis.makeAiObstacleMap(level, objects, *physics, navigator.getGrid());
    rays = PhysicsRayCaster(physics);
    this->physics = physics;
    world = AiWorld();
    acted.clear();
    snapshotTaken = false;
}

void ComputerSpieler::startArena(float minX, float minZ, float maxX, float maxZ,
                                 const std::vector<AiBox> &boxes, PhysXAccess *physics,
                                 const std::function<float(float, float)> &height) {
    navigator.getGrid().build(minX, minZ, maxX, maxZ, boxes, height);
    rays = PhysicsRayCaster(physics);
    this->physics = physics;
    world = AiWorld();
    acted.clear();
    snapshotTaken = false;
}

bool ComputerSpieler::isEnemy(const Fahrzeug *vehicle, const Fahrzeug *other) const {
    return vehicle != nullptr && other != nullptr && other != vehicle &&
           Sides::opposed(vehicle->getSide(), other->getSide());
}

void ComputerSpieler::allyPlayersWhileTheComputerStands() {
    const bool computerStands = std::any_of(world.tanks.begin(), world.tanks.end(), [](const AiTankView &t) {
        return t.alive && t.side == Sides::kComputer;
    });
    if (!computerStands)
        return;
    for (AiTankView &t : world.tanks)
        if (t.side >= 0 && t.side != Sides::kComputer)
            t.side = 0;
}

void ComputerSpieler::takeSnapshot(float dt) {
    world.time += snapshotTaken ? dt : 0.0f;
    world.dt = dt;
    world.tanks.clear();
    world.shells.clear();
    world.repairs.clear();
    acted.clear();
    snapshotTaken = true;
    navigator.beginStep();
    if (vehicles == nullptr) {
        return;
    }
    for (const Fahrzeug *v : *vehicles) {
        AiTankView t;
        t.id = static_cast<int>(world.tanks.size());
        for (int i = 0; i < 3; ++i) {
            t.pos[i] = v->getPos()[i];
        }
        if (physics != nullptr && physics->hasActor(v->getActorName())) {
            physics->getActorVelocity(v->getActorName(), t.vel);
        } else {
            // A vehicle without a session moves only by its speed value.
            for (int i = 0; i < 3; ++i) {
                t.vel[i] = v->getMoveDirection()[i] * v->getSpeed();
            }
        }
        t.heading = v->getRotY();
        t.turningRate = v->getTurningrate();
        v->getPosMuendung(t.muzzle);
        const Weapon *weapon = v->getWeapon();
        t.shellSpeed = (weapon != nullptr ? weapon->getSpeed() : 20.0f) + v->getSpeed();
        t.life = v->getLife();
        t.maxLife = static_cast<int>(v->getMaxLife());
        t.side = v->getSide();
        t.alive =
            v->getStatus() != Fahrzeug::kStatusExploding && v->getStatus() != Fahrzeug::kStatusDestroyed;
        t.weaponReady = weapon != nullptr && weapon->isReady();
        t.object = v;
        if (const AiData *ai = v->getAiData()) {
            // A tank that closes in without seeing its enemy (lost, or stuck behind a wall) holds
            // no place in the pack.
            const AiMemory &memory = ai->getMemory();
            if (memory.state == AiState::Attack || (memory.state == AiState::Approach && memory.targetVisible))
                t.engaging = memory.target;
        }
        world.tanks.push_back(t);
    }
    if (playersAllied)
        allyPlayersWhileTheComputerStands();
    if (powerUps != nullptr) {
        for (const std::unique_ptr<PowerUpObject> &powerUp : *powerUps) {
            if (powerUp->isAvailable() && powerUp->getType() != nullptr &&
                powerUp->getType()->getTyp() == CPowerUpData::kRepair) {
                AiRepairView kit;
                std::copy(powerUp->getPos(), powerUp->getPos() + 3, kit.pos);
                world.repairs.push_back(kit);
            }
        }
    }
    if (projectiles == nullptr) {
        return;
    }
    for (const Projektil *p : *projectiles) {
        if (p == nullptr || p->getStatus() != Projektil::kStatusFlying) {
            continue;
        }
        AiShellView s;
        for (int i = 0; i < 3; ++i) {
            s.pos[i] = p->getPos()[i];
            s.vel[i] = p->getMoveDirection()[i] * p->getSpeed();
        }
        s.shooterId = indexOf(p->getFahrzeug());
        world.shells.push_back(s);
    }
}

namespace {

// FNV-1a: the same number for a name on every platform.
std::uint32_t nameHash(const std::string &name) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : name) {
        h = (h ^ c) * 16777619u;
    }
    return h;
}

} // namespace

int ComputerSpieler::indexOf(const Fahrzeug *vehicle) const {
    for (std::size_t i = 0; i < world.tanks.size(); ++i) {
        if (world.tanks[i].object == vehicle) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

Projektil *ComputerSpieler::doSomething(Fahrzeug *vehicle, const PlayerInput & /*input*/, float dt) {
    if (vehicle == nullptr) {
        return nullptr;
    }
    Projektil *shot = nullptr;
    if (AiData *ai = vehicle->getAiData()) {
        // A vehicle that acts a second time on the same snapshot starts a new step.
        if (!snapshotTaken || acted.count(vehicle) != 0 || indexOf(vehicle) < 0) {
            takeSnapshot(dt);
        }
        acted[vehicle] = 1;
        const int self = indexOf(vehicle);
        if (self >= 0) {
            AiMemory &memory = ai->getMemory();
            if (!memory.started) {
                memory.rng.seed(seed * 2654435761u ^ nameHash(vehicle->getName()));
            }
            const AiCommand command = TankBrain::think(world, self, memory, skill, rays, navigator);
            vehicle->setDrive((command.forward ? 1.0f : 0.0f) - (command.backward ? 1.0f : 0.0f), 0.0f);
            if (command.turn != 0.0f) {
                vehicle->setRotY(vehicle->getRotY() + command.turn);
            }
            if (command.fire) {
                shot = vehicle->shoot();
                if (shot != nullptr) {
                    ++memory.shotsFired;
                    TankBrain::drawAimOffset(memory, skill);
                }
            }
        }
    }
    if (Weapon *weapon = vehicle->getWeapon()) {
        weapon->reload(dt / skill.reloadFactor);
    }
    return shot;
}
