#include "particles/ParticleRandom.h"

ParticleRandom::ParticleRandom(unsigned int seed) : engine(seed) {}

void ParticleRandom::seed(unsigned int s) {
    engine.seed(s);
}

int ParticleRandom::below(int n) {
    if (n <= 1) {
        return 0;
    }
    // The modulo keeps the rand() % n shape the effects were tuned with; with a
    // 32-bit source and n of a few thousand its bias is far below visibility.
    return static_cast<int>(engine() % static_cast<unsigned int>(n));
}

ParticleRandom &ParticleRandom::shared() {
    static ParticleRandom generator;
    return generator;
}
