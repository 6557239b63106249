#include "GeneratedModel.h"

#include "Noise.h"

#include <algorithm>

// "powerup.md2": a supply canister, 1.2 high and 0.9 across, with a light band round its middle and
// a white cross on each of its four faces. Neutral in colour: the game gives each kind its glow.
namespace {
constexpr SkinRect kShell{0, 0, 128, 64};     // the canister's sides
constexpr SkinRect kBand{0, 64, 128, 96};     // the band
constexpr SkinRect kCap{0, 96, 64, 128};      // top and bottom
constexpr SkinRect kCorner{64, 96, 128, 128}; // the corner posts

SkinRect inset(const SkinRect &r, double by) {
    return {r.s0 + by, r.t0 + by, r.s1 - by, r.t1 - by};
}

Rgb metal(double x, double y, std::uint32_t seed, const Rgb &base) {
    return base.scaled(0.9 + 0.15 * fractalNoise(x / 10.0, y / 10.0, 2, seed))
        .scaled(grain(x, y, seed + 1, 0.05));
}

SkinCanvas paintPowerUpSkin() {
    SkinCanvas skin(128, 128, Rgb::hex(0x5A6068));
    skin.paint(kShell, [](double x, double y, const Rgb &) { return metal(x, y, 71, Rgb::hex(0x4E565F)); });
    skin.paint(kBand, [](double x, double y, const Rgb &) { return metal(x, y, 72, Rgb::hex(0xE8E4D0)); });
    skin.paint(kCap, [](double x, double y, const Rgb &) { return metal(x, y, 73, Rgb::hex(0x3A4048)); });
    skin.paint(kCorner, [](double x, double y, const Rgb &) { return metal(x, y, 74, Rgb::hex(0x2C3036)); });
    // A white cross in the middle of the side picture (each side shows it once).
    const Rgb white = Rgb::hex(0xF4F4F0);
    skin.line(64, 14, 64, 50, 9.0, white);
    skin.line(46, 32, 82, 32, 9.0, white);
    skin.bevel(inset(kShell, 0.5), 2.0, 1.15, 0.7);
    skin.bevel(inset(kCap, 0.5), 2.0, 1.15, 0.7);
    return skin;
}
} // namespace

GeneratedModel makePowerUp() {
    ModelMesh mesh;
    const FaceMap shell = FaceMap::stretch(inset(kShell, 1.0));
    const FaceMap band = FaceMap::stretch(inset(kBand, 1.0));
    const FaceMap cap = FaceMap::stretch(inset(kCap, 1.0));
    const FaceMap corner = FaceMap::stretch(inset(kCorner, 1.0));
    constexpr double kHalf = 0.45, kHeight = 1.2, kPost = 0.1;
    mesh.addBox({-kHalf + 0.03, 0.0, -kHalf + 0.03}, {kHalf - 0.03, kHeight, kHalf - 0.03},
                {shell, shell, cap, cap, shell, shell});
    mesh.addBox({-kHalf - 0.02, 0.48, -kHalf - 0.02}, {kHalf + 0.02, 0.72, kHalf + 0.02}, BoxMaps::all(band));
    for (double sx : {-1.0, 1.0}) {
        for (double sz : {-1.0, 1.0}) {
            const double x0 = sx * kHalf, x1 = sx * (kHalf - kPost);
            const double z0 = sz * kHalf, z1 = sz * (kHalf - kPost);
            mesh.addBox({std::min(x0, x1), 0.0, std::min(z0, z1)},
                        {std::max(x0, x1), kHeight, std::max(z0, z1)}, BoxMaps::all(corner));
        }
    }
    return {"powerup.md2", "powerup_skin.png", mesh, paintPowerUpSkin(), ""};
}
