#pragma once

#include <array>
#include <cmath>

// One player's controls for one tick: what a keyboard, a pad or a remote machine asks of the
// player's tank. Throttle +1 is full ahead and -1 full reverse; turn +1 is a full turn to the right
// (clockwise seen from above) and -1 to the left; fire asks the weapon for a shell.
struct PlayerInput {
    float throttle = 0.0f;
    float turn = 0.0f;
    bool fire = false;

    // The same controls with throttle and turn inside [-1, 1]; a value that is not a number counts
    // as 0. Input from outside the program passes through here before the world sees it.
    PlayerInput limited() const {
        auto limit = [](float v) { return std::isnan(v) ? 0.0f : v < -1.0f ? -1.0f : v > 1.0f ? 1.0f : v; };
        return {limit(throttle), limit(turn), fire};
    }
    bool operator==(const PlayerInput &o) const { return throttle == o.throttle && turn == o.turn && fire == o.fire; }
    bool operator!=(const PlayerInput &o) const { return !(*this == o); }
};

// The most human players a battle has.
constexpr int kMaxPlayers = 4;

// Every human player's controls for one tick, player one first.
using TickInput = std::array<PlayerInput, kMaxPlayers>;
