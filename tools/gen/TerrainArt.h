#pragma once

#include "ArtContext.h"

// The "terrain" family: the heightmaps of the shipped levels and the ground
// picture that covers every terrain cell.
class TerrainArt {
  public:
    static constexpr int kMainSide = 150;        // heightmap.png: pixels = units per side of lvl1.lvl
    static constexpr int kSmallSide = 60;        // heightmap_small.png: the quick test level
    static constexpr int kGroundSide = 512;      // ground.png: one copy per 5 x 5 unit cell
    static constexpr int kLevelGroundSide = 256; // the later levels' ground pictures

    // Shapes that the level files place their objects by (world units).
    static constexpr float kLakeX = 22.0f, kLakeZ = -12.0f; // snow: centre of the frozen lake
    static constexpr float kLakeRadius = 17.0f;             // snow: the lake is flat within it
    static constexpr float kLakeHeight = 40.0f / 30.0f;     // snow: its height, grey 40
    static constexpr float kQuayZ = -46.0f;                 // harbour: the sea lies north of it
    static constexpr float kTownHeight = 60.0f / 30.0f;     // harbour: the quay and the town, grey 60
    static constexpr float kSeabedHeight = 9.0f / 30.0f;    // harbour: the sea floor, grey 9

    // Writes every picture of the family; false if any could not be made.
    static bool generate(ArtContext &context);

    // Height in world units (0 .. 8.5) of the main level at world (x, z); the
    // level centres its terrain on the origin, one unit per pixel.
    static float mainHeight(float x, float z);
    // The same for the small test level.
    static float smallHeight(float x, float z);
    // The dry canyon of lvl2.lvl: a river bed winding north to south between plateaus.
    static float canyonHeight(float x, float z);
    // The snowy hills of lvl3.lvl with a frozen lake.
    static float snowHeight(float x, float z);
    // The harbour town of lvl4.lvl: a flat town, and the sea north of the quay.
    static float harbourHeight(float x, float z);
    // Where the canyon's floor runs: x of its middle at z.
    static float canyonMiddle(float z);
    // A heightmap canvas of side x side pixels: grey value = height x 30,
    // pixel (px, py) holding the height at x = px - side/2, z = py - side/2.
    static Canvas heightmap(int side, float (*height)(float, float));
    // The tileable grass picture.
    static Canvas ground();
    // Tileable ground pictures of the later levels: sand and gravel, snow, cobbles.
    static Canvas canyonGround();
    static Canvas snowGround();
    static Canvas harbourGround();
};
