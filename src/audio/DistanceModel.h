#pragma once

#include <algorithm>

// How loud a sound is at a distance: full within the reference distance, then falling inversely
// with distance down to a floor reached at the far distance, so a battle across the map stays
// audible but quiet. OpenAL's clamped inverse model with these values computes the same.
struct DistanceModel {
    static constexpr float kReferenceDistance = 12.0f; // units heard at full gain
    static constexpr float kMaxDistance = 240.0f;      // units; farther away sounds no softer
    static constexpr float kRolloff = 1.0f;

    static float gainAt(float distance) {
        const float d = std::clamp(distance, kReferenceDistance, kMaxDistance);
        return kReferenceDistance / (kReferenceDistance + kRolloff * (d - kReferenceDistance));
    }
};
