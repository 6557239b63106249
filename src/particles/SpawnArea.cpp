#include "particles/SpawnArea.h"

#include "particles/ParticleRandom.h"

#include <cmath>

void SpawnArea::spawn(const float *center, ParticleRandom &random, float *out) const {
    const float ux = random.unit();
    const float uz = random.unit();
    if (fRadius != 0.0f) {
        out[0] = center[0] + ux * fRadius;
        out[2] = center[2] + uz * fRadius;
    } else {
        out[0] = center[0] + ux * fLenghtX - fLenghtX / 2.0f;
        out[2] = center[2] + uz * fLenghtZ - fLenghtZ / 2.0f;
    }
    out[1] = center[1];
    out[3] = 1.0f;
}

float SpawnArea::riseTime() const {
    const float t = fHight / fAuftrieb;
    return (t > 0.0f && std::isfinite(t)) ? t : 0.0f;
}
