#include "objects/ComputerSpieler.h"

#include "objects/AiData.h"
#include "objects/Fahrzeug.h"
#include "objects/Projektil.h"
#include "objects/Weapon.h"

#include <cmath>

namespace {

float distance(const float *a, const float *b) {
    const float dx = a[0] - b[0];
    const float dy = a[1] - b[1];
    const float dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// |aim - the vehicle's movement direction|: 0 when the vehicle heads straight at the target.
float aimError(const Fahrzeug &vehicle, const float *aim) {
    const float *dir = vehicle.getMoveDirection();
    return distance(aim, dir);
}

} // namespace

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

Projektil *ComputerSpieler::doSomething(Fahrzeug *vehicle, bool * /*keys*/, float dt) {
    if (vehicle == nullptr) {
        return nullptr;
    }
    Projektil *shot = nullptr;
    if (vehicle->getAiData() != nullptr) {
        checkStatus(vehicle, dt);
        shot = thinkAboutIt(vehicle, dt);
    }
    if (Weapon *weapon = vehicle->getWeapon()) {
        weapon->reload(dt);
    }
    return shot;
}

bool ComputerSpieler::isEnemy(const Fahrzeug *vehicle, const Fahrzeug *other) const {
    if (other == nullptr || other == vehicle) {
        return false;
    }
    const Owner *owner = other->getOwner();
    return owner != nullptr && owner != this && owner->getOwnerTyp() != kTypComputer;
}

void ComputerSpieler::checkStatus(Fahrzeug *vehicle, float /*dt*/) {
    AiData *ai = vehicle != nullptr ? vehicle->getAiData() : nullptr;
    if (ai == nullptr) {
        return;
    }
    const float *own = vehicle->getPos();

    float enemy = kFar;
    if (vehicles != nullptr) {
        for (const Fahrzeug *other : *vehicles) {
            if (isEnemy(vehicle, other)) {
                const float d = distance(own, other->getPos());
                if (d <= enemy) {
                    enemy = d;
                }
            }
        }
    }
    // The last foreign shell in the list counts, not the nearest: shells are listed in the order
    // fired, so this is the newest one.
    float shell = kFar;
    if (projectiles != nullptr) {
        for (const Projektil *p : *projectiles) {
            if (p != nullptr && p->getFahrzeug() != vehicle) {
                shell = distance(own, p->getPos());
            }
        }
    }

    const float r = ai->getActionRadius();
    switch (ai->getStatus()) {
    case AiData::kStatusWaiting:
    case AiData::kStatusLostContact:
        if (enemy <= r) {
            ai->setStatus(AiData::kStatusAttack);
        } else if (shell <= r) {
            ai->setStatus(AiData::kStatusProjectileNear);
        }
        break;
    case AiData::kStatusProjectileNear:
        if (enemy > r) {
            ai->setStatus(AiData::kStatusLostContact);
        }
        break;
    case AiData::kStatusAttack:
        if (enemy > 2.0f * r) {
            ai->setStatus(AiData::kStatusLostContact);
        }
        break;
    default:
        break;
    }
}

Projektil *ComputerSpieler::thinkAboutIt(Fahrzeug *vehicle, float dt) {
    AiData *ai = vehicle != nullptr ? vehicle->getAiData() : nullptr;
    if (ai == nullptr || ai->getStatus() != AiData::kStatusAttack || vehicles == nullptr) {
        return nullptr;
    }
    const float *own = vehicle->getPos();
    float muzzle[3];
    vehicle->getPosMuendung(muzzle);

    // The nearest visible enemy; of two at the same distance the later one in the list.
    const Fahrzeug *target = nullptr;
    float best = kFar;
    for (const Fahrzeug *other : *vehicles) {
        if (!isEnemy(vehicle, other) || !ai->checkLineOfSight(muzzle, other->getPos())) {
            continue;
        }
        const float d = distance(own, other->getPos());
        if (d <= best) {
            best = d;
            target = other;
        }
    }
    // A target on the vehicle's own position gives no direction to aim at.
    if (target == nullptr || !(best > 0.0f)) {
        return nullptr;
    }

    const float *at = target->getPos();
    const float aim[3] = {(at[0] - own[0]) / best, (at[1] - own[1]) / best, (at[2] - own[2]) / best};
    const float error = aimError(*vehicle, aim);
    if (error < kAimTolerance && vehicle->getWeapon() != nullptr && vehicle->getWeapon()->isReady()) {
        return vehicle->shoot();
    }

    // One step to the left; if that does not help, one to the right of the start; else back.
    const float step = vehicle->getTurningrate() * dt;
    vehicle->setRotY(vehicle->getRotY() + step);
    if (aimError(*vehicle, aim) < error) {
        return nullptr;
    }
    vehicle->setRotY(vehicle->getRotY() - 2.0f * step);
    if (aimError(*vehicle, aim) < error) {
        return nullptr;
    }
    vehicle->setRotY(vehicle->getRotY() + step);
    return nullptr;
}
