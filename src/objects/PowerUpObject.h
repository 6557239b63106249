#pragma once

class CPowerUpData;

// A power-up placed in a level. Power-ups have no effect on play yet, so the placement keeps none
// of its values.
class PowerUpObject {
  public:
    PowerUpObject() = default;
    // fPos: x, y, z; fTimeToLife in seconds; the type record is not owned.
    PowerUpObject(const float *fPos, float fTimeToLife, const CPowerUpData *pPowerUpData) {
        (void)fPos;
        (void)fTimeToLife;
        (void)pPowerUpData;
    }
};
