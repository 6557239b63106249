#pragma once

#include "model/Md2Model.h"

#include <cstdint>
#include <vector>

// Model data for the physics tests, built directly as the arrays the facade takes.
namespace PhysicsTestModels {

// The eight corners of a box in packed MD2 bytes. The physics turns packed (x, y, z) into
// (-x, z, y) * 0.048 * scale: a box 0..100 in x and y and 0..50 in z is 4.8 wide, 4.8 deep and
// 2.4 high at scale 1, centred on its actor in x and z and standing on it in y.
inline std::vector<Md2Vertex> box(std::uint8_t x0, std::uint8_t x1, std::uint8_t y0, std::uint8_t y1,
                                  std::uint8_t z0, std::uint8_t z1) {
    std::vector<Md2Vertex> corners;
    for (int i = 0; i < 8; ++i) {
        Md2Vertex v;
        v.v[0] = (i & 1) ? x1 : x0;
        v.v[1] = (i & 2) ? y1 : y0;
        v.v[2] = (i & 4) ? z1 : z0;
        corners.push_back(v);
    }
    return corners;
}

inline std::vector<Md2Vertex> tankBox() {
    return box(0, 100, 0, 100, 0, 50);
}

// A small shell: 0.48 on each side at scale 1.
inline std::vector<Md2Vertex> shellBox() {
    return box(0, 10, 0, 10, 0, 10);
}

// Terrain as the level hands it over: a flat grid of cells x cells quads of 5 units at height `h`,
// centred on the origin, six vertices (two triangles) per quad, indices as float triples.
struct Terrain {
    std::vector<float> vertices;
    std::vector<float> triangles;
    int vertexCount() const { return static_cast<int>(vertices.size() / 3); }
    int triangleCount() const { return static_cast<int>(triangles.size() / 3); }
};

inline Terrain flatTerrain(int cells, float h) {
    Terrain t;
    const float half = cells * 5.0f / 2.0f;
    for (int i = 0; i < cells; ++i) {
        for (int j = 0; j < cells; ++j) {
            const float x = -half + 5.0f * i;
            const float z = -half + 5.0f * j;
            const float quad[6][3] = {{x, h, z}, {x + 5, h, z},     {x + 5, h, z + 5},
                                      {x, h, z}, {x + 5, h, z + 5}, {x, h, z + 5}};
            const float k = static_cast<float>(t.vertices.size() / 3);
            for (const auto &v : quad) {
                t.vertices.insert(t.vertices.end(), {v[0], v[1], v[2]});
            }
            t.triangles.insert(t.triangles.end(), {k, k + 1, k + 2, k + 3, k + 4, k + 5});
        }
    }
    return t;
}

} // namespace PhysicsTestModels
