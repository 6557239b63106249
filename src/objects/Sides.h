#pragma once

#include "objects/PlayerInput.h"

// Who fights whom, for the computer's brain, the battle's rules and the scores alike. Each human
// player's tank is a side of its own, numbered by its player (0 for player one); the computer tanks
// fight together as one side. A tank fights every tank that is not of its side. A tank of no side
// (one made outside a battle) fights nobody, and nobody fights it.
namespace Sides {

constexpr int kNone = -1;
constexpr int kComputer = kMaxPlayers; // after the players' own sides

inline bool isPlayer(int side) {
    return side >= 0 && side < kMaxPlayers;
}

inline bool opposed(int a, int b) {
    return a != kNone && b != kNone && a != b;
}

} // namespace Sides
