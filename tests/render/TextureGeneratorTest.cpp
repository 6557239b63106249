#include "render/TextureGenerator.h"

#include "support/GlTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

namespace {
// Restores the class-wide settings whatever a test does to them.
class TextureGeneratorGlTest : public GlTest {
  protected:
    void TearDown() override {
        TextureGenerator::setTexWrapMode(GL_REPEAT);
        TextureGenerator::setMipmapGeneration(false);
    }
};

DevilImageDefinition makeImage(int width, int height, int depth) {
    DevilImageDefinition image;
    unsigned char *data = image.allocateImageData(width, height, depth);
    for (std::size_t i = 0; i < image.getImageDataSize(); ++i) {
        data[i] = static_cast<unsigned char>(i * 7 + 3);
    }
    return image;
}

GLint levelParameter(GLint level, GLenum which) {
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, which, &value);
    return value;
}

GLint textureParameter(GLenum which) {
    GLint value = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
    return value;
}

// The level-0 pixels of the bound texture in `format`.
std::vector<unsigned char> readTexture(int side, GLenum format, int depth) {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(side * side * depth));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return pixels;
}
} // namespace

TEST(TextureGeneratorTest, PowerOf2SizeIsTheSmallestPowerAtOrAbove) {
    EXPECT_EQ(TextureGenerator::getPowerOf2Size(-5), 1);
    EXPECT_EQ(TextureGenerator::getPowerOf2Size(0), 1);
    EXPECT_EQ(TextureGenerator::getPowerOf2Size(1), 1);
    EXPECT_EQ(TextureGenerator::getPowerOf2Size(2), 2);
    EXPECT_EQ(TextureGenerator::getPowerOf2Size(3), 4);
    EXPECT_EQ(TextureGenerator::getPowerOf2Size(255), 256);
    EXPECT_EQ(TextureGenerator::getPowerOf2Size(256), 256);
    EXPECT_EQ(TextureGenerator::getPowerOf2Size(257), 512);
    EXPECT_EQ(TextureGenerator::getPowerOf2Size(300), 512);
    EXPECT_EQ(TextureGenerator::getPowerOf2Size(1 << 30), 1 << 30);
    // Beyond the largest power of two an int holds there is nothing to double to.
    EXPECT_EQ(TextureGenerator::getPowerOf2Size((1 << 30) + 1), 1 << 30);
    EXPECT_EQ(TextureGenerator::getPowerOf2Size(0x7FFFFFFF), 1 << 30);
}

TEST(TextureGeneratorTest, ImageWithoutPixelsUploadsNothing) {
    // No GL context needed: nothing reaches OpenGL.
    TextureGenerator generator;
    DevilImageDefinition empty;
    EXPECT_EQ(generator.generate(empty), 0u);
    DevilImageDefinition mismatched = makeImage(4, 4, 3);
    mismatched.setIlImageFormat(GL_RGBA); // 3 bytes per pixel cannot be RGBA
    EXPECT_EQ(generator.generate(mismatched), 0u);
}

