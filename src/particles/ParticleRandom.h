#pragma once

#include <random>

// The effects' source of random numbers: a seedable generator instead of the
// C library's global rand(), so that a test (or a replay) gets the same smoke
// and explosions from the same seed. Draws follow rand() % n: below(n) is one
// of 0 .. n-1, and unit() is the effects' "u" = below(1000) / 1000.
class ParticleRandom {
  public:
    static constexpr unsigned int kDefaultSeed = 5489u; // the generator's customary start

    explicit ParticleRandom(unsigned int seed = kDefaultSeed);
    virtual ~ParticleRandom() = default; // tests script draws through a subclass

    void seed(unsigned int s);

    // One of 0 .. n-1 (0 for n <= 1).
    virtual int below(int n);
    // A value in 0 .. 0.999 in steps of 0.001.
    float unit() { return static_cast<float>(below(1000)) / 1000.0f; }

    // The generator every effect uses unless it is handed its own.
    static ParticleRandom &shared();

  private:
    std::mt19937 engine; // 32-bit Mersenne twister: the same sequence on every platform
};
