#pragma once

#include "objects/Owner.h"

// A human player: five keys of the shared key table drive, turn and fire the player's vehicle.
class Spieler : public Owner {
  public:
    // The key codes in the order of the player configuration: forward, backward, left, right, shoot.
    // Every code from 0 to 255 addresses its own entry of the key table.
    Spieler(unsigned char up, unsigned char down, unsigned char left, unsigned char right,
            unsigned char shoot);

    // Fires while the shoot key is held (the weapon's reload decides whether a shell leaves), sets
    // the four drive keys from the table, and lets the weapon reload by dt. A null vehicle does
    // nothing; a null table counts as no key held.
    Projektil *doSomething(Fahrzeug *vehicle, bool *keys, float dt) override;

    unsigned char getUpKey() const { return upKey; }
    unsigned char getDownKey() const { return downKey; }
    unsigned char getRightKey() const { return rightKey; }
    unsigned char getLeftKey() const { return leftKey; }
    unsigned char getShootKey() const { return shootKey; }
    int getScore() const { return score; }
    void setScore(int value) { score = value; }

  private:
    unsigned char upKey;    // key code: forward
    unsigned char downKey;  // key code: backward
    unsigned char rightKey; // key code: turn right
    unsigned char leftKey;  // key code: turn left
    unsigned char shootKey; // key code: fire
    int score = 0;          // kept for the player; the game counts nothing yet
};
