#include "ai/PhysicsRayCaster.h"

#include "physics/PhysXAccess.h"

bool PhysicsRayCaster::blocked(const float *from, const float *to) const {
    if (physics == nullptr) {
        return false;
    }
    ++rays;
    return physics->firstStaticHit(from, to, nullptr);
}
