#pragma once

// What the world and render benchmarks share: the window, a private copy of
// the data tree, a session started the way the game starts it, quiet console
// lines, and a few timing helpers.

#include "config/PlayerConfig.h"
#include "game/GameClass.h"
#include "main/InputRules.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

constexpr int kWindowWidth = 1024; // the game's window (data/config/glutconfig.ini), pixels
constexpr int kWindowHeight = 768;

double millisecondsSince(Clock::time_point start);
double median(std::vector<double> values);
double mean(const std::vector<double> &values);

// The level files the level choice offers: those of the data's level/levels.ini in its order;
// without the index every lvl*.lvl of the level folder, in file name order.
std::vector<std::string> offeredLevelFiles();

// Opens the GLUT window (double-buffered RGBA with depth) and sets the fixed
// OpenGL state the game sets at start-up. False, with an "Error: " line,
// without an X display.
bool openWindow(int &argc, char **argv, const char *title);

// The game's console lines go to /dev/null while this lives; the results are
// written to `out()`, the original standard output.
class QuietConsole {
  public:
    QuietConsole();
    ~QuietConsole();
    QuietConsole(const QuietConsole &) = delete;
    QuietConsole &operator=(const QuietConsole &) = delete;

    FILE *out() const { return results; }

  private:
    int savedStdout = -1;    // descriptor of the original standard output
    FILE *results = nullptr; // stream on a copy of it
};

// A private copy of a data tree (configuration, levels, models, textures; an
// empty cooked-mesh cache) in a temporary folder, removed with everything in
// it at the end. The working directory moves there, as the game runs from the
// folder that holds its data/ tree.
class DataTree {
  public:
    explicit DataTree(const std::filesystem::path &sourceData);
    ~DataTree();
    DataTree(const DataTree &) = delete;
    DataTree &operator=(const DataTree &) = delete;

    bool ok() const { return copied; }
    const std::filesystem::path &root() const { return dir; }
    // Writes `contents` to data/<relative>.
    void write(const std::string &relative, const std::string &contents) const;
    // Empties data/model_cooked/ and data/config/cookedmodel_config/.
    void clearCookedCache() const;

  private:
    std::filesystem::path dir;      // the temporary folder holding data/
    std::filesystem::path previous; // working directory to return to
    bool copied = false;
};

// An RGB PNG of side x side black pixels: a flat heightmap at height 0.
std::string flatHeightmapPng(int side);

// One [VEHICLE] section of type "tank", standing on flat ground.
std::string vehicleSection(const std::string &name, const std::string &owner, float x, float z,
                           float heading);

// A session set up as the program's start-up does it: both players on the
// keys of data/config/playerconfig.ini, every texture, level and model
// imported, the window size.
class Session {
  public:
    Session();

    // Starts the level as the menu starts a game: camera pitch -45, distance
    // 70, the scene's GL state, window size and projection. False when the
    // level is not registered.
    bool startLevel(const std::string &name);
    // The levels the game's level choice offers: the files of data/level/levels.ini that
    // loaded, in its order (without the index, every lvl*.lvl of data/level/), as the names
    // startLevel takes, each with its file name.
    struct BenchLevel {
        std::string file; // file name in data/level/
        std::string name; // registry name
    };
    std::vector<BenchLevel> offeredLevels() const;

    GameClass gc;
    const PlayerConfig &getPlayerConfig() const { return players; }

  private:
    PlayerConfig players; // keys and zoom keys of both players; the session points at it
};

} // namespace bench
