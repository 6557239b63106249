#include "objects/Weapon.h"

#include <algorithm>

namespace {
const float kDefaultColor[4] = {1.0f, 0.0f, 0.0f, 0.5f}; // red, half transparent
}

Weapon::Weapon()
    : shootDelay(1.0f), reloadTime(1.0f), speed(20.0f), weaponPower(0.0f), muendungsFeuer(true),
      explodiert(true), explosionTime(1.0f), explosionRadius(3.0f) {
    setMFColor4f(kDefaultColor);
    setExplosionsColor(kDefaultColor);
}

void Weapon::setMFColor4f(const float *rgba) {
    std::copy(rgba, rgba + 4, mfColor);
}

void Weapon::setExplosionsColor(const float *rgba) {
    std::copy(rgba, rgba + 4, explosionsColor);
}

void Weapon::reload(float dt) {
    if (reloadTime > 0.0f) {
        reloadTime -= dt;
    }
}
