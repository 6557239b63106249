#include "render/ImageFileCheck.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

namespace {
const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

uint32_t readBigEndian32(const unsigned char *p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

unsigned int readBigEndian16(const unsigned char *p) {
    return (static_cast<unsigned int>(p[0]) << 8) | static_cast<unsigned int>(p[1]);
}

// Bit depths libpng accepts for each PNG colour type (grey, -, RGB, palette, grey+alpha, -, RGBA).
bool validPngLayout(unsigned int bitDepth, unsigned int colourType) {
    switch (colourType) {
    case 0:
        return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16;
    case 3:
        return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8;
    case 2:
    case 4:
    case 6:
        return bitDepth == 8 || bitDepth == 16;
    default:
        return false;
    }
}

// Channels per pixel of each PNG colour type.
unsigned int pngChannels(unsigned int colourType) {
    switch (colourType) {
    case 2:
        return 3;
    case 4:
        return 2;
    case 6:
        return 4;
    default:
        return 1; // grey, palette
    }
}

// The rows a PNG's image data inflates to: each one filter-type byte followed by the row's
// pixels. An interlaced image stores its seven passes one after another, each a smaller image.
struct PngRows {
    struct Pass {
        std::size_t rows = 0;
        std::size_t rowBytes = 0; // with the filter-type byte
    };
    std::vector<Pass> passes;

    PngRows(std::size_t width, std::size_t height, unsigned int bitsPerPixel, bool interlaced) {
        const auto add = [&](std::size_t x0, std::size_t y0, std::size_t dx, std::size_t dy) {
            const std::size_t columns = width > x0 ? (width - x0 + dx - 1) / dx : 0;
            const std::size_t rows = height > y0 ? (height - y0 + dy - 1) / dy : 0;
            if (columns > 0 && rows > 0) { // empty passes store nothing, not even filter bytes
                passes.push_back({rows, 1 + (columns * bitsPerPixel + 7) / 8});
            }
        };
        if (!interlaced) {
            add(0, 0, 1, 1);
            return;
        }
        add(0, 0, 8, 8); // Adam7
        add(4, 0, 8, 8);
        add(0, 4, 4, 8);
        add(2, 0, 4, 4);
        add(0, 2, 2, 4);
        add(1, 0, 2, 2);
        add(0, 1, 1, 2);
    }
};

// Inflates the image data of every IDAT chunk and checks that it is one complete zlib stream
// of exactly the rows the header announces, each with a known filter type. The PNG decoder
// stops with an error on anything else, and the image library does not clean up after such
// a stop: every broken file would leak memory. Returns the problem, or nothing.
std::string pngImageDataProblem(const unsigned char *data,
                                const std::vector<std::pair<std::size_t, std::size_t>> &chunks,
                                const PngRows &layout) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        return "cannot be checked (out of memory)";
    }
    std::array<unsigned char, 16384> scratch{};
    std::size_t pass = 0;
    std::size_t row = 0;
    std::size_t inRow = 0; // bytes of the current row seen so far
    std::string problem;
    int status = Z_OK;
    for (std::size_t chunk = 0; chunk < chunks.size() && problem.empty() && status != Z_STREAM_END; ++chunk) {
        stream.next_in = const_cast<unsigned char *>(data + chunks[chunk].first);
        stream.avail_in = static_cast<uInt>(chunks[chunk].second);
        // Until the chunk is used up and a call has left room in the output, so that nothing
        // stays pending inside the inflater.
        do {
            stream.next_out = scratch.data();
            stream.avail_out = static_cast<uInt>(scratch.size());
            status = inflate(&stream, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
                problem = "is corrupt (PNG image data cannot be inflated)";
                break;
            }
            const std::size_t produced = scratch.size() - stream.avail_out;
            for (std::size_t i = 0; i < produced && problem.empty();) {
                if (pass == layout.passes.size()) {
                    problem = "is corrupt (more PNG image data than its size)";
                } else if (inRow == 0 && scratch[i] > 4) {
                    problem = "is corrupt (unknown PNG row filter)";
                } else {
                    const std::size_t take = std::min(layout.passes[pass].rowBytes - inRow, produced - i);
                    i += take;
                    inRow += take;
                    if (inRow == layout.passes[pass].rowBytes) {
                        inRow = 0;
                        if (++row == layout.passes[pass].rows) {
                            row = 0;
                            ++pass;
                        }
                    }
                }
            }
        } while ((stream.avail_in > 0 || stream.avail_out == 0) && problem.empty() && status != Z_STREAM_END);
    }
    inflateEnd(&stream);
    if (problem.empty() && (status != Z_STREAM_END || pass != layout.passes.size())) {
        problem = "is truncated or corrupt (less PNG image data than its size)";
    }
    return problem;
}

