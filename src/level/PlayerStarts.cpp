#include "level/PlayerStarts.h"

#include <cmath>

namespace PlayerStarts {

const VehicleData *find(const std::vector<std::unique_ptr<VehicleData>> &records, int player) {
    for (const auto &record : records)
        if (VehicleData::playerOf(record->getOwnerKind()) == player)
            return record.get();
    return nullptr;
}

std::unique_ptr<VehicleData> beside(const std::vector<std::unique_ptr<VehicleData>> &records, int player,
                                    const Ground &ground) {
    if ((player != 2 && player != 3) || find(records, player) != nullptr)
        return nullptr;
    // Player three stands by player one and player four by player two, each on the far side from
    // the other; a player whose partner is missing stands across that partner's facing instead,
    // three on its left and four on its right.
    const VehicleData *own = find(records, player - 2);
    const VehicleData *partner = find(records, 3 - player);
    const VehicleData *anchor = own != nullptr ? own : partner;
    if (anchor == nullptr)
        return nullptr;
    const float *at = anchor->getPos();
    float dx = 0, dz = 0;
    if (own != nullptr && partner != nullptr) {
        dx = at[0] - partner->getPos()[0];
        dz = at[2] - partner->getPos()[2];
    }
    float length = std::sqrt(dx * dx + dz * dz);
    if (length < 1.0f) {
        const float yaw = anchor->getRotation() * 3.14159265f / 180.0f;
        const float side = player == 3 ? 1.0f : -1.0f;
        dx = side * std::cos(yaw);
        dz = -side * std::sin(yaw);
        length = 1.0f;
    }
    auto record = std::make_unique<VehicleData>(*anchor);
    record->setOwner(VehicleData::playerOwner(player));
    record->setName("player" + std::to_string(player + 1));
    const float x = at[0] + dx / length * kBeside, z = at[2] + dz / length * kBeside;
    record->setPos(x, ground ? ground(x, z) + at[1] - ground(at[0], at[2]) : at[1], z);
    return record;
}

} // namespace PlayerStarts
