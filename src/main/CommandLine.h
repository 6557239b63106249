#pragma once

#include <string>
#include <vector>

// What the command line asks of a run: a level to start at once instead of the menu, and how many
// players fight in it. Options the game does not know of that start with one dash ("-display",
// "-geometry", ...) are GLUT's and stay in the argument list for it.
class CommandLine {
  public:
    // Reads `--level FILE` (or `--level=FILE`) and `--players N` (or `--players=N`, N 1 or 2).
    // A missing value, a wrong player count, a level name with a path in it or an unknown option
    // of two dashes sets the error (one line without the "Error: " prefix) and stops the parse.
    static CommandLine parse(const std::vector<std::string> &args);

    bool ok() const { return error.empty(); }
    const std::string &getError() const { return error; }
    const std::string &getLevel() const { return level; } // empty: the game starts in the menu
    int getPlayers() const { return players; }             // 0: as the settings say
    const std::vector<std::string> &getRest() const { return rest; }

  private:
    std::string error;
    std::string level;             // a file name in data/level/
    int players = 0;               // 1 or 2 when given
    std::vector<std::string> rest; // the arguments left for GLUT, the program name first
};
