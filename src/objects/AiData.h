#pragma once

#include "objects/AiLevelAnalysis.h"

class PhysXAccess;

// The computer player's memory for one vehicle: its state, how far it watches, and the physics it
// casts its line-of-sight rays through. Owned by the vehicle.
class AiData {
  public:
    static constexpr int kStatusWaiting = 1;        // nothing seen yet
    static constexpr int kStatusLostContact = 2;    // an enemy moved out of reach
    static constexpr int kStatusProjectileNear = 3; // a foreign shell came close
    static constexpr int kStatusAttack = 6;         // turning towards the nearest enemy and firing
    static constexpr float kActionRadius = 20.0f;   // world units

    AiData() = default;
    // `physics` is not owned; it must outlive this record (the session owns both).
    explicit AiData(PhysXAccess *physics) : physics(physics) {}

    int getStatus() const { return status; }
    void setStatus(int value) { status = value; }
    float getActionRadius() const { return actionRadius; }
    PhysXAccess *getPhysXAccess() const { return physics; }

    // Whether `to` can be seen from `from` (three floats each). With a physics facade a ray is cast
    // from `from` towards `to` that watches for a hit at `to`; its outcome does not decide yet, so
    // every target counts as visible.
    bool checkLineOfSight(const float *from, const float *to) const;

    static AiLevelAnalysis s_AiLevelAnalysis; // shared by every computer vehicle; holds nothing

  private:
    int status = kStatusWaiting;        // one of the kStatus values
    float actionRadius = kActionRadius; // world units
    PhysXAccess *physics = nullptr;     // for the ray cast; not owned; null: no ray
};
