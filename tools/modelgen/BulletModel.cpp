#include "GeneratedModel.h"

#include "Noise.h"

#include <cmath>

// The shell "bullet.md2", nose forward (+z). The game draws and simulates
// projectiles at 0.01 times the model's size, so the model is as large as the
// packing allows (255 steps of 0.048 along its length): 12 units long here,
// 0.12 in flight.
namespace {
constexpr double kRadius = 2.3; // body
constexpr double kBand = 2.4;   // driving band, the widest part
constexpr double kTail = -6.0;  // base
constexpr double kTip = 6.0;    // nose
constexpr double kAxis = kBand; // axis height: the shell rests on its band

constexpr SkinRect kBody{0, 0, 128, 128};    // around in s, nose end at the top
constexpr SkinRect kNose{128, 48, 256, 128}; // ogive
constexpr SkinRect kFuze{128, 0, 256, 40};   // steel fuze at the point
constexpr SkinRect kCopper{0, 128, 128, 160};
constexpr SkinRect kBase{128, 128, 256, 256}; // flat base with primer

SkinRect inset(const SkinRect &r, double by) {
    return {r.s0 + by, r.t0 + by, r.s1 - by, r.t1 - by};
}

SkinCanvas paintBulletSkin() {
    SkinCanvas skin(256, 256, Rgb::hex(0x5C6238));
    // Olive-drab body with a yellow high-explosive band near the nose.
    skin.paint(kBody, [](double x, double y, const Rgb &) {
        Rgb c = Rgb::hex(0x6B7440);
        if (y > 14 && y < 26) {
            c = Rgb::hex(0xE0C23A);
        }
        const double shade = 0.9 + 0.2 * fractalNoise(x / 9.0, y / 9.0, 2, 3);
        return c.scaled(shade * grain(x, y, 4, 0.06));
    });
    skin.paint(kNose, [](double x, double y, const Rgb &) {
        return Rgb::hex(0x6B7440).scaled(grain(x, y, 5, 0.08));
    });
    skin.paint(kFuze, [](double x, double y, const Rgb &) {
        const double ring = std::fmod(y, 8.0) < 1.0 ? 0.75 : 1.0;
        return Rgb::hex(0xB8B4A8).scaled(ring * grain(x, y, 8, 0.08));
    });
    skin.paint(kCopper, [](double x, double y, const Rgb &) {
        const double ridge = std::fmod(y, 4.0) < 2.0 ? 1.08 : 0.9;
        return Rgb::hex(0xC07840).scaled(ridge * grain(x, y, 6, 0.05));
    });
    skin.paint(kBase, [](double x, double y, const Rgb &) {
        const double d = std::hypot(x - 192.0, y - 192.0);
        Rgb c = Rgb::hex(0xC9A24A); // brass
        if (d < 14.0) {
            c = Rgb::hex(0x8E7A55);
        }
        return c.scaled(grain(x, y, 7, 0.06));
    });
    return skin;
}
} // namespace

GeneratedModel makeBullet() {
    ModelMesh mesh;
    const SkinRect body = inset(kBody, 1.0);
    const SkinRect nose = inset(kNose, 1.0);
    const SkinRect band = inset(kCopper, 1.0);
    const FaceMap base = FaceMap::stretch(inset(kBase, 2.0));
    const FaceMap bodyCap = FaceMap::stretch(body);
    auto at = [](double z) { return Vec3{0.0, kAxis, z}; };
    const int sides = 12;
    mesh.addTube(at(kTail), at(1.0), kRadius, kRadius, sides, body, base);
    mesh.addTube(at(kTail + 1.2), at(kTail + 2.0), kBand, kBand, sides, band, bodyCap);
    // Ogive: three rings narrowing to the point.
    mesh.addTube(at(1.0), at(3.0), kRadius, 1.85, sides, nose, bodyCap);
    mesh.addTube(at(3.0), at(4.6), 1.85, 1.05, sides, nose, bodyCap);
    mesh.addTube(at(4.6), at(kTip), 1.05, 0.0, sides, inset(kFuze, 1.0), bodyCap);
    return {"bullet.md2", "bullet_skin.png", mesh, paintBulletSkin(), ""};
}
