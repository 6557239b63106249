#include "Md2Writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace {
void put16(std::vector<std::uint8_t> &out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t> &out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
    }
}

void putFloat(std::vector<std::uint8_t> &out, float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    put32(out, bits);
}

void putText(std::vector<std::uint8_t> &out, const std::string &text, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        out.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
    }
}

// Model axes of a game-axes point: x lateral, y backwards, z up. This is the
// inverse of the -90 degree turn about x with which the game draws models.
Vec3 toModelAxes(const Vec3 &p) {
    return {p.x, -p.z, p.y};
}
} // namespace

std::vector<std::uint8_t> Md2Writer::pack(const ModelMesh &mesh, const std::string &skinPath, int skinWidth,
                                          int skinHeight, Summary *summary) {
    const auto &vertices = mesh.getVertices();
    const auto &triangles = mesh.getTriangles();
    if (vertices.empty() || triangles.empty()) {
        throw std::runtime_error("empty mesh");
    }
    if (vertices.size() > 65535) {
        throw std::runtime_error("too many vertices for 16-bit indices");
    }
    if (skinPath.size() >= 64) {
        throw std::runtime_error("skin path longer than 63 characters");
    }

    double low[3] = {1e30, 1e30, 1e30};
    for (const auto &v : vertices) {
        const Vec3 m = toModelAxes(v.pos);
        low[0] = std::min(low[0], m.x);
        low[1] = std::min(low[1], m.y);
        low[2] = std::min(low[2], m.z);
    }
    std::vector<std::array<int, 3>> packed;
    int high[3] = {0, 0, 0};
    for (const auto &v : vertices) {
        const Vec3 m = toModelAxes(v.pos);
        const double c[3] = {m.x, m.y, m.z};
        std::array<int, 3> b;
        for (int a = 0; a < 3; ++a) {
            b[a] = static_cast<int>(std::lround((c[a] - low[a]) / static_cast<double>(kUnitsPerStep)));
            if (b[a] > 255) {
                throw std::runtime_error("mesh is larger than 255 packing steps (12.24 units) on an axis");
            }
            high[a] = std::max(high[a], b[a]);
        }
        packed.push_back(b);
    }
    float translate[3];
    for (int a = 0; a < 2; ++a) {
        translate[a] = -(static_cast<float>(high[a]) * kUnitsPerStep) / 2.0f;
    }
    translate[2] = 0.0f;

    // Every triangle must keep its area and facing on the packing grid.
    for (const auto &tri : triangles) {
        Vec3 exact[3], snapped[3];
        for (int c = 0; c < 3; ++c) {
            exact[c] = toModelAxes(vertices[tri[c]].pos);
            const auto &b = packed[tri[c]];
            snapped[c] = {static_cast<double>(b[0]), static_cast<double>(b[1]), static_cast<double>(b[2])};
        }
        const Vec3 before = gameFaceNormal(exact[0], exact[1], exact[2]);
        const Vec3 after = gameFaceNormal(snapped[0], snapped[1], snapped[2]);
        if (length(after) == 0.0 || dot(before, after) <= 0.0) {
            throw std::runtime_error("a triangle degenerates or flips on the packing grid");
        }
    }

    const std::int32_t numVertices = static_cast<std::int32_t>(vertices.size());
    const std::int32_t numTriangles = static_cast<std::int32_t>(triangles.size());
    const std::int32_t frameSize = 40 + 4 * numVertices;
    const std::int32_t numFrames = 2;
    const std::int32_t numGlCommands = 1; // just the list's terminating 0
    const std::int32_t offSkins = 68;
    const std::int32_t offTexCoords = offSkins + 64;
    const std::int32_t offTriangles = offTexCoords + 4 * numVertices;
    const std::int32_t offFrames = offTriangles + 12 * numTriangles;
    const std::int32_t offGlCommands = offFrames + numFrames * frameSize;
    const std::int32_t offEnd = offGlCommands + 4 * numGlCommands;

    std::vector<std::uint8_t> out;
    const std::int32_t header[17] = {0x32504449,   8,
                                     skinWidth,    skinHeight,
                                     frameSize,    1,
                                     numVertices,  numVertices,
                                     numTriangles, numGlCommands,
                                     numFrames,    offSkins,
                                     offTexCoords, offTriangles,
                                     offFrames,    offGlCommands,
                                     offEnd};
    for (std::int32_t field : header) {
        put32(out, static_cast<std::uint32_t>(field));
    }
    putText(out, skinPath, 64);
    // One texture coordinate per vertex, with the same index.
    for (const auto &v : vertices) {
        put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v.s))));
        put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v.t))));
    }
    for (const auto &tri : triangles) {
        for (int c = 0; c < 3; ++c) {
            put16(out, static_cast<std::uint16_t>(tri[c]));
        }
        for (int c = 0; c < 3; ++c) {
            put16(out, static_cast<std::uint16_t>(tri[c]));
        }
    }
    for (int f = 0; f < numFrames; ++f) {
        for (int a = 0; a < 3; ++a) {
            putFloat(out, kUnitsPerStep);
        }
        for (int a = 0; a < 3; ++a) {
            putFloat(out, translate[a]);
        }
        putText(out, "pose" + std::to_string(f), 16);
        for (const auto &b : packed) {
            out.push_back(static_cast<std::uint8_t>(b[0]));
            out.push_back(static_cast<std::uint8_t>(b[1]));
            out.push_back(static_cast<std::uint8_t>(b[2]));
            out.push_back(0); // normal index: the game computes its own normals
        }
    }
    put32(out, 0);

    if (summary) {
        for (int a = 0; a < 3; ++a) {
            summary->steps[a] = high[a];
        }
        // Where the mesh origin went: model = step * 0.048 + translate.
        const double origin[3] = {-low[0] + translate[0], -low[1] + translate[1], -low[2] + translate[2]};
        // back to game axes: x lateral, y up (model z), z forward (-model y)
        summary->shift[0] = origin[0];
        summary->shift[1] = origin[2];
        summary->shift[2] = -origin[1];
        summary->vertices = numVertices;
        summary->triangles = numTriangles;
    }
    return out;
}
