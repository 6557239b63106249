#include "GeneratedModel.h"

#include "Noise.h"

#include <cmath>

// "pine.md2": a snow-laden pine, 9.0 tall and 4.0 across: a slim trunk and
// three narrow cones of needles with snow on every tier.
namespace {
constexpr SkinRect kNeedles{0, 0, 192, 192}; // around in s, tip of each cone at the top
constexpr SkinRect kUnderside{192, 0, 256, 64};
constexpr SkinRect kBark{192, 64, 256, 192};
constexpr SkinRect kCut{192, 192, 256, 256};

SkinRect inset(const SkinRect &r, double by) {
    return {r.s0 + by, r.t0 + by, r.s1 - by, r.t1 - by};
}

SkinCanvas paintPineSkin() {
    SkinCanvas skin(256, 256, Rgb::hex(0x24432A));
    const SkinRect n = kNeedles;
    skin.paint(n, [&](double x, double y, const Rgb &) {
        // Branch tiers with snow lying on their upper side, thinning towards the tier's edge.
        const double tier = std::fmod((y - n.t0) / (n.t1 - n.t0) * 4.0, 1.0);
        const double streak = fractalNoise(x / 1.5 + y / 3.0, y / 1.2, 2, 171);
        const double patch = fractalNoise(x / 10.0, y / 10.0, 3, 172);
        Rgb c = mix(Rgb::hex(0x2F5E36), Rgb::hex(0x142E1A), 0.3 + 0.6 * tier);
        c = c.scaled(0.8 + 0.4 * streak);
        const double snow = smoothStep(0.35, 0.1, tier + 0.25 * (patch - 0.5));
        c = mix(c, Rgb::hex(0xEEF3F8).scaled(0.92 + 0.08 * streak), snow);
        return c.scaled(grain(x, y, 173, 0.08));
    });
    skin.paint(kUnderside, [](double x, double y, const Rgb &) {
        return Rgb::hex(0x17301C).scaled((0.8 + 0.4 * fractalNoise(x / 4.0, y / 4.0, 2, 174)) *
                                         grain(x, y, 175, 0.1));
    });
    skin.paint(kBark, [](double x, double y, const Rgb &) {
        const double ridges = fractalNoise(x / 1.5, y / 10.0, 3, 176);
        return mix(Rgb::hex(0x3A2C22), Rgb::hex(0x6E5646), ridges).scaled(grain(x, y, 177, 0.12));
    });
    skin.paint(kCut, [](double x, double y, const Rgb &) {
        const double d = std::hypot(x - 224.0, y - 224.0);
        return Rgb::hex(0xB08A5E).scaled((0.85 + 0.15 * std::sin(d * 1.4)) * grain(x, y, 178, 0.08));
    });
    return skin;
}
} // namespace

GeneratedModel makePine() {
    ModelMesh mesh;
    const FaceMap under = FaceMap::stretch(inset(kUnderside, 1.0));
    const FaceMap cut = FaceMap::stretch(inset(kCut, 2.0));
    mesh.addTube({0.0, 0.0, 0.0}, {0.0, 2.2, 0.0}, 0.3, 0.18, 8, inset(kBark, 1.0), cut);
    // Cones from the bottom up: (base height, tip height, radius, turn).
    const double cones[3][4] = {{1.4, 5.0, 2.0, 0.0}, {3.3, 7.2, 1.5, 0.4}, {5.3, 9.0, 1.0, 0.8}};
    for (const auto &c : cones) {
        mesh.addTube({0.0, c[0], 0.0}, {0.0, c[1], 0.0}, c[2], 0.0, 10, inset(kNeedles, 1.0), under, c[3]);
    }
    return {"pine.md2", "pine_skin.png", mesh, paintPineSkin(), ""};
}
