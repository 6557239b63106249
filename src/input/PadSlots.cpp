#include "input/PadSlots.h"

#include <algorithm>

void PadSlots::remember(int player, const std::optional<PadId> &pad) {
    if (player < 0 || player >= kMaxPads)
        return;
    if (pad)
        for (std::optional<PadId> &other : pads)
            if (other == pad)
                other.reset();
    pads[player] = pad;
}

int PadSlots::claim(const PadId &pad, int players, const std::vector<PadId> &connected) {
    players = std::clamp(players, 0, kMaxPads);
    const int owner = playerOf(pad);
    if (owner >= 0 && owner < players)
        return owner;
    for (int player = 0; player < players; ++player) {
        const std::optional<PadId> &had = pads[player];
        if (!had || std::find(connected.begin(), connected.end(), *had) == connected.end()) {
            remember(player, pad);
            return player;
        }
    }
    return -1;
}

int PadSlots::playerOf(const PadId &pad) const {
    for (int player = 0; player < kMaxPads; ++player)
        if (pads[player] == pad)
            return player;
    return -1;
}

std::optional<PadId> PadSlots::padOf(int player) const {
    if (player < 0 || player >= kMaxPads)
        return std::nullopt;
    return pads[player];
}
