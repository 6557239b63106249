#pragma once

#include <cstdint>

// Seeded value noise from integer hashing only, so that every build and every
// run paints and shapes the same bytes.

// A hash of the lattice point (x, y) mapped to [0, 1).
double hash01(std::int32_t x, std::int32_t y, std::uint32_t seed);
// Smoothly interpolated lattice values, in [0, 1).
double valueNoise(double x, double y, std::uint32_t seed);
double valueNoise3(double x, double y, double z, std::uint32_t seed);
// Sum of `octaves` layers of value noise, each twice as fine and half as
// strong, normalised back into [0, 1).
double fractalNoise(double x, double y, int octaves, std::uint32_t seed);

// Hermite step from 0 at `edge0` to 1 at `edge1`.
inline double smoothStep(double edge0, double edge1, double x) {
    double t = (x - edge0) / (edge1 - edge0);
    t = t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t);
    return t * t * (3.0 - 2.0 * t);
}

// A per-texel brightness factor around 1 with the given spread, for grain.
inline double grain(double x, double y, std::uint32_t seed, double spread) {
    return 1.0 + spread * (hash01(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), seed) - 0.5);
}
