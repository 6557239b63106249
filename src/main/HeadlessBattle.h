#pragma once

#include "config/Difficulty.h"

#include <cstdint>
#include <optional>
#include <string>

class GameClass;
class Level;

// A battle without a window, a display, sound or a clock: the level's ticks run one after another
// as fast as the processor allows, until the battle is decided or its time is up.
struct HeadlessBattle {
    static constexpr double kDefaultSeconds = 600; // game seconds when none are asked for

    std::string levelFile;                 // in data/level/
    int players = 2;                       // human tanks in the level, 1 or 2
    std::uint32_t seed = 1;                // the battle seed
    AiDifficulty difficulty = AiDifficulty::Normal; // the computer tanks' skill
    std::optional<AiDifficulty> autopilot; // the human tanks driven by the brain with this skill
    double seconds = kDefaultSeconds;      // game time at most

    // Reads into `game`, made viewless, what a battle on the level file needs and nothing else: the
    // levels of data/level/, the chosen level's height map (its pixels only), the models and the
    // power-ups. Returns the level of `file`, or null when there is none (the readers said why).
    static Level *readWorld(GameClass &game, const std::string &file);

    // Runs the battle in `game`, whose levels, models and power-ups are read (with setViewless on
    // before), and prints its course: a first line naming the battle, "Battle over: ..." or one
    // saying the time ran out, then the ticks and the game seconds they make, the scores and the
    // final state hash. Returns the process's exit status: 0, or 1 when the level did not start.
    int run(GameClass &game) const;
};
