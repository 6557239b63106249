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

PlayerInput Spieler::readKeys(const bool *keys) const {
    auto held = [keys](int code) { return keys != nullptr && code > 0 && code < KeyNames::kTableSize && keys[code]; };
    auto axis = [](bool plus, bool minus) { return (plus ? 1.0f : 0.0f) - (minus ? 1.0f : 0.0f); };
    return {axis(held(upKey), held(downKey)), axis(held(rightKey), held(leftKey)), held(shootKey)};
}

Projektil *Spieler::doSomething(Fahrzeug *vehicle, const PlayerInput &input, float dt) {
    if (vehicle == nullptr) {
        return nullptr;
    }
    const PlayerInput controls = input.limited();
    Projektil *shot = controls.fire ? vehicle->shoot() : nullptr;
    vehicle->setDrive(controls.throttle, controls.turn);
    if (Weapon *weapon = vehicle->getWeapon()) {
        weapon->reload(dt);
    }
    return shot;
}
