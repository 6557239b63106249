#include "game/OrbitCamera.h"

#include "math/MathConstants.h"

#include <algorithm>
#include <cmath>

namespace {
// The orbit formula puts the eye on the side the tank faces; half a turn more
// keeps the camera behind the tank, looking the way it drives.
constexpr float kCameraBehind = 180.0f;
} // namespace

void OrbitCamera::setAngleX(float angle) {
    if (angle >= kMinPitch && angle <= kMaxPitch)
        angleX = angle;
}

void OrbitCamera::setCamDistance(float distance) {
    if (std::isfinite(distance))
        camDistance = std::clamp(distance, kMinDistance, kMaxDistance);
}

void OrbitCamera::zoom(float dt, bool in, bool out) {
    setCamDistance(camDistance + kZoomPerSecond * dt * ((out ? 1.0f : 0.0f) - (in ? 1.0f : 0.0f)));
}

void OrbitCamera::calcViewPos(float extraYaw) {
    const double pitch = angleX * kPi / 180.0;
    const double yaw = (angleY + extraYaw) * kPi / 180.0;
    viewPos[0] = static_cast<float>(camDistance * std::cos(pitch) * std::sin(yaw));
    viewPos[1] = static_cast<float>(-camDistance * std::sin(pitch));
    viewPos[2] = static_cast<float>(camDistance * std::cos(pitch) * std::cos(yaw));
}

void OrbitCamera::follow(const float *position, float headingDegrees) {
    for (int i = 0; i < 3; ++i)
        target[i] = position[i];
    orbitYaw = headingDegrees + kCameraBehind;
}

std::array<float, 3> OrbitCamera::eyeAt(const float *targetPosition) const {
    std::array<float, 3> out = viewPos;
    for (int i = 0; i < 3; ++i)
        out[i] += targetPosition[i];
    return out;
}
