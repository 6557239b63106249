#include "GeneratedModel.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

// The battle tank "tank1.md2": hull on two tracks, turret and gun in one
// model (the game draws the turret as part of the vehicle model).
//
// Game axes, world units at scale 1: x lateral, y up, z forward. The origin
// is where the game puts the vehicle position: on the ground, on the turret's
// turning axis. The game centres every model on its bounding box in the
// horizontal plane, so the hull is placed to make the box symmetric about the
// turret axis: the hull's rear and the barrel tip are both 2.88 from it.
// Key sizes are whole multiples of the packing step 0.048, so that the
// origin and the gun axis fall on the grid and stay symmetric.
namespace {
constexpr double kHalfWidth = 1.392;  // tracks and fenders, each side
constexpr double kRear = -2.88;       // hull and tracks
constexpr double kBarrelTip = 2.88;   // muzzle face of the gun
constexpr double kGunHeight = 1.728;  // gun axis above the ground
constexpr double kMuzzleAhead = 0.52; // where a shell starts, ahead of the tip: outside the tank's own hull
constexpr double kTrackInner = 0.82;  // inner face of each track
constexpr double kTrackTop = 0.77;
constexpr double kDeckBottom = 0.80; // underside of the fenders
constexpr double kDeck = 1.25;       // top of the hull, turret ring
constexpr double kTurretTop = 1.95;

// Skin layout, texels of a 256 x 256 picture.
constexpr SkinRect kDeckRect{0, 0, 64, 128};      // hull roof, front at the top
constexpr SkinRect kCamoRect{64, 0, 192, 128};    // every other painted plate, projected
constexpr SkinRect kTurretRoof{192, 0, 256, 64};  // turret roof with hatches
constexpr SkinRect kMetalRect{192, 64, 256, 128}; // gun, mantlet, cupola, launchers
constexpr SkinRect kTrackSide{0, 128, 256, 170};  // track side with road wheels
constexpr SkinRect kTread{0, 176, 32, 256};       // track links: across in s, along in t
constexpr SkinRect kDarkRect{32, 176, 64, 208};   // exhaust grille, gun bore
constexpr SkinRect kLampRect{32, 208, 64, 240};   // headlight glass
constexpr double kCamoDensity = 20.0;             // texels per unit on projected plates
constexpr double kCamoOriginS = 128.0;
constexpr double kCamoOriginT = 70.0;

SkinRect inset(const SkinRect &r, double by) {
    return {r.s0 + by, r.t0 + by, r.s1 - by, r.t1 - by};
}

const Rgb kOlive = Rgb::hex(0x84924F);
const Rgb kBrown = Rgb::hex(0x947755);
const Rgb kBlack = Rgb::hex(0x3B3F30);
const Rgb kSteel = Rgb::hex(0x6A7348);
const Rgb kRubber = Rgb::hex(0x302F29);

// Three-tone camouflage with soft 1-texel edges and a fine grain.
Rgb camo(double x, double y) {
    const double brown = fractalNoise(x / 22.0, y / 22.0, 3, 11);
    const double black = fractalNoise(x / 17.0 + 40.0, y / 17.0, 3, 23);
    Rgb c = mix(kOlive, kBrown, smoothStep(0.56, 0.60, brown));
    c = mix(c, kBlack, smoothStep(0.62, 0.66, black));
    const double grain = 0.94 + 0.12 * hash01(static_cast<int>(x), static_cast<int>(y), 5);
    const double wear = 0.92 + 0.16 * fractalNoise(x / 6.0, y / 6.0, 2, 31);
    return c.scaled(grain * wear);
}

void paintTrackSide(SkinCanvas &skin) {
    const SkinRect r = kTrackSide;
    const double w = r.s1 - r.s0, h = r.t1 - r.t0;
    skin.paint(r, [&](double x, double y, const Rgb &) {
        // Links run along the top and bottom edges.
        const double fromEdge = std::min(y - r.t0, r.t1 - y);
        Rgb c = kRubber;
        if (fromEdge < 6.0) {
            const bool pin = std::fmod(x - r.s0, 6.0) < 1.5;
            c = pin ? Rgb::hex(0x45463E) : Rgb::hex(0x33332B);
        }
        return c.scaled(0.92 + 0.16 * hash01(static_cast<int>(x), static_cast<int>(y), 77));
    });
    // Six road wheels and an idler at each end, all symmetric so that the
    // mirrored left side looks the same.
    const double wheelY = r.t1 - 17.0;
    const double spacing = (w - 70.0) / 5.0;
    for (int i = 0; i < 6; ++i) {
        const double cx = r.s0 + 35.0 + spacing * i;
        skin.disc(cx, wheelY, 16.0, Rgb::hex(0x1C1C18));
        skin.disc(cx, wheelY, 13.0, kSteel.scaled(1.05));
        skin.disc(cx, wheelY, 11.5, kSteel.scaled(0.85));
        skin.disc(cx, wheelY, 5.0, kSteel.scaled(1.2));
        for (int b = 0; b < 6; ++b) {
            const double a = b * 3.14159265 / 3.0;
            skin.disc(cx + 3.2 * std::cos(a), wheelY + 3.2 * std::sin(a), 0.8, kBlack);
        }
    }
    for (double cx : {r.s0 + 11.0, r.s1 - 11.0}) {
        skin.disc(cx, r.t0 + h * 0.45, 10.0, Rgb::hex(0x1C1C18));
        skin.disc(cx, r.t0 + h * 0.45, 7.5, kSteel);
        skin.disc(cx, r.t0 + h * 0.45, 3.0, kSteel.scaled(1.25));
    }
}

void paintTread(SkinCanvas &skin) {
    const SkinRect r = kTread;
    skin.paint(r, [&](double x, double y, const Rgb &) {
        const double along = std::fmod(y - r.t0, 5.0);
        const double across = x - r.s0;
        Rgb c = along < 1.5 ? Rgb::hex(0x4A4A42) : Rgb::hex(0x2B2B25);
        if (across < 3.0 || across > (r.s1 - r.s0) - 3.0) {
            c = c.scaled(0.8);
        }
        return c.scaled(0.9 + 0.2 * hash01(static_cast<int>(x), static_cast<int>(y), 78));
    });
}

void paintDeck(SkinCanvas &skin) {
    const SkinRect r = kDeckRect;
    skin.paint(r, [&](double x, double y, const Rgb &) { return camo(x * 1.3 + 300.0, y * 1.3); });
    // Engine grille over the rear third, a hatch and plate seams.
    const SkinRect grille{r.s0 + 10, r.t0 + 88, r.s1 - 10, r.t1 - 8};
    skin.paint(grille, [&](double, double y, const Rgb &old) {
        const bool slat = std::fmod(y - grille.t0, 4.0) < 2.0;
        return slat ? Rgb::hex(0x1E2019) : old.scaled(0.8);
    });
    skin.bevel(grille, 1.5, 0.7, 1.3);
    skin.line(r.s0 + 2, r.t0 + 80, r.s1 - 2, r.t0 + 80, 1.2, kBlack, 0.8);
    skin.line(r.s0 + 32, r.t0 + 80, r.s0 + 32, r.t1 - 4, 1.0, kBlack, 0.6);
    skin.bevel(inset(r, 0.5), 2.0, 1.15, 0.75);
}

void paintCamoPlates(SkinCanvas &skin) {
    const SkinRect r = kCamoRect;
    skin.paint(r, [&](double x, double y, const Rgb &) {
        Rgb c = camo(x, y);
        // Dust settles on the lower hull: the projected side plates reach the
        // ground near t = kCamoOriginT.
        const double dust = smoothStep(kCamoOriginT - 14.0, kCamoOriginT, y) *
                            smoothStep(kCamoOriginT + 10.0, kCamoOriginT, y);
        return mix(c, Rgb::hex(0x8A7A5C), 0.55 * dust);
    });
    // Plate seams and a few bolts, in world units through the projection.
    for (double z : {-1.6, 0.2}) {
        const double s = kCamoOriginS + z * kCamoDensity;
        skin.line(s, kCamoOriginT - 1.25 * kCamoDensity, s, kCamoOriginT - 0.8 * kCamoDensity, 1.0, kBlack,
                  0.7);
    }
    skin.line(r.s0 + 2, kCamoOriginT - 1.02 * kCamoDensity, r.s1 - 2, kCamoOriginT - 1.02 * kCamoDensity, 1.0,
              kBlack, 0.5);
}

void paintTurretRoof(SkinCanvas &skin) {
    const SkinRect r = kTurretRoof;
    skin.paint(r, [&](double x, double y, const Rgb &) { return camo(x * 1.5 + 500.0, y * 1.5); });
    // Loader's hatch on the left of the roof (the cupola stands on the right).
    const double cx = r.s0 + 18.0, cy = r.t0 + 38.0;
    skin.disc(cx, cy, 9.0, kBlack, 0.9);
    skin.disc(cx, cy, 7.5, kSteel);
    skin.disc(cx + 3, cy - 2, 1.5, kBlack);
    // Periscope heads at the front.
    for (double px : {r.s0 + 20.0, r.s0 + 30.0}) {
        skin.fill({px - 3, r.t0 + 8, px + 3, r.t0 + 12}, Rgb::hex(0x20241C));
        skin.fill({px - 2, r.t0 + 8.5, px + 2, r.t0 + 10}, Rgb::hex(0x6F8FA0));
    }
    skin.bevel(inset(r, 0.5), 2.0, 1.15, 0.75);
}

void paintMetal(SkinCanvas &skin) {
    skin.paint(kMetalRect, [&](double x, double y, const Rgb &) {
        const double n = fractalNoise(x / 5.0, y / 5.0, 2, 41);
        return kSteel.scaled(0.9 + 0.2 * n);
    });
}

SkinCanvas paintTankSkin() {
    SkinCanvas skin(256, 256, kOlive);
    skin.paint({0, 0, 256, 256}, [](double x, double y, const Rgb &) { return camo(x, y); });
    paintDeck(skin);
    paintCamoPlates(skin);
    paintTurretRoof(skin);
    paintMetal(skin);
    paintTrackSide(skin);
    paintTread(skin);
    skin.paint(kDarkRect, [](double, double y, const Rgb &) {
        return std::fmod(y, 3.0) < 1.5 ? Rgb::hex(0x141411) : Rgb::hex(0x2A2A24);
    });
    skin.paint(kLampRect, [](double x, double y, const Rgb &) {
        const double d = std::hypot(x - 48.0, y - 224.0);
        return mix(Rgb::hex(0xFFF6C8), Rgb::hex(0xB8A860), std::clamp(d / 16.0, 0.0, 1.0));
    });
    return skin;
}
} // namespace

