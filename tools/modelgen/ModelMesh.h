#pragma once

#include "Vec3.h"

#include <array>
#include <cstdint>
#include <vector>

// A rectangle of the skin in texels, (s0, t0) the top-left corner.
struct SkinRect {
    double s0 = 0.0; // left, texels
    double t0 = 0.0; // top, texels
    double s1 = 0.0; // right, texels
    double t1 = 0.0; // bottom, texels
};

// How a flat face finds its texture coordinates. Every face has a 2D frame
// seen from outside: v runs up (world up on walls, forward on roofs and
// floors), u runs to the right.
struct FaceMap {
    enum Kind {
        kStretch, // the face's extent in (u, v) fills the rectangle
        kProject  // world units times a texel density, same scale on every face
    };
    Kind kind = kStretch;
    SkinRect rect;              // texels the face may use
    double texelsPerUnit = 0.0; // kProject: texels per world unit
    double originS = 0.0;       // kProject: texel of u = 0
    double originT = 0.0;       // kProject: texel of v = 0

    static FaceMap stretch(const SkinRect &r) { return {kStretch, r, 0.0, 0.0, 0.0}; }
    // The world origin lands on (originS, originT); texels outside the rectangle are clamped.
    static FaceMap project(const SkinRect &r, double density, double originS, double originT) {
        return {kProject, r, density, originS, originT};
    }
};

// The six faces of a box by outward direction.
struct BoxMaps {
    FaceMap left;   // -x
    FaceMap right;  // +x
    FaceMap bottom; // -y
    FaceMap top;    // +y
    FaceMap back;   // -z
    FaceMap front;  // +z

    static BoxMaps all(const FaceMap &m) { return {m, m, m, m, m, m}; }
};

// A triangle mesh built from closed solids in game axes, with texel
// coordinates. Every triangle is wound clockwise seen from outside the solid it
// belongs to, so its front face under glFrontFace(GL_CW) faces out and the
// game's computed normal points outward. Solids may overlap; each one is closed
// on its own. Vertices are shared only where smooth shading is wanted.
class ModelMesh {
  public:
    struct Vertex {
        Vec3 pos;     // game axes, world units at model scale 1
        double s = 0; // texels from the left
        double t = 0; // texels from the top
    };

    int addVertex(const Vec3 &pos, double s, double t);
    // The triangle (a, b, c), turned if needed so that its clockwise side faces
    // away from `inside`, a point inside the solid it closes.
    void addTriangle(int a, int b, int c, const Vec3 &inside);

    // A flat convex polygon with vertices of its own (hard edges all around).
    void addFace(const std::vector<Vec3> &corners, const Vec3 &inside, const FaceMap &map);
    // An axis-aligned box.
    void addBox(const Vec3 &low, const Vec3 &high, const BoxMaps &maps);
    // The convex solid between two convex rings with the same number of
    // corners in the same order: flat sides, side i joining corners i and i+1,
    // mapped with sideMaps[i] (or sideMaps[0] for all when only one is given);
    // the rings themselves are closed with their cap maps.
    void addLoft(const std::vector<Vec3> &bottom, const std::vector<Vec3> &top,
                 const std::vector<FaceMap> &sideMaps, const FaceMap &bottomCap, const FaceMap &topCap);
    // A convex profile in the (z, y) plane pushed along x from x0 to x1: the
    // profile's sides get sideMaps as above, the two x faces `endMap`.
    void addExtrusionX(const std::vector<std::array<double, 2>> &profileZY, double x0, double x1,
                       const std::vector<FaceMap> &sideMaps, const FaceMap &endMap);
    // A round frustum from `a` (radius ra) to `b` (radius rb) with `sides`
    // corners, smooth sides wrapped once around `sideRect` (s around, t from b
    // at the top to a at the bottom) and flat caps; rb = 0 makes a cone.
    // `phase` turns the corners about the axis, radians.
    void addTube(const Vec3 &a, const Vec3 &b, double ra, double rb, int sides, const SkinRect &sideRect,
                 const FaceMap &capMap, double phase = 0.0);
    // A lumpy closed blob: an icosahedron subdivided `subdivisions` times, each
    // corner pushed out by up to `bumpiness` of its radius (seeded noise), flat
    // faces.
    void addBlob(const Vec3 &centre, const Vec3 &radii, int subdivisions, double bumpiness,
                 std::uint32_t seed, const FaceMap &map);

    const std::vector<Vertex> &getVertices() const { return vertices; }
    const std::vector<std::array<int, 3>> &getTriangles() const { return triangles; }

  private:
    std::vector<Vertex> vertices;              // in order of creation
    std::vector<std::array<int, 3>> triangles; // vertex indices, clockwise from outside
};
