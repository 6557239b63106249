#include "render/TextureHolder.h"

#include "render/ImageFiles.h"
#include "support/GlTestContext.h"
#include "support/TempDir.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {
int countOf(const std::string &text, const std::string &part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

GLint boundWidth() {
    GLint width = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    return width;
}

std::vector<unsigned char> readBoundTexture(int side) {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(side * side * 3));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return pixels;
}

bool allZero(const std::vector<unsigned char> &bytes) {
    for (unsigned char b : bytes) {
        if (b != 0) {
            return false;
        }
    }
    return true;
}
} // namespace

TEST(TextureHolderTest, RegistersFilesUnderTheirBareName) {
    TempDir dir;
    const std::string path = dir.write("textures/Cloud.png", imagefiles::png(imagefiles::gradient(3, 2)));
    TextureHolder holder;
    holder.setTextureByString(path);
    EXPECT_TRUE(holder.hasTexture("Cloud.png"));

    DevilImageDefinition *byName = holder.getTextureByString("Cloud.png");
    ASSERT_NE(byName, nullptr);
    EXPECT_TRUE(byName->hasPixels());
    EXPECT_EQ(byName->getIlImageWidth(), 3);
    EXPECT_EQ(byName->getGlTextureID(), 0u) << "decoded, not uploaded yet";
    // Look-ups strip too, with either separator.
    EXPECT_EQ(holder.getTextureByString("some/other/dir/Cloud.png"), byName);
    EXPECT_EQ(holder.getTextureByString("c:\\game\\Cloud.png"), byName);

    // An unknown name gets an empty record inserted, and is reported once, whichever getter asks first.
    EXPECT_FALSE(holder.hasTexture("Nothing.png"));
    testing::internal::CaptureStderr();
    DevilImageDefinition *unknown = holder.getTextureByString("data/Nothing.png");
    EXPECT_EQ(holder.getTextureByString("Nothing.png"), unknown);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "Error: texture \"Nothing.png\" was never loaded; drawing it black\n");
    ASSERT_NE(unknown, nullptr);
    EXPECT_FALSE(unknown->hasPixels());
    EXPECT_EQ(unknown->getGlTextureID(), 0u);
    EXPECT_TRUE(holder.hasTexture("Nothing.png"));
}

TEST(TextureHolderTest, SetTextureAndInMemoryImagesKeepTheirKeys) {
    TextureHolder holder;
    holder.setTexture("data\\textures\\shadow", 42);
    EXPECT_EQ(holder.getTextureIDByString("shadow"), 42u) << "an existing texture is not uploaded again";

    DevilImageDefinition lightMap;
    lightMap.allocateImageData(32, 32, 3);
    holder.setInMemoryGeneratedTexture(lightMap, "tree01light");
    EXPECT_EQ(holder.getTextureByString("tree01light")->getIlImageData(), lightMap.getIlImageData());
    // The key is stored as given, while look-ups strip: a key with a separator
    // cannot be found again by name.
    holder.setInMemoryGeneratedTexture(lightMap, "objects/tree02light");
    EXPECT_FALSE(holder.hasTexture("objects/tree02light"));
    EXPECT_FALSE(holder.hasTexture("tree02light"));
}

TEST(TextureHolderTest, FreeUsesTheNameUnchanged) {
    TempDir dir;
    const std::string path = dir.write("Blow.png", imagefiles::png(imagefiles::gradient(2, 2)));
    TextureHolder holder;
    holder.setTextureByString(path);
    holder.freeTextureByString(path); // the full path is not a key
    EXPECT_TRUE(holder.hasTexture("Blow.png"));
    holder.freeTextureByString("Blow.png");
    EXPECT_FALSE(holder.hasTexture("Blow.png"));
    holder.freeTextureByString("Blow.png"); // freeing twice is harmless
}

TEST(TextureHolderTest, ReRegisteringReplacesTheRecord) {
    TempDir dir;
    TextureHolder holder;
    holder.setTextureByString(dir.write("a/pic.png", imagefiles::png(imagefiles::gradient(2, 2))));
    holder.setTextureByString(dir.write("b/pic.png", imagefiles::png(imagefiles::gradient(5, 3))));
    EXPECT_EQ(holder.getTextureByString("pic.png")->getIlImageWidth(), 5);
}

TEST(TextureHolderTest, UndecodableFileIsReportedOnceAndRegisteredEmpty) {
    TempDir dir;
    const std::string path = dir.write("textures/broken.png", "definitely not a PNG");
    TextureHolder holder;
    testing::internal::CaptureStderr();
    holder.setTextureByString(path);
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(countOf(errors, "Error: "), 1) << errors;
    EXPECT_NE(errors.find(path), std::string::npos) << errors;
    ASSERT_TRUE(holder.hasTexture("broken.png"));
    EXPECT_FALSE(holder.getTextureByString("broken.png")->hasPixels());
}

class TextureHolderGlTest : public GlTest {};

