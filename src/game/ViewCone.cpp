#include "game/ViewCone.h"

#include "math/MathConstants.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kSideMargin = 12.0; // degrees the cone reaches beyond a 4:3 window's edge
} // namespace

ViewCone::ViewCone(const std::array<float, 3> &eyePosition, float yaw, float pitch, double sideAngle)
    : eye(eyePosition), cosYaw(static_cast<float>(std::cos(degreesToRadians(yaw)))),
      sinYaw(static_cast<float>(std::sin(degreesToRadians(yaw)))),
      cosPitch(static_cast<float>(std::cos(degreesToRadians(pitch)))),
      sinPitch(static_cast<float>(std::sin(degreesToRadians(pitch)))),
      sinSide(static_cast<float>(std::sin(degreesToRadians(sideAngle)))),
      cosSide(static_cast<float>(std::cos(degreesToRadians(sideAngle)))) {}

double ViewCone::sideAngleFor(double aspect, double fieldOfView) {
    const double halfWidth =
        std::atan(aspect * std::tan(degreesToRadians(fieldOfView / 2.0))) * 180.0 / kPi; // degrees
    return std::max(kSideAngle, 90.0 - halfWidth - kSideMargin);
}

std::array<float, 3> ViewCone::toViewSpace(const float *point) const {
    const float qx = point[0] - eye[0];
    const float qy = point[1] - eye[1];
    const float qz = point[2] - eye[2];
    const float x1 = cosYaw * qx - sinYaw * qz;
    const float z1 = sinYaw * qx + cosYaw * qz;
    const float z2 = cosPitch * z1 - sinPitch * qy;
    const float y2 = sinPitch * z1 + cosPitch * qy;
    return {x1, y2, z2};
}

ViewCone::Result ViewCone::classifyViewSpace(const std::array<float, 3> &view) const {
    if (view[2] >= kNearLimit)
        return kBehind;
    const bool insideRight = sinSide * view[0] + cosSide * view[2] < 0;
    const bool insideLeft = -sinSide * view[0] + cosSide * view[2] < 0;
    return insideRight && insideLeft ? kVisible : kBeside;
}

ViewCone::Result ViewCone::classify(const float *point) const { return classifyViewSpace(toViewSpace(point)); }

bool ViewCone::mayShowBox(const float *min, const float *max) const {
    int behind = 0, pastRight = 0, pastLeft = 0;
    for (int i = 0; i < 8; ++i) {
        const float corner[3] = {(i & 1) ? max[0] : min[0], (i & 2) ? max[1] : min[1],
                                 (i & 4) ? max[2] : min[2]};
        const std::array<float, 3> view = toViewSpace(corner);
        behind += view[2] >= kNearLimit;
        pastRight += !(sinSide * view[0] + cosSide * view[2] < 0);
        pastLeft += !(-sinSide * view[0] + cosSide * view[2] < 0);
    }
    return behind < 8 && pastRight < 8 && pastLeft < 8;
}
