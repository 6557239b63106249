#include "render/LevelPreview.h"

#include <algorithm>

namespace {
constexpr float kHeightScale = 30.0f; // heightmap value per unit of height, as the terrain reads it
constexpr int kSlopeSpan = 2;         // heightmap pixels to either side for the slope
constexpr float kSlopeLight = 1.4f;   // brightening per unit of rise towards the light
constexpr float kShadeMin = 0.45f, kShadeMax = 1.35f;

// Pixel (x, y) of `image`, clamped to it: its first byte.
const unsigned char *pixelAt(const DevilImageDefinition &image, int x, int y) {
    x = std::clamp(x, 0, image.getIlImageWidth() - 1);
    y = std::clamp(y, 0, image.getIlImageHeight() - 1);
    return image.getIlImageData() +
           (static_cast<std::size_t>(y) * image.getIlImageWidth() + x) * image.getIlImageColorDepth();
}

// How bright the ground at heightmap pixel (x, y) is: slopes facing the north-west light
// brighter, those turned away darker, high ground a little lighter than low.
float shade(const DevilImageDefinition &heights, int x, int y) {
    const float dx = (pixelAt(heights, x + kSlopeSpan, y)[0] - pixelAt(heights, x - kSlopeSpan, y)[0]) /
                     (2.0f * kSlopeSpan * kHeightScale);
    const float dz = (pixelAt(heights, x, y + kSlopeSpan)[0] - pixelAt(heights, x, y - kSlopeSpan)[0]) /
                     (2.0f * kSlopeSpan * kHeightScale);
    const float slope = std::clamp(1.0f + kSlopeLight * (dx + dz), kShadeMin, kShadeMax);
    return slope * (0.85f + 0.3f * pixelAt(heights, x, y)[0] / 255.0f);
}
} // namespace

DevilImageDefinition LevelPreview::make(const DevilImageDefinition &ground,
                                        const DevilImageDefinition *heightmap) {
    DevilImageDefinition preview;
    const int groundDepth = ground.getIlImageColorDepth();
    if (!ground.hasPixels() || groundDepth < 3)
        return preview;
    const bool relief =
        heightmap != nullptr && heightmap->hasPixels() && heightmap->getIlImageColorDepth() == 3;
    unsigned char *out = preview.allocateImageData(kSide, kSide, 3);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const float u = (x + 0.5f) / kSide, v = (y + 0.5f) / kSide;
            const unsigned char *colour = pixelAt(ground, static_cast<int>(u * ground.getIlImageWidth()),
                                                  static_cast<int>(v * ground.getIlImageHeight()));
            const float light = relief ? shade(*heightmap, static_cast<int>(u * heightmap->getIlImageWidth()),
                                               static_cast<int>(v * heightmap->getIlImageHeight()))
                                       : 1.0f;
            for (int c = 0; c < 3; ++c)
                *out++ = static_cast<unsigned char>(std::min(255.0f, colour[c] * light));
        }
    }
    return preview;
}
