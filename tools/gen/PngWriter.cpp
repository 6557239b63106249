#include "PngWriter.h"

#include <stb/stb_image_write.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

void appendBytes(void *context, void *data, int size) {
    auto *out = static_cast<std::vector<unsigned char> *>(context);
    const auto *bytes = static_cast<const unsigned char *>(data);
    out->insert(out->end(), bytes, bytes + size);
}

} // namespace

bool PngWriter::write(const std::string &path, const Canvas &canvas, int channels, bool dither,
                      std::string &error) {
    if (channels != 3 && channels != 4) {
        error = "unsupported channel count";
        return false;
    }
    const std::vector<std::uint8_t> pixels = canvas.toBytes(channels, dither);
    stbi_write_png_compression_level = 9;
    std::vector<unsigned char> png;
    if (!stbi_write_png_to_func(appendBytes, &png, canvas.getWidth(), canvas.getHeight(), channels,
                                pixels.data(), canvas.getWidth() * channels)) {
        error = "PNG encoding failed";
        return false;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        error = std::string("cannot create the file: ") + std::strerror(errno);
        return false;
    }
    out.write(reinterpret_cast<const char *>(png.data()), static_cast<std::streamsize>(png.size()));
    out.close();
    if (!out) {
        error = "writing the file failed";
        return false;
    }
    return true;
}