TEST_F(TextureHolderGlTest, UploadsLazilyOnceAndKeepsTheName) {
    TempDir dir;
    const imagefiles::Pixels source = imagefiles::gradient(4, 4);
    TextureHolder holder;
    holder.setTextureByString(dir.write("textures/grad.png", imagefiles::png(source)));
    EXPECT_EQ(holder.getTextureByString("grad.png")->getGlTextureID(), 0u);

    const unsigned int id = holder.getTextureIDByString("grad.png");
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(glIsTexture(id));
    EXPECT_EQ(holder.getTextureByString("grad.png")->getGlTextureID(), id);
    EXPECT_EQ(boundWidth(), 4);
    EXPECT_EQ(readBoundTexture(4), source.bytes) << "the uploaded texels are the file's pixels";

    // The second request uploads nothing: a fresh texture name would differ.
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(holder.getTextureIDByString("other/dir/grad.png"), id);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0) << "no upload, so nothing was bound";

    holder.freeTextureByString("grad.png");
    EXPECT_FALSE(glIsTexture(id));
    EXPECT_FALSE(holder.hasTexture("grad.png"));
}

TEST_F(TextureHolderGlTest, NonSquareFileIsUploadedAsPowerOfTwoSquare) {
    TempDir dir;
    TextureHolder holder;
    holder.setTextureByString(
        dir.write("wide.png", imagefiles::png(imagefiles::solid(300, 200, 3, {10, 200, 30}))));
    const unsigned int id = holder.getTextureIDByString("wide.png");
    ASSERT_NE(id, 0u);
    EXPECT_EQ(boundWidth(), 512);
    const DevilImageDefinition *record = holder.getTextureByString("wide.png");
    EXPECT_EQ(record->getIlImageWidth(), 512);
    EXPECT_EQ(record->getIlImageHeight(), 512);
    const std::vector<unsigned char> texels = readBoundTexture(512);
    EXPECT_EQ(texels[0], 10);
    EXPECT_EQ(texels[1], 200);
    EXPECT_EQ(texels[texels.size() - 1], 30);
}

TEST_F(TextureHolderGlTest, PlaceholdersAreBlack) {
    TextureHolder holder;
    const unsigned int black = holder.generateBlack();
    ASSERT_NE(black, 0u);
    EXPECT_EQ(boundWidth(), 256);
    EXPECT_TRUE(allZero(readBoundTexture(256)));
    EXPECT_FALSE(holder.hasTexture("black")) << "nothing registered";

    // A file that could not be decoded is drawn black, with no further message.
    TempDir dir;
    testing::internal::CaptureStderr();
    holder.setTextureByString(dir.write("bad.jpg", "\xFF\xD8\xFF garbage"));
    const std::string loadErrors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(countOf(loadErrors, "Error: "), 1) << loadErrors;
    testing::internal::CaptureStderr();
    const unsigned int bad = holder.getTextureIDByString("bad.jpg");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_NE(bad, 0u);
    EXPECT_NE(bad, black);
    EXPECT_EQ(boundWidth(), 256);
    EXPECT_TRUE(allZero(readBoundTexture(256)));
    EXPECT_EQ(holder.getTextureIDByString("bad.jpg"), bad);

    // A name never registered is drawn black and reported once.
    testing::internal::CaptureStderr();
    const unsigned int unknown = holder.getTextureIDByString("data/textures/missing.png");
    EXPECT_EQ(holder.getTextureIDByString("missing.png"), unknown);
    const std::string unknownErrors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(countOf(unknownErrors, "Error: "), 1) << unknownErrors;
    EXPECT_NE(unknownErrors.find("missing.png"), std::string::npos) << unknownErrors;
    ASSERT_NE(unknown, 0u);
    glBindTexture(GL_TEXTURE_2D, unknown);
    EXPECT_TRUE(allZero(readBoundTexture(256)));
}

TEST_F(TextureHolderGlTest, InMemoryImageUploadsOnFirstUse) {
    TextureHolder holder;
    DevilImageDefinition lightMap;
    unsigned char *texels = lightMap.allocateImageData(32, 32, 3);
    for (int i = 0; i < 32 * 32 * 3; ++i) {
        texels[i] = static_cast<unsigned char>(i % 251);
    }
    const std::vector<unsigned char> expected(texels, texels + 32 * 32 * 3);
    holder.setInMemoryGeneratedTexture(lightMap, "tank1light");
    lightMap = DevilImageDefinition(); // the registry's copy keeps the pixels alive
    const unsigned int id = holder.getTextureIDByString("tank1light");
    ASSERT_NE(id, 0u);
    EXPECT_EQ(readBoundTexture(32), expected);

    // Replacing an uploaded record deletes the texture this holder made for it.
    DevilImageDefinition next;
    next.allocateImageData(16, 16, 3);
    holder.setInMemoryGeneratedTexture(next, "tank1light");
    EXPECT_FALSE(glIsTexture(id));
    const unsigned int nextId = holder.getTextureIDByString("tank1light");
    EXPECT_NE(nextId, 0u);
    EXPECT_EQ(boundWidth(), 16);
}
