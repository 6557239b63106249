#pragma once

// The points of one battle for the two human players. Hits and kills are counted as they happen;
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

    void reset() { points[0] = points[1] = 0; }
    // Player `shooter` (0 or 1) hit a tank of the given kind; `destroyed` when that hit ended it.
    void hit(int shooter, Target target, bool destroyed);
    // Adds the winner's bonus and time bonus for `secondsUsed` of `parTime` to `player` (0 or 1).
    void win(int player, float secondsUsed, float parTime);
    int get(int player) const { return points[player]; }

  private:
    int points[2] = {0, 0}; // player one's and player two's points
};