TEST_F(TextureGeneratorGlTest, PowerOfTwoImagesUploadUnchangedWithTightRows) {
    TextureGenerator generator;
    // Two RGB pixels make a 6-byte row: with OpenGL's default 4-byte row
    // alignment the second row would be read from the wrong place.
    for (int depth : {3, 4}) {
        for (int side : {1, 2, 256}) {
            DevilImageDefinition image = makeImage(side, side, depth);
            const std::vector<unsigned char> original(image.getIlImageData(),
                                                      image.getIlImageData() + image.getImageDataSize());
            const unsigned int id = generator.generate(image);
            ASSERT_NE(id, 0u);
            EXPECT_TRUE(glIsTexture(id));
            GLint bound = 0;
            glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
            EXPECT_EQ(static_cast<unsigned int>(bound), id);
            EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), side);
            EXPECT_EQ(levelParameter(0, GL_TEXTURE_HEIGHT), side);
            EXPECT_EQ(image.getIlImageWidth(), side);
            const GLenum format = depth == 3 ? GL_RGB : GL_RGBA;
            EXPECT_EQ(readTexture(side, format, depth), original) << "side " << side << ", depth " << depth;
            GLint alignment = 0;
            glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
            EXPECT_EQ(alignment, 4) << "the caller's unpack alignment comes back";
            glDeleteTextures(1, &id);
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureGeneratorGlTest, OtherSizesBecomeAPowerOfTwoSquare) {
    TextureGenerator generator;
    DevilImageDefinition image;
    unsigned char *data = image.allocateImageData(300, 200, 3);
    for (int i = 0; i < 300 * 200; ++i) {
        data[i * 3] = 200;
        data[i * 3 + 1] = 100;
        data[i * 3 + 2] = 50;
    }
    const unsigned int id = generator.generate(image);
    ASSERT_NE(id, 0u);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 512);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_HEIGHT), 512);
    // The record now describes the uploaded square copy, which it owns.
    ASSERT_EQ(image.getIlImageWidth(), 512);
    ASSERT_EQ(image.getIlImageHeight(), 512);
    ASSERT_EQ(image.getImageDataSize(), 512u * 512u * 3u);
    const std::vector<unsigned char> uploaded = readTexture(512, GL_RGB, 3);
    EXPECT_EQ(uploaded,
              std::vector<unsigned char>(image.getIlImageData(), image.getIlImageData() + uploaded.size()));
    // A single colour stays that colour however it is stretched.
    for (std::size_t i = 0; i < uploaded.size(); i += 3) {
        ASSERT_EQ(uploaded[i], 200) << "pixel " << i / 3;
        ASSERT_EQ(uploaded[i + 1], 100) << "pixel " << i / 3;
        ASSERT_EQ(uploaded[i + 2], 50) << "pixel " << i / 3;
    }
    glDeleteTextures(1, &id);

    DevilImageDefinition tall = makeImage(3, 5, 4);
    const unsigned int tallId = generator.generate(tall);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 8);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_HEIGHT), 8);
    glDeleteTextures(1, &tallId);
}

TEST_F(TextureGeneratorGlTest, WrapModeChoosesTheFilters) {
    TextureGenerator generator;
    DevilImageDefinition repeated = makeImage(4, 4, 3);
    const unsigned int repeatedId = generator.generate(repeated);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);

    // The setting is class-wide: another generator object sees it.
    TextureGenerator().setTexWrapMode(GL_CLAMP_TO_EDGE);
    DevilImageDefinition clamped = makeImage(4, 4, 3);
    const unsigned int clampedId = generator.generate(clamped);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_NE(repeatedId, clampedId);
    glDeleteTextures(1, &repeatedId);
    glDeleteTextures(1, &clampedId);
}

TEST_F(TextureGeneratorGlTest, MipmapGenerationBuildsTheSmallerLevels) {
    TextureGenerator generator;
    DevilImageDefinition plain = makeImage(64, 64, 4);
    const unsigned int plainId = generator.generate(plain);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAX_LEVEL), 1000); // OpenGL's default: untouched
    EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH), 0);

    TextureGenerator::setMipmapGeneration(true);
    EXPECT_TRUE(TextureGenerator::isMipmapGeneration());
    DevilImageDefinition mipmapped = makeImage(64, 64, 4);
    const unsigned int mipmappedId = generator.generate(mipmapped);
    EXPECT_EQ(textureParameter(GL_TEXTURE_BASE_LEVEL), 0);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAX_LEVEL), 5);
    EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH), 32);
    EXPECT_EQ(levelParameter(5, GL_TEXTURE_WIDTH), 2);
    // The minification filter is left to the caller (the terrain picks a mipmap filter).
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    glDeleteTextures(1, &plainId);
    glDeleteTextures(1, &mipmappedId);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
