#include "SkinCanvas.h"

#include <algorithm>
#include <cmath>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

SkinCanvas::SkinCanvas(int width, int height, const Rgb &fill)
    : width(width), height(height), pixels(static_cast<std::size_t>(width) * height, fill) {}

Rgb SkinCanvas::at(int x, int y) const {
    x = std::clamp(x, 0, width - 1);
    y = std::clamp(y, 0, height - 1);
    return pixels[static_cast<std::size_t>(y) * width + x];
}

void SkinCanvas::paint(const SkinRect &rect, const Painter &painter) {
    const int x0 = std::max(0, static_cast<int>(std::ceil(rect.s0 - 0.5)));
    const int x1 = std::min(width - 1, static_cast<int>(std::floor(rect.s1 - 0.5)));
    const int y0 = std::max(0, static_cast<int>(std::ceil(rect.t0 - 0.5)));
    const int y1 = std::min(height - 1, static_cast<int>(std::floor(rect.t1 - 0.5)));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            Rgb &p = pixels[static_cast<std::size_t>(y) * width + x];
            p = painter(x + 0.5, y + 0.5, p);
        }
    }
}

void SkinCanvas::fill(const SkinRect &rect, const Rgb &colour) {
    paint(rect, [&](double, double, const Rgb &) { return colour; });
}

void SkinCanvas::blend(int x, int y, const Rgb &colour, double alpha) {
    if (x < 0 || y < 0 || x >= width || y >= height || alpha <= 0.0) {
        return;
    }
    Rgb &p = pixels[static_cast<std::size_t>(y) * width + x];
    p = mix(p, colour, std::min(alpha, 1.0));
}

void SkinCanvas::disc(double cx, double cy, double radius, const Rgb &colour, double opacity) {
    for (int y = static_cast<int>(std::floor(cy - radius - 1));
         y <= static_cast<int>(std::ceil(cy + radius + 1)); ++y) {
        for (int x = static_cast<int>(std::floor(cx - radius - 1));
             x <= static_cast<int>(std::ceil(cx + radius + 1)); ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            blend(x, y, colour, opacity * std::clamp(radius + 0.5 - d, 0.0, 1.0));
        }
    }
}

void SkinCanvas::line(double x0, double y0, double x1, double y1, double strokeWidth, const Rgb &colour,
                      double opacity) {
    const double dx = x1 - x0, dy = y1 - y0;
    const double len2 = dx * dx + dy * dy;
    const double half = strokeWidth / 2.0;
    const int xa = static_cast<int>(std::floor(std::min(x0, x1) - half - 1));
    const int xb = static_cast<int>(std::ceil(std::max(x0, x1) + half + 1));
    const int ya = static_cast<int>(std::floor(std::min(y0, y1) - half - 1));
    const int yb = static_cast<int>(std::ceil(std::max(y0, y1) + half + 1));
    for (int y = ya; y <= yb; ++y) {
        for (int x = xa; x <= xb; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            double t = len2 > 0 ? ((px - x0) * dx + (py - y0) * dy) / len2 : 0.0;
            t = std::clamp(t, 0.0, 1.0);
            const double d = std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
            blend(x, y, colour, opacity * std::clamp(half + 0.5 - d, 0.0, 1.0));
        }
    }
}

void SkinCanvas::bevel(const SkinRect &rect, double border, double lightTop, double darkBottom) {
    paint(rect, [&](double x, double y, const Rgb &old) {
        const double fromLeft = x - rect.s0, fromRight = rect.s1 - x;
        const double fromTop = y - rect.t0, fromBottom = rect.t1 - y;
        const double nearest = std::min(std::min(fromLeft, fromRight), std::min(fromTop, fromBottom));
        if (nearest >= border) {
            return old;
        }
        // Top and left edges catch the light, bottom and right ones fall in shade.
        const bool lit = std::min(fromTop, fromLeft) <= std::min(fromBottom, fromRight);
        return old.scaled(lit ? lightTop : darkBottom);
    });
}

std::vector<std::uint8_t> SkinCanvas::toBytes() const {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(pixels.size() * 3);
    for (const Rgb &p : pixels) {
        for (double c : {p.r, p.g, p.b}) {
            bytes.push_back(static_cast<std::uint8_t>(std::lround(std::clamp(c, 0.0, 1.0) * 255.0)));
        }
    }
    return bytes;
}

bool SkinCanvas::savePng(const std::string &path) const {
    const std::vector<std::uint8_t> bytes = toBytes();
    return stbi_write_png(path.c_str(), width, height, 3, bytes.data(), width * 3) != 0;
}
