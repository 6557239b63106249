#include "GeneratedModel.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>

// "house.md2": a half-timbered farmhouse, 7.2 x 6 on the ground, ridge along
// x at 5.6, a chimney and a stone plinth. Door and windows are painted.
namespace {
constexpr double kHalfX = 3.6; // walls, lateral
constexpr double kHalfZ = 3.0; // walls, depth
constexpr double kEaves = 3.6; // top of the walls
constexpr double kRidge = 5.6; // top of the gables
constexpr double kOverhang = 0.3;

constexpr SkinRect kFront{0, 0, 128, 64};     // door wall (+z)
constexpr SkinRect kBack{128, 0, 256, 64};    // window wall (-z)
constexpr SkinRect kSide{0, 64, 128, 128};    // the two x walls
constexpr SkinRect kGable{128, 64, 256, 128}; // triangle above them
constexpr SkinRect kRoof{0, 128, 128, 192};   // tiles, ridge at the top
constexpr SkinRect kWood{128, 128, 192, 160}; // roof edges
constexpr SkinRect kBrick{128, 160, 192, 192};
constexpr SkinRect kStone{192, 128, 256, 192};

const Rgb kPlaster = Rgb::hex(0xE8DEC6);
const Rgb kTimber = Rgb::hex(0x4A3322);

SkinRect inset(const SkinRect &r, double by) {
    return {r.s0 + by, r.t0 + by, r.s1 - by, r.t1 - by};
}

Rgb plaster(double x, double y) {
    return kPlaster.scaled((0.93 + 0.1 * fractalNoise(x / 7.0, y / 7.0, 3, 51)) * grain(x, y, 52, 0.05));
}

Rgb timber(double x, double y) {
    const double streak = 0.85 + 0.3 * fractalNoise(x / 2.0, y / 12.0, 2, 53);
    return kTimber.scaled(streak * grain(x, y, 54, 0.08));
}

// Timber frame over plaster: posts dividing the wall into `bays`, three rails
// and a brace in each outer bay.
void paintFrame(SkinCanvas &skin, const SkinRect &r, int bays) {
    skin.paint(r, [](double x, double y, const Rgb &) { return plaster(x, y); });
    const double w = r.s1 - r.s0, h = r.t1 - r.t0;
    auto beam = [&](double x0, double y0, double x1, double y1) {
        skin.line(x0, y0, x1, y1, 3.2, kTimber);
        skin.line(x0, y0, x1, y1, 1.2, timber(x0, y0).scaled(1.3), 0.3);
    };
    beam(r.s0 + 1.5, r.t0 + 1.5, r.s1 - 1.5, r.t0 + 1.5);
    beam(r.s0 + 1.5, r.t0 + h * 0.5, r.s1 - 1.5, r.t0 + h * 0.5);
    beam(r.s0 + 1.5, r.t1 - 2.0, r.s1 - 1.5, r.t1 - 2.0);
    for (int i = 0; i <= bays; ++i) {
        const double x = r.s0 + 1.5 + (w - 3.0) * i / bays;
        beam(x, r.t0 + 1.5, x, r.t1 - 2.0);
    }
    // Braces in the outer bays.
    const double bay = (w - 3.0) / bays;
    beam(r.s0 + 1.5, r.t0 + h * 0.5, r.s0 + 1.5 + bay, r.t0 + 1.5);
    beam(r.s1 - 1.5, r.t0 + h * 0.5, r.s1 - 1.5 - bay, r.t0 + 1.5);
}

void paintWindow(SkinCanvas &skin, double cx, double cy) {
    // Shutters, frame and four panes with a sky reflection.
    skin.fill({cx - 11, cy - 8, cx - 6, cy + 8}, Rgb::hex(0x3E6B3A));
    skin.fill({cx + 6, cy - 8, cx + 11, cy + 8}, Rgb::hex(0x3E6B3A));
    skin.fill({cx - 6, cy - 8, cx + 6, cy + 8}, Rgb::hex(0xF2EEE4));
    skin.paint({cx - 5, cy - 7, cx + 5, cy + 7}, [&](double x, double y, const Rgb &) {
        if (std::fabs(x - cx) < 0.6 || std::fabs(y - cy) < 0.6) {
            return Rgb::hex(0xF2EEE4);
        }
        return mix(Rgb::hex(0x9DB8CC), Rgb::hex(0x2B3A48), (y - (cy - 7)) / 14.0);
    });
    skin.fill({cx - 7, cy + 8, cx + 7, cy + 9.5}, Rgb::hex(0x8A8478));
}

void paintDoor(SkinCanvas &skin, double cx, double bottom) {
    const SkinRect door{cx - 7, bottom - 26, cx + 7, bottom};
    skin.paint(door, [&](double x, double y, const Rgb &) {
        const double plank = std::fmod(x - door.s0, 3.5) < 0.6 ? 0.75 : 1.0;
        return Rgb::hex(0x6B4428).scaled(plank * grain(x, y, 55, 0.1));
    });
    skin.bevel(door, 1.2, 1.2, 0.6);
    skin.disc(cx + 4, bottom - 13, 1.0, Rgb::hex(0xC8B070));
}

void paintRoof(SkinCanvas &skin) {
    const SkinRect r = kRoof;
    skin.paint(r, [&](double x, double y, const Rgb &) {
        const double row = std::floor((y - r.t0) / 4.0);
        const double shift = std::fmod(row, 2.0) * 3.0;
        const double inRow = std::fmod(y - r.t0, 4.0);
        const double inTile = std::fmod(x - r.s0 + shift, 6.0);
        Rgb c = Rgb::hex(0xA8492E).scaled(
            0.85 + 0.3 * hash01(static_cast<int>((x - r.s0 + shift) / 6.0), static_cast<int>(row), 56));
        c = c.scaled(0.75 + 0.25 * (inRow / 4.0)); // each row shades its lower edge
        if (inTile < 0.8) {
            c = c.scaled(0.7);
        }
        const double moss = smoothStep(0.62, 0.75, fractalNoise(x / 10.0, y / 10.0, 3, 57));
        return mix(c, Rgb::hex(0x5F6B3A), 0.6 * moss).scaled(grain(x, y, 58, 0.06));
    });
}

void paintBlocks(SkinCanvas &skin, const SkinRect &r, const Rgb &base, double bw, double bh,
                 std::uint32_t seed) {
    skin.paint(r, [&](double x, double y, const Rgb &) {
        const double row = std::floor((y - r.t0) / bh);
        const double shift = std::fmod(row, 2.0) * bw * 0.5;
        const double u = std::fmod(x - r.s0 + shift, bw), v = std::fmod(y - r.t0, bh);
        if (u < 1.0 || v < 1.0) {
            return Rgb::hex(0x6E685E);
        }
        const double tone =
            0.8 + 0.35 * hash01(static_cast<int>((x - r.s0 + shift) / bw), static_cast<int>(row), seed);
        return base.scaled(tone * grain(x, y, seed + 1, 0.1));
    });
}

SkinCanvas paintHouseSkin() {
    SkinCanvas skin(256, 256, kPlaster);
    paintFrame(skin, kFront, 4);
    paintFrame(skin, kBack, 4);
    paintFrame(skin, kSide, 3);
    // The gable: plaster with a king post and a small round window.
    skin.paint(kGable, [](double x, double y, const Rgb &) { return plaster(x, y); });
    skin.line(192, 66, 192, 126, 3.2, kTimber);
    skin.line(130, 125, 254, 125, 3.2, kTimber);
    skin.line(150, 125, 192, 90, 2.6, kTimber);
    skin.line(234, 125, 192, 90, 2.6, kTimber);
    skin.disc(192, 106, 7.0, Rgb::hex(0xF2EEE4));
    skin.disc(192, 106, 5.5, Rgb::hex(0x3A4B5A));
    // Door in the middle bay of the front, windows in the other bays.
    const double frontBay = (128.0 - 3.0) / 4.0;
    for (int i = 0; i < 4; ++i) {
        const double cx = kFront.s0 + 1.5 + frontBay * (i + 0.5);
        if (i == 2) {
            paintDoor(skin, cx, kFront.t1 - 2.5);
        } else {
            paintWindow(skin, cx, kFront.t0 + 22);
        }
        paintWindow(skin, kBack.s0 + 1.5 + frontBay * (i + 0.5), kBack.t0 + 22);
    }
    const double sideBay = (128.0 - 3.0) / 3.0;
    for (int i = 0; i < 3; ++i) {
        if (i != 1) {
            paintWindow(skin, kSide.s0 + 1.5 + sideBay * (i + 0.5), kSide.t0 + 22);
        }
    }
    paintRoof(skin);
    skin.paint(kWood, [](double x, double y, const Rgb &) { return timber(x, y); });
    paintBlocks(skin, kBrick, Rgb::hex(0x9A4A34), 8, 4, 59);
    paintBlocks(skin, kStone, Rgb::hex(0x9A958A), 16, 8, 61);
    skin.paint({0, 192, 256, 256}, [](double x, double y, const Rgb &) { return plaster(x, y); });
    return skin;
}
} // namespace

