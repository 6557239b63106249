#pragma once

#include "level/VehicleData.h"

#include <functional>
#include <memory>
#include <vector>

// Where each human player's tank starts. A level places players one and two; players three and
// four start where the level places them (owner=spieler3, owner=spieler4) or, in a level that does
// not, beside player one and player two, on the far side from the other.
namespace PlayerStarts {

constexpr float kBeside = 10.0f; // units between a tank and the tank started beside it

// The record of `player` (0..3) in `records`, or null.
const VehicleData *find(const std::vector<std::unique_ptr<VehicleData>> &records, int player);

// The height of the ground at x, z.
using Ground = std::function<float(float x, float z)>;

// A record for player three or four (`player` 2 or 3) made beside player one or two, for a level
// that has none of its own: a copy of that player's record (its type, life, colour and facing),
// kBeside units away, at that player's height, or, given the `ground`, as high above the ground
// where it stands as that player stands above its own. Null when the level places the player
// itself, for players one and two, and when the level places neither player one nor player two.
std::unique_ptr<VehicleData> beside(const std::vector<std::unique_ptr<VehicleData>> &records, int player,
                                    const Ground &ground = nullptr);

} // namespace PlayerStarts
