#pragma once

#include "ModelMesh.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// An RGB colour with channels from 0 to 1.
struct Rgb {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;

    // 0xRRGGBB as a paint program writes it.
    static Rgb hex(std::uint32_t rgb) {
        return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
    }
    Rgb scaled(double f) const { return {r * f, g * f, b * f}; }
};

inline Rgb mix(const Rgb &a, const Rgb &b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// The picture a model is wrapped in, painted region by region to match the
// model's texture-coordinate layout, then written as an 8-bit RGB PNG.
class SkinCanvas {
  public:
    // Colour of a texel from its centre (x, y) in texels and its current colour.
    using Painter = std::function<Rgb(double x, double y, const Rgb &old)>;

    SkinCanvas(int width, int height, const Rgb &fill);

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    Rgb at(int x, int y) const;

    // Repaints every texel whose centre lies in the rectangle.
    void paint(const SkinRect &rect, const Painter &painter);
    void fill(const SkinRect &rect, const Rgb &colour);
    // Blends `colour` over a filled circle with a soft edge of one texel.
    void disc(double cx, double cy, double radius, const Rgb &colour, double opacity = 1.0);
    // Blends `colour` along a straight stroke of the given width, soft edged.
    void line(double x0, double y0, double x1, double y1, double strokeWidth, const Rgb &colour,
              double opacity = 1.0);
    // Darkens (factor < 1) or lightens (> 1) the outline of the rectangle,
    // `border` texels wide: a bevel that makes panels read as separate plates.
    void bevel(const SkinRect &rect, double border, double lightTop, double darkBottom);

    // The picture as 8-bit RGB rows, top row first.
    std::vector<std::uint8_t> toBytes() const;
    // Writes a PNG; false on failure.
    bool savePng(const std::string &path) const;

  private:
    void blend(int x, int y, const Rgb &colour, double alpha);

    int width;               // texels
    int height;              // texels
    std::vector<Rgb> pixels; // rows top first
};
