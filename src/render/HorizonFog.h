#pragma once

#include <array>
#include <functional>
#include <vector>

// The distance fog that blends the far land into the sky: its colour is the
// sky's own colour at the horizon, so that land and sky meet without a seam
// whatever pictures a level's sky has.
class HorizonFog {
  public:
    using Colour = std::array<float, 3>; // RGB, 0..1

    // One sky side picture as loaded: rows from the top (the first row is the
    // top of the sky), 3 or 4 bytes per pixel.
    struct Picture {
        const unsigned char *pixels = nullptr;
        int width = 0;         // pixels
        int height = 0;        // pixels
        int bytesPerPixel = 0; // 3 (RGB) or 4 (RGBA)
    };

    // Haze used when no picture can say anything: a pale grey blue.
    static constexpr Colour kFallbackColour = {0.70f, 0.78f, 0.86f};
    // Share of a picture's height, just above its middle row, averaged as the horizon.
    static constexpr float kBandShare = 1.0f / 16.0f;

    // The fog colour: `chosen` when given (a level that names its own horizon),
    // else the average colour of the band just above the middle of the side
    // pictures (where the sky box meets the eye's level), else the fallback.
    // Pictures without usable pixels are left out.
    static Colour decideColour(const std::vector<Picture> &sidePictures, const Colour *chosen = nullptr);

    // Switches linear fog from `start` to `end` units from the eye on, in
    // `colour`, measured along the ray where the driver can.
    static void enable(const Colour &colour, float start, float end);
    static void disable();

    // A test of a world box: min x, y, z and max x, y, z.
    using BoxFilter = std::function<bool(const float *min, const float *max)>;

    // Whether every point of the box lies nearer to `eye` than `start`, where linear fog leaves
    // colours as they are (measured along the ray or along the view axis alike).
    static bool leavesUntouched(const float eye[3], float start, const float *min, const float *max);

    // Fog costs a software renderer work in every pixel, also where it changes nothing. With the
    // fog on and `untouched` given, `draw` runs twice: first for the boxes that `visible` and
    // `untouched` accept, with the fog off, then for the rest of the visible ones with the fog on.
    // Otherwise it runs once, for `visible` (an empty filter accepts every box).
    static void drawSplit(const BoxFilter &visible, const BoxFilter &untouched,
                          const std::function<void(const BoxFilter &)> &draw);
};
