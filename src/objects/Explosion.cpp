#include "objects/Explosion.h"

#include "objects/Projektil.h"

Explosion::Explosion(const Projektil *projektil) {
    if (projektil != nullptr) {
        ttl = projektil->getWeapon()->getExplosionTime();
        shooter = projektil->getFahrzeug();
        setGameClass(projektil->getGameClass());
    }
}