GeneratedModel makeHouse() {
    ModelMesh mesh;
    const FaceMap plain = FaceMap::stretch(inset(kSide, 4.0));
    const FaceMap wood = FaceMap::stretch(inset(kWood, 1.0));
    const FaceMap roof = FaceMap::stretch(inset(kRoof, 0.5));
    const FaceMap stone = FaceMap::stretch(inset(kStone, 1.0));
    const FaceMap brick = FaceMap::stretch(inset(kBrick, 1.0));

    mesh.addBox({-kHalfX, 0.0, -kHalfZ}, {kHalfX, kEaves, kHalfZ},
                {FaceMap::stretch(inset(kSide, 0.5)), FaceMap::stretch(inset(kSide, 0.5)), plain, plain,
                 FaceMap::stretch(inset(kBack, 0.5)), FaceMap::stretch(inset(kFront, 0.5))});
    mesh.addBox({-kHalfX - 0.12, 0.0, -kHalfZ - 0.12}, {kHalfX + 0.12, 0.48, kHalfZ + 0.12},
                BoxMaps::all(stone));
    // Gable prism above the walls; its x faces are the painted gables.
    mesh.addExtrusionX({{-kHalfZ, kEaves}, {kHalfZ, kEaves}, {0.0, kRidge}}, -kHalfX, kHalfX, {plain},
                       FaceMap::stretch(inset(kGable, 0.5)));
    // Two roof slabs, tiles on top, resting on the gables and reaching past
    // the walls on every side.
    const double run = kHalfZ + kOverhang;
    const double drop = (kRidge - kEaves) / kHalfZ * kOverhang;
    const double thick = 0.24;
    for (double side : {-1.0, 1.0}) {
        std::vector<std::array<double, 2>> slab = {{side * run, kEaves - drop},
                                                   {0.0, kRidge},
                                                   {0.0, kRidge + thick},
                                                   {side * run, kEaves - drop + thick}};
        if (side < 0) {
            std::reverse(slab.begin(), slab.end());
        }
        // Sides in profile order: underside, ridge end, tiles, eaves end.
        std::vector<FaceMap> maps = {wood, wood, roof, wood};
        if (side < 0) {
            maps = {roof, wood, wood, wood};
        }
        mesh.addExtrusionX(slab, -kHalfX - kOverhang, kHalfX + kOverhang, maps, wood);
    }
    mesh.addBox({1.6, 4.1, -1.5}, {2.24, 6.24, -0.86}, BoxMaps::all(brick));
    // Doorstep.
    mesh.addBox({0.45, 0.0, kHalfZ}, {1.55, 0.24, kHalfZ + kOverhang}, BoxMaps::all(stone));
    return {"house.md2", "house_skin.png", mesh, paintHouseSkin(), ""};
}
