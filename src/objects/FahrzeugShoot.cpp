// Fahrzeug::shoot lives with the projectiles: it is where a vehicle hands over to its shell.
#include "objects/Fahrzeug.h"

#include "config/CPowerUpData.h"
#include "objects/ObjectHost.h"
#include "objects/Projektil.h"
#include "objects/Weapon.h"
#include "particles/CMuendungsFeuer.h"

namespace {
const float kFlashColour[3] = {1.0f, 0.5f, 0.5f}; // pale red; the flash draws with alpha 1
constexpr int kFlashParticles = 20;
constexpr float kFlashSeconds = 0.5f;
constexpr float kFlashSpeedSpread = 1.5f; // particle speeds above the flash's minimum
} // namespace

Projektil *Fahrzeug::shoot() {
    if (status == kStatusExploding || status == kStatusDestroyed) {
        return nullptr;
    }
    Weapon *w = getWeapon();
    if (w == nullptr || !w->isReady()) {
        return nullptr;
    }
    float muzzle[3];
    getPosMuendung(muzzle);
    ObjectHost *gc = getGameClass();
    Projektil *shot = new Projektil(muzzle, getMoveDirection(), w, this, gc, getNextProjektilID());
    w->startReload();
    // Rapid fire shortens the wait for the next shot.
    w->setReloadTime(w->getReloadTime() * getPowerUpFactor(CPowerUpData::kRapidFire));
    if (w->getMuendungsFeuer()) {
        addPertikleEffekt(new CMuendungsFeuer(muzzle, getMoveDirection(), kFlashColour, kFlashParticles,
                                              kFlashSeconds, kFlashSpeedSpread,
                                              gc != nullptr ? gc->getTextureHolder() : nullptr));
    }
    return shot;
}
