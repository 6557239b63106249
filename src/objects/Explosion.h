#pragma once

#include "objects/SpielObject.h"

class Fahrzeug;
class Projektil;

// A record of one shell's explosion: how long it lasts and who fired the shell. A spare game
// object kept for completeness; the running game shows explosions as effects on the shell itself.
class Explosion : public SpielObject {
  public:
    // Lifetime from the shell's weapon, shooter from the shell; a null shell gives 0 and none.
    explicit Explosion(const Projektil *projektil);

    float getTTL() const { return ttl; }
    Fahrzeug *getFahrzeug() const { return shooter; }

  private:
    float ttl = 0.0f;            // seconds the explosion lasts
    Fahrzeug *shooter = nullptr; // who fired the shell; not owned
};
