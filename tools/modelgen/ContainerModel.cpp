#include "GeneratedModel.h"

#include "Noise.h"

#include <cmath>

// "container.md2": a rusty shipping container, 2.4 wide, 6.0 long (z) and
// 2.6 high, with ribbed sides and doors at the back.
namespace {
constexpr SkinRect kSide{0, 0, 256, 112};  // long sides: vertical ribs
constexpr SkinRect kEnd{0, 112, 128, 240}; // the doors
constexpr SkinRect kRoof{128, 112, 256, 240};

Rgb rusty(double x, double y, std::uint32_t seed) {
    Rgb c = mix(Rgb::hex(0x9C3A22), Rgb::hex(0xB5502E), fractalNoise(x / 20.0, y / 20.0, 3, seed));
    const double rust = smoothStep(0.62, 0.8, fractalNoise(x / 8.0, y / 5.0, 4, seed + 1));
    return mix(c, Rgb::hex(0x5E3A24), 0.7 * rust).scaled(grain(x, y, seed + 2, 0.06));
}

SkinCanvas paintContainerSkin() {
    SkinCanvas skin(256, 256, Rgb::hex(0x9C3A22));
    skin.paint(kSide, [](double x, double y, const Rgb &) {
        const double rib = 0.5 + 0.5 * std::sin(x / 2.2);
        return rusty(x, y, 211).scaled(0.8 + 0.3 * rib);
    });
    skin.paint(kEnd, [](double x, double y, const Rgb &) {
        Rgb c = rusty(x, y, 214).scaled(0.85 + 0.2 * (0.5 + 0.5 * std::sin(y / 2.5)));
        if (std::fabs(x - 64.0) < 1.5) {
            c = Rgb::hex(0x2E1A12); // the gap between the doors
        }
        return c;
    });
    for (double bar : {40.0, 56.0, 72.0, 88.0}) {
        skin.line(bar, 118, bar, 234, 2.5, Rgb::hex(0x4A4440), 0.9); // locking bars
    }
    skin.paint(kRoof, [](double x, double y, const Rgb &) { return rusty(x, y, 217).scaled(0.9); });
    skin.bevel({0.5, 0.5, 255.5, 111.5}, 3.0, 1.1, 0.7);
    skin.bevel({0.5, 112.5, 127.5, 239.5}, 3.0, 1.1, 0.7);
    return skin;
}
} // namespace

GeneratedModel makeContainer() {
    ModelMesh mesh;
    const FaceMap side = FaceMap::stretch({1, 1, 255, 111});
    const FaceMap end = FaceMap::stretch({1, 113, 127, 239});
    const FaceMap roof = FaceMap::stretch({129, 113, 255, 239});
    mesh.addBox({-1.2, 0.0, -3.0}, {1.2, 2.6, 3.0}, {side, side, roof, roof, end, end});
    return {"container.md2", "container_skin.png", mesh, paintContainerSkin(), ""};
}
