#include "render/ImageLoader.h"

#include "render/ImageFiles.h"
#include "support/TempDir.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <random>

namespace {
int countOf(const std::string &text, const std::string &part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

std::vector<unsigned char> pixelsOf(const DevilImageDefinition &image) {
    const unsigned char *data = image.getIlImageData();
    return std::vector<unsigned char>(data, data + image.getImageDataSize());
}

// Loads `path` expecting failure: an empty record and exactly one error line
// naming the file, which it returns.
std::string expectRefused(const ImageLoader &loader, const std::string &path) {
    testing::internal::CaptureStderr();
    const DevilImageDefinition image = loader.loadImage(path);
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(image.hasPixels()) << path;
    EXPECT_EQ(image.getIlImageData(), nullptr) << path;
    EXPECT_EQ(image.getIlTextureID(), 0u) << path;
    EXPECT_EQ(image.getIlImageWidth(), 0) << path;
    EXPECT_EQ(countOf(errors, "Error: "), 1) << errors;
    EXPECT_EQ(errors.rfind("Error: ", 0), 0u) << errors;
    EXPECT_NE(errors.find(path), std::string::npos) << errors;
    EXPECT_EQ(countOf(errors, "\n"), 1) << "one line only: " << errors;
    return errors;
}
} // namespace

TEST(ImageLoaderTest, DecodesRgbPngExactlyTopRowFirst) {
    TempDir dir;
    const imagefiles::Pixels source = imagefiles::gradient(3, 2); // odd row length: 9 bytes
    const std::string path = dir.write("gradient.png", imagefiles::png(source));
    ImageLoader loader;
    const DevilImageDefinition image = loader.loadImage(path);
    ASSERT_TRUE(image.hasPixels());
    EXPECT_EQ(image.getIlImageWidth(), 3);
    EXPECT_EQ(image.getIlImageHeight(), 2);
    EXPECT_EQ(image.getIlImageColorDepth(), 3);
    EXPECT_EQ(image.getIlImageFormat(), GL_RGB);
    EXPECT_NE(image.getIlTextureID(), 0u);
    EXPECT_EQ(pixelsOf(image), source.bytes);
    loader.closeImage(image);
}

TEST(ImageLoaderTest, EverythingButRgbBecomesRgba) {
    TempDir dir;
    ImageLoader loader;

    imagefiles::Pixels rgba{2, 2, 4, {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 10, 20, 30, 40}};
    const DevilImageDefinition withAlpha = loader.loadImage(dir.write("alpha.png", imagefiles::png(rgba)));
    ASSERT_TRUE(withAlpha.hasPixels());
    EXPECT_EQ(withAlpha.getIlImageColorDepth(), 4);
    EXPECT_EQ(withAlpha.getIlImageFormat(), GL_RGBA);
    EXPECT_EQ(pixelsOf(withAlpha), rgba.bytes);

    // Grey levels are spread over red, green and blue, fully opaque.
    imagefiles::Pixels grey{3, 1, 1, {0, 100, 255}};
    const DevilImageDefinition fromGrey = loader.loadImage(dir.write("grey.png", imagefiles::png(grey)));
    ASSERT_TRUE(fromGrey.hasPixels());
    EXPECT_EQ(fromGrey.getIlImageColorDepth(), 4);
    EXPECT_EQ(fromGrey.getIlImageFormat(), GL_RGBA);
    EXPECT_EQ(pixelsOf(fromGrey),
              (std::vector<unsigned char>{0, 0, 0, 255, 100, 100, 100, 255, 255, 255, 255, 255}));

    // Different images get different decoder names, and both stay alive.
    EXPECT_NE(withAlpha.getIlTextureID(), fromGrey.getIlTextureID());
    EXPECT_EQ(pixelsOf(withAlpha), rgba.bytes);
    loader.closeImage(withAlpha);
    loader.closeImage(fromGrey);
}

TEST(ImageLoaderTest, DecodesJpegColoursClosely) {
    TempDir dir;
    // Top half orange, bottom half blue, in whole 8-pixel blocks so the
    // lossy coding keeps each colour nearly exact.
    imagefiles::Pixels source{16, 16, 3, {}};
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const std::vector<unsigned char> colour =
                y < 8 ? std::vector<unsigned char>{240, 120, 16} : std::vector<unsigned char>{20, 40, 220};
            source.bytes.insert(source.bytes.end(), colour.begin(), colour.end());
        }
    }
    ImageLoader loader;
    const DevilImageDefinition image = loader.loadImage(dir.write("blocks.jpg", imagefiles::jpeg(source)));
    ASSERT_TRUE(image.hasPixels());
    EXPECT_EQ(image.getIlImageWidth(), 16);
    EXPECT_EQ(image.getIlImageHeight(), 16);
    EXPECT_EQ(image.getIlImageColorDepth(), 3);
    EXPECT_EQ(image.getIlImageFormat(), GL_RGB);
    const std::vector<unsigned char> decoded = pixelsOf(image);
    ASSERT_EQ(decoded.size(), source.bytes.size());
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        EXPECT_NEAR(decoded[i], source.bytes[i], 10) << "byte " << i;
    }
    loader.closeImage(image);
}

TEST(ImageLoaderTest, BrokenFilesGiveOneErrorLineAndNoPixels) {
    TempDir dir;
    ImageLoader loader;
    const std::string png = imagefiles::png(imagefiles::gradient(8, 8));
    std::string huge = png;
    huge[16] = 0x00, huge[17] = 0x01, huge[18] = static_cast<char>(0x86), huge[19] = static_cast<char>(0xA0);
    std::mt19937 random(99);
    std::string noise(4096, '\0');
    for (char &c : noise) {
        c = static_cast<char>(random() & 0xFF);
    }

    expectRefused(loader, dir.write("truncated.png", png.substr(0, png.size() / 2)));
    expectRefused(loader, dir.write("huge.png", huge));
    expectRefused(loader, dir.write("noise.jpg", noise));
    expectRefused(loader, dir.write("empty.png", ""));
    expectRefused(loader, dir.write("text.png", "just some text, no picture\n"));
    const std::string jpeg = imagefiles::jpeg(imagefiles::gradient(8, 8));
    expectRefused(loader, dir.write("truncated.jpg", jpeg.substr(0, jpeg.size() - 10)));
    expectRefused(loader, (dir.path() / "missing.png").string());
    expectRefused(loader, dir.path().string()); // a folder, as a directory listing may hand over
}

TEST(ImageLoaderTest, FileThatPassesTheChecksButCannotBeDecoded) {
    // An intact grey PNG relabelled as a palette image that has no palette:
    // every check before decoding passes, DevIL itself must refuse it.
    TempDir dir;
    ImageLoader loader;
    std::string png = imagefiles::png(imagefiles::solid(8, 8, 1, {77}));
    ASSERT_EQ(png[25], 0) << "grey colour type";
    png[25] = 3;
    imagefiles::fixPngChunkCrc(png, 12);
    const std::string errors = expectRefused(loader, dir.write("nopalette.png", png));
    EXPECT_NE(errors.find("cannot be decoded"), std::string::npos) << errors;

    // A JPEG whose scan names a colour component its frame does not have.
    std::string jpeg = imagefiles::jpeg(imagefiles::gradient(8, 8));
    const std::size_t scan = jpeg.find("\xFF\xDA");
    ASSERT_NE(scan, std::string::npos);
    jpeg[scan + 5] = 0x77;
    const std::string jpegErrors = expectRefused(loader, dir.write("badscan.jpg", jpeg));
    EXPECT_NE(jpegErrors.find("cannot be decoded"), std::string::npos) << jpegErrors;
}
