#include "objects/MissionsZiel.h"

#include "game/GameClass.h"

void MissionsZiel::check(GameClass *gc) {
    // A fulfilled goal stays fulfilled.
    if (status == kStatusFulfilled || typ != kTypLastManStanding || gc == nullptr) {
        return;
    }
    const std::vector<Fahrzeug *> &vehicles = gc->getFahrzeugvektor();
    if (vehicles.size() != 1) {
        return;
    }
    const Fahrzeug *player1 = gc->getPlayer1Vehicle();
    status = player1 != nullptr && vehicles.front() == player1 ? kStatusFulfilled : kStatusFailed;
}
