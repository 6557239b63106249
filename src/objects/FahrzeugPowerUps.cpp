// What power-ups do to a vehicle: repair at once, the timed effects while they last.
#include "objects/Fahrzeug.h"

#include "config/CPowerUpData.h"
#include "objects/CPowerUp.h"

#include <algorithm>
#include <cmath>

bool Fahrzeug::takePowerUp(const CPowerUpData &type) {
    if (getStatus() == kStatusExploding || getStatus() == kStatusDestroyed) {
        return false;
    }
    if (type.getTyp() == CPowerUpData::kRepair) {
        if (getLife() >= static_cast<long long>(getMaxLife())) {
            return false; // nothing to mend: the kit stays for another tank
        }
        const long long repaired = static_cast<long long>(getLife()) + std::lround(type.getAmount());
        setLife(
            static_cast<int>(std::min<long long>(repaired, std::max<long long>(getMaxLife(), getLife()))));
        return true;
    }
    if (type.getTyp() == CPowerUpData::kNone) {
        return false;
    }
    for (const std::unique_ptr<CPowerUp> &carried : powerUps) {
        if (carried->getEffect() == type.getTyp()) {
            carried->renew(type.getAmount(), type.getDuration());
            return true;
        }
    }
    addPowerUp(new CPowerUp(type.getTyp(), type.getAmount(), type.getDuration()));
    return true;
}

void Fahrzeug::stepPowerUps(float dt, std::vector<int> *expired) {
    auto kept = powerUps.begin();
    for (std::unique_ptr<CPowerUp> &carried : powerUps) {
        if (carried->step(dt)) {
            *kept++ = std::move(carried);
        } else if (expired != nullptr) {
            expired->push_back(carried->getEffect());
        }
    }
    powerUps.erase(kept, powerUps.end());
}

float Fahrzeug::getPowerUpFactor(int effect) const {
    for (const std::unique_ptr<CPowerUp> &carried : powerUps) {
        if (carried->getEffect() == effect) {
            return carried->getFactor();
        }
    }
    return 1.0f;
}
