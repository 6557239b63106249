#include "Noise.h"

#include <cmath>

namespace {
std::uint32_t mix(std::uint32_t h) {
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

std::uint32_t hash3(std::int32_t x, std::int32_t y, std::int32_t z, std::uint32_t seed) {
    std::uint32_t h = mix(seed ^ 0x9E3779B9u);
    h = mix(h ^ static_cast<std::uint32_t>(x) * 0x85EBCA6Bu);
    h = mix(h ^ static_cast<std::uint32_t>(y) * 0xC2B2AE35u);
    h = mix(h ^ static_cast<std::uint32_t>(z) * 0x27D4EB2Fu);
    return h;
}

double unit(std::uint32_t h) {
    return (h >> 8) / 16777216.0;
}

double smooth(double t) {
    return t * t * (3.0 - 2.0 * t);
}

double lerp(double a, double b, double t) {
    return a + (b - a) * t;
}
} // namespace

double hash01(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    return unit(hash3(x, y, 0, seed));
}

double valueNoise(double x, double y, std::uint32_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const std::int32_t ix = static_cast<std::int32_t>(fx), iy = static_cast<std::int32_t>(fy);
    const double tx = smooth(x - fx), ty = smooth(y - fy);
    const double top = lerp(hash01(ix, iy, seed), hash01(ix + 1, iy, seed), tx);
    const double bottom = lerp(hash01(ix, iy + 1, seed), hash01(ix + 1, iy + 1, seed), tx);
    return lerp(top, bottom, ty);
}

double valueNoise3(double x, double y, double z, std::uint32_t seed) {
    const double fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    const std::int32_t ix = static_cast<std::int32_t>(fx), iy = static_cast<std::int32_t>(fy),
                       iz = static_cast<std::int32_t>(fz);
    const double tx = smooth(x - fx), ty = smooth(y - fy), tz = smooth(z - fz);
    double layer[2];
    for (int k = 0; k < 2; ++k) {
        const double a = lerp(unit(hash3(ix, iy, iz + k, seed)), unit(hash3(ix + 1, iy, iz + k, seed)), tx);
        const double b =
            lerp(unit(hash3(ix, iy + 1, iz + k, seed)), unit(hash3(ix + 1, iy + 1, iz + k, seed)), tx);
        layer[k] = lerp(a, b, ty);
    }
    return lerp(layer[0], layer[1], tz);
}

double fractalNoise(double x, double y, int octaves, std::uint32_t seed) {
    double sum = 0.0, weight = 1.0, total = 0.0, scale = 1.0;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * valueNoise(x * scale, y * scale, seed + static_cast<std::uint32_t>(o) * 101u);
        total += weight;
        weight *= 0.5;
        scale *= 2.0;
    }
    return sum / total;
}
