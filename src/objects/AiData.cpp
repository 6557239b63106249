#include "objects/AiData.h"

#include "physics/PhysXAccess.h"

AiLevelAnalysis AiData::s_AiLevelAnalysis;

bool AiData::checkLineOfSight(const float *from, const float *to) const {
    return physics == nullptr || from == nullptr || to == nullptr ||
           !physics->firstStaticHit(from, to, nullptr);
}
