#pragma once

#include "objects/PlayerInput.h"

#include <string>

class Fahrzeug;
class Projektil;

// Whoever controls a vehicle: asked once per tick what the vehicle does, it sets the vehicle's
// throttle and turn or turns it, and may fire. Human players and the computer derive from it;
// the session talks to every owner through this base.
class Owner {
  public:
    static constexpr int kTypComputer = 3; // the computer player; the only type the game tests
    static constexpr int kTypDefault = 4;  // a new owner; the human players keep it

    Owner() = default;
    virtual ~Owner() = default;
    Owner(const Owner &) = default;
    Owner &operator=(const Owner &) = default;

    // One tick of control for `vehicle`: `input` is the controls of the player the vehicle belongs
    // to (an owner that decides for itself ignores it), `dt` the tick's length in seconds. Returns
    // the projectile fired in this tick, which the caller takes over, or null.
    virtual Projektil *doSomething(Fahrzeug *vehicle, const PlayerInput &input, float dt) = 0;

    const std::string &getName() const { return name; }
    void setName(const std::string &s) { name = s; }
    int getOwnerTyp() const { return ownerTyp; }
    void setOwnerTyp(int typ) { ownerTyp = typ; }

  private:
    std::string name;           // shown in the statistics corner
    int ownerTyp = kTypDefault; // 3 computer, 4 default
};
