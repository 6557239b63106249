#include "TerrainArt.h"

#include "ValueNoise.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kUnitsPerValue = 1.0f / 30.0f; // the level's height scale
constexpr float kMaxHeight = 255.0f * kUnitsPerValue;

float gaussian(float x, float z, float cx, float cz, float radius) {
    const float dx = (x - cx) / radius, dz = (z - cz) / radius;
    return std::exp(-(dx * dx + dz * dz));
}

// Value noise that repeats every `period` lattice cells in both directions,
// so that a picture painted from it tiles without seams.
float periodicNoise(const ValueNoise &noise, float x, float y, int period) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * tx * (tx * (tx * 6.0f - 15.0f) + 10.0f);
    ty = ty * ty * ty * (ty * (ty * 6.0f - 15.0f) + 10.0f);
    const auto at = [&](int i, int j) {
        return noise.lattice(((i % period) + period) % period, ((j % period) + period) % period);
    };
    const float top = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * tx;
    const float bottom = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * tx;
    return top + (bottom - top) * ty;
}

// Fractal sum of periodic octaves; u, v run 0..1 over the tile.
float periodicFractal(const ValueNoise &noise, float u, float v, int basePeriod, int octaves) {
    float sum = 0.0f, weight = 1.0f, total = 0.0f;
    int period = basePeriod;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * periodicNoise(noise, u * period + 7 * i, v * period + 3 * i, period);
        total += weight;
        weight *= 0.5f;
        period *= 2;
    }
    return sum / total;
}

} // namespace

float TerrainArt::mainHeight(float x, float z) {
    static const ValueNoise noise(0x7E22A1Du);
    float h = 0.9f;
    // A rim of hills along the border keeps the battle on the map.
    const float r = std::pow(std::pow(std::fabs(x), 4.0f) + std::pow(std::fabs(z), 4.0f), 0.25f);
    h += 6.8f * smoothstep(44.0f, 75.0f, r);
    // Hills inside: a big one north-west, smaller ones around the plain.
    h += 5.0f * gaussian(x, z, -32.0f, -30.0f, 15.0f);
    h += 3.6f * gaussian(x, z, 36.0f, 20.0f, 12.0f);
    h += 3.0f * gaussian(x, z, 12.0f, -45.0f, 11.0f);
    h += 2.4f * gaussian(x, z, -48.0f, 18.0f, 10.0f);
    h += 2.0f * gaussian(x, z, 44.0f, -26.0f, 10.0f);
    // A dry river bed winds from west to east across the middle.
    const float bed = 4.0f + 8.0f * std::sin(x / 23.0f) + 3.5f * std::sin(x / 10.0f + 1.3f);
    const float across = (z - bed) / 5.0f;
    h -= 0.9f * std::exp(-across * across) * (1.0f - smoothstep(55.0f, 72.0f, std::fabs(x)));
    // Gentle rolling ground everywhere.
    h += 1.0f * (noise.fractal(x / 20.0f + 100.0f, z / 20.0f + 100.0f, 3) - 0.5f);
    return std::clamp(h, 0.0f, kMaxHeight);
}

float TerrainArt::smallHeight(float x, float z) {
    // A shallow bowl with a low mound on one side.
    const float r = std::sqrt(x * x + z * z);
    float h = 0.8f + 2.4f * smoothstep(18.0f, 30.0f, r) + 1.2f * gaussian(x, z, 12.0f, -8.0f, 7.0f);
    return std::clamp(h, 0.0f, kMaxHeight);
}

Canvas TerrainArt::heightmap(int side, float (*height)(float, float)) {
    Canvas canvas(side, side);
    const float half = static_cast<float>(side) / 2.0f;
    for (int py = 0; py < side; ++py) {
        for (int px = 0; px < side; ++px) {
            const float h = height(static_cast<float>(px) - half, static_cast<float>(py) - half);
            // Exact grey steps: the byte written is round(h * 30).
            const float value = std::round(h / kUnitsPerValue) / 255.0f;
            canvas.set(px, py, Color{value, value, value, 1.0f});
        }
    }
    return canvas;
}

Canvas TerrainArt::ground() {
    const ValueNoise tone(0x6A55u), dry(0xD21u), grain(0x5EEDu), blades(0xB1ADEu), stones(0x570Eu);
    const Color darkGrass = Color::hex(0x3f6624);
    const Color lightGrass = Color::hex(0x6f9438);
    const Color dryGrass = Color::hex(0x98924f);
    const Color dirt = Color::hex(0x7a6446);
    const Color pebble = Color::hex(0x9a958a);
    Canvas canvas(kGroundSide, kGroundSide);
    const float side = static_cast<float>(kGroundSide);
    for (int y = 0; y < kGroundSide; ++y) {
        for (int x = 0; x < kGroundSide; ++x) {
            const float u = static_cast<float>(x) / side, v = static_cast<float>(y) / side;
            // The picture repeats every 5 units, so broad changes of tone are
            // kept weak: they would draw a grid over the whole terrain.
            Color c = mix(darkGrass, lightGrass, 0.35f + 0.3f * periodicFractal(tone, u, v, 4, 5));
            c = mix(c, dryGrass, 0.25f * smoothstep(0.5f, 0.8f, periodicFractal(dry, u, v, 8, 3)));
            // Blades: fine noise stretched along one axis.
            const float blade = periodicNoise(blades, u * 256.0f, v * 64.0f, 64);
            c = c.scaled(0.9f + 0.2f * blade);
            // Specks of bare earth and small stones in the grass.
            const float earth = periodicFractal(grain, u, v, 32, 2);
            c = mix(c, dirt, 0.6f * smoothstep(0.74f, 0.8f, earth));
            const float stone = periodicNoise(stones, u * 128.0f, v * 128.0f, 128);
            c = mix(c, pebble, 0.7f * smoothstep(0.95f, 0.98f, stone));
            canvas.set(x, y, Color{clamp01(c.r), clamp01(c.g), clamp01(c.b), 1.0f});
        }
    }
    return canvas;
}

bool TerrainArt::generate(ArtContext &context) {
    bool ok = context.saveTexture(heightmap(kMainSide, &mainHeight), "heightmap.png", 3, false);
    ok = context.saveTexture(heightmap(kSmallSide, &smallHeight), "heightmap_small.png", 3, false) && ok;
    ok = context.saveTexture(ground(), "ground.png", 3, true) && ok;
    return ok;
}
