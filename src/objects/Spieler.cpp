#include "objects/Spieler.h"

#include "config/KeyNames.h"
#include "objects/Fahrzeug.h"
#include "objects/Weapon.h"

Spieler::Spieler(int up, int down, int left, int right, int shoot)
    : upKey(KeyNames::fold(up)), downKey(KeyNames::fold(down)), rightKey(KeyNames::fold(right)),
      leftKey(KeyNames::fold(left)), shootKey(KeyNames::fold(shoot)) {}

void Spieler::setKeys(int up, int down, int left, int right, int shoot) {
    upKey = KeyNames::fold(up);
    downKey = KeyNames::fold(down);
    leftKey = KeyNames::fold(left);
    rightKey = KeyNames::fold(right);
    shootKey = KeyNames::fold(shoot);
}

Projektil *Spieler::doSomething(Fahrzeug *vehicle, bool *keys, float dt) {
    if (vehicle == nullptr) {
        return nullptr;
    }
    auto held = [keys](int code) { return keys != nullptr && code > 0 && code < KeyNames::kTableSize && keys[code]; };
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
