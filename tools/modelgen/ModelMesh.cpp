#include "ModelMesh.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace {
constexpr double kPi = 3.14159265358979323846;

// Polygon normal by Newell's method, pointing to where the corners run
// counter-clockwise; robust for slightly non-planar quads.
Vec3 newellNormal(const std::vector<Vec3> &corners) {
    Vec3 n;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const Vec3 &a = corners[i];
        const Vec3 &b = corners[(i + 1) % corners.size()];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    return normalised(n);
}

Vec3 centroid(const std::vector<Vec3> &points) {
    Vec3 c;
    for (const Vec3 &p : points) {
        c = c + p;
    }
    return c * (1.0 / static_cast<double>(points.size()));
}

// The face's 2D frame seen from outside along the outward normal `n`: u to the
// right, v up (world up on walls; forward on floors and roofs).
void faceAxes(const Vec3 &n, Vec3 &u, Vec3 &v) {
    const double ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    if (ay >= ax && ay >= az) {
        v = {0, 0, 1};
        u = n.y > 0 ? Vec3{-1, 0, 0} : Vec3{1, 0, 0};
    } else if (ax >= az) {
        v = {0, 1, 0};
        u = n.x > 0 ? Vec3{0, 0, -1} : Vec3{0, 0, 1};
    } else {
        v = {0, 1, 0};
        u = n.z > 0 ? Vec3{1, 0, 0} : Vec3{-1, 0, 0};
    }
}

double clampTo(double value, double a, double b) {
    return std::min(std::max(value, std::min(a, b)), std::max(a, b));
}

// Texel coordinates of every corner of a flat face under `map`.
std::vector<std::pair<double, double>> mapFace(const std::vector<Vec3> &corners, const Vec3 &outward,
                                               const FaceMap &map) {
    Vec3 u, v;
    faceAxes(outward, u, v);
    std::vector<std::pair<double, double>> uv;
    double uMin = 1e30, uMax = -1e30, vMin = 1e30, vMax = -1e30;
    for (const Vec3 &p : corners) {
        const double pu = dot(p, u), pv = dot(p, v);
        uv.emplace_back(pu, pv);
        uMin = std::min(uMin, pu);
        uMax = std::max(uMax, pu);
        vMin = std::min(vMin, pv);
        vMax = std::max(vMax, pv);
    }
    std::vector<std::pair<double, double>> st;
    for (const auto &[pu, pv] : uv) {
        double s, t;
        if (map.kind == FaceMap::kStretch) {
            const double fu = uMax > uMin ? (pu - uMin) / (uMax - uMin) : 0.5;
            const double fv = vMax > vMin ? (vMax - pv) / (vMax - vMin) : 0.5;
            s = map.rect.s0 + fu * (map.rect.s1 - map.rect.s0);
            t = map.rect.t0 + fv * (map.rect.t1 - map.rect.t0);
        } else {
            s = clampTo(map.originS + pu * map.texelsPerUnit, map.rect.s0, map.rect.s1);
            t = clampTo(map.originT - pv * map.texelsPerUnit, map.rect.t0, map.rect.t1);
        }
        st.emplace_back(s, t);
    }
    return st;
}

// Two unit vectors perpendicular to `axis` and to each other.
void perpendiculars(const Vec3 &axis, Vec3 &e1, Vec3 &e2) {
    const Vec3 helper = std::fabs(axis.y) < 0.9 ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
    e1 = normalised(cross(helper, axis));
    e2 = normalised(cross(axis, e1));
}
} // namespace

int ModelMesh::addVertex(const Vec3 &pos, double s, double t) {
    vertices.push_back({pos, s, t});
    return static_cast<int>(vertices.size()) - 1;
}

void ModelMesh::addTriangle(int a, int b, int c, const Vec3 &inside) {
    const Vec3 &pa = vertices[a].pos, &pb = vertices[b].pos, &pc = vertices[c].pos;
    const Vec3 n = gameFaceNormal(pa, pb, pc);
    if (length(n) == 0.0) {
        throw std::runtime_error("degenerate triangle in a generated solid");
    }
    const Vec3 centre = (pa + pb + pc) * (1.0 / 3.0);
    if (dot(n, centre - inside) < 0.0) {
        std::swap(b, c);
    }
    triangles.push_back({a, b, c});
}

