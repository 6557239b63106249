#include "objects/AiData.h"

#include "physics/CMyRaycastReport.h"
#include "physics/PhysXAccess.h"

AiLevelAnalysis AiData::s_AiLevelAnalysis;

bool AiData::checkLineOfSight(const float *from, const float *to) const {
    if (physics != nullptr && from != nullptr && to != nullptr) {
        const float towards[3] = {to[0] - from[0], to[1] - from[1], to[2] - from[2]};
        CMyRaycastReport report(to);
        // A zero or non-finite direction casts nothing (the facade checks it).
        physics->raycastAllShapes(from, towards, report);
    }
    return true;
}
