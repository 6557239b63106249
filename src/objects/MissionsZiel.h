#pragma once

#include <string>

// A mission goal of a level, as its file names it: the level choice shows it to the player. The
// battle's result is the battle rules' alone; nothing checks a goal during play.
class MissionsZiel {
  public:
    static constexpr int kTypLastManStanding = 1; // only player one's vehicle may be left
    static constexpr int kTypNone = 3;            // no check

    const std::string &getName() const { return name; }
    void setName(const std::string &s) { name = s; }
    int getTyp() const { return typ; }
    void setTyp(int value) { typ = value; }

  private:
    std::string name;   // shown to the player
    int typ = kTypNone; // goal kind
};
