#pragma once

// How a battle ends, decided from who is still in the field. Pure rules, tested without a world.
class BattleRules {
  public:
    enum Outcome { kRunning = 0, kPlayerOneWins, kPlayerTwoWins, kFailed };

    // Over when no human tank is left, or when no computer tank is left and at most one human tank.
    // Both humans alive without computer tanks fight on: the last one standing wins.
    static Outcome decide(int computerTanks, bool playerOneAlive, bool playerTwoAlive);
    // The words shown for an outcome: "MISSION COMPLETE!", "PLAYER TWO WINS", "MISSION FAILED".
    static const char *text(Outcome outcome);
};
