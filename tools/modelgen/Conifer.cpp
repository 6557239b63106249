#include "Conifer.h"

#include "Noise.h"

#include <cmath>

namespace conifer {

SkinRect inset(const SkinRect &r, double by) {
    return {r.s0 + by, r.t0 + by, r.s1 - by, r.t1 - by};
}

ModelMesh mesh(const Shape &shape) {
    ModelMesh mesh;
    const FaceMap under = FaceMap::stretch(inset(kUnderside, 1.0));
    const FaceMap cut = FaceMap::stretch(inset(kCut, 2.0));
    mesh.addTube({0.0, 0.0, 0.0}, {0.0, shape.trunkHeight, 0.0}, shape.trunkBottomRadius, shape.trunkTopRadius,
                 8, inset(kBark, 1.0), cut);
    for (const auto &c : shape.cones) {
        mesh.addTube({0.0, c[0], 0.0}, {0.0, c[1], 0.0}, c[2], 0.0, 10, inset(kNeedles, 1.0), under, c[3]);
    }
    return mesh;
}

void paintBarkAndCut(SkinCanvas &skin, std::uint32_t dark, std::uint32_t light, std::uint32_t seed) {
    skin.paint(kBark, [=](double x, double y, const Rgb &) {
        const double ridges = fractalNoise(x / 1.5, y / 10.0, 3, seed);
        return mix(Rgb::hex(dark), Rgb::hex(light), ridges).scaled(grain(x, y, seed + 1, 0.12));
    });
    skin.paint(kCut, [=](double x, double y, const Rgb &) {
        const double d = std::hypot(x - 224.0, y - 224.0);
        return Rgb::hex(0xB08A5E).scaled((0.85 + 0.15 * std::sin(d * 1.4)) * grain(x, y, seed + 2, 0.08));
    });
}

} // namespace conifer
