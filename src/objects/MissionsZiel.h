#pragma once

#include <string>

class GameClass;

// A mission goal of a level: the record side (name, kind, status). The level
// owns its goals; the session checks them every step.
class MissionsZiel {
  public:
    static constexpr int kStatusOpen = 0;         // not decided yet
    static constexpr int kStatusFulfilled = 1;    // goal reached
    static constexpr int kStatusFailed = 3;       // goal missed (may still change)
    static constexpr int kTypLastManStanding = 1; // only player one's vehicle may be left
    static constexpr int kTypNone = 3;            // no check: stays open

    int getStatus() const { return status; }
    void setStatus(int value) { status = value; }
    const std::string &getName() const { return name; }
    void setName(const std::string &s) { name = s; }
    int getTyp() const { return typ; }
    void setTyp(int value) { typ = value; }

    // Decides a "last man standing" goal once a single vehicle is left: fulfilled when it is player
    // one's, failed otherwise. With more vehicles, or none at all, and for every other kind of goal
    // the status stays as it is; so does a goal already fulfilled. A failed goal is decided again.
    void check(GameClass *gc);

  private:
    int status = kStatusOpen; // 1 fulfilled, 3 failed, anything else open
    std::string name;         // shown to the player
    int typ = kTypNone;       // goal kind
};
