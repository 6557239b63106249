#pragma once

#include "ArtContext.h"
#include "Color.h"

// The "sky" family: the six pictures of the sky box, painted from one sky
// function of the view direction on the faces exactly as the level draws
// them, so that the box shows no edges.
class SkyArt {
  public:
    static constexpr int kSide = 512; // pixels per face side

    // Writes every picture of the family; false if any could not be made.
    static bool generate(ArtContext &context);

    // Colour of the sky seen in direction (x, y, z) (any length, y up).
    static Color skyColor(float x, float y, float z);
    // The face with index `face` of the sky box table (up, bottom, front,
    // left, back, right).
    static Canvas face(int face);
};
