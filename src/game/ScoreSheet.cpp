#include "game/ScoreSheet.h"

#include <algorithm>
#include <cmath>

void ScoreSheet::hit(int shooter, Target target, bool destroyed) {
    if (shooter < 0 || shooter >= kMaxPlayers)
        return;
    int &own = points[static_cast<std::size_t>(shooter)];
    own += kHit;
    if (destroyed)
        own += target == kComputer ? kComputerDestroyed : kPlayerDestroyed;
}

std::string ScoreSheet::listed(int players) const {
    const int shown = std::clamp(players, 2, kMaxPlayers);
    std::string list;
    for (int player = 0; player < shown; ++player)
        list += (player == 0 ? "" : player + 1 == shown ? " and " : ", ") + std::to_string(get(player));
    return list;
}

void ScoreSheet::win(int player, float secondsUsed, float parTime) {
    if (player < 0 || player >= kMaxPlayers)
        return;
    const float left = std::max(0.0f, parTime - secondsUsed);
    points[static_cast<std::size_t>(player)] += kWin + kPerSecondLeft * static_cast<int>(std::floor(left));
}
