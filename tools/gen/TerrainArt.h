#pragma once

#include "ArtContext.h"

// The "terrain" family: the heightmaps of the shipped levels and the ground
// picture that covers every terrain cell.
class TerrainArt {
  public:
    static constexpr int kMainSide = 150;   // heightmap.png: pixels = units per side of lvl1.lvl
    static constexpr int kSmallSide = 60;   // heightmap_small.png: the quick test level
    static constexpr int kGroundSide = 512; // ground.png: one copy per 5 x 5 unit cell

    // Writes every picture of the family; false if any could not be made.
    static bool generate(ArtContext &context);

    // Height in world units (0 .. 8.5) of the main level at world (x, z); the
    // level centres its terrain on the origin, one unit per pixel.
    static float mainHeight(float x, float z);
    // The same for the small test level.
    static float smallHeight(float x, float z);
    // A heightmap canvas of side x side pixels: grey value = height x 30,
    // pixel (px, py) holding the height at x = px - side/2, z = py - side/2.
    static Canvas heightmap(int side, float (*height)(float, float));
    // The tileable grass picture.
    static Canvas ground();
};
