#pragma once

class ParticleRandom;

// Where fire and smoke particles start and how long they rise: either a square
// of side `fRadius` with the emitter at one corner, or (radius 0) a rectangle
// centred on the emitter.
class SpawnArea {
  public:
    SpawnArea() = default;
    SpawnArea(float fHight, float fAuftrieb, float fRadius, float fLenghtX, float fLenghtZ)
        : fHight(fHight), fAuftrieb(fAuftrieb), fRadius(fRadius), fLenghtX(fLenghtX), fLenghtZ(fLenghtZ) {}

    // A random start position (out: x, y, z, w = 1) around the emitter position `center`.
    void spawn(const float *center, ParticleRandom &random, float *out) const;
    // Seconds a particle needs to rise the full height; 0 when the buoyancy
    // cannot lift it there (no buoyancy, or height and buoyancy of opposite sign).
    float riseTime() const;

    float getHight() const { return fHight; }
    float getAuftrieb() const { return fAuftrieb; }
    float getRadius() const { return fRadius; }
    float getLenghtX() const { return fLenghtX; }
    float getLenghtZ() const { return fLenghtZ; }

  private:
    float fHight = 0.0f;    // how high particles rise, world units
    float fAuftrieb = 0.0f; // upward speed, world units per second
    float fRadius = 0.0f;   // side of the corner square; 0 selects the rectangle
    float fLenghtX = 0.0f;  // rectangle length along x, world units
    float fLenghtZ = 0.0f;  // rectangle length along z, world units
};
