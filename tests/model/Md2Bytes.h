#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// Builds MD2 files byte by byte for the reader tests, independently of the
// reader: the test states every field, and can then break any of them.
struct Md2Bytes {
    struct Frame {
        float scale[3] = {1.0f, 1.0f, 1.0f};
        float translate[3] = {0.0f, 0.0f, 0.0f};
        std::string name = "frame";
        std::vector<std::array<std::uint8_t, 3>> vertices; // packed x, y, z
    };

    // Header field positions (index of the 32-bit word).
    enum Field {
        kIdent,
        kVersion,
        kSkinWidth,
        kSkinHeight,
        kFrameSize,
        kNumSkins,
        kNumVertices,
        kNumTexCoords,
        kNumTriangles,
        kNumGlCommands,
        kNumFrames,
        kOffsetSkins,
        kOffsetTexCoords,
        kOffsetTriangles,
        kOffsetFrames,
        kOffsetGlCommands,
        kOffsetEnd
    };

    std::int32_t skinWidth = 128;
    std::int32_t skinHeight = 64;
    std::vector<std::string> skins{"data/textures/skin.png"};
    std::vector<std::array<std::int16_t, 2>> texCoords{{0, 0}};
    // vertex indices a, b, c then texture-coordinate indices
    std::vector<std::array<std::uint16_t, 6>> triangles;
    std::vector<Frame> frames;
    std::vector<std::int32_t> glCommands{0};

    // A single clockwise triangle (seen from +z) in two identical frames.
    static Md2Bytes triangle() {
        Md2Bytes m;
        Frame f;
        f.vertices = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}};
        m.frames = {f, f};
        m.triangles = {{0, 1, 2, 0, 0, 0}};
        return m;
    }

    // The file: header, then skins, texture coordinates, triangles, frames and
    // GL commands in this order, each right after the other.
    std::string build() const {
        const std::size_t numVertices = frames.empty() ? 0 : frames[0].vertices.size();
        const std::int32_t frameSize = static_cast<std::int32_t>(40 + 4 * numVertices);
        std::string out(68, '\0');
        const std::int32_t offSkins = 68;
        const std::int32_t offTex = offSkins + 64 * static_cast<std::int32_t>(skins.size());
        const std::int32_t offTri = offTex + 4 * static_cast<std::int32_t>(texCoords.size());
        const std::int32_t offFrames = offTri + 12 * static_cast<std::int32_t>(triangles.size());
        const std::int32_t offGl = offFrames + frameSize * static_cast<std::int32_t>(frames.size());
        const std::int32_t offEnd = offGl + 4 * static_cast<std::int32_t>(glCommands.size());
        const std::int32_t fields[17] = {0x32504449,
                                         8,
                                         skinWidth,
                                         skinHeight,
                                         frameSize,
                                         static_cast<std::int32_t>(skins.size()),
                                         static_cast<std::int32_t>(numVertices),
                                         static_cast<std::int32_t>(texCoords.size()),
                                         static_cast<std::int32_t>(triangles.size()),
                                         static_cast<std::int32_t>(glCommands.size()),
                                         static_cast<std::int32_t>(frames.size()),
                                         offSkins,
                                         offTex,
                                         offTri,
                                         offFrames,
                                         offGl,
                                         offEnd};
        for (int i = 0; i < 17; ++i) {
            put32(out, 4 * i, static_cast<std::uint32_t>(fields[i]));
        }
        for (const std::string &skin : skins) {
            std::string padded = skin.substr(0, 64);
            padded.resize(64, '\0');
            out += padded;
        }
        for (const auto &st : texCoords) {
            append16(out, static_cast<std::uint16_t>(st[0]));
            append16(out, static_cast<std::uint16_t>(st[1]));
        }
        for (const auto &tri : triangles) {
            for (std::uint16_t index : tri) {
                append16(out, index);
            }
        }
        for (const Frame &f : frames) {
            for (float v : f.scale) {
                appendFloat(out, v);
            }
            for (float v : f.translate) {
                appendFloat(out, v);
            }
            std::string name = f.name.substr(0, 16);
            name.resize(16, '\0');
            out += name;
            for (const auto &v : f.vertices) {
                out += static_cast<char>(v[0]);
                out += static_cast<char>(v[1]);
                out += static_cast<char>(v[2]);
                out += '\0';
            }
        }
        for (std::int32_t word : glCommands) {
            append32(out, static_cast<std::uint32_t>(word));
        }
        return out;
    }

    static std::int32_t field(const std::string &bytes, Field f) {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) {
            value = (value << 8) | static_cast<unsigned char>(bytes[4 * f + i]);
        }
        return static_cast<std::int32_t>(value);
    }

    static std::string withField(std::string bytes, Field f, std::int32_t value) {
        put32(bytes, 4 * f, static_cast<std::uint32_t>(value));
        return bytes;
    }

    static void put32(std::string &out, std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        }
    }
    static void append16(std::string &out, std::uint16_t value) {
        out += static_cast<char>(value & 0xFF);
        out += static_cast<char>(value >> 8);
    }
    static void append32(std::string &out, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            out += static_cast<char>((value >> (8 * i)) & 0xFF);
        }
    }
    static void appendFloat(std::string &out, float value) {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        append32(out, bits);
    }
};
