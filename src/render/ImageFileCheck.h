#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The image formats the game decodes; everything else is refused before any
// decoder sees the bytes.
enum class ImageFileFormat { Unknown, Png, Jpeg };

// What the header bytes of an image file say about it.
struct ImageFileInfo {
    ImageFileFormat format = ImageFileFormat::Unknown;
    int width = 0;       // pixels, from the PNG IHDR chunk or the JPEG frame header
    int height = 0;      // pixels
    std::string problem; // why the file must not be decoded; empty when it may be

    bool isDecodable() const { return problem.empty(); }
};

// Checks an image file's bytes before they reach the image library, whose
// decoders are not safe against hostile or broken input: the signature must be
// PNG or JPEG, the chunk or marker structure must be complete up to the end of
// the image data, PNG chunks must match their checksums, PNG image data must
// inflate to exactly the rows its header announces, and neither side may
// exceed kMaxImageSide.
class ImageFileCheck {
  public:
    static constexpr int kMaxImageSide = 8192;                        // pixels per side
    static constexpr std::size_t kMaxFileBytes = 64u * 1024u * 1024u; // larger files are refused unread

    static ImageFileInfo inspect(const unsigned char *data, std::size_t size);

    // The CRC-32 that PNG stores after each chunk (over chunk type and data).
    static uint32_t crc32(const unsigned char *data, std::size_t size);

  private:
    static ImageFileInfo inspectPng(const unsigned char *data, std::size_t size);
    static ImageFileInfo inspectJpeg(const unsigned char *data, std::size_t size);
    static void checkSize(ImageFileInfo &info);
};
