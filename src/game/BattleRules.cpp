#include "game/BattleRules.h"

namespace {
constexpr BattleRules::Outcome kWins[kMaxPlayers] = {BattleRules::kPlayerOneWins, BattleRules::kPlayerTwoWins,
                                                     BattleRules::kPlayerThreeWins, BattleRules::kPlayerFourWins};
} // namespace

BattleRules::Outcome BattleRules::decide(int computerTanks, const std::array<bool, kMaxPlayers> &playerAlive) {
    int alive = 0, last = -1;
    for (int player = 0; player < kMaxPlayers; ++player)
        if (playerAlive[static_cast<std::size_t>(player)]) {
            ++alive;
            last = player;
        }
    if (alive == 0)
        return kFailed;
    if (computerTanks > 0 || alive > 1)
        return kRunning;
    return kWins[last];
}

int BattleRules::winner(Outcome outcome) {
    for (int player = 0; player < kMaxPlayers; ++player)
        if (kWins[player] == outcome)
            return player;
    return -1;
}

const char *BattleRules::text(Outcome outcome) {
    switch (outcome) {
    case kPlayerOneWins:
        return "MISSION COMPLETE!";
    case kPlayerTwoWins:
        return "PLAYER TWO WINS";
    case kPlayerThreeWins:
        return "PLAYER THREE WINS";
    case kPlayerFourWins:
        return "PLAYER FOUR WINS";
    case kFailed:
        return "MISSION FAILED";
    default:
        return "";
    }
}
