#include "GeneratedModel.h"

#include "Noise.h"

#include <cmath>

// "crate.md2": a wooden ammunition crate, 1.5 on each side, with corner
// posts and rims standing proud of the planks.
namespace {
constexpr SkinRect kPanel{0, 0, 128, 128};  // planked side with stencil
constexpr SkinRect kLid{128, 0, 256, 128};  // planked lid
constexpr SkinRect kBeam{0, 128, 128, 160}; // frame timber
constexpr double kHalf = 0.75;
constexpr double kPost = 0.14;

SkinRect inset(const SkinRect &r, double by) {
    return {r.s0 + by, r.t0 + by, r.s1 - by, r.t1 - by};
}

Rgb wood(double x, double y, bool vertical, std::uint32_t seed) {
    const double along = vertical ? y : x, across = vertical ? x : y;
    const double plank = std::floor(across / 16.0);
    const double grainLine = fractalNoise(along / 24.0, across / 1.6 + plank * 7.0, 3, seed);
    Rgb c = mix(Rgb::hex(0x8A6236), Rgb::hex(0xC4955A), 0.3 + 0.6 * grainLine);
    c = c.scaled(0.88 + 0.2 * hash01(static_cast<int>(plank), 0, seed + 1));
    if (std::fmod(across, 16.0) < 1.2) {
        c = Rgb::hex(0x3B2A18);
    }
    return c.scaled(grain(x, y, seed + 2, 0.06));
}

SkinCanvas paintCrateSkin() {
    SkinCanvas skin(256, 256, Rgb::hex(0x9A7040));
    skin.paint(kPanel, [](double x, double y, const Rgb &) { return wood(x, y, false, 91); });
    skin.paint(kLid, [](double x, double y, const Rgb &) { return wood(x, y, true, 92); });
    skin.paint(kBeam, [](double x, double y, const Rgb &) { return wood(x, y, false, 93).scaled(0.8); });
    // A stencilled marking on the sides: a bar and three dots.
    const Rgb paint = Rgb::hex(0x2D2A24);
    skin.line(38, 52, 90, 52, 5.0, paint, 0.85);
    for (int i = 0; i < 3; ++i) {
        skin.disc(46 + 18 * i, 70, 4.0, paint, 0.85);
    }
    skin.bevel(inset(kPanel, 0.5), 3.0, 1.1, 0.7);
    skin.bevel(inset(kLid, 0.5), 3.0, 1.1, 0.7);
    skin.paint({0, 160, 256, 256}, [](double x, double y, const Rgb &) { return wood(x, y, false, 94); });
    return skin;
}
} // namespace

GeneratedModel makeCrate() {
    ModelMesh mesh;
    const FaceMap panel = FaceMap::stretch(inset(kPanel, 1.0));
    const FaceMap lid = FaceMap::stretch(inset(kLid, 1.0));
    const FaceMap beam = FaceMap::stretch(inset(kBeam, 1.0));
    const double inner = kHalf - 0.04;
    mesh.addBox({-inner, 0.0, -inner}, {inner, 2 * kHalf - 0.02, inner},
                {panel, panel, lid, lid, panel, panel});
    for (double sx : {-1.0, 1.0}) {
        for (double sz : {-1.0, 1.0}) {
            const double x0 = sx * kHalf, x1 = sx * (kHalf - kPost);
            const double z0 = sz * kHalf, z1 = sz * (kHalf - kPost);
            mesh.addBox({std::min(x0, x1), 0.0, std::min(z0, z1)},
                        {std::max(x0, x1), 2 * kHalf, std::max(z0, z1)}, BoxMaps::all(beam));
        }
    }
    // Rims round the top and the bottom, between the posts.
    for (double y0 : {0.0, 2 * kHalf - kPost}) {
        for (double s : {-1.0, 1.0}) {
            const double a = s * kHalf, b = s * (kHalf - 0.1);
            mesh.addBox({-kHalf + kPost, y0, std::min(a, b)}, {kHalf - kPost, y0 + kPost, std::max(a, b)},
                        BoxMaps::all(beam));
            mesh.addBox({std::min(a, b), y0, -kHalf + kPost}, {std::max(a, b), y0 + kPost, kHalf - kPost},
                        BoxMaps::all(beam));
        }
    }
    return {"crate.md2", "crate_skin.png", mesh, paintCrateSkin(), ""};
}
