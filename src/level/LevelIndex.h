#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The battlefields the level choice offers, in the order shown: data/level/levels.ini names one
// level file of data/level/ per line, optionally with the title shown for it. Level files it does
// not name (test arenas) are loaded but never offered.
class LevelIndex {
  public:
    static constexpr const char *kFile = "data/level/levels.ini";

    struct Entry {
        std::string file;  // a file name of data/level/, e.g. "lvl1.lvl"
        std::string title; // shown in the level choice; empty: the level's own name
    };

    // Reads the index at `path`. False after one "Error: " line when it cannot be opened; a line
    // that names no level file gets its own "Error: " line and is left out, as is a repeated file.
    static bool read(const std::string &path, std::vector<Entry> &entries);
    // The lines of an open index; `path` names it in error lines.
    static std::vector<Entry> parse(std::istream &in, const std::string &path);
};
