#include "objects/HitRule.h"

#include "objects/Fahrzeug.h"
#include "objects/Projektil.h"

HitRule::HitRule(const std::vector<Projektil *> &projectileList, const std::vector<Fahrzeug *> &vehicleList)
    : projectiles(&projectileList), vehicles(&vehicleList) {}

bool HitRule::operator()(SpielObject *first, SpielObject *second) const {
    // The pair comes projectile first as armed; the other order is taken too.
    Projektil *shell = findProjektil(first);
    Fahrzeug *vehicle = findFahrzeug(second);
    if (shell == nullptr || vehicle == nullptr) {
        shell = findProjektil(second);
        vehicle = findFahrzeug(first);
    }
    return shell != nullptr && vehicle != nullptr && shell->onHit(vehicle);
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
