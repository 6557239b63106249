#pragma once

#include "flow/MenuPage.h"
#include "config/Difficulty.h"
#include "level/LevelIndex.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

class Level;

// The level choice that "New Game" opens: one battlefield of the index at a time with its title,
// a picture of it from above, its computer tanks and its goal, the number of human players and
// the controls each of them has. Arrows or clicks choose, Enter or the Start button starts,
// Escape goes back. Hosting a network battle it chooses the same way, for two to four players at
// their own machines.
class LevelChoice {
  public:
    enum Action { kNothing, kStart, kBack };
    static constexpr int kMaxPlayers = 4;
    static constexpr int kListRows = 5;               // level titles shown at once
    static constexpr int kPlayersRow = kListRows + 1; // row of "1 player"; "2 players" .. below it
    static constexpr int kControlsRow = kPlayersRow + kMaxPlayers; // the players' controls, one row each

    // A spot on the level's picture, in the level's own terms; the page colours it.
    struct Marker {
        enum Kind { kObject, kComputer, kPlayerOne, kPlayerTwo, kPlayerThree, kPlayerFour };
        Kind kind;
        float x, y; // 0..1 across the level's bounds, from (x1, z1)
        AiDifficulty fromDifficulty = AiDifficulty::Easy; // a computer tank joins from this difficulty
        int fromPlayers = 1;                              // and with at least this many players
    };

    // What the screen shows of one level.
    struct Entry {
        std::string file;      // a file name of data/level/
        std::string title;     // shown in the list
        std::string ground;    // ground picture, a texture of data/textures/
        int computerTanks = 0; // vehicles of the computer player
        std::string goal;      // the goals' names, e.g. "Last Man Standing"
        int parTime = 0;       // seconds
        std::string challenge[2]; // for one player, for more (Level::getChallenge); empty: not rated
        std::vector<Marker> markers;
    };

    // One level's entry; `title` empty: the level's own name.
    static Entry describe(const std::string &file, const std::string &title, const Level &level);
    // The entries of `index` (null: no index, every level of `levelFiles` in file name order) whose
    // file yielded a level. A listed file that is not there or was taken by another file's level
    // gets one "Error: " line naming it (the index's `indexPath`); one that `failed` to load was
    // reported when it was read and gets a plain line. Both are left out.
    static std::vector<Entry> collect(const std::vector<LevelIndex::Entry> *index,
                                      const std::map<std::string, Level *> &levelFiles,
                                      const std::function<bool(const std::string &)> &failed,
                                      const std::string &indexPath);

    // Opens the screen with `entries` and `players` (1 to 4) chosen; the level chosen last time stays chosen.
    void open(const std::vector<Entry> &entries, int players);
    const std::vector<Entry> &getEntries() const { return entries; }
    int getSelected() const { return selected; } // -1 without levels
    const Entry *selectedEntry() const { return selected < 0 ? nullptr : &entries[selected]; }
    int getPlayers() const { return players; }
    void select(int index); // wraps around at both ends
    // Out of range (below two for a network battle) is two.
    void setPlayers(int count) { players = count >= leastPlayers() && count <= kMaxPlayers ? count : 2; }
    void setNetwork(bool hosting); // the choice is for a network battle; the players follow
    // The computer's difficulty of the coming battle: the tanks counted and marked are those that
    // join at it (in a network battle every tank joins).
    void setDifficulty(AiDifficulty value) { difficulty = value; }
    bool isNetwork() const { return network; }
    // What each player steers with, player one's line first, as the program knows it (the
    // keyboard's keys, the pad's name, how to get a pad); the page shows the lines of those taking
    // part. Kept when the screen opens again.
    void setControls(const std::vector<std::string> &lines) { controls = lines; }
    const std::vector<std::string> &getControls() const { return controls; }

    // A key press (key-table code): Up/Left and Down/Right choose, 1 to 4 or Tab the players,
    // Enter starts, Escape goes back.
    Action keyDown(int code);
    // A click's release at (x, y) on a window of width x height pixels.
    Action click(int x, int y, int width, int height);
    void setMessage(const std::string &text) { message = text; }

    MenuPage page(int width, int height) const;
    // Where the page puts the picture, for drawing and for tests.
    static PagePicture pictureRect(int width, int height);

  private:
    int firstShown() const; // index of the top title of the list
    int leastPlayers() const { return network ? 2 : 1; }

    std::vector<Entry> entries; // the levels offered, in order
    int selected = -1;          // index into entries; -1 without levels
    int players = 2;            // human players: 1 to 4
    AiDifficulty difficulty = AiDifficulty::Normal;
    std::vector<std::string> controls; // per player what he steers with
    std::string message;        // why nothing started, or a hint
    bool network = false;       // hosting a network battle: each player at his own machine
};
