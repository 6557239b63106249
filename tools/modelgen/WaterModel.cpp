#include "GeneratedModel.h"

#include "Noise.h"

#include <cmath>

// "water.md2": a block of harbour water, 12 x 12 and 0.48 deep. A level
// stands blocks on the sea floor, scaled so that their tops form the surface.
namespace {
constexpr SkinRect kSurface{0, 0, 256, 192};
constexpr SkinRect kSide{0, 192, 256, 256};

SkinCanvas paintWaterSkin() {
    SkinCanvas skin(256, 256, Rgb::hex(0x2A5266));
    skin.paint(kSurface, [](double x, double y, const Rgb &) {
        // Long swells with short ripples on them and glints where they crest.
        const double swell = 0.5 + 0.5 * std::sin(y / 9.0 + 2.0 * fractalNoise(x / 30.0, y / 30.0, 2, 191));
        const double ripple = fractalNoise(x / 3.0, y / 6.0, 2, 192);
        Rgb c = mix(Rgb::hex(0x1E4458), Rgb::hex(0x3F7488), 0.4 * swell + 0.4 * ripple);
        c = mix(c, Rgb::hex(0xBFD8E0), 0.6 * smoothStep(0.82, 0.95, ripple * swell + 0.2));
        return c.scaled(grain(x, y, 193, 0.04));
    });
    skin.paint(kSide, [](double x, double y, const Rgb &) {
        return mix(Rgb::hex(0x2E5E72), Rgb::hex(0x16303C), (y - 192.0) / 64.0).scaled(grain(x, y, 194, 0.05));
    });
    return skin;
}
} // namespace

GeneratedModel makeWater() {
    ModelMesh mesh;
    const FaceMap surface = FaceMap::stretch({1, 1, 255, 191});
    const FaceMap side = FaceMap::stretch({1, 193, 255, 255});
    mesh.addBox({-6.0, 0.0, -6.0}, {6.0, 0.48, 6.0}, {side, side, surface, surface, side, side});
    return {"water.md2", "water_skin.png", mesh, paintWaterSkin(), ""};
}
