// Checks of the application icon: one picture per hicolor size, each a square RGBA picture
// with the tank in the middle and nothing in the corners.
#include "ArtContext.h"
#include "IconArt.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <stb/stb_image.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The sizes a desktop looks for in the hicolor theme's "apps" folders.
const std::vector<int> kHicolorSizes = {16, 22, 24, 32, 48, 64, 128, 256, 512};

fs::path iconPath(const fs::path &dataDir, int size) {
    const std::string n = std::to_string(size);
    return dataDir / "icons" / "hicolor" / (n + "x" + n) / "apps" / "panzerfeld.png";
}

// A picture read back from its file as 8-bit RGBA.
struct Picture {
    int width = 0;                    // pixels
    int height = 0;                   // pixels
    int channels = 0;                 // as stored in the file
    std::vector<std::uint8_t> pixels; // RGBA rows, top row first

    int alpha(int x, int y) const { return pixels[(static_cast<size_t>(y) * width + x) * 4 + 3]; }
    const std::uint8_t *rgb(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
};

bool readPicture(const fs::path &path, Picture &picture) {
    unsigned char *data =
        stbi_load(path.string().c_str(), &picture.width, &picture.height, &picture.channels, 4);
    if (!data)
        return false;
    picture.pixels.assign(data, data + static_cast<size_t>(picture.width) * picture.height * 4);
    stbi_image_free(data);
    return true;
}

} // namespace

// Paints the family once into a temporary data tree for all checks below.
class IconArtCheck : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        output = std::make_unique<TempDir>();
        context = std::make_unique<ArtContext>(output->path().string(), "/nonexistent-fonts");
        ok = IconArt::generate(*context);
    }
    static void TearDownTestSuite() {
        context.reset();
        output.reset();
    }

    static std::unique_ptr<TempDir> output;     // the generated data tree
    static std::unique_ptr<ArtContext> context; // what wrote it, with its list of files
    static bool ok;                             // what generate returned
};

std::unique_ptr<TempDir> IconArtCheck::output;
std::unique_ptr<ArtContext> IconArtCheck::context;
bool IconArtCheck::ok = false;

TEST_F(IconArtCheck, WritesOnePictureForEveryHicolorSizeAndNothingElse) {
    ASSERT_TRUE(ok);
    std::vector<std::string> expected;
    for (int size : kHicolorSizes)
        expected.push_back(fs::relative(iconPath(output->path(), size), output->path()).generic_string());
    std::vector<std::string> written = context->getWrittenFiles();
    std::sort(expected.begin(), expected.end());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, expected);
    EXPECT_FALSE(fs::exists(output->path() / "textures")); // the icon is no texture of the game
}

TEST_F(IconArtCheck, EachSizeIsASquareRgbaPictureWithClearCornersAndASolidMiddle) {
    ASSERT_TRUE(ok);
    for (int size : kHicolorSizes) {
        SCOPED_TRACE("size " + std::to_string(size));
        Picture picture;
        ASSERT_TRUE(readPicture(iconPath(output->path(), size), picture));
        EXPECT_EQ(picture.width, size);
        EXPECT_EQ(picture.height, size);
        EXPECT_EQ(picture.channels, 4);

        // A triangle an eighth of the side deep at each corner stays fully transparent, so the
        // icon never shows a square background.
        const int corner = size / 8;
        int opaqueInCorners = 0;
        for (int y = 0; y < corner; ++y)
            for (int x = 0; x + y < corner; ++x) {
                const int far = size - 1;
                opaqueInCorners += picture.alpha(x, y) != 0;
                opaqueInCorners += picture.alpha(far - x, y) != 0;
                opaqueInCorners += picture.alpha(x, far - y) != 0;
                opaqueInCorners += picture.alpha(far - x, far - y) != 0;
            }
        EXPECT_EQ(opaqueInCorners, 0);

        // The middle quarter of the side, both ways, is the tank's body: fully opaque.
        int seeThrough = 0;
        for (int y = size * 3 / 8; y < size * 5 / 8; ++y)
            for (int x = size * 3 / 8; x < size * 5 / 8; ++x)
                seeThrough += picture.alpha(x, y) != 255;
        EXPECT_EQ(seeThrough, 0);
    }
}

TEST_F(IconArtCheck, EverySizeShowsTheSameGreenTankCentredAndFillingItsWidth) {
    // Each size is painted at its own scale: a size painted with another size's measures would
    // be cut off or lost in its square.
    ASSERT_TRUE(ok);
    for (int size : kHicolorSizes) {
        SCOPED_TRACE("size " + std::to_string(size));
        Picture picture;
        ASSERT_TRUE(readPicture(iconPath(output->path(), size), picture));
        ASSERT_EQ(picture.width, size);
        int left = size, right = -1, top = size, bottom = -1, opaque = 0;
        long red = 0, green = 0, blue = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                if (picture.alpha(x, y) < 128)
                    continue;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                if (picture.alpha(x, y) == 255) {
                    ++opaque;
                    red += picture.rgb(x, y)[0];
                    green += picture.rgb(x, y)[1];
                    blue += picture.rgb(x, y)[2];
                }
            }
        ASSERT_GE(right, left);
        // A tank is long and low: it spans most of the width (the small sizes use all of it),
        // and leaves room above and below.
        EXPECT_GE(right - left + 1, size * 3 / 4);
        EXPECT_GT(top, 0);
        EXPECT_LT(bottom, size - 1);
        // Its middle is the picture's middle, within an eighth of the side.
        EXPECT_LE(std::abs(left + right + 1 - size), size / 4);
        EXPECT_LE(std::abs(top + bottom + 1 - size), size / 4);
        // It covers a good part of the square at every size, neither a speck nor a block.
        const double share = static_cast<double>(opaque) / (static_cast<double>(size) * size);
        EXPECT_GT(share, 0.25);
        EXPECT_LT(share, 0.7);
        // Olive: green leads red and blue on average.
        EXPECT_GT(green, red);
        EXPECT_GT(green, blue);
    }
}
