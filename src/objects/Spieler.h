#pragma once

#include "objects/Owner.h"

// A human player: the player's controls drive, turn and fire the player's vehicle; five keys of
// the shared key table make those controls when the keyboard plays.
class Spieler : public Owner {
  public:
    // The key-table codes in the order of the player configuration: forward, backward, left, right,
    // shoot. Letters are taken in lower case, as the key table holds them; a code outside the table
    // is never held.
    Spieler(int up, int down, int left, int right, int shoot);

    // Fires while `input` asks to (the weapon's reload decides whether a shell leaves), sets the
    // vehicle's throttle and turn from it, and lets the weapon reload by dt. A null vehicle does
    // nothing.
    Projektil *doSomething(Fahrzeug *vehicle, const PlayerInput &input, float dt) override;
    // The controls this player's keys make in the key table (kKeyCount entries, true while held):
    // ahead and back, right and left cancel each other. A null table counts as no key held.
    PlayerInput readKeys(const bool *keys) const;
    // New keys, in the constructor's order (the Options screen changed them).
    void setKeys(int up, int down, int left, int right, int shoot);

    int getUpKey() const { return upKey; }
    int getDownKey() const { return downKey; }
    int getRightKey() const { return rightKey; }
    int getLeftKey() const { return leftKey; }
    int getShootKey() const { return shootKey; }
    int getScore() const { return score; }
    void setScore(int value) { score = value; }

  private:
    int upKey;     // key-table code: forward
    int downKey;   // key-table code: backward
    int rightKey;  // key-table code: turn right
    int leftKey;   // key-table code: turn left
    int shootKey;  // key-table code: fire
    int score = 0; // points of the running battle
};
