#include "render/LevelPreview.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// A side x side picture whose every pixel is `value(x, y)` in all three channels.
template <class F> DevilImageDefinition picture(int side, F value) {
    DevilImageDefinition image;
    unsigned char *pixels = image.allocateImageData(side, side, 3);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            for (int c = 0; c < 3; ++c)
                *pixels++ = static_cast<unsigned char>(value(x, y));
    return image;
}

int red(const DevilImageDefinition &image, int x, int y) {
    return image.getIlImageData()[(static_cast<std::size_t>(y) * image.getIlImageWidth() + x) * 3];
}

TEST(LevelPreviewTest, ShadesTheGroundByTheReliefAndNeedsOnlyTheGround) {
    const DevilImageDefinition ground = picture(64, [](int, int) { return 160; });
    // A ridge along the middle column: rising towards +x on the left, falling on the right.
    const DevilImageDefinition ridge = picture(32, [](int x, int) { return 200 - 12 * std::abs(x - 16); });
    const DevilImageDefinition shaded = LevelPreview::make(ground, &ridge);
    ASSERT_TRUE(shaded.hasPixels());
    ASSERT_EQ(shaded.getIlImageWidth(), LevelPreview::kSide);
    const int west = LevelPreview::kSide / 4, east = 3 * LevelPreview::kSide / 4,
              row = LevelPreview::kSide / 2;
    EXPECT_GT(red(shaded, west, row), red(shaded, east, row))
        << "the slope facing the north-west light is brighter";

    const DevilImageDefinition plain = LevelPreview::make(ground, nullptr);
    EXPECT_NEAR(red(plain, west, row), 160, 1) << "without a heightmap the ground stays as it is";
    EXPECT_FALSE(LevelPreview::make(DevilImageDefinition(), &ridge).hasPixels()) << "no ground, no picture";
}

} // namespace
