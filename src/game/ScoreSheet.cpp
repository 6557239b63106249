#include "game/ScoreSheet.h"

#include <algorithm>
#include <cmath>

void ScoreSheet::hit(int shooter, Target target, bool destroyed) {
    if (shooter < 0 || shooter > 1)
        return;
    points[shooter] += kHit;
    if (destroyed)
        points[shooter] += target == kComputer ? kComputerDestroyed : kPlayerDestroyed;
}

void ScoreSheet::win(int player, float secondsUsed, float parTime) {
    if (player < 0 || player > 1)
        return;
    const float left = std::max(0.0f, parTime - secondsUsed);
    points[player] += kWin + kPerSecondLeft * static_cast<int>(std::floor(left));
}
