#include "GeneratedModel.h"

#include "Noise.h"

#include <cmath>

// "boat.md2": a fishing boat's hull lying in the harbour, 2.6 wide, 7.8
// long and 2.3 high from keel to gunwale, bow forward (+z). One convex solid,
// so that it collides as it is drawn.
namespace {
constexpr SkinRect kHull{0, 0, 256, 128}; // hull sides: gunwale at the top
constexpr SkinRect kDeck{0, 128, 128, 256};
constexpr SkinRect kKeel{128, 128, 256, 256};

SkinCanvas paintBoatSkin() {
    SkinCanvas skin(256, 256, Rgb::hex(0x284E78));
    const SkinRect h = kHull;
    skin.paint(h, [&](double x, double y, const Rgb &) {
        const double down = (y - h.t0) / (h.t1 - h.t0); // 0 at the gunwale, 1 at the keel
        Rgb c = Rgb::hex(0x2C5A86);
        if (down < 0.08) {
            c = Rgb::hex(0xE8E4DA); // white rail
        } else if (down < 0.13) {
            c = Rgb::hex(0xB8382C); // red stripe
        } else if (down > 0.62) {
            c = Rgb::hex(0x8A2E24); // anti-fouling below the water line
        }
        const double wear = smoothStep(0.65, 0.85, fractalNoise(x / 10.0, y / 6.0, 3, 201));
        c = mix(c, Rgb::hex(0x5A5046), 0.5 * wear);
        return c.scaled(grain(x, y, 202, 0.08));
    });
    skin.paint(kDeck, [](double x, double y, const Rgb &) {
        const double plank = std::floor(x / 12.0);
        Rgb c = mix(Rgb::hex(0x7A5C3C), Rgb::hex(0xA88460), fractalNoise(y / 20.0, x / 2.0 + plank, 3, 203));
        if (std::fmod(x, 12.0) < 1.0) {
            c = Rgb::hex(0x3A2A1C);
        }
        return c.scaled(grain(x, y, 204, 0.06));
    });
    skin.paint(kKeel, [](double x, double y, const Rgb &) {
        return Rgb::hex(0x6E2A22).scaled(grain(x, y, 205, 0.1));
    });
    return skin;
}
} // namespace

GeneratedModel makeBoat() {
    ModelMesh mesh;
    const FaceMap hull = FaceMap::stretch({1, 1, 255, 127});
    // The keel ring at the bottom, the gunwale ring at the top; the bow is a point at +z.
    const std::vector<Vec3> keel = {
        {-0.5, 0.0, -3.4}, {0.5, 0.0, -3.4}, {0.55, 0.0, 1.8}, {0.0, 0.0, 3.4}, {-0.55, 0.0, 1.8}};
    const std::vector<Vec3> gunwale = {
        {-1.3, 2.3, -3.9}, {1.3, 2.3, -3.9}, {1.3, 2.3, 1.6}, {0.0, 2.3, 3.9}, {-1.3, 2.3, 1.6}};
    mesh.addLoft(keel, gunwale, {hull}, FaceMap::stretch({129, 129, 255, 255}),
                 FaceMap::stretch({1, 129, 127, 255}));
    return {"boat.md2", "boat_skin.png", mesh, paintBoatSkin(), ""};
}
