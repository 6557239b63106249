// The battle's state hash: one number that two runs of the same battle agree on at every tick.
#include "game/BattleWorld.h"

#include "ai/AiMemory.h"
#include "math/StateHash.h"
#include "objects/AiData.h"
#include "objects/CPowerUp.h"
#include "objects/Fahrzeug.h"
#include "objects/PowerUpObject.h"
#include "objects/Projektil.h"
#include "objects/Weapon.h"

#include <random>

namespace {

// The vehicle a memory refers to, by its place in the session's list: pointers differ between runs.
int indexOf(const std::vector<Fahrzeug *> &vehicles, const void *vehicle) {
    for (std::size_t i = 0; i < vehicles.size(); ++i)
        if (vehicles[i] == vehicle)
            return static_cast<int>(i);
    return -1;
}

void addMemory(StateHash &hash, const AiMemory &memory, const std::vector<Fahrzeug *> &vehicles) {
    hash.add(static_cast<int>(memory.state));
    hash.add(memory.started);
    std::mt19937 next = memory.rng; // its next draw stands for its whole sequence
    hash.add(static_cast<std::uint64_t>(next()));
    hash.add(indexOf(vehicles, memory.target));
    hash.add(memory.targetVisible);
    hash.add(memory.targetHeard);
    hash.add(memory.lastSeen, 3);
    for (float value : {memory.startTime, memory.lastSeenTime, memory.seenSince, memory.nextLook,
                        memory.aimOffset, memory.goalTime, memory.waitUntil, memory.progressTime,
                        memory.reverseUntil, memory.dodgeUntil, memory.fireBlockedUntil})
        hash.add(value);
    hash.add(static_cast<std::int64_t>(memory.path.size()));
    for (const AiWaypoint &point : memory.path) {
        hash.add(point.x);
        hash.add(point.z);
    }
    hash.add(static_cast<std::int64_t>(memory.pathIndex));
    hash.add(memory.wantsPath);
    hash.add(memory.hasGoal);
    hash.add(memory.goal, 2);
    hash.add(memory.goalBasis, 2);
    hash.add(memory.repairSpot, 2);
    hash.add(memory.progressPos, 2);
    hash.add(memory.dodgeForward);
    hash.add(memory.pathsPlanned);
    hash.add(memory.shotsFired);
}

} // namespace

std::uint64_t BattleWorld::stateHash() const {
    StateHash hash;
    hash.add(static_cast<std::int64_t>(tickCount));
    hash.add(static_cast<std::int64_t>(battleTicks));
    hash.add(static_cast<int>(outcome));
    for (int player = 0; player < kMaxPlayers; ++player)
        hash.add(scores.get(player));
    for (const Fahrzeug *vehicle : fahrzeuge) {
        hash.add(vehicle->getName());
        hash.add(vehicle->getSide());
        hash.add(vehicle->getPos(), 3);
        hash.add(vehicle->getRotY());
        hash.add(vehicle->getSpeed());
        hash.add(vehicle->getThrottle());
        hash.add(vehicle->getTurn());
        hash.add(vehicle->getLife());
        hash.add(vehicle->getStatus());
        hash.add(vehicle->getDeathTimer());
        hash.add(vehicle->getShotCount());
        if (const Weapon *weapon = vehicle->getWeapon())
            hash.add(weapon->getReloadTime());
        for (const auto &effect : vehicle->getPowerUps()) {
            hash.add(effect->getEffect());
            hash.add(effect->getSecondsLeft());
        }
        if (const AiData *ai = vehicle->getAiData())
            addMemory(hash, ai->getMemory(), fahrzeuge);
    }
    for (const Projektil *shot : projektile) {
        hash.add(shot->getActorName());
        hash.add(shot->getPos(), 3);
        hash.add(shot->getStatus());
        hash.add(shot->getTTL());
    }
    for (const auto &powerUp : powerUpField.getPowerUps()) {
        hash.add(powerUp->isAvailable());
        hash.add(powerUp->getRespawnLeft());
        hash.add(powerUp->getTimeToLife());
    }
    physics.addToHash(hash);
    return hash.get();
}
