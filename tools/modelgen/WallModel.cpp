#include "GeneratedModel.h"

#include "Noise.h"

#include <cmath>

// "wall.md2": a dry-stone field wall, 6 long (x), 0.7 thick and 1.6 high
// with a row of capstones.
namespace {
constexpr SkinRect kFace{0, 0, 256, 80};   // long sides: courses of stones
constexpr SkinRect kEnd{0, 80, 64, 160};   // short ends
constexpr SkinRect kCap{64, 80, 256, 112}; // capstones seen from above
constexpr SkinRect kCapSide{64, 112, 256, 128};

SkinRect inset(const SkinRect &r, double by) {
    return {r.s0 + by, r.t0 + by, r.s1 - by, r.t1 - by};
}

// Irregular courses: each row has its own height, each stone its own width and tone.
void paintStones(SkinCanvas &skin, const SkinRect &r, double rowHeight, double stoneWidth,
                 std::uint32_t seed) {
    skin.paint(r, [&](double x, double y, const Rgb &) {
        const int row = static_cast<int>(std::floor((y - r.t0) / rowHeight));
        const double v = std::fmod(y - r.t0, rowHeight);
        const double offset = hash01(row, 0, seed) * stoneWidth;
        const double u = x - r.s0 + offset;
        const int stone = static_cast<int>(std::floor(u / stoneWidth));
        const double w = std::fmod(u, stoneWidth);
        const double edge = std::min(std::min(v, rowHeight - v), std::min(w, stoneWidth - w));
        const double tone = 0.75 + 0.4 * hash01(stone, row, seed + 1);
        Rgb c = mix(Rgb::hex(0x7D786C), Rgb::hex(0xB2AC9C), fractalNoise(x / 9.0, y / 9.0, 2, seed + 2));
        c = c.scaled(tone);
        if (edge < 1.2) {
            c = Rgb::hex(0x3E3B34);
        } else if (edge < 2.5) {
            c = c.scaled(0.85);
        }
        const double moss = smoothStep(0.6, 0.75, fractalNoise(x / 12.0, y / 8.0, 3, seed + 3));
        return mix(c, Rgb::hex(0x5E6E36), 0.55 * moss).scaled(grain(x, y, seed + 4, 0.08));
    });
}
} // namespace

GeneratedModel makeWall() {
    ModelMesh mesh;
    const FaceMap face = FaceMap::stretch(inset(kFace, 0.5));
    const FaceMap end = FaceMap::stretch(inset(kEnd, 0.5));
    const FaceMap cap = FaceMap::stretch(inset(kCap, 0.5));
    const FaceMap capSide = FaceMap::stretch(inset(kCapSide, 0.5));
    // Slightly battered: the wall narrows from 0.7 at the foot to 0.58 under the caps.
    mesh.addExtrusionX({{-0.35, 0.0}, {0.35, 0.0}, {0.29, 1.4}, {-0.29, 1.4}}, -2.9, 2.9,
                       {end, face, end, face}, end);
    mesh.addBox({-3.0, 1.38, -0.38}, {3.0, 1.6, 0.38}, {capSide, capSide, cap, cap, capSide, capSide});
    SkinCanvas skin(256, 256, Rgb::hex(0x8E897C));
    paintStones(skin, kFace, 13.0, 26.0, 101);
    paintStones(skin, kEnd, 13.0, 18.0, 111);
    paintStones(skin, kCap, 32.0, 30.0, 121);
    paintStones(skin, kCapSide, 16.0, 30.0, 131);
    paintStones(skin, {0, 128, 256, 256}, 14.0, 24.0, 141);
    return {"wall.md2", "wall_skin.png", mesh, skin, ""};
}
