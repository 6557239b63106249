#pragma once

#include "input/PadState.h"

#include <array>
#include <optional>
#include <vector>

// Which player drives with which pad. A player keeps a pad across unplugging and across runs of
// the game (settings.ini remembers it by its PadId); a pad nobody has yet is given to a player by
// pressing A or Start in the level choice.
class PadSlots {
  public:
    static constexpr int kMaxPads = 4; // players that can each have a pad

    // Gives `player` the pad (from settings.ini), or takes the player's pad away with nullopt. A
    // pad belongs to one player at most: whoever had it before loses it. A player outside
    // [0, kMaxPads) is ignored.
    void remember(int player, const std::optional<PadId> &pad);

    // A pad's A or Start pressed in the level choice of a battle for `players` players: the
    // player who drives with it, now remembered. A pad that already belongs to one of the players
    // stays theirs; any other takes the first of the players who has no pad or whose pad is not
    // among `connected`. -1 when every player has a pad that is connected.
    int claim(const PadId &pad, int players, const std::vector<PadId> &connected);

    // The player the pad belongs to, or -1.
    int playerOf(const PadId &pad) const;
    // The pad of `player`, if any.
    std::optional<PadId> padOf(int player) const;

  private:
    std::array<std::optional<PadId>, kMaxPads> pads; // by player
};
