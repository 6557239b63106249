#include "GeneratedModel.h"

#include "Noise.h"

#include <cmath>

// "rock.md2": a weathered boulder, about 3.6 x 3 across and 1.7 high, lumpy
// and flat-shaded, its foot sunk into the ground.
namespace {
constexpr SkinRect kStone{0, 0, 256, 256};
constexpr double kDensity = 36.0; // texels per unit on every face

Rgb stone(double x, double y) {
    const double large = fractalNoise(x / 40.0, y / 40.0, 3, 81);
    const double fine = fractalNoise(x / 4.0, y / 4.0, 3, 82);
    Rgb c = mix(Rgb::hex(0x6E6A62), Rgb::hex(0xA8A396), large);
    c = c.scaled(0.8 + 0.35 * fine);
    // Lichen patches and dark cracks.
    const double lichen = smoothStep(0.64, 0.72, fractalNoise(x / 12.0 + 50.0, y / 12.0, 3, 83));
    c = mix(c, Rgb::hex(0x8C9A52), 0.7 * lichen);
    // Sparse hairline cracks where two noise fields cross their middle together.
    const double crackA = std::fabs(fractalNoise(x / 30.0, y / 30.0, 4, 84) - 0.5);
    const double crackB = fractalNoise(x / 50.0 + 9.0, y / 50.0, 2, 87);
    if (crackA < 0.01 && crackB > 0.55) {
        c = c.scaled(0.6);
    }
    return c.scaled(grain(x, y, 85, 0.08));
}
} // namespace

GeneratedModel makeRock() {
    ModelMesh mesh;
    const FaceMap map = FaceMap::project({1, 1, 255, 255}, kDensity, 128.0, 128.0);
    mesh.addBlob({0.0, 0.95, 0.0}, {1.75, 1.0, 1.45}, 2, 0.55, 86, map);
    // Sink the foot: whatever lies below the ground is cut flat at 0.
    ModelMesh flat;
    for (const auto &v : mesh.getVertices()) {
        Vec3 p = v.pos;
        p.y = std::max(0.0, p.y - 0.25);
        flat.addVertex(p, v.s, v.t);
    }
    for (const auto &t : mesh.getTriangles()) {
        const Vec3 &a = flat.getVertices()[t[0]].pos, &b = flat.getVertices()[t[1]].pos,
                   &c = flat.getVertices()[t[2]].pos;
        // Faces lying entirely below the ground become one flat floor; faces
        // whose corners merged are dropped.
        if (length(gameFaceNormal(a, b, c)) == 0.0) {
            continue;
        }
        flat.addTriangle(t[0], t[1], t[2], (a + b + c) * (1.0 / 3.0) - gameFaceNormal(a, b, c));
    }
    SkinCanvas skin(256, 256, Rgb::hex(0x8A867C));
    skin.paint(kStone, [](double x, double y, const Rgb &) { return stone(x, y); });
    return {"rock.md2", "rock_skin.png", flat, skin, ""};
}
