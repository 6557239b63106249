#pragma once

#include "Color.h"
#include "Mask.h"

#include <cstdint>
#include <functional>
#include <vector>

// An RGBA picture in floating point that masks and colours are composited onto; it
// becomes 8-bit bytes only when it is written out.
class Canvas {
  public:
    using Shader = std::function<Color(int x, int y)>;                   // colour of a pixel to paint
    using Filter = std::function<Color(int x, int y, const Color &old)>; // new colour from the old one

    Canvas() = default;
    Canvas(int width, int height, const Color &fill = Color{0.0f, 0.0f, 0.0f, 0.0f});

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    Color at(int x, int y) const; // transparent black outside
    void set(int x, int y, const Color &color);

    // Paints `color` (or the shader's colour) through the mask, source over destination.
    // The mask's pixel (0, 0) lands on the canvas pixel (offsetX, offsetY).
    void paint(const Mask &mask, const Color &color, int offsetX = 0, int offsetY = 0);
    void paint(const Mask &mask, const Shader &shader, int offsetX = 0, int offsetY = 0);
    // Adds light through the mask with a screen blend (never overshoots white); keeps opacity.
    void glow(const Mask &mask, const Color &color, int offsetX = 0, int offsetY = 0);
    // Darkens by multiplying with the colour through the mask, weighted by coverage and alpha.
    void darken(const Mask &mask, const Color &color, int offsetX = 0, int offsetY = 0);
    // Replaces every pixel with the filter's result.
    void apply(const Filter &filter);
    // Composites another canvas over this one.
    void draw(const Canvas &source, int offsetX = 0, int offsetY = 0);

    // Makes every pixel either fully opaque or fully transparent, for renderers that
    // alpha-test without blending.
    void hardenAlpha(float threshold);
    // Gives fully transparent pixels the colour of a nearby opaque one, so that filtering
    // at the edge of a shape does not pull in black.
    void bleedIntoTransparent(int passes);

    // 8-bit rows, top row first, `channels` 3 (RGB) or 4 (RGBA). With `dither`, a fixed
    // pattern of at most half a step breaks up banding in smooth gradients.
    std::vector<std::uint8_t> toBytes(int channels, bool dither) const;

  private:
    Color &ref(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    void composite(int x, int y, const Color &source, float coverage);

    int width = 0;             // pixels
    int height = 0;            // pixels
    std::vector<Color> pixels; // row-major, top row first
};
