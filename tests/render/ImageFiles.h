#pragma once

// Small real PNG and JPEG files for the image tests, written with
// stb_image_write (compiled once, in support/StbImageWrite.cpp).

#include <stb/stb_image_write.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace imagefiles {

// Pixels of a w x h image with `components` bytes per pixel, rows top first.
struct Pixels {
    int width = 0;
    int height = 0;
    int components = 0;
    std::vector<unsigned char> bytes;
};

inline void appendBytes(void *context, void *data, int size) {
    auto *out = static_cast<std::string *>(context);
    out->append(static_cast<const char *>(data), static_cast<std::size_t>(size));
}

inline std::string png(const Pixels &p) {
    std::string out;
    stbi_write_png_to_func(appendBytes, &out, p.width, p.height, p.components, p.bytes.data(),
                           p.width * p.components);
    return out;
}

inline std::string jpeg(const Pixels &p, int quality = 100) {
    std::string out;
    stbi_write_jpg_to_func(appendBytes, &out, p.width, p.height, p.components, p.bytes.data(), quality);
    return out;
}

// A w x h image filled with one colour (1, 3 or 4 of `colour` used).
inline Pixels solid(int width, int height, int components, const std::vector<unsigned char> &colour) {
    Pixels p{width, height, components, {}};
    for (int i = 0; i < width * height; ++i) {
        p.bytes.insert(p.bytes.end(), colour.begin(), colour.begin() + components);
    }
    return p;
}

// A w x h RGB image whose pixel (x, y) is (x·40, y·40, 200 − x − y): every
// pixel differs, so flipped rows or shifted columns show.
inline Pixels gradient(int width, int height) {
    Pixels p{width, height, 3, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            p.bytes.push_back(static_cast<unsigned char>(x * 40));
            p.bytes.push_back(static_cast<unsigned char>(y * 40));
            p.bytes.push_back(static_cast<unsigned char>(200 - x - y));
        }
    }
    return p;
}

// Recomputes the checksum of the PNG chunk whose type starts at `typeAt`, so
// that a deliberately edited chunk still looks intact.
inline void fixPngChunkCrc(std::string &png, std::size_t typeAt) {
    uint32_t length = 0;
    for (std::size_t i = typeAt - 4; i < typeAt; ++i) {
        length = (length << 8) | static_cast<unsigned char>(png[i]);
    }
    const auto crc = static_cast<uint32_t>(
        crc32_z(0, reinterpret_cast<const Bytef *>(png.data() + typeAt), static_cast<z_size_t>(4 + length)));
    for (int i = 0; i < 4; ++i) {
        png[typeAt + 4 + length + static_cast<std::size_t>(i)] =
            static_cast<char>((crc >> (24 - 8 * i)) & 0xFF);
    }
}

} // namespace imagefiles
