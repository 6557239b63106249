#pragma once

#include "objects/PowerUpObject.h"

#include <memory>
#include <string>
#include <vector>

class CPowerUpData;
class Fahrzeug;
class LevelPowerUpData;
class PhysXAccess;
class SpielObject;

// The power-ups of the running battle: each placed one has a trigger sphere in the physics, goes to
// the first tank (human or computer) that touches it, is gone until its respawn time has passed and
// then comes back; the timed effects the tanks carry run out. Each of these prints one line on
// standard output ("Power-up repair taken by player1: life 40 -> 70", "Power-up repair back at
// ...", "Power-up speed ran out for cpu2").
class PowerUpField {
  public:
    explicit PowerUpField(PhysXAccess *physics) : physics(physics) {}
    ~PowerUpField();
    PowerUpField(const PowerUpField &) = delete;
    PowerUpField &operator=(const PowerUpField &) = delete;

    // Removes every power-up and its trigger.
    void clear();
    // Places a power-up of `type` for the record, its base at `base` (x, y, z); the type must outlive
    // the field's power-ups. Returns the new power-up.
    PowerUpObject *place(const LevelPowerUpData &record, const CPowerUpData *type, const float *base);
    // A trigger report (CTriggerCallback): when `trigger` is one of the field's power-ups, still
    // there, and `other` is a tank of `vehicles` that can take it, the tank takes it. Returns the
    // power-up's position when it was taken, else null.
    const float *onTouch(SpielObject *trigger, SpielObject *other, int status,
                         const std::vector<Fahrzeug *> &vehicles);
    // One step: power-ups turn and come back, and the effects of `vehicles` count down.
    void step(float dt, const std::vector<Fahrzeug *> &vehicles);

    const std::vector<std::unique_ptr<PowerUpObject>> &getPowerUps() const { return powerUps; }

  private:
    PhysXAccess *physics;                                 // holds the trigger spheres; not owned
    std::vector<std::unique_ptr<PowerUpObject>> powerUps; // placed in this battle, owned
};
