#pragma once

#include "ai/AiRayCaster.h"

class PhysXAccess;

// Line of sight through the physics world: a real ray against its static bodies. Counts the rays
// it casts, so the cost of seeing can be watched.
class PhysicsRayCaster : public AiRayCaster {
  public:
    explicit PhysicsRayCaster(const PhysXAccess *physics) : physics(physics) {}
    bool blocked(const float *from, const float *to) const override;
    long getRayCount() const { return rays; }

  private:
    const PhysXAccess *physics; // not owned; null: nothing ever blocks
    mutable long rays = 0;      // rays cast so far
};
