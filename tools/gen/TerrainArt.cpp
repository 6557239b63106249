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

float TerrainArt::canyonMiddle(float z) {
    return 10.0f * std::sin(z / 28.0f) + 5.0f * std::sin(z / 11.0f + 0.7f);
}

float TerrainArt::canyonHeight(float x, float z) {
    static const ValueNoise noise(0xCA4Du), mesas(0x3E5Au);
    const float across = std::fabs(x - canyonMiddle(z));
    // Plateaus on both sides, the canyon floor between walls that a tank can still climb.
    float h = 1.2f + 5.0f * smoothstep(17.0f, 33.0f, across);
    // A side canyon opens eastwards in the south.
    const float branch = std::fabs(z - 30.0f - 6.0f * std::sin(x / 15.0f));
    if (x > canyonMiddle(z)) {
        h = std::min(h, 1.6f + 4.6f * smoothstep(7.0f, 18.0f, branch));
    }
    // Buttes stand on the plateaus; the ground is rougher up there.
    const float up = smoothstep(20.0f, 34.0f, across);
    h += up * 1.6f * smoothstep(0.55f, 0.75f, mesas.fractal(x / 18.0f + 9.0f, z / 18.0f + 3.0f, 2));
    h += (0.35f + 0.9f * up) * (noise.fractal(x / 14.0f + 50.0f, z / 14.0f + 50.0f, 3) - 0.5f);
    // The dry river bed in the middle of the floor.
    const float bed = across / 6.0f;
    h -= 1.0f * std::exp(-bed * bed);
    // A rim of higher ground along the border.
    const float r = std::pow(std::pow(std::fabs(x), 4.0f) + std::pow(std::fabs(z), 4.0f), 0.25f);
    h += 1.2f * smoothstep(62.0f, 75.0f, r);
    return std::clamp(h, 0.0f, kMaxHeight);
}

float TerrainArt::snowHeight(float x, float z) {
    static const ValueNoise noise(0x5E0Bu);
    float h = 2.4f + 2.2f * (noise.fractal(x / 30.0f + 20.0f, z / 30.0f + 20.0f, 4) - 0.5f);
    h += 3.0f * gaussian(x, z, -40.0f, -35.0f, 18.0f);
    h += 2.4f * gaussian(x, z, -30.0f, 40.0f, 14.0f);
    h += 2.2f * gaussian(x, z, 50.0f, 40.0f, 13.0f);
    h += 1.6f * gaussian(x, z, 55.0f, -50.0f, 12.0f);
    const float r = std::pow(std::pow(std::fabs(x), 4.0f) + std::pow(std::fabs(z), 4.0f), 0.25f);
    h += 3.2f * smoothstep(52.0f, 75.0f, r);
    // The frozen lake: exactly flat inside its radius, banks rising around it.
    const float d = std::hypot(x - kLakeX, z - kLakeZ);
    h = kLakeHeight + (h - kLakeHeight) * smoothstep(kLakeRadius, kLakeRadius + 12.0f, d);
    return std::clamp(h, 0.0f, kMaxHeight);
}

