#pragma once

#include "config/Difficulty.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the command line asks of a run: a level to start at once instead of the menu, how many
// players fight in it, and a battle without a window (headless) with its seed, length and autopilot.
// Options the game does not know of that start with one dash ("-display", "-geometry", ...) are
// GLUT's and stay in the argument list for it.
class CommandLine {
  public:
    static constexpr double kMaxSeconds = 24 * 3600.0; // the longest headless battle asked for

    // Reads `--level FILE`, `--players 1-4`, `--seed N` (0 .. 4294967295), `--seconds S` (a number
    // above 0, at most kMaxSeconds), `--autopilot easy|normal|hard` (each also as `--option=value`)
    // `--replay FILE` (a replay to watch, or with --headless to check) and the flag `--headless`. A missing value, a wrong value, a level name with a path in it, an
    // unknown option of two dashes, a headless run without a level or replay, seconds or an
    // autopilot without --headless, or a replay with options of a battle of its own set the error (one line without the "Error: " prefix) and stop the parse.
    // Network play: `--host` (with `--level`, and `--port N` 1-65535) hosts a battle, with
    // `--headless` one that nobody plays at the host; `--join ADDRESS[:PORT]` joins one and takes no
    // options of a battle of its own.
    // `--script FILE` drives the game in its window by a script of inputs at ticks (main/GameScript.h)
    // and takes no --headless, --host or --join.
    // `--help` (or `-h`) and `--version` answer alone: with either, everything else is ignored.
    static CommandLine parse(const std::vector<std::string> &args);
    // What --help prints: every option on one screen.
    static std::string usage();

    bool ok() const { return error.empty(); }
    bool wantsHelp() const { return help; }
    bool wantsVersion() const { return version; }
    const std::string &getError() const { return error; }
    const std::string &getLevel() const { return level; } // empty: the game starts in the menu
    int getPlayers() const { return players; }             // 0: as the settings say
    bool isHeadless() const { return headless; }
    const std::optional<std::uint32_t> &getSeed() const { return seed; } // nothing: a random seed
    double getSeconds() const { return seconds; }                       // 0: until the battle is decided
    const std::optional<AiDifficulty> &getAutopilot() const { return autopilot; }
    const std::string &getReplay() const { return replay; } // empty: none
    bool isHost() const { return host; }                    // hosts a network battle on the level
    std::uint16_t getPort() const { return port; }          // 0: the usual one
    const std::string &getJoin() const { return join; }     // the host to join; empty: none
    const std::string &getScript() const { return script; } // the script that drives the run; empty: none
    const std::vector<std::string> &getRest() const { return rest; }

  private:
    // Takes the value of one option; false (with the error set) when it is wrong.
    bool take(const std::string &option, const std::string &value);

    std::string error;
    bool help = false;
    bool version = false;
    std::string level;             // a file name in data/level/
    int players = 0;               // 1 to kMaxPlayers when given
    bool headless = false;         // no window: the battle runs as fast as it can
    std::optional<std::uint32_t> seed;
    double seconds = 0;            // of game time, headless only
    std::optional<AiDifficulty> autopilot;
    std::string replay;            // a replay file's path
    bool host = false;             // network battle: this machine hosts it
    std::uint16_t port = 0;        // the host's port when given
    std::string join;              // network battle: the host's address to join
    std::string script;            // a script file's path
    std::vector<std::string> rest; // the arguments left for GLUT, the program name first
};
