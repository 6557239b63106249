#pragma once

// A soft round halo that always faces the camera, added onto what is drawn behind it.
class GlowSprite {
  public:
    // Draws the halo at `centre` (world units, current model-view) with the radius, colour (RGB)
    // and strength at its middle (0..1). Leaves blending, lighting and depth writes as it found them.
    static void draw(const float *centre, float radius, const float *rgb, float strength);
};
