#pragma once

#include "particles/ParticleEngine.h"

// Wraps an effect pointer so the scene can sort its visible effects: the
// effect with the greatest depth key (the nearest) sorts first, and the scene
// draws the sorted list from its end, farthest first.
class ParticleEngineHelp {
  public:
    explicit ParticleEngineHelp(ParticleEngine *p) : p(p) {}

    bool operator<(const ParticleEngineHelp &other) const { return p->leq(*other.p); }

    ParticleEngine *getParticleEngine() const { return p; }

  private:
    ParticleEngine *p; // not owned
};
