#include "Conifer.h"
#include "GeneratedModel.h"

#include "Noise.h"

#include <cmath>

// "tree.md2": a fir, 8.6 tall and 5.2 across: a tapering trunk and three
// stacked cones of needles.
namespace {
using namespace conifer;

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
    paintBarkAndCut(skin, 0x3A2A1E, 0x7A5E44, 76);
    return skin;
}
} // namespace

GeneratedModel makeTree() {
    const Shape shape{2.6, 0.38, 0.22, {{1.6, 5.2, 2.6, 0.0}, {3.5, 7.0, 2.0, 0.35}, {5.3, 8.64, 1.35, 0.7}}};
    const ModelMesh mesh = conifer::mesh(shape);
    return {"tree.md2", "tree_skin.png", mesh, paintTreeSkin(), ""};
}
