#pragma once

#include <string>

class Fahrzeug;
class Projektil;

// Whoever controls a vehicle: asked once per game step what the vehicle does, it sets the
// vehicle's drive keys or turns it, and may fire. Human players and the computer derive from it;
// the session talks to every owner through this base.
class Owner {
  public:
    static constexpr int kTypComputer = 3; // the computer player; the only type the game tests
    static constexpr int kTypDefault = 4;  // a new owner; the human players keep it

    Owner() = default;
    virtual ~Owner() = default;
    Owner(const Owner &) = default;
    Owner &operator=(const Owner &) = default;

    // One step of control for `vehicle` with the key table `keys` (kKeyCount entries, true while
    // held) and the step time `dt` in seconds. Returns the projectile fired in this step, which the
    // caller takes over, or null.
    virtual Projektil *doSomething(Fahrzeug *vehicle, bool *keys, float dt) = 0;

    const std::string &getName() const { return name; }
    void setName(const std::string &s) { name = s; }
    int getOwnerTyp() const { return ownerTyp; }
    void setOwnerTyp(int typ) { ownerTyp = typ; }

  private:
    std::string name;           // shown in the statistics corner
    int ownerTyp = kTypDefault; // 3 computer, 4 default
};
