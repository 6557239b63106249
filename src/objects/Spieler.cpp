#include "objects/Spieler.h"

#include "objects/Fahrzeug.h"
#include "objects/Weapon.h"

Spieler::Spieler(unsigned char up, unsigned char down, unsigned char left, unsigned char right,
                 unsigned char shoot)
    : upKey(up), downKey(down), rightKey(right), leftKey(left), shootKey(shoot) {}

Projektil *Spieler::doSomething(Fahrzeug *vehicle, bool *keys, float dt) {
    if (vehicle == nullptr) {
        return nullptr;
    }
    // Codes are unsigned bytes, so every one indexes the 256-entry table inside its bounds.
    auto held = [keys](unsigned char code) { return keys != nullptr && keys[code]; };
    Projektil *shot = held(shootKey) ? vehicle->shoot() : nullptr;
    vehicle->setKeyForward(held(upKey));
    vehicle->setKeyBackward(held(downKey));
    vehicle->setKeyLeft(held(leftKey));
    vehicle->setKeyRight(held(rightKey));
    if (Weapon *weapon = vehicle->getWeapon()) {
        weapon->reload(dt);
    }
    return shot;
}
