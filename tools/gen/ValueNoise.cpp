#include "ValueNoise.h"

#include <cmath>

std::uint32_t ValueNoise::hash(std::uint32_t x) {
    // "lowbias32" by Chris Wellons.
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return x;
}

float ValueNoise::lattice(int ix, int iy) const {
    const std::uint32_t h = hash(static_cast<std::uint32_t>(ix) * 0x8da6b343u ^
                                 hash(static_cast<std::uint32_t>(iy) * 0xd8163841u ^ seed));
    return static_cast<float>(h >> 8) / 16777215.0f;
}

float ValueNoise::at(float x, float y) const {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * tx * (tx * (tx * 6.0f - 15.0f) + 10.0f); // quintic fade: no creases at lattice lines
    ty = ty * ty * ty * (ty * (ty * 6.0f - 15.0f) + 10.0f);
    const float a = lattice(ix, iy), b = lattice(ix + 1, iy);
    const float c = lattice(ix, iy + 1), d = lattice(ix + 1, iy + 1);
    const float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float ValueNoise::fractal(float x, float y, int octaves, float gain, float lacunarity) const {
    float sum = 0.0f, weight = 1.0f, total = 0.0f, frequency = 1.0f;
    for (int i = 0; i < octaves; ++i) {
        // Each octave is offset so that lattice points of different octaves do not line up.
        sum += weight * at(x * frequency + 17.31f * i, y * frequency - 9.73f * i);
        total += weight;
        weight *= gain;
        frequency *= lacunarity;
    }
    return total > 0.0f ? sum / total : 0.0f;
}
