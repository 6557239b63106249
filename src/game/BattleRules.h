#pragma once

#include "objects/PlayerInput.h"

#include <array>

// How a battle ends, decided from who is still in the field. Pure rules, tested without a world.
class BattleRules {
  public:
    enum Outcome { kRunning = 0, kPlayerOneWins, kPlayerTwoWins, kFailed, kPlayerThreeWins, kPlayerFourWins };

    // Over when no human tank is left, or when no computer tank is left and at most one human tank.
    // Humans alive without computer tanks fight on: the last one standing wins.
    static Outcome decide(int computerTanks, const std::array<bool, kMaxPlayers> &playerAlive);
    static Outcome decide(int computerTanks, bool playerOneAlive, bool playerTwoAlive) {
        return decide(computerTanks, {playerOneAlive, playerTwoAlive});
    }
    // The player (0..3) an outcome names as the winner; -1 for none.
    static int winner(Outcome outcome);
    // The words shown for an outcome: "MISSION COMPLETE!", "PLAYER TWO WINS", "PLAYER THREE WINS",
    // "PLAYER FOUR WINS", "MISSION FAILED".
    static const char *text(Outcome outcome);
};