void ModelMesh::addFace(const std::vector<Vec3> &corners, const Vec3 &inside, const FaceMap &map) {
    Vec3 outward = newellNormal(corners);
    if (dot(outward, centroid(corners) - inside) < 0.0) {
        outward = outward * -1.0;
    }
    const auto st = mapFace(corners, outward, map);
    const int first = static_cast<int>(vertices.size());
    for (std::size_t i = 0; i < corners.size(); ++i) {
        addVertex(corners[i], st[i].first, st[i].second);
    }
    for (std::size_t i = 1; i + 1 < corners.size(); ++i) {
        addTriangle(first, first + static_cast<int>(i), first + static_cast<int>(i) + 1, inside);
    }
}

void ModelMesh::addBox(const Vec3 &lo, const Vec3 &hi, const BoxMaps &maps) {
    const Vec3 inside = (lo + hi) * 0.5;
    addFace({{lo.x, lo.y, lo.z}, {lo.x, hi.y, lo.z}, {lo.x, hi.y, hi.z}, {lo.x, lo.y, hi.z}}, inside,
            maps.left);
    addFace({{hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {hi.x, lo.y, hi.z}}, inside,
            maps.right);
    addFace({{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z}}, inside,
            maps.bottom);
    addFace({{lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}}, inside,
            maps.top);
    addFace({{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z}}, inside,
            maps.back);
    addFace({{lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}}, inside,
            maps.front);
}

void ModelMesh::addLoft(const std::vector<Vec3> &bottom, const std::vector<Vec3> &top,
                        const std::vector<FaceMap> &sideMaps, const FaceMap &bottomCap,
                        const FaceMap &topCap) {
    if (bottom.size() != top.size() || bottom.size() < 3 || sideMaps.empty()) {
        throw std::runtime_error("a loft needs two rings of equal size and a side map");
    }
    std::vector<Vec3> all = bottom;
    all.insert(all.end(), top.begin(), top.end());
    const Vec3 inside = centroid(all);
    const std::size_t n = bottom.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        addFace({bottom[i], bottom[j], top[j], top[i]}, inside,
                sideMaps.size() == 1 ? sideMaps[0] : sideMaps.at(i));
    }
    addFace(bottom, inside, bottomCap);
    addFace(top, inside, topCap);
}

void ModelMesh::addExtrusionX(const std::vector<std::array<double, 2>> &profileZY, double x0, double x1,
                              const std::vector<FaceMap> &sideMaps, const FaceMap &endMap) {
    std::vector<Vec3> near, far;
    for (const auto &zy : profileZY) {
        near.push_back({x0, zy[1], zy[0]});
        far.push_back({x1, zy[1], zy[0]});
    }
    addLoft(near, far, sideMaps, endMap, endMap);
}

