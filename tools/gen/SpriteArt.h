#pragma once

#include "ArtContext.h"

// The "sprites" family: the particle effects' pictures, "Cloud.jpg" (a soft
// smoke puff) and "Blow.jpg" (a fiery burst). The effects draw them additively
// with the particle's colour, so black is "nothing" and brightness is weight:
// both are light shapes on pure black that fade out well before the border.
class SpriteArt {
  public:
    static constexpr int kSize = 128; // pixels, square, a power of two for the texture upload

    // Writes both pictures; false if either could not be made.
    static bool generate(ArtContext &context);

    static Canvas paintCloud();
    static Canvas paintBlow();
};
