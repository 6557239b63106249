#pragma once

#include "game/BattleWorld.h"
#include "game/TickPacer.h"
#include "objects/PlayerInput.h"

#include <cstddef>
#include <cstdint>
#include <functional>

class GameClass;
class ReplayPlayback;
struct Replay;

// What a network battle asks of the ticks, at the host or at a joining machine. The loop reads no
// clock: the time in milliseconds comes from whoever drives it.
class BattleLink {
  public:
    virtual ~BattleLink() = default;
    // The host's tick: the remote players' controls for `tick` into `input`, then (after the
    // world's tick) what the clients hear of it.
    virtual void fillInputs(TickInput &input, long tick) = 0;
    virtual void afterHostTick(const BattleWorld &world, std::uint32_t nowMs) = 0;
    // The client's ticks: how many to run of the `paced` ones, and one of them with this machine's
    // player's controls.
    virtual int clientTicks(int paced) = 0;
    virtual void clientTick(BattleWorld &world, const PlayerInput &controls, std::uint32_t nowMs) = 0;
};

// A battle's ticks, for every way of running one: played here, hosted for other machines, joined
// on another machine's world, or watched from a replay. The window's idle callback, the battle
// without a window, the headless host and the tests all drive it, either by real time (advance,
// which paces the ticks) or one tick at a time (step, as fast as the caller likes). Whatever moves
// with time in the view (the zoom, the status message, a pad's camera) takes its time from here,
// so a scripted run sees the same picture at the same tick on every machine.
class BattleLoop {
  public:
    enum class Role { kNone, kLocal, kHost, kClient, kReplay };

    struct Hooks {
        // This machine's players' controls for the next tick (keys, pads, a script); unset: nobody
        // at the controls. A client's player is player one of what it returns.
        std::function<TickInput()> controls;
        // `seconds` of the battle's time went by for the view (not called while paused).
        std::function<void(float seconds)> viewTime;
        // After every tick; false stops the ticks of this frame (the battle was decided or left).
        std::function<bool()> afterTick;
        // A watched replay ran its last tick: how many, and the state hash after the last.
        std::function<void(std::size_t ticks, std::uint64_t hash)> replayOver;
    };

    explicit BattleLoop(GameClass &game) : game(game) {}

    // A new battle has started in the game's world: its ticks are played here (each tick's inputs
    // go to `recording` when given), hosted through `link`, followed through `link`, or read from
    // `playback`. The pace starts afresh and the battle runs (not paused).
    void startLocal(Replay *recording = nullptr);
    void startHost(BattleLink &link, Replay *recording = nullptr);
    void startClient(BattleLink &link);
    void startReplay(ReplayPlayback &playback);
    // No battle runs: advance and step do nothing.
    void stop();
    Role getRole() const { return role; }

    void setHooks(Hooks h) { hooks = std::move(h); }

    // A paused battle runs no ticks and owes no time: on resuming it goes on from where it stood.
    void setPaused(bool paused);
    bool isPaused() const { return paused; }

    // `seconds` of real time since the last call, `nowMs` on the network's clock: runs the ticks
    // they make (a replay at its watcher's speed; after a stall at most TickPacer's share, the rest
    // dropped) and returns how many ran.
    int advance(double seconds, std::uint32_t nowMs);
    // One tick now, whatever the time: scripted runs and battles without a window. False when none
    // ran (no battle, paused, or a replay whose every tick has run).
    bool step(std::uint32_t nowMs);
    // How far the view stands from the last tick to the next, in [0, 1); 0 in a stepped run.
    float blend() const { return pacer.blend(); }
    // Ticks run since the battle started.
    long getTicks() const { return ticks; }
    // A watched replay has run its every tick; whether it parted from its recorded hashes.
    bool replayOver() const;
    bool replayDiverged() const { return diverged; }

  private:
    bool runTick(std::uint32_t nowMs); // one tick of the role's kind; false when none could run
    void start(Role r);

    GameClass &game;
    Hooks hooks;
    TickPacer pacer{BattleWorld::kTickSeconds};
    Role role = Role::kNone;
    BattleLink *link = nullptr;           // the network, at the host and a client; not owned
    Replay *recording = nullptr;          // where a played battle's ticks go; not owned, may be null
    ReplayPlayback *playback = nullptr;   // the replay watched; not owned
    bool paused = false;
    bool diverged = false;                // the watched replay parted from its hashes
    long ticks = 0;                       // ticks run since the start

};
