#include "objects/Turm.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kDegToRad = 0.017453292f; // the heading's conversion factor

// One correction by 360 towards [0, 360], as every heading in the game gets.
float wrapOnce(float angle) {
    if (angle > 360.0f) {
        return angle - 360.0f;
    }
    if (angle < 0.0f) {
        return angle + 360.0f;
    }
    return angle;
}

} // namespace

void Turm::setPos(const float *xyz) {
    std::copy(xyz, xyz + 3, pos);
}

void Turm::setPosMuendung(const float *xyz) {
    std::copy(xyz, xyz + 3, posMuendung);
}

void Turm::setRotY(float angle) {
    const float delta = wrapOnce(rotY - angle) * kDegToRad;
    const float c = std::cos(delta);
    const float s = std::sin(delta);
    const float x = posMuendung[0];
    const float z = posMuendung[2];
    posMuendung[0] = c * x - s * z;
    posMuendung[2] = s * x + c * z;
    rotY = wrapOnce(angle);
}
