#include "GeneratedModel.h"

#include "Noise.h"

#include <cmath>

// "tree.md2": a fir, 8.6 tall and 5.2 across: a tapering trunk and three
// stacked cones of needles.
namespace {
constexpr SkinRect kNeedles{0, 0, 192, 192}; // around in s, tip of each cone at the top
constexpr SkinRect kUnderside{192, 0, 256, 64};
constexpr SkinRect kBark{192, 64, 256, 192};
constexpr SkinRect kCut{192, 192, 256, 256}; // trunk end grain

SkinRect inset(const SkinRect &r, double by) {
    return {r.s0 + by, r.t0 + by, r.s1 - by, r.t1 - by};
}

SkinCanvas paintTreeSkin() {
    SkinCanvas skin(256, 256, Rgb::hex(0x2F5A2A));
    const SkinRect n = kNeedles;
    skin.paint(n, [&](double x, double y, const Rgb &) {
        // Branch tiers: bands that darken towards their lower edge, needles
        // as fine diagonal streaks, lighter tips near the top.
        const double tier = std::fmod((y - n.t0) / (n.t1 - n.t0) * 5.0, 1.0);
        const double streak = fractalNoise(x / 1.5 + y / 3.0, y / 1.2, 2, 71);
        const double clump = fractalNoise(x / 14.0, y / 14.0, 3, 72);
        Rgb c = mix(Rgb::hex(0x3F7A37), Rgb::hex(0x1E4220), 0.35 + 0.5 * tier);
        c = mix(c, Rgb::hex(0x6A9A48), 0.35 * smoothStep(0.55, 0.8, clump) * (1.0 - tier));
        return c.scaled((0.8 + 0.4 * streak) * grain(x, y, 73, 0.1));
    });
    skin.paint(kUnderside, [](double x, double y, const Rgb &) {
        return Rgb::hex(0x1E3A1C).scaled((0.8 + 0.4 * fractalNoise(x / 4.0, y / 4.0, 2, 74)) *
                                         grain(x, y, 75, 0.1));
    });
    const SkinRect b = kBark;
    skin.paint(b, [&](double x, double y, const Rgb &) {
        const double ridges = fractalNoise(x / 1.5, y / 10.0, 3, 76);
        Rgb c = mix(Rgb::hex(0x3A2A1E), Rgb::hex(0x7A5E44), ridges);
        return c.scaled(grain(x, y, 77, 0.12));
    });
    skin.paint(kCut, [](double x, double y, const Rgb &) {
        const double d = std::hypot(x - 224.0, y - 224.0);
        const double rings = 0.85 + 0.15 * std::sin(d * 1.4);
        return Rgb::hex(0xB08A5E).scaled(rings * grain(x, y, 78, 0.08));
    });
    return skin;
}
} // namespace

GeneratedModel makeTree() {
    ModelMesh mesh;
    const FaceMap under = FaceMap::stretch(inset(kUnderside, 1.0));
    const FaceMap cut = FaceMap::stretch(inset(kCut, 2.0));
    mesh.addTube({0.0, 0.0, 0.0}, {0.0, 2.6, 0.0}, 0.38, 0.22, 8, inset(kBark, 1.0), cut);
    // Cones from the bottom up: (base height, tip height, radius, turn).
    const double cones[3][4] = {{1.6, 5.2, 2.6, 0.0}, {3.5, 7.0, 2.0, 0.35}, {5.3, 8.64, 1.35, 0.7}};
    for (const auto &c : cones) {
        mesh.addTube({0.0, c[0], 0.0}, {0.0, c[1], 0.0}, c[2], 0.0, 10, inset(kNeedles, 1.0), under, c[3]);
    }
    return {"tree.md2", "tree_skin.png", mesh, paintTreeSkin(), ""};
}
