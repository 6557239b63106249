// Checks every model shipped in data/model/ against what the game does with
// it: draws frame 1 with its skin, builds a physics hull from its packed bytes,
// culls back faces with clockwise front faces, and shoots from the tank's muzzle.
#include "config/ConfigReader.h"
#include "model/Md2Model.h"
#include "model/Modell.h"
#include "render/ReadMD2Model.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <numeric>
#include <vector>

namespace fs = std::filesystem;

namespace {
const fs::path kData = fs::path(PANZER_SOURCE_DIR) / "data";

// Where tank1.md2 expects its vehicle type to put the turret mount and the
// muzzle (game axes: y up, z forward), as written in tools/README.md.
constexpr float kTankMountY = 1.728f;
constexpr float kTankMuzzleZ = 3.40f;

std::vector<fs::path> shippedModels() {
    std::vector<fs::path> files;
    if (fs::is_directory(kData / "model")) {
        for (const auto &entry : fs::directory_iterator(kData / "model")) {
            if (entry.path().extension() == ".md2") {
                files.push_back(entry.path());
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

struct Vec {
    double x, y, z;
};
Vec sub(const Vec &a, const Vec &b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec cross(const Vec &a, const Vec &b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double dot(const Vec &a, const Vec &b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// A vertex of frame 1 where the game draws it: scale * (frame scale * byte +
// translate), then turned -90 degrees about x (model z up becomes world y).
Vec drawnWorld(const Md2Frame &f, const Md2Vertex &v, double scale) {
    const double m[3] = {scale * (f.scale[0] * v.v[0] + f.translate[0]),
                         scale * (f.scale[1] * v.v[1] + f.translate[1]),
                         scale * (f.scale[2] * v.v[2] + f.translate[2])};
    return {m[0], m[2], -m[1]};
}

// The same vertex as the physics builds its hull: (-bx, bz, by) * s * 0.048 in
// physics axes, shifted by (-size x / 2, 0, -size z / 2) where size is
// max + min for a negative min and max - min otherwise, then back to world
// axes by negating x and z.
std::vector<Vec> hullWorld(const Md2Model &model, double scale) {
    const Md2Frame &f = *model.getPoseFrame();
    std::vector<Vec> points;
    for (const Md2Vertex &v : f.vertices) {
        points.push_back({-v.v[0] * scale * 0.048, v.v[2] * scale * 0.048, v.v[1] * scale * 0.048});
    }
    Vec low = points[0], high = points[0];
    for (const Vec &p : points) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    auto size = [](double mn, double mx) { return mn < 0 ? mx + mn : mx - mn; };
    const double offsetX = -size(low.x, high.x) / 2.0;
    const double offsetZ = -size(low.z, high.z) / 2.0;
    for (Vec &p : points) {
        p = {-(p.x + offsetX), p.y, -(p.z + offsetZ)};
    }
    return points;
}

// Width and height of a PNG from its IHDR chunk; false if it is no PNG.
bool pngSize(const fs::path &file, int &width, int &height) {
    std::ifstream in(file, std::ios::binary);
    unsigned char head[24] = {};
    if (!in.read(reinterpret_cast<char *>(head), sizeof head) || head[1] != 'P' || head[2] != 'N' ||
        head[3] != 'G') {
        return false;
    }
    width = (head[16] << 24) | (head[17] << 16) | (head[18] << 8) | head[19];
    height = (head[20] << 24) | (head[21] << 16) | (head[22] << 8) | head[23];
    return true;
}

struct Loaded {
    std::string name;
    Md2Model model;
};

std::vector<Loaded> loadAll() {
    std::vector<Loaded> all;
    for (const fs::path &file : shippedModels()) {
        Loaded l;
        l.name = file.filename().string();
        EXPECT_EQ(ReadMD2Model(file.string(), l.model), 1) << file;
        if (l.model.getPoseFrame()) {
            all.push_back(std::move(l));
        }
    }
    return all;
}
} // namespace

TEST(ModelContentTest, ShipsTheModelsTheGameLoadsByName) {
    std::vector<std::string> names;
    for (const fs::path &file : shippedModels()) {
        names.push_back(file.filename().string());
    }
    // The default vehicle and every projectile use these two names directly.
    EXPECT_NE(std::find(names.begin(), names.end(), "tank1.md2"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "bullet.md2"), names.end());
    EXPECT_GE(names.size(), 6u) << "tank, shell and at least four kinds of scenery";
}

TEST(ModelContentTest, EveryModelLoadsWithItsSkinInTheTextureFolder) {
    for (const Loaded &l : loadAll()) {
        SCOPED_TRACE(l.name);
        const Md2Model &m = l.model;
        EXPECT_GE(m.getNumFrames(), 2);
        EXPECT_GT(m.getNumTriangles(), 0);
        const std::string skin = m.getSkinTextureName();
        ASSERT_FALSE(skin.empty());
        int w = 0, h = 0;
        ASSERT_TRUE(pngSize(kData / "textures" / skin, w, h)) << skin;
        EXPECT_EQ(w, m.getSkinWidth());
        EXPECT_EQ(h, m.getSkinHeight());
        EXPECT_EQ(w & (w - 1), 0) << "power of two";
        EXPECT_LE(w, 512);
        for (const Md2TexCoord &st : m.getTexCoords()) {
            EXPECT_GE(st.s, 0);
            EXPECT_LE(st.s, w);
            EXPECT_GE(st.t, 0);
            EXPECT_LE(st.t, h);
        }
        // Every vertex belongs to a triangle, so bounding boxes over vertices
        // and over triangle corners agree.
        std::vector<bool> used(m.getNumVertices(), false);
        for (const Md2Triangle &t : m.getTriangles()) {
            for (int c = 0; c < 3; ++c) {
                used[t.vertexIndex[c]] = true;
            }
        }
        EXPECT_EQ(std::count(used.begin(), used.end(), false), 0);
    }
}

TEST(ModelContentTest, DrawnPoseAndPhysicsHullCoincide) {
    for (const Loaded &l : loadAll()) {
        SCOPED_TRACE(l.name);
        const Md2Frame &pose = *l.model.getPoseFrame();
        for (double scale : {1.0, 0.01, 2.5}) {
            SCOPED_TRACE(scale);
            const std::vector<Vec> hull = hullWorld(l.model, scale);
            for (std::size_t i = 0; i < pose.vertices.size(); ++i) {
                const Vec d = drawnWorld(pose, pose.vertices[i], scale);
                ASSERT_NEAR(d.x, hull[i].x, 1e-4) << "vertex " << i;
                ASSERT_NEAR(d.y, hull[i].y, 1e-4) << "vertex " << i;
                ASSERT_NEAR(d.z, hull[i].z, 1e-4) << "vertex " << i;
            }
        }
        // The bounding box the objects use has the drawn extents, centred in
        // the horizontal plane like the drawn model; the model stands on its
        // origin (lowest point at 0).
        Modell view(const_cast<Md2Model *>(&l.model));
        view.calcBorder();
        const float *b = view.getBorder();
        double low[3] = {1e9, 1e9, 1e9}, high[3] = {-1e9, -1e9, -1e9};
        const float *p = l.model.getVertexPositions();
        for (int v = 0; v < l.model.getNumVertices(); ++v) {
            for (int a = 0; a < 3; ++a) {
                low[a] = std::min(low[a], static_cast<double>(p[3 * v + a]));
                high[a] = std::max(high[a], static_cast<double>(p[3 * v + a]));
            }
        }
        for (int a = 0; a < 3; ++a) {
            EXPECT_NEAR(b[2 * a + 1] - b[2 * a], high[a] - low[a], 1e-4) << "axis " << a;
        }
        for (int a = 0; a < 2; ++a) {
            EXPECT_NEAR(low[a], b[2 * a], 1e-4) << "axis " << a;
            EXPECT_NEAR(high[a], b[2 * a + 1], 1e-4) << "axis " << a;
        }
        EXPECT_NEAR(low[2], 0.0, 1e-6);
    }
}

TEST(ModelContentTest, SurfacesAreClosedWoundClockwiseAndFaceOutward) {
    for (const Loaded &l : loadAll()) {
        SCOPED_TRACE(l.name);
        const Md2Model &m = l.model;
        const Md2Frame &pose = *m.getPoseFrame();
        const float *positions = m.getVertexPositions();
        const float *faceNormals = m.getFaceNormals();
        const float *vertexNormals = m.getVertexNormals();
        auto key = [&](int v) {
            const Md2Vertex &p = pose.vertices[v];
            return (p.v[0] << 16) | (p.v[1] << 8) | p.v[2];
        };
        auto at = [&](int v) { return Vec{positions[3 * v], positions[3 * v + 1], positions[3 * v + 2]}; };
        const int n = m.getNumTriangles();

        // Triangles that share an edge (by position) belong to one solid.
        std::vector<int> parent(n);
        std::iota(parent.begin(), parent.end(), 0);
        std::function<int(int)> root = [&](int i) {
            return parent[i] == i ? i : parent[i] = root(parent[i]);
        };
        std::map<std::pair<int, int>, int> firstWithEdge;
        for (int t = 0; t < n; ++t) {
            const Md2Triangle &tri = m.getTriangles()[t];
            const Vec p0 = at(tri.vertexIndex[0]), p1 = at(tri.vertexIndex[1]), p2 = at(tri.vertexIndex[2]);
            const Vec fn{faceNormals[3 * t], faceNormals[3 * t + 1], faceNormals[3 * t + 2]};
            ASSERT_NEAR(dot(fn, fn), 1.0, 1e-4) << "degenerate triangle " << t;
            // Seen from where the normal points, the corners run clockwise:
            // the front face under glFrontFace(GL_CW).
            EXPECT_LT(dot(cross(sub(p1, p0), sub(p2, p0)), fn), 0.0) << t;
            for (int c = 0; c < 3; ++c) {
                // Smooth vertices never straddle faces that look away from each other.
                const int v = tri.vertexIndex[c];
                const Vec vn{vertexNormals[3 * v], vertexNormals[3 * v + 1], vertexNormals[3 * v + 2]};
                EXPECT_GT(dot(vn, fn), 0.0) << "triangle " << t << " corner " << c;
                const int a = key(tri.vertexIndex[c]), b = key(tri.vertexIndex[(c + 1) % 3]);
                const auto edge = std::make_pair(std::min(a, b), std::max(a, b));
                const auto found = firstWithEdge.emplace(edge, t);
                if (!found.second) {
                    parent[root(t)] = root(found.first->second);
                }
            }
        }
        // Per solid: every edge is walked as often in one direction as in the
        // other (closed and consistently wound), and the enclosed volume is
        // positive for clockwise-outward winding.
        std::map<int, std::map<std::pair<int, int>, int>> edges; // solid -> directed edge -> count
        std::map<int, double> volume;                            // solid -> six times the signed volume
        for (int t = 0; t < n; ++t) {
            const Md2Triangle &tri = m.getTriangles()[t];
            const int solid = root(t);
            for (int c = 0; c < 3; ++c) {
                ++edges[solid][{key(tri.vertexIndex[c]), key(tri.vertexIndex[(c + 1) % 3])}];
            }
            const Vec p0 = at(tri.vertexIndex[0]), p1 = at(tri.vertexIndex[1]), p2 = at(tri.vertexIndex[2]);
            volume[solid] -= dot(p0, cross(p1, p2)); // clockwise from outside
        }
        for (const auto &[solid, directed] : edges) {
            for (const auto &[edge, count] : directed) {
                const auto back = directed.find({edge.second, edge.first});
                const int reverse = back == directed.end() ? 0 : back->second;
                EXPECT_EQ(count, reverse) << "open or inconsistently wound edge in solid " << solid;
            }
            EXPECT_GT(volume[solid], 1e-6) << "solid " << solid << " faces inward";
        }
    }
}

TEST(ModelContentTest, TankGunMatchesTheMuzzleOfItsVehicleType) {
    Md2Model tank;
    ASSERT_EQ(ReadMD2Model((kData / "model" / "tank1.md2").string(), tank), 1);
    const Md2Frame &pose = *tank.getPoseFrame();
    // The frontmost vertices are the barrel's muzzle face.
    double tip = -1e9;
    for (const Md2Vertex &v : pose.vertices) {
        tip = std::max(tip, drawnWorld(pose, v, 1.0).z);
    }
    // Its centre (middle of the face's extent) is the gun axis.
    double xLow = 1e9, xHigh = -1e9, yLow = 1e9, yHigh = -1e9;
    for (const Md2Vertex &v : pose.vertices) {
        const Vec w = drawnWorld(pose, v, 1.0);
        if (w.z > tip - 1e-3) {
            xLow = std::min(xLow, w.x);
            xHigh = std::max(xHigh, w.x);
            yLow = std::min(yLow, w.y);
            yHigh = std::max(yHigh, w.y);
        }
    }
    const double lateral = (xLow + xHigh) / 2.0;
    const double gunY = (yLow + yHigh) / 2.0;
    EXPECT_GT(yHigh - yLow, 0.15) << "a gun, not a spike";
    EXPECT_NEAR(lateral, 0.0, 1e-3) << "gun on the turret axis";
    EXPECT_NEAR(gunY, kTankMountY, 0.03);
    // Shells start ahead of the barrel, outside the tank's own hull, but not
    // visibly in front of it.
    EXPECT_GT(kTankMuzzleZ - tip, 0.3);
    EXPECT_LT(kTankMuzzleZ - tip, 1.0);
    // The hull is as long behind the turret axis as the gun reaches in front,
    // so the game's centring keeps the turret axis at the vehicle position.
    double rear = 1e9;
    for (const Md2Vertex &v : pose.vertices) {
        rear = std::min(rear, drawnWorld(pose, v, 1.0).z);
    }
    EXPECT_NEAR(rear, -tip, 1e-3);

    // Shipped vehicle types that drive this model must shoot from its gun.
    if (!fs::exists(kData / "config" / "fahrzeugconfig.ini")) {
        return;
    }
    ScopedCwd cwd(PANZER_SOURCE_DIR);
    const auto types = ConfigReader::ReadFahrzeuge();
    for (const auto &[name, type] : *types) {
        if (type.getModellName() != "tank1.md2") {
            continue;
        }
        SCOPED_TRACE(name);
        const float *mount = type.getTurmPos();
        const float *muzzle = type.getMuendungPos();
        EXPECT_EQ(mount[0], 0.0f);
        EXPECT_EQ(mount[2], 0.0f);
        EXPECT_EQ(muzzle[0], 0.0f);
        EXPECT_NEAR(mount[1] + muzzle[1], gunY, 0.06);
        EXPECT_GT(muzzle[2] - tip, 0.3);
        EXPECT_LT(muzzle[2] - tip, 1.0);
    }
}