void ModelMesh::addTube(const Vec3 &a, const Vec3 &b, double ra, double rb, int sides,
                        const SkinRect &sideRect, const FaceMap &capMap, double phase) {
    const Vec3 axis = normalised(b - a);
    Vec3 e1, e2;
    perpendiculars(axis, e1, e2);
    const Vec3 inside = (a + b) * 0.5;
    std::vector<Vec3> ringA, ringB;
    for (int i = 0; i < sides; ++i) {
        const double angle = phase + 2.0 * kPi * i / sides;
        const Vec3 radial = e1 * std::cos(angle) + e2 * std::sin(angle);
        ringA.push_back(a + radial * ra);
        ringB.push_back(b + radial * rb);
    }
    // Side vertices are shared around the tube for smooth shading; the seam
    // repeats its first column so that s can run once across the rectangle.
    const int firstA = static_cast<int>(vertices.size());
    for (int i = 0; i <= sides; ++i) {
        const double s = sideRect.s0 + (sideRect.s1 - sideRect.s0) * i / sides;
        addVertex(ringA[i % sides], s, sideRect.t1);
    }
    if (rb > 0.0) {
        const int firstB = static_cast<int>(vertices.size());
        for (int i = 0; i <= sides; ++i) {
            const double s = sideRect.s0 + (sideRect.s1 - sideRect.s0) * i / sides;
            addVertex(ringB[i % sides], s, sideRect.t0);
        }
        for (int i = 0; i < sides; ++i) {
            addTriangle(firstA + i, firstA + i + 1, firstB + i + 1, inside);
            addTriangle(firstA + i, firstB + i + 1, firstB + i, inside);
        }
        addFace(ringB, inside, capMap);
    } else {
        const int apex = addVertex(b, (sideRect.s0 + sideRect.s1) * 0.5, sideRect.t0);
        for (int i = 0; i < sides; ++i) {
            addTriangle(firstA + i, firstA + i + 1, apex, inside);
        }
    }
    addFace(ringA, inside, capMap);
}

void ModelMesh::addBlob(const Vec3 &centre, const Vec3 &radii, int subdivisions, double bumpiness,
                        std::uint32_t seed, const FaceMap &map) {
    // Icosahedron on the unit sphere.
    const double g = (1.0 + std::sqrt(5.0)) / 2.0;
    std::vector<Vec3> ico = {{-1, g, 0},  {1, g, 0},  {-1, -g, 0}, {1, -g, 0}, {0, -1, g},  {0, 1, g},
                             {0, -1, -g}, {0, 1, -g}, {g, 0, -1},  {g, 0, 1},  {-g, 0, -1}, {-g, 0, 1}};
    for (Vec3 &p : ico) {
        p = normalised(p);
    }
    const int faces[20][3] = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11},
                              {1, 5, 9},  {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
                              {3, 9, 4},  {3, 4, 2},  {3, 2, 6},   {3, 6, 8},  {3, 8, 9},
                              {4, 9, 5},  {2, 4, 11}, {6, 2, 10},  {8, 6, 7},  {9, 8, 1}};
    std::vector<std::array<Vec3, 3>> tris;
    for (const auto &f : faces) {
        tris.push_back({ico[f[0]], ico[f[1]], ico[f[2]]});
    }
    for (int level = 0; level < subdivisions; ++level) {
        std::vector<std::array<Vec3, 3>> finer;
        for (const auto &t : tris) {
            // a + b equals b + a exactly, so neighbours split their edge alike.
            const Vec3 ab = normalised(t[0] + t[1]);
            const Vec3 bc = normalised(t[1] + t[2]);
            const Vec3 ca = normalised(t[2] + t[0]);
            finer.push_back({t[0], ab, ca});
            finer.push_back({ab, t[1], bc});
            finer.push_back({ca, bc, t[2]});
            finer.push_back({ab, bc, ca});
        }
        tris = finer;
    }
    auto place = [&](const Vec3 &unit) {
        const double bump =
            1.0 + bumpiness * (valueNoise3(unit.x * 1.7, unit.y * 1.7, unit.z * 1.7, seed) - 0.5);
        return centre + Vec3{unit.x * radii.x, unit.y * radii.y, unit.z * radii.z} * bump;
    };
    for (const auto &t : tris) {
        const std::vector<Vec3> corners = {place(t[0]), place(t[1]), place(t[2])};
        // The face is turned by where it sits on the sphere, which the bumps
        // cannot move to the other side.
        const Vec3 outwardOnSphere = centroid({t[0], t[1], t[2]});
        Vec3 outward = newellNormal(corners);
        if (dot(outward, outwardOnSphere) < 0.0) {
            outward = outward * -1.0;
        }
        const auto st = mapFace(corners, outward, map);
        const int first = static_cast<int>(vertices.size());
        for (int i = 0; i < 3; ++i) {
            addVertex(corners[i], st[i].first, st[i].second);
        }
        addTriangle(first, first + 1, first + 2, centroid(corners) - outward);
    }
}
