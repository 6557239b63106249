#pragma once

#include <cstdint>

// Smooth 2D value noise on an integer lattice, fully determined by its seed, with a
// fractal sum of octaves for clouds, smoke, ridges and metal grain.
class ValueNoise {
  public:
    explicit ValueNoise(std::uint32_t seed) : seed(seed) {}

    float at(float x, float y) const; // 0..1, smooth, period-free
    // Sum of `octaves` layers, each at `lacunarity` times the frequency and `gain` times
    // the weight of the one before; normalised to 0..1.
    float fractal(float x, float y, int octaves, float gain = 0.5f, float lacunarity = 2.0f) const;
    // Value of the lattice point (ix, iy), 0..1.
    float lattice(int ix, int iy) const;

    // A 32-bit integer mix with good avalanche, the source of every random number here.
    static std::uint32_t hash(std::uint32_t x);

  private:
    std::uint32_t seed; // picks one of 2^32 noise fields
};
