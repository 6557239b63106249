#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The battlefields the level choice offers, in the order shown: level/levels.ini of the data names
// one level file of the data's level/ folder per line, optionally with the title shown for it. Level files it does
// not name (test arenas) are loaded but never offered.
class LevelIndex {
  public:
    static std::string file(); // the data's index

    struct Entry {
        std::string file;  // a file name of the level folder, e.g. "lvl1.lvl"
        std::string title; // shown in the level choice; empty: the level's own name
    };

    // Reads the index at `path`. Lines that name no level file, and repeated files, are left out
    // with one "Error: " line for the whole file. False after one "Error: " line when the file
    // cannot be opened or names no level at all: then every level is to be offered.
    static bool read(const std::string &path, std::vector<Entry> &entries);
    // The lines of an open index; `path` names it in the error line; `reported`: whether one was printed.
    static std::vector<Entry> parse(std::istream &in, const std::string &path, bool *reported = nullptr);
};
