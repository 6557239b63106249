#include "Conifer.h"
#include "GeneratedModel.h"

#include "Noise.h"

#include <cmath>

// "pine.md2": a snow-laden pine, 9.0 tall and 4.0 across: a slim trunk and
// three narrow cones of needles with snow on every tier.
namespace {
using namespace conifer;

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
    paintBarkAndCut(skin, 0x3A2C22, 0x6E5646, 176);
    return skin;
}
} // namespace

GeneratedModel makePine() {
    const Shape shape{2.2, 0.3, 0.18, {{1.4, 5.0, 2.0, 0.0}, {3.3, 7.2, 1.5, 0.4}, {5.3, 9.0, 1.0, 0.8}}};
    const ModelMesh mesh = conifer::mesh(shape);
    return {"pine.md2", "pine_skin.png", mesh, paintPineSkin(), ""};
}
