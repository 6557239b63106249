#include "ai/Gunnery.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kRadToDeg = 57.29577951f;
constexpr float kTankHalfWidth = 1.2f; // a shell passing closer than this to a tank's axis hits it
} // namespace

float Gunnery::headingTo(const float *from, const float *to) {
    const float h = std::atan2(to[0] - from[0], to[2] - from[2]) * kRadToDeg;
    return h < 0.0f ? h + 360.0f : h;
}

float Gunnery::headingDifference(float a, float b) {
    float d = std::fmod(b - a, 360.0f);
    if (d > 180.0f) {
        d -= 360.0f;
    } else if (d <= -180.0f) {
        d += 360.0f;
    }
    return d;
}

void Gunnery::leadPoint(const float *muzzle, float shellSpeed, const float *target, const float *velocity,
                        float *aim, float *flightTime) {
    const float dx = target[0] - muzzle[0];
    const float dz = target[2] - muzzle[2];
    const float vx = velocity[0];
    const float vz = velocity[2];
    // |d + v t| = s t  =>  (v.v - s^2) t^2 + 2 (d.v) t + d.d = 0
    const float a = vx * vx + vz * vz - shellSpeed * shellSpeed;
    const float b = 2.0f * (dx * vx + dz * vz);
    const float c = dx * dx + dz * dz;
    float t = -1.0f;
    if (std::fabs(a) < 1e-6f) {
        t = std::fabs(b) > 1e-6f ? -c / b : -1.0f;
    } else {
        const float disc = b * b - 4.0f * a * c;
        if (disc >= 0.0f) {
            const float root = std::sqrt(disc);
            const float t1 = (-b - root) / (2.0f * a);
            const float t2 = (-b + root) / (2.0f * a);
            const float lo = std::min(t1, t2), hi = std::max(t1, t2);
            t = lo > 0.0f ? lo : hi;
        }
    }
    if (!(t > 0.0f) || !std::isfinite(t)) {
        t = 0.0f; // cannot be caught: aim at the target as it is
    }
    aim[0] = target[0] + vx * t;
    aim[1] = target[1];
    aim[2] = target[2] + vz * t;
    if (flightTime != nullptr) {
        *flightTime = t > 0.0f ? t : std::sqrt(c) / std::max(shellSpeed, 1e-3f);
    }
}

float Gunnery::tolerance(float distance) {
    return std::max(0.5f, std::atan2(kTankHalfWidth * 0.8f, std::max(distance, 1.0f)) * kRadToDeg);
}

float Gunnery::closestApproach(const float *shell, const float *velocity, const float *at, float horizon,
                               float *missDistance) {
    const float px = at[0] - shell[0];
    const float pz = at[2] - shell[2];
    const float vv = velocity[0] * velocity[0] + velocity[2] * velocity[2];
    float t = vv > 1e-6f ? (px * velocity[0] + pz * velocity[2]) / vv : 0.0f;
    t = std::clamp(t, 0.0f, horizon);
    const float mx = px - velocity[0] * t;
    const float mz = pz - velocity[2] * t;
    if (missDistance != nullptr) {
        *missDistance = std::sqrt(mx * mx + mz * mz);
    }
    return t;
}
