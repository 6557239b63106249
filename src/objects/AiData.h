#pragma once

#include "ai/AiMemory.h"
#include "objects/AiLevelAnalysis.h"

class PhysXAccess;

// The computer player's memory for one vehicle: what it is doing, what it saw and where it drives,
// and the physics it casts its line-of-sight rays through. Owned by the vehicle.
class AiData {
  public:
    AiData() = default;
    // `physics` is not owned; it must outlive this record (the session owns both).
    explicit AiData(PhysXAccess *physics) : physics(physics) {}

    AiState getState() const { return memory.state; }
    AiMemory &getMemory() { return memory; }
    const AiMemory &getMemory() const { return memory; }
    PhysXAccess *getPhysXAccess() const { return physics; }

    // Whether `to` can be seen from `from` (three floats each): no ground, terrain or level object
    // lies on the line between them. Without a physics facade everything is visible.
    bool checkLineOfSight(const float *from, const float *to) const;

    static AiLevelAnalysis s_AiLevelAnalysis; // shared by every computer vehicle

  private:
    AiMemory memory;                // state, sightings, path
    PhysXAccess *physics = nullptr; // for the ray cast; not owned; null: no ray
};
