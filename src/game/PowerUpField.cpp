#include "game/PowerUpField.h"

#include "config/CPowerUpData.h"
#include "level/LevelPowerUpData.h"
#include "objects/Fahrzeug.h"
#include "objects/PowerUpObject.h"
#include "physics/CTriggerCallback.h"
#include "physics/PhysXAccess.h"

#include <cstdio>

PowerUpField::~PowerUpField() {
    clear();
}

void PowerUpField::clear() {
    for (const std::unique_ptr<PowerUpObject> &powerUp : powerUps) {
        physics->releaseTrigger(powerUp->getActorName());
    }
    powerUps.clear();
}

PowerUpObject *PowerUpField::place(const LevelPowerUpData &record, const CPowerUpData *type,
                                   const float *base) {
    auto powerUp = std::make_unique<PowerUpObject>(base, 3600.0f, type);
    powerUp->setObjectName(record.getName());
    // Trigger names cannot clash with body names: no level name holds a '#'.
    powerUp->setActorName("powerup#" + std::to_string(powerUps.size()) + "#" + record.getName());
    float centre[3];
    powerUp->getTriggerCentre(centre);
    physics->addTrigger(powerUp->getActorName(), centre, powerUp->getTriggerRadius(), powerUp.get());
    powerUps.push_back(std::move(powerUp));
    return powerUps.back().get();
}

const float *PowerUpField::onTouch(SpielObject *trigger, SpielObject *other, int status,
                                   const std::vector<Fahrzeug *> &vehicles) {
    if (status == CTriggerCallback::kLeaving) {
        return nullptr;
    }
    PowerUpObject *powerUp = nullptr;
    for (const std::unique_ptr<PowerUpObject> &candidate : powerUps) {
        if (static_cast<SpielObject *>(candidate.get()) == trigger) {
            powerUp = candidate.get();
        }
    }
    Fahrzeug *tank = nullptr;
    for (Fahrzeug *vehicle : vehicles) {
        if (static_cast<SpielObject *>(vehicle) == other) {
            tank = vehicle;
        }
    }
    if (powerUp == nullptr || tank == nullptr || !powerUp->isAvailable() || powerUp->getType() == nullptr) {
        return nullptr;
    }
    const CPowerUpData &type = *powerUp->getType();
    const int lifeBefore = tank->getLife();
    if (!tank->takePowerUp(type)) {
        return nullptr;
    }
    powerUp->take();
    physics->setTriggerArmed(powerUp->getActorName(), false);
    if (type.getTyp() == CPowerUpData::kRepair) {
        std::printf("Power-up %s taken by %s: life %d -> %d\n", type.getName().c_str(),
                    tank->getName().c_str(), lifeBefore, tank->getLife());
    } else {
        std::printf("Power-up %s taken by %s: %s for %.0f s\n", type.getName().c_str(),
                    tank->getName().c_str(), CPowerUpData::effectName(type.getTyp()), type.getDuration());
    }
    std::fflush(stdout);
    return powerUp->getPos();
}

void PowerUpField::step(float dt, const std::vector<Fahrzeug *> &vehicles) {
    for (const std::unique_ptr<PowerUpObject> &powerUp : powerUps) {
        if (powerUp->step(dt)) {
            physics->setTriggerArmed(powerUp->getActorName(), true);
            const float *pos = powerUp->getPos();
            std::printf("Power-up %s back at %.1f, %.1f\n",
                        powerUp->getType() != nullptr ? powerUp->getType()->getName().c_str() : "?", pos[0],
                        pos[2]);
            std::fflush(stdout);
        }
    }
    std::vector<int> expired;
    for (Fahrzeug *vehicle : vehicles) {
        expired.clear();
        vehicle->stepPowerUps(dt, &expired);
        for (int effect : expired) {
            std::printf("Power-up %s ran out for %s\n", CPowerUpData::effectName(effect),
                        vehicle->getName().c_str());
        }
        if (!expired.empty()) {
            std::fflush(stdout);
        }
    }
}
