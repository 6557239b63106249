#pragma once

#include "replay/ReplayFile.h"

#include <cstdint>
#include <string>

// Watching a replay: hands the world the recorded inputs tick by tick, checks the world's state
// hash against the recorded ones (a battle that stops matching is said to diverge, once, and plays
// on), and keeps what the watcher chose: pause, speed and the tank the view follows.
class ReplayPlayback {
  public:
    static constexpr int kPauseKey = ' ';    // Space: pause and go on
    static constexpr int kHalfSpeedKey = '1';
    static constexpr int kNormalSpeedKey = '2';
    static constexpr int kFastKey = '4';     // four times as fast
    static constexpr int kFollowKey = 9;     // Tab: the view follows the other player's tank

    explicit ReplayPlayback(Replay recorded) : replay(std::move(recorded)) {}

    const Replay &getReplay() const { return replay; }
    // The inputs of the next tick; false once every recorded tick has run (the battle stops there).
    bool nextInput(TickInput &input);
    std::size_t getTicksDone() const { return ticksDone; }
    bool isOver() const { return ticksDone >= replay.ticks; }

    // After the tick that nextInput gave: the world's hash. Returns true the first time it differs
    // from the recorded one; `divergedAt` then names the tick.
    bool check(std::uint64_t hash);
    bool hasDiverged() const { return divergedAt != 0; }
    std::size_t getDivergedAt() const { return divergedAt; } // a tick count; 0 while in step

    // A key of the watcher (key-table code); true when it was one of the keys above.
    bool keyDown(int code);
    // How fast real time runs the ticks: 0 while paused, else 0.5, 1 or 4.
    double getSpeed() const { return paused ? 0.0 : speed; }
    bool isPaused() const { return paused; }
    int getFollowed() const { return followed; } // the player whose tank the view follows
    // The line the view shows while the replay plays: where it stands and the keys.
    std::string statusLine() const;

  private:
    Replay replay;
    std::size_t ticksDone = 0;
    std::size_t nextChange = 0; // the first of the replay's changes not yet in `current`
    TickInput current{};        // every player's controls as of the tick played last
    std::size_t divergedAt = 0;
    double speed = 1.0;
    bool paused = false;
    int followed = 0;
};
