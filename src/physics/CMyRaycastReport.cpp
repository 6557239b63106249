#include "physics/CMyRaycastReport.h"

#include <cmath>

CMyRaycastReport::CMyRaycastReport(const float *xyz) {
    setTarget(xyz);
}

void CMyRaycastReport::setTarget(const float *xyz) {
    for (int i = 0; i < 3; ++i) {
        target[i] = xyz[i];
    }
}

bool CMyRaycastReport::onHit(const RaycastHit &h) {
    for (int i = 0; i < 3; ++i) {
        // Written so that a NaN coordinate never counts as close.
        if (!(std::fabs(h.worldImpact[i] - target[i]) <= kTargetTolerance)) {
            return true;
        }
    }
    hit = true;
    for (int i = 0; i < 3; ++i) {
        hitNormal[i] = h.worldNormal[i];
    }
    return false;
}
