#pragma once

class SpielObject;

// Receives the touches between armed actor pairs (PhysXAccess::setContactReport) once the
// simulation step is over, never from inside the physics engine: the handler may change, release
// or create actors freely.
class MyContactReport {
  public:
    virtual ~MyContactReport() = default;

    // One call per armed pair and step while the two touch; the objects come in the order the pair
    // was armed (the projectile first, the struck vehicle second), whatever order the engine uses.
    virtual void onContactNotify(SpielObject *projectile, SpielObject *vehicle) = 0;
};
