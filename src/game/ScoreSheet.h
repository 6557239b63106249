#pragma once

#include "objects/PlayerInput.h"

#include <array>
#include <string>

// The points of one battle for each human player. Hits and kills are counted as they happen;
// the time bonus and the winner's bonus are added when the battle is decided.
class ScoreSheet {
  public:
    static constexpr int kHit = 10;                // a shell of yours hits another tank
    static constexpr int kComputerDestroyed = 100; // you destroyed a computer tank
    static constexpr int kPlayerDestroyed = 250;   // you destroyed the other player's tank
    static constexpr int kWin = 500;               // your side won
    static constexpr int kPerSecondLeft = 5;       // the winner's bonus per second left of the par time
    static constexpr float kDefaultParTime = 300;  // seconds, for levels that name none

    enum Target { kComputer, kHuman };

    void reset() { points.fill(0); }
    // Player `shooter` (0..kMaxPlayers-1; another number is no player) hit a tank of the given kind; `destroyed` when that hit ended it.
    void hit(int shooter, Target target, bool destroyed);
    // Adds the winner's bonus and time bonus for `secondsUsed` of `parTime` to `player` (0..kMaxPlayers-1).
    void win(int player, float secondsUsed, float parTime);
    // The points of the first `players` players (at least two), as the log lines give them:
    // "120 and 0", "0, 10, 1975 and 0".
    std::string listed(int players) const;
    void set(int player, int value) {
        if (player >= 0 && player < kMaxPlayers)
            points[static_cast<std::size_t>(player)] = value;
    }
    int get(int player) const {
        return player >= 0 && player < kMaxPlayers ? points[static_cast<std::size_t>(player)] : 0;
    }

  private:
    std::array<int, kMaxPlayers> points{}; // each player's points, player one first
};
