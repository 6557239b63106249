#include "Canvas.h"

#include "ValueNoise.h"

#include <algorithm>
#include <cmath>

Canvas::Canvas(int width, int height, const Color &fill)
    : width(std::max(width, 0)), height(std::max(height, 0)),
      pixels(static_cast<size_t>(this->width) * static_cast<size_t>(this->height), fill) {}

Color Canvas::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return Color{0.0f, 0.0f, 0.0f, 0.0f};
    return pixels[static_cast<size_t>(y) * width + x];
}

void Canvas::set(int x, int y, const Color &color) {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    ref(x, y) = color;
}

void Canvas::composite(int x, int y, const Color &source, float coverage) {
    const float sa = clamp01(source.a * coverage);
    if (sa <= 0.0f)
        return;
    Color &d = ref(x, y);
    const float keep = d.a * (1.0f - sa);
    const float outA = sa + keep;
    d.r = (source.r * sa + d.r * keep) / outA;
    d.g = (source.g * sa + d.g * keep) / outA;
    d.b = (source.b * sa + d.b * keep) / outA;
    d.a = outA;
}

void Canvas::paint(const Mask &mask, const Color &color, int offsetX, int offsetY) {
    paint(
        mask, [&color](int, int) { return color; }, offsetX, offsetY);
}

void Canvas::paint(const Mask &mask, const Shader &shader, int offsetX, int offsetY) {
    const int x0 = std::max(0, offsetX), y0 = std::max(0, offsetY);
    const int x1 = std::min(width, offsetX + mask.getWidth()),
              y1 = std::min(height, offsetY + mask.getHeight());
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const float m = mask.at(x - offsetX, y - offsetY);
            if (m > 0.0f)
                composite(x, y, shader(x, y), m);
        }
}

void Canvas::glow(const Mask &mask, const Color &color, int offsetX, int offsetY) {
    const int x0 = std::max(0, offsetX), y0 = std::max(0, offsetY);
    const int x1 = std::min(width, offsetX + mask.getWidth()),
              y1 = std::min(height, offsetY + mask.getHeight());
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const float k = mask.at(x - offsetX, y - offsetY) * color.a;
            if (k <= 0.0f)
                continue;
            Color &d = ref(x, y);
            d.r = 1.0f - (1.0f - d.r) * (1.0f - clamp01(color.r * k));
            d.g = 1.0f - (1.0f - d.g) * (1.0f - clamp01(color.g * k));
            d.b = 1.0f - (1.0f - d.b) * (1.0f - clamp01(color.b * k));
        }
}

void Canvas::darken(const Mask &mask, const Color &color, int offsetX, int offsetY) {
    const int x0 = std::max(0, offsetX), y0 = std::max(0, offsetY);
    const int x1 = std::min(width, offsetX + mask.getWidth()),
              y1 = std::min(height, offsetY + mask.getHeight());
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const float k = clamp01(mask.at(x - offsetX, y - offsetY) * color.a);
            if (k <= 0.0f)
                continue;
            Color &d = ref(x, y);
            d.r *= 1.0f - k * (1.0f - color.r);
            d.g *= 1.0f - k * (1.0f - color.g);
            d.b *= 1.0f - k * (1.0f - color.b);
        }
}

void Canvas::apply(const Filter &filter) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ref(x, y) = filter(x, y, ref(x, y));
}

void Canvas::draw(const Canvas &source, int offsetX, int offsetY) {
    const int x0 = std::max(0, offsetX), y0 = std::max(0, offsetY);
    const int x1 = std::min(width, offsetX + source.width), y1 = std::min(height, offsetY + source.height);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            composite(x, y, source.at(x - offsetX, y - offsetY), 1.0f);
}

void Canvas::hardenAlpha(float threshold) {
    for (Color &c : pixels)
        c.a = c.a >= threshold ? 1.0f : 0.0f;
}

void Canvas::bleedIntoTransparent(int passes) {
    static const int kNeighbours[8][2] = {{-1, 0},  {1, 0},  {0, -1}, {0, 1},
                                          {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    std::vector<char> known(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i)
        known[i] = pixels[i].a > 0.0f;
    for (int pass = 0; pass < passes; ++pass) {
        std::vector<char> next = known;
        std::vector<Color> colours = pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const size_t i = static_cast<size_t>(y) * width + x;
                if (known[i])
                    continue;
                float r = 0, g = 0, b = 0;
                int n = 0;
                for (const auto &offset : kNeighbours) {
                    const int nx = x + offset[0], ny = y + offset[1];
                    if (nx < 0 || ny < 0 || nx >= width || ny >= height)
                        continue;
                    const size_t j = static_cast<size_t>(ny) * width + nx;
                    if (!known[j])
                        continue;
                    r += pixels[j].r;
                    g += pixels[j].g;
                    b += pixels[j].b;
                    ++n;
                }
                if (n > 0) {
                    colours[i] = Color{r / n, g / n, b / n, 0.0f};
                    next[i] = 1;
                }
            }
        pixels.swap(colours);
        known.swap(next);
    }
}

std::vector<std::uint8_t> Canvas::toBytes(int channels, bool dither) const {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(pixels.size() * static_cast<size_t>(channels));
    auto quantise = [](float v, float offset) {
        const float scaled = std::floor(clamp01(v) * 255.0f + 0.5f + offset);
        return static_cast<std::uint8_t>(std::min(std::max(scaled, 0.0f), 255.0f));
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Color &c = pixels[static_cast<size_t>(y) * width + x];
            float offset = 0.0f;
            if (dither) {
                // One offset for all three channels keeps the noise grey rather than coloured.
                const std::uint32_t h =
                    ValueNoise::hash(static_cast<std::uint32_t>(x) * 73856093u ^
                                     static_cast<std::uint32_t>(y) * 19349663u ^ 0x9e3779b9u);
                offset = (static_cast<float>(h & 0xFFFF) / 65536.0f - 0.5f) * 0.9f;
            }
            bytes.push_back(quantise(c.r, offset));
            bytes.push_back(quantise(c.g, offset));
            bytes.push_back(quantise(c.b, offset));
            if (channels == 4)
                bytes.push_back(quantise(c.a, 0.0f));
        }
    return bytes;
}