GeneratedModel makeTank() {
    ModelMesh mesh;
    const FaceMap camo = FaceMap::project(inset(kCamoRect, 1.0), kCamoDensity, kCamoOriginS, kCamoOriginT);
    const FaceMap deck = FaceMap::stretch(inset(kDeckRect, 1.0));
    const FaceMap roof = FaceMap::stretch(inset(kTurretRoof, 1.0));
    const FaceMap metal = FaceMap::stretch(inset(kMetalRect, 1.0));
    const FaceMap trackSide = FaceMap::stretch(inset(kTrackSide, 0.5));
    const FaceMap tread = FaceMap::stretch(inset(kTread, 0.5));
    const FaceMap dark = FaceMap::stretch(inset(kDarkRect, 1.0));
    const FaceMap lamp = FaceMap::stretch(inset(kLampRect, 2.0));

    // Tracks: side profile (z, y), the drive sprocket at the rear, the idler
    // raised at the front.
    const std::vector<std::array<double, 2>> trackProfile = {
        {kRear + 0.4, 0.0},        {1.35, 0.0},  {1.85, 0.42}, {1.72, kTrackTop},
        {kRear + 0.15, kTrackTop}, {kRear, 0.40}};
    for (double side : {-1.0, 1.0}) {
        mesh.addExtrusionX(trackProfile, side * kTrackInner, side * kHalfWidth, {tread}, trackSide);
    }
    // Lower hull between the tracks, with a sloped nose.
    mesh.addExtrusionX({{-2.7, 0.3}, {1.35, 0.3}, {1.8, kDeckBottom + 0.02}, {-2.8, kDeckBottom + 0.02}},
                       -kTrackInner, kTrackInner, {camo}, camo);
    // Upper hull over the full width: fenders, glacis, engine deck. Sides in
    // profile order: underside, glacis, roof, rear plate.
    mesh.addExtrusionX({{-2.88, kDeckBottom}, {1.85, kDeckBottom}, {1.15, kDeck}, {-2.75, kDeck}},
                       -kHalfWidth, kHalfWidth, {camo, camo, deck, camo}, camo);
    // Stowage bins on the rear fenders and the exhaust on the rear plate.
    for (double side : {-1.0, 1.0}) {
        const double a = side * 1.02, b = side * 1.36;
        mesh.addBox({std::min(a, b), kDeck - 0.02, -2.45}, {std::max(a, b), kDeck + 0.26, -1.55},
                    BoxMaps::all(camo));
        // Headlights on the front fenders.
        const double c = side * 1.05, d = side * 1.28;
        mesh.addBox({std::min(c, d), 1.02, 1.42}, {std::max(c, d), 1.2, 1.6},
                    {metal, metal, metal, metal, metal, lamp});
    }
    mesh.addBox({-0.6, 0.86, -2.88}, {0.6, 1.12, -2.76}, {dark, dark, dark, dark, dark, dark});

    // Turret: an eight-sided ring narrowing towards the roof.
    auto ring = [](double y, double shrink) {
        const double pts[8][2] = {{0.55, 1.05},   {1.0, 0.55},    {1.05, -0.75}, {0.75, -1.15},
                                  {-0.75, -1.15}, {-1.05, -0.75}, {-1.0, 0.55},  {-0.55, 1.05}};
        std::vector<Vec3> r;
        for (const auto &p : pts) {
            r.push_back({p[0] * shrink, y, p[1] * shrink - (1.0 - shrink) * 0.1});
        }
        return r;
    };
    mesh.addLoft(ring(kDeck, 1.0), ring(kTurretTop, 0.86), {camo}, camo, roof);
    // Bustle at the turret's rear, mantlet and gun.
    mesh.addBox({-0.7, 1.35, -1.55}, {0.7, 1.86, -0.95}, BoxMaps::all(camo));
    mesh.addBox({-0.34, 1.46, 0.8}, {0.34, 1.98, 1.22}, BoxMaps::all(metal));
    const Vec3 gunBase{0.0, kGunHeight, 1.2};
    const SkinRect gunSide = inset(kMetalRect, 1.0);
    mesh.addTube(gunBase, {0.0, kGunHeight, kBarrelTip - 0.16}, 0.12, 0.12, 8, gunSide, metal, 0.3927);
    mesh.addTube({0.0, kGunHeight, 1.85}, {0.0, kGunHeight, 2.2}, 0.17, 0.17, 8, gunSide, metal, 0.3927);
    mesh.addTube({0.0, kGunHeight, kBarrelTip - 0.2}, {0.0, kGunHeight, kBarrelTip}, 0.155, 0.155, 8, gunSide,
                 dark, 0.3927);
    // Commander's cupola on the right of the roof, smoke dischargers on the cheeks.
    mesh.addTube({-0.42, kTurretTop - 0.05, -0.35}, {-0.42, kTurretTop + 0.22, -0.35}, 0.3, 0.26, 8, gunSide,
                 metal, 0.3927);
    for (double side : {-1.0, 1.0}) {
        const double a = side * 0.86, b = side * 1.06;
        mesh.addBox({std::min(a, b), 1.55, 0.3}, {std::max(a, b), 1.78, 0.62}, BoxMaps::all(metal));
    }

    char notes[400];
    std::snprintf(notes, sizeof notes,
                  "tank1.md2: turret mount (posturmx/y/z) = 0 %.3f 0, muzzle (muendungposx/y/z) = 0 0 %.2f "
                  "(barrel tip %.2f ahead of the mount)",
                  kGunHeight, kBarrelTip + kMuzzleAhead, kBarrelTip);
    return {"tank1.md2", "tank1_skin.png", mesh, paintTankSkin(), notes};
}