ImageFileInfo refuse(ImageFileFormat format, const std::string &problem) {
    ImageFileInfo info;
    info.format = format;
    info.problem = problem;
    return info;
}
} // namespace

ImageFileInfo ImageFileCheck::inspect(const unsigned char *data, std::size_t size) {
    if (data == nullptr || size == 0) {
        return refuse(ImageFileFormat::Unknown, "is empty");
    }
    if (size >= sizeof(kPngSignature) && std::memcmp(data, kPngSignature, sizeof(kPngSignature)) == 0) {
        return inspectPng(data, size);
    }
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
        return inspectJpeg(data, size);
    }
    return refuse(ImageFileFormat::Unknown, "is not a PNG or JPEG image");
}

ImageFileInfo ImageFileCheck::inspectPng(const unsigned char *data, std::size_t size) {
    // Chunks: 4-byte length, 4-byte type, data, 4-byte checksum; IHDR first.
    std::size_t pos = sizeof(kPngSignature);
    if (size < pos + 12 + 13 || std::memcmp(data + pos + 4, "IHDR", 4) != 0 ||
        readBigEndian32(data + pos) != 13) {
        return refuse(ImageFileFormat::Png, "is truncated or corrupt (no PNG header chunk)");
    }
    ImageFileInfo info;
    info.format = ImageFileFormat::Png;
    const uint32_t width = readBigEndian32(data + pos + 8);
    const uint32_t height = readBigEndian32(data + pos + 12);
    info.width = width > 0x7FFFFFFFu ? -1 : static_cast<int>(width);
    info.height = height > 0x7FFFFFFFu ? -1 : static_cast<int>(height);
    checkSize(info);
    if (!info.isDecodable()) {
        return info;
    }
    const unsigned char *header = data + pos + 8;
    if (!validPngLayout(header[8], header[9]) || header[10] != 0 || header[11] != 0 || header[12] > 1) {
        info.problem = "is corrupt (invalid PNG header values)";
        return info;
    }

    // A chunk that does not match its checksum is damaged; the decoder would
    // fail on it half-way through the image.
    std::vector<std::pair<std::size_t, std::size_t>> imageData; // offset and length of each IDAT chunk
    while (size - pos >= 12) {
        const uint32_t length = readBigEndian32(data + pos);
        if (length > 0x7FFFFFFFu || length > size - pos - 12) {
            break; // chunk runs past the end of the file
        }
        const unsigned char *type = data + pos + 4;
        if (crc32(type, 4 + length) != readBigEndian32(type + 4 + length)) {
            info.problem = "is corrupt (PNG chunk checksum mismatch)";
            return info;
        }
        if (std::memcmp(type, "IDAT", 4) == 0) {
            imageData.emplace_back(pos + 8, length);
        }
        if (std::memcmp(type, "IEND", 4) == 0) {
            if (imageData.empty()) {
                info.problem = "is corrupt (PNG without image data)";
            } else {
                const PngRows layout(static_cast<std::size_t>(info.width),
                                     static_cast<std::size_t>(info.height),
                                     header[8] * pngChannels(header[9]), header[12] == 1);
                info.problem = pngImageDataProblem(data, imageData, layout);
            }
            return info;
        }
        pos += 12 + length;
    }
    info.problem = "is truncated (PNG ends before its IEND chunk)";
    return info;
}

