#include "game/BattleRules.h"

BattleRules::Outcome BattleRules::decide(int computerTanks, bool playerOneAlive, bool playerTwoAlive) {
    if (!playerOneAlive && !playerTwoAlive)
        return kFailed;
    if (computerTanks > 0 || (playerOneAlive && playerTwoAlive))
        return kRunning;
    return playerOneAlive ? kPlayerOneWins : kPlayerTwoWins;
}

const char *BattleRules::text(Outcome outcome) {
    switch (outcome) {
    case kPlayerOneWins:
        return "MISSION COMPLETE!";
    case kPlayerTwoWins:
        return "PLAYER TWO WINS";
    case kFailed:
        return "MISSION FAILED";
    default:
        return "";
    }
}
