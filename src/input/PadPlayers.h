#pragma once

#include "config/PadBindings.h"
#include "input/PadHub.h"
#include "input/PadMenuKeys.h"
#include "input/PadSlots.h"
#include "objects/PlayerInput.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

class GameFlow;
class OrbitCamera;
class PlayerConfig;
class Settings;
struct BattleEvent;

// The pads in the running game: which player each drives, what its buttons ask of the screens and
// the battle, each player's controls and camera, and the rumble of a hit. Reads the pads through a
// PadHub, so a virtual pad is the same to it as a real one.
class PadPlayers {
  public:
    static constexpr float kCameraDegreesPerSecond = 120.0f; // the right stick pushed fully
    static constexpr float kHitRumble = 0.6f, kDestroyedRumble = 1.0f; // strength, 0 .. 1
    static constexpr int kHitRumbleMs = 200, kDestroyedRumbleMs = 450;

    explicit PadPlayers(PadHub &hub) : hub(hub) {}

    // The dead zone, the rumble switch, the buttons and the pads the players had last time.
    void configure(const Settings &settings);

    // What the pads asked for in one look at them.
    struct Report {
        std::vector<int> keys;   // key-table presses for the screens, in order
        int joined = -1;         // a pad was given to this player on the level choice, or -1
        PadId joinedPad;         // that pad
        bool changed = false;    // a pad came or went or joined: the screens may show it
    };
    // Reads the pads at `seconds` (a clock that only goes forward) and lets `flow` know what it
    // must: a pad of one of the battle's `players` pulled out pauses the battle until it returns; on
    // the level choice a pad's A or Start gives it to a player; a screen taking a pad button gets
    // it. The other presses come back as the keys they stand for: in a running or paused battle the
    // pause and leave buttons (`pauseKey`, Escape), elsewhere the d-pad and stick as arrows, A as
    // Enter, B as Escape.
    Report update(double seconds, GameFlow &flow, int players, int pauseKey);

    // Player `player`'s controls from the pad, added to `input` (the keyboard's) and kept within
    // range; a player without a pad plugged in adds nothing.
    void addControls(int player, PlayerInput &input) const;
    // The player's right stick turns the camera and the zoom buttons zoom it, over `dt` seconds.
    void steerCamera(int player, OrbitCamera &camera, float dt) const;
    // A hit on a player's tank shakes that player's pad (unless rumble is off).
    void feel(const std::vector<BattleEvent> &events);

    // The plugged-in pad of `player`, or -1.
    int padOf(int player) const;
    // "Player 1: keyboard (W A S D, Space) + pad Xbox 360 Controller", one line for each of `players`.
    std::vector<std::string> controlsLines(int players, const PlayerConfig &keys) const;

  private:
    struct Pad {
        PadId id;
        PadMenuKeys menuKeys;
    };
    std::vector<PadId> connectedIds() const;

    PadHub &hub;
    PadSlots slots;
    std::map<int, Pad> pads; // by handle: every pad plugged in
    PadBindings bindings = PadBindings::defaults();
    float deadZone = 0.12f; // of a stick's travel
    bool rumble = true;
};