ImageFileInfo ImageFileCheck::inspectJpeg(const unsigned char *data, std::size_t size) {
    ImageFileInfo info;
    info.format = ImageFileFormat::Jpeg;
    bool sawFrame = false;
    bool sawScan = false;
    std::size_t pos = 2; // after the start-of-image marker
    while (true) {
        if (pos >= size) {
            info.problem = "is truncated (JPEG ends before its image data)";
            return info;
        }
        if (data[pos] != 0xFF) {
            info.problem = "is corrupt (bad JPEG marker)";
            return info;
        }
        while (pos < size && data[pos] == 0xFF) {
            ++pos; // fill bytes
        }
        if (pos >= size) {
            continue; // reported as truncated above
        }
        const unsigned char marker = data[pos++];
        if (marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7)) {
            continue; // markers without a length field
        }
        if (marker == 0xD9) {
            if (!sawScan) {
                info.problem = "is corrupt (JPEG ends before its image data)";
            }
            return info;
        }
        if (size - pos < 2) {
            info.problem = "is truncated (JPEG ends inside a marker)";
            return info;
        }
        const unsigned int length = readBigEndian16(data + pos);
        if (length < 2 || length > size - pos) {
            info.problem = "is truncated or corrupt (JPEG segment runs past the end)";
            return info;
        }
        const bool frameHeader =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frameHeader && !sawFrame) {
            // Baseline, extended and progressive Huffman coding of 8-bit samples
            // are what every JPEG writer produces; the rarer codings are refused.
            if (marker > 0xC2 || length < 8 || data[pos + 2] != 8) {
                info.problem = "uses a JPEG coding that is not supported";
                return info;
            }
            const unsigned char components = data[pos + 7];
            if (components != 1 && components != 3) {
                info.problem = "has an unsupported number of JPEG colour components";
                return info;
            }
            info.height = static_cast<int>(readBigEndian16(data + pos + 3));
            info.width = static_cast<int>(readBigEndian16(data + pos + 5));
            checkSize(info);
            if (!info.isDecodable()) {
                return info;
            }
            sawFrame = true;
        }
        pos += length;
        if (marker == 0xDA) { // start of scan: entropy-coded data follows
            if (!sawFrame) {
                info.problem = "is corrupt (JPEG scan before its frame header)";
                return info;
            }
            // Inside the coded data a 0xFF byte is followed by 0x00 (a stuffed byte), more fill
            // bytes or a restart marker. Any other marker ends the scan: the end of the image, or
            // a segment between scans, whose length must fit like every other segment's. (A
            // segment running past the end sends the decoder's reader into an endless skip.)
            sawScan = true;
            std::size_t i = pos;
            while (i + 1 < size) {
                const unsigned char next = data[i + 1];
                if (data[i] != 0xFF || next == 0x00 || next == 0xFF || (next >= 0xD0 && next <= 0xD7)) {
                    ++i;
                    continue;
                }
                break;
            }
            if (i + 1 >= size) {
                info.problem = "is truncated (JPEG ends before its end-of-image marker)";
                return info;
            }
            pos = i; // the marker after the scan, read by the loop
        }
    }
}

uint32_t ImageFileCheck::crc32(const unsigned char *data, std::size_t size) {
    return static_cast<uint32_t>(crc32_z(0, data, size));
}

void ImageFileCheck::checkSize(ImageFileInfo &info) {
    if (info.width <= 0 || info.height <= 0) {
        info.problem = "has no valid image size";
    } else if (info.width > kMaxImageSide || info.height > kMaxImageSide) {
        info.problem = "is too large (" + std::to_string(info.width) + " x " + std::to_string(info.height) +
                       " pixels, at most " + std::to_string(kMaxImageSide) + " on a side)";
    }
}
