#include "objects/HitRule.h"

#include "objects/Fahrzeug.h"
#include "objects/Projektil.h"

#include <utility>

HitRule::HitRule(const std::vector<Projektil *> &projectileList, const std::vector<Fahrzeug *> &vehicleList,
                 Observer hitObserver)
    : projectiles(&projectileList), vehicles(&vehicleList), observer(std::move(hitObserver)) {}

bool HitRule::operator()(SpielObject *first, SpielObject *second) const {
    // The pair comes projectile first as armed; the other order is taken too.
    Projektil *shell = findProjektil(first);
    Fahrzeug *vehicle = findFahrzeug(second);
    if (shell == nullptr || vehicle == nullptr) {
        shell = findProjektil(second);
        vehicle = findFahrzeug(first);
    }
    if (shell == nullptr || vehicle == nullptr) {
        return false;
    }
    const int lifeBefore = vehicle->getLife();
    const Fahrzeug *shooter = findFahrzeug(shell->getFahrzeug()); // a shooter already gone is never read
    if (!shell->onHit(vehicle)) {
        return false;
    }
    if (observer) {
        observer(shooter, vehicle, lifeBefore > 0 && vehicle->getLife() <= 0);
    }
    return true;
}

Projektil *HitRule::findProjektil(const SpielObject *object) const {
    if (object == nullptr) {
        return nullptr;
    }
    // Comparing as SpielObject pointers needs no cast of the unknown object.
    for (Projektil *p : *projectiles) {
        if (p != nullptr && static_cast<const SpielObject *>(p) == object) {
            return p;
        }
    }
    return nullptr;
}

Fahrzeug *HitRule::findFahrzeug(const SpielObject *object) const {
    if (object == nullptr) {
        return nullptr;
    }
    for (Fahrzeug *v : *vehicles) {
        if (v != nullptr && static_cast<const SpielObject *>(v) == object) {
            return v;
        }
    }
    return nullptr;
}