float TerrainArt::harbourHeight(float x, float z) {
    static const ValueNoise noise(0x4A2Bu);
    // The town: almost flat, rising into hills to the south.
    float h = kTownHeight + 0.25f * (noise.fractal(x / 12.0f + 5.0f, z / 12.0f + 5.0f, 2) - 0.5f) *
                                smoothstep(kQuayZ + 4.0f, kQuayZ + 14.0f, z);
    h += 4.5f * smoothstep(35.0f, 72.0f, z) * (0.7f + 0.3f * std::sin(x / 13.0f));
    h += 2.5f * smoothstep(58.0f, 75.0f, std::fabs(x)) * smoothstep(kQuayZ, kQuayZ + 10.0f, z);
    // The quay drops into the sea within one terrain cell.
    const float land = smoothstep(kQuayZ - 2.0f, kQuayZ, z);
    h = kSeabedHeight + (h - kSeabedHeight) * land;
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

Canvas TerrainArt::canyonGround() {
    const ValueNoise tone(0xC0A1u), streaks(0x57EAu), grain(0x6A1Eu), stones(0x5705u);
    const Color sand = Color::hex(0xb8875a), darkSand = Color::hex(0x8e5e3a), dust = Color::hex(0xd2ab7c);
    const Color pebble = Color::hex(0x6e5444), scrub = Color::hex(0x7c7446);
    Canvas canvas(kLevelGroundSide, kLevelGroundSide);
    const float side = static_cast<float>(kLevelGroundSide);
    for (int y = 0; y < kLevelGroundSide; ++y) {
        for (int x = 0; x < kLevelGroundSide; ++x) {
            const float u = static_cast<float>(x) / side, v = static_cast<float>(y) / side;
            Color c = mix(darkSand, sand, 0.45f + 0.35f * periodicFractal(tone, u, v, 4, 5));
            // Wind-blown dust in bands.
            c = mix(c, dust, 0.3f * smoothstep(0.5f, 0.8f, periodicFractal(streaks, u, v, 8, 3)));
            c = c.scaled(0.92f + 0.16f * periodicNoise(grain, u * 128.0f, v * 128.0f, 128));
            const float stone = periodicFractal(stones, u, v, 64, 2);
            c = mix(c, pebble, 0.7f * smoothstep(0.8f, 0.84f, stone));
            c = mix(c, scrub, 0.4f * smoothstep(0.84f, 0.88f, periodicFractal(tone, v, u, 16, 2)));
            canvas.set(x, y, Color{clamp01(c.r), clamp01(c.g), clamp01(c.b), 1.0f});
        }
    }
    return canvas;
}

Canvas TerrainArt::snowGround() {
    const ValueNoise drift(0x5D01u), sparkle(0x5BA2u), rocks(0x50C3u);
    const Color snow = Color::hex(0xeef2f6), shade = Color::hex(0xc2cedc), rock = Color::hex(0x6a6e72);
    const Color tuft = Color::hex(0x8a8458);
    Canvas canvas(kLevelGroundSide, kLevelGroundSide);
    const float side = static_cast<float>(kLevelGroundSide);
    for (int y = 0; y < kLevelGroundSide; ++y) {
        for (int x = 0; x < kLevelGroundSide; ++x) {
            const float u = static_cast<float>(x) / side, v = static_cast<float>(y) / side;
            // Soft drifts with bluish hollows.
            Color c = mix(shade, snow, 0.55f + 0.45f * periodicFractal(drift, u, v, 4, 4));
            c = c.scaled(0.96f + 0.06f * periodicNoise(sparkle, u * 128.0f, v * 128.0f, 128));
            const float r = periodicFractal(rocks, u, v, 32, 2);
            c = mix(c, rock, 0.7f * smoothstep(0.84f, 0.87f, r));
            c = mix(c, tuft, 0.4f * smoothstep(0.81f, 0.84f, r) * (1.0f - smoothstep(0.84f, 0.87f, r)));
            canvas.set(x, y, Color{clamp01(c.r), clamp01(c.g), clamp01(c.b), 1.0f});
        }
    }
    return canvas;
}

Canvas TerrainArt::harbourGround() {
    const ValueNoise tone(0x4B01u), dirt(0x4B02u), grain(0x4B03u);
    const Color stoneLight = Color::hex(0x9a958c), stoneDark = Color::hex(0x6c6862);
    const Color joint = Color::hex(0x4a4238), mud = Color::hex(0x6e5c44);
    constexpr int kRows = 10; // cobbles per picture side: two per unit
    Canvas canvas(kLevelGroundSide, kLevelGroundSide);
    const float side = static_cast<float>(kLevelGroundSide);
    for (int y = 0; y < kLevelGroundSide; ++y) {
        for (int x = 0; x < kLevelGroundSide; ++x) {
            const float u = static_cast<float>(x) / side, v = static_cast<float>(y) / side;
            // Cobbles in rows, every other row shifted by half a stone.
            const float rowPos = v * kRows;
            const int row = static_cast<int>(std::floor(rowPos));
            const float colPos = u * kRows + ((row % 2) != 0 ? 0.5f : 0.0f);
            const int col = static_cast<int>(std::floor(colPos));
            const float fu = colPos - static_cast<float>(col) - 0.5f,
                        fv = rowPos - static_cast<float>(row) - 0.5f;
            const float edge = std::max(std::fabs(fu), std::fabs(fv)) * 0.3f + std::hypot(fu, fv) * 0.75f;
            const float stoneTone =
                ValueNoise::hash(static_cast<std::uint32_t>(((col % kRows) + kRows) % kRows) * 31u +
                                 static_cast<std::uint32_t>(row) * 977u) /
                4294967295.0f;
            Color c = mix(stoneDark, stoneLight, 0.3f + 0.6f * stoneTone);
            c = c.scaled(1.05f - 0.35f * edge); // rounded tops
            c = mix(c, joint, smoothstep(0.44f, 0.54f, edge));
            c = mix(c, mud, 0.65f * smoothstep(0.5f, 0.8f, periodicFractal(dirt, u, v, 4, 4)));
            c = c.scaled(0.9f + 0.2f * periodicFractal(tone, u, v, 8, 3));
            c = c.scaled(0.95f + 0.1f * periodicNoise(grain, u * 128.0f, v * 128.0f, 128));
            canvas.set(x, y, Color{clamp01(c.r), clamp01(c.g), clamp01(c.b), 1.0f});
        }
    }
    return canvas;
}

bool TerrainArt::generate(ArtContext &context) {
    bool ok = context.saveTexture(heightmap(kMainSide, &mainHeight), "heightmap.png", 3, false);
    ok = context.saveTexture(heightmap(kSmallSide, &smallHeight), "heightmap_small.png", 3, false) && ok;
    ok = context.saveTexture(ground(), "ground.png", 3, true) && ok;
    ok = context.saveTexture(heightmap(kMainSide, &canyonHeight), "heightmap_canyon.png", 3, false) && ok;
    ok = context.saveTexture(canyonGround(), "ground_canyon.png", 3, true) && ok;
    ok = context.saveTexture(heightmap(kMainSide, &snowHeight), "heightmap_snow.png", 3, false) && ok;
    ok = context.saveTexture(snowGround(), "ground_snow.png", 3, true) && ok;
    ok = context.saveTexture(heightmap(kMainSide, &harbourHeight), "heightmap_harbour.png", 3, false) && ok;
    ok = context.saveTexture(harbourGround(), "ground_harbour.png", 3, true) && ok;
    return ok;
}
