#pragma once

#include "config/Difficulty.h"

#include <cstdint>
#include <optional>
#include <string>

class BattleWorld;
class GameClass;
class Level;
struct Replay;

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
    const Replay *replay = nullptr;        // played again and checked instead: its ticks, its inputs

    // Reads into `game`, made viewless, what a battle on the level file needs and nothing else: the
    // levels of data/level/, the chosen level's height map (its pixels only), the models and the
    // power-ups. Returns the level of `file`, or null when there is none (the readers said why).
    static Level *readWorld(GameClass &game, const std::string &file);

    // False with `problem` set when `replay` cannot be played by this program: another build
    // recorded it, the data differs, or its level is not there. The levels must be read.
    static bool playable(GameClass &game, const Replay &replay, std::string &problem);

    // Runs the battle in `game`, whose levels, models and power-ups are read (with setViewless on
    // before), and prints its course: a first line naming the battle, "Battle over: ..." or one
    // saying the time ran out, then the ticks and the game seconds they make, the scores and the
    // final state hash. A replay's battle runs all its ticks whatever the result, and says once
    // "Replay diverged at tick N" where its hashes stop matching. Returns the process's exit status:
    // 0, or 1 when the level did not start or the replay diverged.
    int run(GameClass &game) const;
    // The lines that end a battle without a window: "Time ran out ..." when undecided, the ticks,
    // the scores of `players` players and the state hash.
    static void report(const BattleWorld &world, int players);
};
