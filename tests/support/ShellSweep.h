#pragma once

#include "objects/Fahrzeug.h"
#include "objects/Projektil.h"
#include "objects/Weapon.h"

#include <cstddef>
#include <vector>

// The part of a game step after the owners have acted, for worlds built in a
// test: shells and tanks move by one frame, then each shell whose time is up
// bursts (if its weapon bursts) and a burst one is removed.
inline void moveAndSweepShells(std::vector<Projektil *> &projectiles, const std::vector<Fahrzeug *> &vehicles,
                               float dt) {
    for (Projektil *p : projectiles) {
        p->move(dt);
    }
    for (Fahrzeug *v : vehicles) {
        v->move(dt);
    }
    for (std::size_t i = 0; i < projectiles.size();) {
        Projektil *p = projectiles[i];
        if (p->getTTL() > 0.0f) {
            ++i;
        } else if (p->getStatus() == Projektil::kStatusFlying && p->getWeapon()->getExplodiert()) {
            p->explode();
        } else {
            projectiles.erase(projectiles.begin() + static_cast<std::ptrdiff_t>(i));
            delete p;
        }
    }
}
