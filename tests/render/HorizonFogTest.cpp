// The fog colour: the sky's own colour just above the horizon, whatever the level's pictures.
#include "render/HorizonFog.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A side picture of `height` rows: blue sky, a `band` coloured horizon band
// just above the middle, green land below.
std::vector<unsigned char> skyPicture(int width, int height, int bytes, const unsigned char band[3]) {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * bytes, 255);
    for (int y = 0; y < height; ++y) {
        const bool inBand = y < height / 2 && y >= height / 2 - height / 16;
        const unsigned char blue[3] = {40, 80, 200}, green[3] = {30, 90, 20};
        const unsigned char *colour = inBand ? band : y < height / 2 ? blue : green;
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                pixels[(static_cast<std::size_t>(y) * width + x) * bytes + c] = colour[c];
    }
    return pixels;
}

TEST(HorizonFogTest, TheColourIsTheAverageBandJustAboveTheMiddleOfTheSidePictures) {
    const unsigned char grey[3] = {128, 128, 128}, white[3] = {255, 255, 255};
    const std::vector<unsigned char> a = skyPicture(64, 64, 3, grey), b = skyPicture(32, 32, 4, white);
    // One RGB and one RGBA picture of different sizes weigh by their pixels.
    const HorizonFog::Colour both = HorizonFog::decideColour({{a.data(), 64, 64, 3}, {b.data(), 32, 32, 4}});
    const float expected = (128.0f * 64 * 4 + 255.0f * 32 * 2) / (64 * 4 + 32 * 2) / 255.0f;
    for (float c : both)
        EXPECT_NEAR(c, expected, 1e-4);

    // A one-colour sky gives its colour, neither the blue above nor the green below.
    const HorizonFog::Colour one = HorizonFog::decideColour({{a.data(), 64, 64, 3}});
    EXPECT_NEAR(one[0], 128.0f / 255.0f, 1e-4);
    EXPECT_NEAR(one[2], 128.0f / 255.0f, 1e-4);
}

TEST(HorizonFogTest, ALevelsOwnColourWinsAndUnusablePicturesFallBack) {
    const unsigned char grey[3] = {128, 128, 128};
    const std::vector<unsigned char> a = skyPicture(16, 16, 3, grey);
    const HorizonFog::Colour chosen = {0.2f, 1.5f, -0.1f};
    const HorizonFog::Colour own = HorizonFog::decideColour({{a.data(), 16, 16, 3}}, &chosen);
    EXPECT_FLOAT_EQ(own[0], 0.2f);
    EXPECT_FLOAT_EQ(own[1], 1.0f); // clamped into 0..1
    EXPECT_FLOAT_EQ(own[2], 0.0f);

    EXPECT_EQ(HorizonFog::decideColour({}), HorizonFog::kFallbackColour);
    // Missing pixels or a layout other than RGB / RGBA leave a picture out.
    EXPECT_EQ(HorizonFog::decideColour({{nullptr, 16, 16, 3}, {a.data(), 16, 16, 2}, {a.data(), 0, 16, 3}}),
              HorizonFog::kFallbackColour);
    // A picture of a single row still has a band.
    const unsigned char row[6] = {10, 20, 30, 10, 20, 30};
    const HorizonFog::Colour tiny = HorizonFog::decideColour({{row, 2, 1, 3}});
    EXPECT_NEAR(tiny[2], 30.0f / 255.0f, 1e-4);
}

TEST(HorizonFogTest, ABoxIsUntouchedOnlyWhenItsFarthestCornerLiesNearerThanTheStart) {
    const float eye[3] = {0, 10, 0};
    const float nearMin[3] = {-30, 0, 20}, nearMax[3] = {30, 5, 60};
    EXPECT_TRUE(HorizonFog::leavesUntouched(eye, 80, nearMin, nearMax)); // corner (30, 0, 60): 67.8
    EXPECT_FALSE(HorizonFog::leavesUntouched(eye, 65, nearMin, nearMax));
    // A box around the eye, or behind it, counts its farthest corner all the same.
    const float aroundMin[3] = {-50, 0, -5}, aroundMax[3] = {5, 20, 5};
    EXPECT_TRUE(HorizonFog::leavesUntouched(eye, 52, aroundMin, aroundMax)); // (-50, 0, +-5): 51.2
    EXPECT_FALSE(HorizonFog::leavesUntouched(eye, 51, aroundMin, aroundMax));
}

} // namespace
