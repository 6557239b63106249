#pragma once

#include "render/DevilImageDefinition.h"

// A level seen from above for the level choice: its ground picture shaded by the relief of its
// heightmap, lit from the north-west, computed in memory (no window needed) and uploaded like any
// texture on first use.
class LevelPreview {
  public:
    static constexpr int kSide = 256; // pixels of the square picture

    // The picture of `ground` (3 or 4 bytes per pixel) over the relief of `heightmap` (3 bytes per
    // pixel, the red value is the height; null or without pixels: the ground unshaded). Both cover
    // the level's bounds, their top row at its lower z bound. An empty record when the ground has
    // no pixels.
    static DevilImageDefinition make(const DevilImageDefinition &ground,
                                     const DevilImageDefinition *heightmap);
};
