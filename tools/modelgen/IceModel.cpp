#include "GeneratedModel.h"

#include "Noise.h"

#include <cmath>

// "ice.md2": a sheet of lake ice, a flat disc 12.2 across and 0.12 thick
// with a bevelled rim, so that tanks drive onto it. A level scales it to the
// size of its lake and lays it on flat ground.
namespace {
constexpr SkinRect kTop{0, 0, 256, 224};
constexpr SkinRect kRim{0, 224, 256, 256};

SkinCanvas paintIceSkin() {
    SkinCanvas skin(256, 256, Rgb::hex(0xA8C4D8));
    skin.paint(kTop, [](double x, double y, const Rgb &) {
        // Clear dark ice with milky patches, thin snow and bright cracks.
        const double milk = fractalNoise(x / 40.0, y / 40.0, 4, 181);
        const double snow = smoothStep(0.6, 0.8, fractalNoise(x / 18.0 + 5.0, y / 18.0, 3, 182));
        Rgb c = mix(Rgb::hex(0x5D8AA8), Rgb::hex(0xB9D2E2), smoothStep(0.3, 0.75, milk));
        c = mix(c, Rgb::hex(0xE8EFF5), 0.8 * snow);
        const double crack = std::fabs(fractalNoise(x / 30.0, y / 30.0, 3, 183) - 0.5);
        c = mix(c, Rgb::hex(0xEAF4FA), 0.7 * smoothStep(0.012, 0.0, crack));
        return c.scaled(grain(x, y, 184, 0.05));
    });
    skin.paint(kRim, [](double x, double y, const Rgb &) {
        return Rgb::hex(0x8FB2C8).scaled(grain(x, y, 185, 0.08));
    });
    return skin;
}
} // namespace

GeneratedModel makeIce() {
    ModelMesh mesh;
    mesh.addTube({0.0, 0.0, 0.0}, {0.0, 0.12, 0.0}, 6.1, 5.6, 24, {1, 225, 255, 255},
                 FaceMap::stretch({1, 1, 255, 223}));
    return {"ice.md2", "ice_skin.png", mesh, paintIceSkin(), ""};
}
