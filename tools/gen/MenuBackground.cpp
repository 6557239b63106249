#include "MenuBackground.h"

#include "Gradient.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr float kW = static_cast<float>(MenuBackground::kWidth);
constexpr float kH = static_cast<float>(MenuBackground::kHeight);
constexpr float kDegToRad = 0.017453292519943295f;

// Night blue at the zenith through violet and crimson to a gold horizon.
const Gradient kSky{{0.00f, Color::hex(0x060a1a)}, {0.20f, Color::hex(0x131638)},
                    {0.40f, Color::hex(0x3a2048)}, {0.56f, Color::hex(0x853241)},
                    {0.66f, Color::hex(0xcc5a2e)}, {0.72f, Color::hex(0xf0983e)},
                    {1.00f, Color::hex(0xf7bd66)}};

const Color kEmber = Color::hex(0xff8a3c); // warm light of the setting sun and of fires

float distance(float dx, float dy) {
    return std::sqrt(dx * dx + dy * dy);
}

// A stroke between two points in a shape given in "tank units" (see paintTank).
struct TankFrame {
    float left, ground, length; // pixels: front of the tracks, ground line, length of the hull

    Point at(float u, float v) const { return {left + u * length, ground - v * length}; }
    Contour contour(std::initializer_list<std::pair<float, float>> points) const {
        Contour c;
        for (const auto &[u, v] : points)
            c.push_back(at(u, v));
        return c;
    }
};

} // namespace

MenuBackground::MenuBackground(const Font &font)
    : font(font), canvas(kWidth, kHeight, Color::hex(0x000000)), noise(0x50A22E1Du), sunX(258.0f),
      sunY(506.0f) {}

Canvas MenuBackground::paint() {
    paintSky();
    paintStars();
    paintSun();
    paintClouds();
    paintFlash(968.0f, 514.0f, 26.0f);
    paintRange(512.0f, 34.0f, 170.0f, 11u, Color::hex(0x6e2c3e), 0.55f);
    paintFlash(30.0f, 548.0f, 20.0f);
    paintSmoke(118.0f, 566.0f, 360.0f, 21u);
    paintRange(560.0f, 22.0f, 120.0f, 12u, Color::hex(0x3e1a2c), 0.45f);
    paintSmoke(905.0f, 590.0f, 250.0f, 22u);
    paintRange(606.0f, 14.0f, 80.0f, 13u, Color::hex(0x22101a), 0.35f);
    paintForeground();
    paintTank(764.0f, 648.0f, 228.0f);
    paintObstacles();
    paintTitle();
    paintVignette();
    return canvas;
}

void MenuBackground::paintSky() {
    canvas.apply([this](int x, int y, const Color &) {
        const float t = static_cast<float>(y) / kH;
        Color c = kSky(t);
        // The sky is warmer on the sun's side.
        const float warmth =
            std::exp(-std::fabs(static_cast<float>(x) - sunX) / 520.0f) * smoothstep(0.25f, 0.72f, t);
        return mix(c, Color::hex(0xff9c50), 0.28f * warmth);
    });
}

void MenuBackground::paintStars() {
    Mask stars(kWidth, kHeight);
    for (std::uint32_t i = 0; i < 650; ++i) {
        const std::uint32_t h1 = ValueNoise::hash(i * 2u + 0x51A2u),
                            h2 = ValueNoise::hash(i * 2u + 1u + 0x51A2u);
        const float x = static_cast<float>(h1 % 10240u) / 10.0f;
        const float y = static_cast<float>(h2 % 3400u) / 10.0f;
        const float r = static_cast<float>((h1 >> 16) & 0xFF) / 255.0f;
        const float brightness = 0.15f + 0.85f * r * r * r; // few bright stars, many faint ones
        const float fade = 1.0f - smoothstep(90.0f, 340.0f, y);
        // Spread each star over the four pixels around its exact position.
        const int ix = static_cast<int>(std::floor(x - 0.5f)), iy = static_cast<int>(std::floor(y - 0.5f));
        const float fx = x - 0.5f - static_cast<float>(ix), fy = y - 0.5f - static_cast<float>(iy);
        const float k = brightness * fade;
        stars.set(ix, iy, stars.at(ix, iy) + k * (1 - fx) * (1 - fy));
        stars.set(ix + 1, iy, stars.at(ix + 1, iy) + k * fx * (1 - fy));
        stars.set(ix, iy + 1, stars.at(ix, iy + 1) + k * (1 - fx) * fy);
        stars.set(ix + 1, iy + 1, stars.at(ix + 1, iy + 1) + k * fx * fy);
    }
    stars.multiply(1.0f); // clamps where two stars overlap
    canvas.glow(stars, Color::hex(0xdfe6ff, 0.9f));
}

void MenuBackground::paintSun() {
    canvas.apply([this](int x, int y, const Color &old) {
        const float d = distance(static_cast<float>(x) - sunX, (static_cast<float>(y) - sunY) * 1.7f);
        const float g =
            0.75f * std::exp(-d / 60.0f) + 0.45f * std::exp(-d / 210.0f) + 0.18f * std::exp(-d / 560.0f);
        const Color light = Color::hex(0xffb868);
        return Color{1.0f - (1.0f - old.r) * (1.0f - clamp01(light.r * g)),
                     1.0f - (1.0f - old.g) * (1.0f - clamp01(light.g * g)),
                     1.0f - (1.0f - old.b) * (1.0f - clamp01(light.b * g)), 1.0f};
    });
    Mask disc(kWidth, kHeight);
    disc.fillEllipse(sunX, sunY, 31.0f, 31.0f);
    canvas.glow(disc.blurred(6), Color::hex(0xffd9a0, 0.8f));
    canvas.paint(disc, [this](int, int y) {
        return mix(Color::hex(0xfff6dc), Color::hex(0xffc27a), smoothstep(sunY - 31.0f, sunY + 31.0f, y));
    });
}

void MenuBackground::paintClouds() {
    auto density = [this](float x, float y) {
        // Long bands, stretched sideways, broken up by a finer layer.
        const float broad = noise.fractal(x / 310.0f, y / 62.0f, 6);
        const float fine = noise.fractal(x / 95.0f + 40.0f, y / 24.0f, 4);
        const float envelope = smoothstep(20.0f, 150.0f, y) * (1.0f - smoothstep(400.0f, 520.0f, y));
        return smoothstep(0.50f, 0.74f, broad * 0.82f + fine * 0.18f) * envelope;
    };
    Mask cover(kWidth, kHeight);
    std::vector<float> light(static_cast<size_t>(kWidth) * kHeight, 0.0f);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const float fx = static_cast<float>(x), fy = static_cast<float>(y);
            const float d = density(fx, fy);
            if (d <= 0.0f)
                continue;
            // The sun is below the clouds: undersides with little cloud beneath them catch its light.
            const float below = density(fx, fy + 7.0f);
            const float sun = std::exp(-distance(fx - sunX, (fy - sunY) * 1.4f) / 430.0f);
            float l =
                sun * 1.35f * (1.15f - d) * (1.0f - 0.55f * below) + 0.32f * smoothstep(150.0f, 500.0f, fy);
            light[static_cast<size_t>(y) * kWidth + x] = clamp01(l);
            cover.set(x, y, d * 0.93f);
        }
    const Gradient shade{{0.0f, Color::hex(0x1a1430)},
                         {0.35f, Color::hex(0x4a2a48)},
                         {0.7f, Color::hex(0xd0603c)},
                         {1.0f, Color::hex(0xffb070)}};
    canvas.paint(cover, [&](int x, int y) { return shade(light[static_cast<size_t>(y) * kWidth + x]); });
}

void MenuBackground::paintRange(float base, float amplitude, float wavelength, std::uint32_t seed,
                                const Color &color, float haze) {
    const ValueNoise ridgeNoise(seed);
    Mask shape(kWidth, kHeight);
    std::vector<float> ridge(kWidth);
    constexpr int kSamples = 4; // per pixel column, so that steep slopes stay smooth
    for (int x = 0; x < kWidth; ++x) {
        float top = 1e9f;
        std::vector<float> r(kSamples);
        for (int s = 0; s < kSamples; ++s) {
            const float xs = static_cast<float>(x) + (static_cast<float>(s) + 0.5f) / kSamples;
            r[s] = base - amplitude * (ridgeNoise.fractal(xs / wavelength, 0.37f, 5) - 0.5f) * 2.6f;
            top = std::min(top, r[s]);
        }
        ridge[x] = top;
        for (int y = std::max(0, static_cast<int>(top) - 1); y < kHeight; ++y) {
            float c = 0.0f;
            for (int s = 0; s < kSamples; ++s)
                c += clamp01(static_cast<float>(y + 1) - r[s]);
            shape.set(x, y, c / kSamples);
        }
    }
    // Mist pools at the foot of each range, brighter towards the sun; this separates the layers.
    const Color mist = Color::hex(0xe87a48);
    canvas.paint(shape, [&](int x, int y) {
        const float depth = smoothstep(ridge[x], ridge[x] + 70.0f, static_cast<float>(y));
        const float sunSide = 0.55f + 0.45f * std::exp(-std::fabs(static_cast<float>(x) - sunX) / 320.0f);
        return mix(color, mist, haze * depth * sunSide);
    });
    // A thin line of light along the crest near the sun.
    Mask crest = shape;
    crest.subtract(shape.shifted(0, 2));
    canvas.apply([&](int x, int y, const Color &old) {
        const float k = crest.at(x, y) * 0.65f * std::exp(-std::fabs(static_cast<float>(x) - sunX) / 260.0f);
        return mix(old, Color::hex(0xffb070), k);
    });
}

void MenuBackground::paintSmoke(float baseX, float baseY, float height, std::uint32_t seed) {
    const ValueNoise smokeNoise(seed);
    Mask smoke(kWidth, kHeight);
    const int top = std::max(0, static_cast<int>(baseY - height));
    for (int y = top; y < static_cast<int>(baseY); ++y) {
        const float h = (baseY - static_cast<float>(y)) / height; // 0 at the fire, 1 at the top
        // The wind bends the column to the right, more the higher it rises.
        const float centre =
            baseX + h * h * height * 0.85f + (smokeNoise.at(h * 3.0f, 0.5f) - 0.5f) * 40.0f * h;
        const float width = 6.0f + h * 95.0f;
        const int x0 = std::max(0, static_cast<int>(centre - 2.5f * width));
        const int x1 = std::min(kWidth - 1, static_cast<int>(centre + 2.5f * width));
        for (int x = x0; x <= x1; ++x) {
            const float dx = (static_cast<float>(x) - centre) / width;
            const float billow = smokeNoise.fractal(static_cast<float>(x) / 38.0f - h * 2.0f,
                                                    static_cast<float>(y) / 38.0f, 5);
            const float core = std::exp(-dx * dx * 1.8f);
            const float d = smoothstep(0.25f, 0.75f, billow * 0.7f + core * 0.55f - 0.18f) * core;
            const float fade = smoothstep(0.0f, 0.04f, h) * (1.0f - smoothstep(0.55f, 1.0f, h));
            smoke.set(x, y, clamp01(d * fade * 0.9f));
        }
    }
    canvas.paint(smoke, [&](int, int y) {
        const float h = (baseY - static_cast<float>(y)) / height;
        const Color body = mix(Color::hex(0x2e2226), Color::hex(0x4a3a48), smoothstep(0.2f, 0.9f, h));
        return mix(body, kEmber, 0.55f * std::exp(-h * 9.0f)); // lit from below by the fire
    });
    // The fire at its foot.
    Mask fire(kWidth, kHeight);
    fire.fillEllipse(baseX, baseY - 2.0f, 16.0f, 7.0f);
    canvas.glow(fire.blurred(14), kEmber.withAlpha(0.9f));
    Mask flames(kWidth, kHeight);
    for (int i = 0; i < 4; ++i) {
        const float fx = baseX - 8.0f + static_cast<float>(i) * 5.5f;
        const float fh = 5.0f + 6.0f * smokeNoise.lattice(i, 7);
        flames.fillPolygon({{fx - 3.0f, baseY}, {fx + 0.5f, baseY - fh}, {fx + 3.0f, baseY}});
    }
    canvas.glow(flames.blurred(1), Color::hex(0xffb050, 0.9f));
}

void MenuBackground::paintFlash(float x, float y, float radius) {
    Mask flash(kWidth, kHeight);
    flash.fillEllipse(x, y, radius, radius * 0.6f);
    canvas.glow(flash.blurred(static_cast<int>(radius)), Color::hex(0xffc080, 0.85f));
    Mask core(kWidth, kHeight);
    core.fillEllipse(x, y, radius * 0.3f, radius * 0.2f);
    canvas.glow(core.blurred(3), Color::hex(0xfff0d0, 0.9f));
}

void MenuBackground::paintForeground() {
    Mask ground(kWidth, kHeight);
    std::vector<float> ridge(kWidth);
    for (int x = 0; x < kWidth; ++x) {
        const float fx = static_cast<float>(x) + 0.5f;
        // A low mound on the right carries the tank; its top is flat where the tracks rest.
        const float mound = smoothstep(600.0f, 745.0f, fx) * (1.0f - smoothstep(1000.0f, 1100.0f, fx));
        ridge[x] = 694.0f + (noise.fractal(fx / 60.0f, 91.0f, 4) - 0.5f) * 14.0f - 46.0f * mound;
        for (int y = static_cast<int>(ridge[x]) - 1; y < kHeight; ++y)
            ground.set(x, y, clamp01(static_cast<float>(y + 1) - ridge[x]));
    }
    canvas.paint(ground, [&](int x, int y) {
        const float mud = noise.fractal(static_cast<float>(x) / 14.0f, static_cast<float>(y) / 5.0f, 4);
        const Color base = mix(Color::hex(0x0a0608), Color::hex(0x1c1014), mud * 0.8f);
        return mix(base, Color::hex(0x3a1c16), 0.6f * std::exp(-(static_cast<float>(y) - ridge[x]) / 8.0f));
    });
    Mask rim = ground;
    rim.subtract(ground.shifted(0, 2));
    canvas.glow(rim, kEmber.withAlpha(0.35f));
}

void MenuBackground::paintSilhouette(const Mask &shape, const Color &body, float rimStrength) {
    canvas.paint(shape, body);
    // The sun is low on the left: edges whose up-left neighbour is open sky catch its light.
    Mask rim = shape;
    rim.subtract(shape.shifted(3, 2));
    rim = rim.blurred(1);
    rim.intersect(shape);
    canvas.glow(rim, kEmber.withAlpha(rimStrength));
}

void MenuBackground::paintTank(float left, float ground, float length) {
    // The tank faces left, towards the sun. Shapes are given in tank units: u along the hull
    // from the front of the tracks (0) to the rear (1), v up from the ground.
    const TankFrame f{left, ground, length};
    Mask body(kWidth, kHeight);
    const Contour tracks = roundedRectContour(f.at(0.0f, 0.165f).x, f.at(0.0f, 0.165f).y, f.at(1.0f, 0.0f).x,
                                              f.at(1.0f, 0.0f).y, 0.075f * length);
    body.fillPolygon(tracks);
    body.fillPolygon(
        f.contour({{-0.04f, 0.145f}, {1.03f, 0.145f}, {1.03f, 0.172f}, {-0.04f, 0.172f}})); // fenders
    body.fillPolygon(
        f.contour({{-0.02f, 0.16f}, {0.13f, 0.268f}, {0.87f, 0.268f}, {1.0f, 0.235f}, {1.01f, 0.16f}}));
    body.fillPolygon(f.contour({{0.30f, 0.26f},
                                {0.33f, 0.365f},
                                {0.42f, 0.41f},
                                {0.70f, 0.41f},
                                {0.78f, 0.37f},
                                {0.79f, 0.26f}})); // turret
    body.fillPolygon(
        f.contour({{0.78f, 0.29f}, {0.84f, 0.29f}, {0.84f, 0.365f}, {0.78f, 0.365f}})); // stowage
    const Point mantletTop = f.at(0.265f, 0.375f), mantletBottom = f.at(0.34f, 0.29f);
    body.fillRoundedRect(mantletTop.x, mantletTop.y, mantletBottom.x, mantletBottom.y, 0.02f * length);
    // The gun, raised by five degrees.
    const float elevation = std::tan(5.0f * kDegToRad);
    auto barrel = [&](float u) { return f.at(u, 0.335f + (0.28f - u) * elevation); };
    const Point breech = barrel(0.28f), muzzle = barrel(-0.60f);
    body.fillLine(breech.x, breech.y, muzzle.x, muzzle.y, 0.024f * length);
    const Point evacA = barrel(-0.12f), evacB = barrel(-0.21f);
    body.fillLine(evacA.x, evacA.y, evacB.x, evacB.y, 0.036f * length); // fume extractor
    const Point brakeA = barrel(-0.55f), brakeB = barrel(-0.615f);
    body.fillLine(brakeA.x, brakeA.y, brakeB.x, brakeB.y, 0.042f * length); // muzzle brake
    const Point cupolaA = f.at(0.58f, 0.452f), cupolaB = f.at(0.67f, 0.40f);
    body.fillRoundedRect(cupolaA.x, cupolaA.y, cupolaB.x, cupolaB.y, 0.015f * length);
    // A whip antenna, bent back by the wind.
    Point prev = f.at(0.74f, 0.40f);
    for (int i = 1; i <= 8; ++i) {
        const float t = static_cast<float>(i) / 8.0f;
        const Point next = f.at(0.74f + 0.09f * t * t, 0.40f + 0.42f * t);
        body.fillLine(prev.x, prev.y, next.x, next.y, 1.3f);
        prev = next;
    }
    paintSilhouette(body, Color::hex(0x0d090b), 0.75f);

    // Road wheels and the track run show faintly inside the dark hull.
    Mask wheels(kWidth, kHeight);
    for (int i = 0; i < 7; ++i) {
        const Point c = f.at(0.12f + 0.127f * static_cast<float>(i), 0.062f);
        wheels.fillEllipse(c.x, c.y, 0.052f * length, 0.052f * length);
    }
    Mask hubs(kWidth, kHeight);
    for (int i = 0; i < 7; ++i) {
        const Point c = f.at(0.12f + 0.127f * static_cast<float>(i), 0.062f);
        hubs.fillEllipse(c.x, c.y, 0.016f * length, 0.016f * length);
    }
    wheels.subtract(hubs);
    canvas.paint(wheels, Color::hex(0x1a1215));
    Mask trackEdge(kWidth, kHeight);
    trackEdge.fillPolygon(tracks);
    Mask inner(kWidth, kHeight);
    inner.fillPolygon(roundedRectContour(f.at(0.0f, 0.165f).x + 4.0f, f.at(0.0f, 0.165f).y + 4.0f,
                                         f.at(1.0f, 0.0f).x - 4.0f, f.at(1.0f, 0.0f).y - 4.0f,
                                         0.06f * length));
    trackEdge.subtract(inner);
    canvas.paint(trackEdge, Color::hex(0x1a1215));
}

void MenuBackground::paintObstacles() {
    // Anti-tank hedgehogs (three crossed steel beams) and a sagging barbed-wire fence.
    Mask steel(kWidth, kHeight);
    struct Hedgehog {
        float x, y, size; // pixels: centre of the crossing, half the beam length
    };
    const Hedgehog hedgehogs[] = {{72.0f, 674.0f, 40.0f}, {188.0f, 688.0f, 30.0f}, {282.0f, 680.0f, 24.0f}};
    for (const Hedgehog &h : hedgehogs) {
        const float angles[] = {38.0f, 142.0f, 98.0f};
        for (float angle : angles) {
            const float dx = std::cos(angle * kDegToRad) * h.size, dy = std::sin(angle * kDegToRad) * h.size;
            steel.fillLine(h.x - dx, h.y - dy, h.x + dx, h.y + dy, h.size * 0.2f);
        }
    }
    const float posts[] = {20.0f, 130.0f, 238.0f, 316.0f};
    for (float x : posts)
        steel.fillPolygon({{x - 2.5f, 704.0f}, {x - 1.5f, 652.0f}, {x + 1.5f, 652.0f}, {x + 2.5f, 704.0f}});
    for (int strand = 0; strand < 2; ++strand) {
        const float height = 658.0f + 18.0f * static_cast<float>(strand);
        for (int span = 0; span + 1 < 4; ++span) {
            const float xa = posts[span], xb = posts[span + 1];
            Point prev{xa, height};
            for (int i = 1; i <= 24; ++i) {
                const float t = static_cast<float>(i) / 24.0f;
                const Point next{xa + (xb - xa) * t, height + 9.0f * 4.0f * t * (1.0f - t)};
                steel.fillLine(prev.x, prev.y, next.x, next.y, 1.1f);
                if (i % 3 == 0) { // barbs
                    steel.fillLine(next.x - 2.5f, next.y - 2.5f, next.x + 2.5f, next.y + 2.5f, 1.0f);
                    steel.fillLine(next.x - 2.5f, next.y + 2.5f, next.x + 2.5f, next.y - 2.5f, 1.0f);
                }
                prev = next;
            }
        }
    }
    paintSilhouette(steel, Color::hex(0x0b0709), 0.6f);
}

void MenuBackground::paintTitle() {
    const std::string title = "PANZERFELD";
    const TextStyle style{96.0f, 0.86f, 6.0f};
    Mask text(kWidth, kHeight);
    font.drawCentred(text, title, kW * 0.5f, 112.0f, style);
    const InkBox box = font.measure(title, style);
    const float top = 112.0f - box.height() * 0.5f, capHeight = style.capHeight;

    // Fire-lit haze behind the letters, then a hard drop shadow.
    const Mask outline = text.dilated(4.0f);
    canvas.glow(outline.blurred(26), Color::hex(0xff5a20, 0.55f));
    canvas.paint(outline.shifted(6, 8).blurred(7), Color::hex(0x000000, 0.85f));
    canvas.paint(outline, [&](int, int y) {
        return mix(Color::hex(0x2a2e34), Color::hex(0x0c0d10), smoothstep(top, top + capHeight, y));
    });
    const Mask edge = text.dilated(1.5f);
    canvas.paint(edge, Color::hex(0x050608));

    // Polished steel: bright sky reflection on top, a hard horizon line, warm ground light below.
    const Gradient steelRamp{{0.00f, Color::hex(0xfbfcfd)}, {0.30f, Color::hex(0xc9cfd6)},
                             {0.49f, Color::hex(0x8b949e)}, {0.50f, Color::hex(0x3e454e)},
                             {0.62f, Color::hex(0x4d5560)}, {0.86f, Color::hex(0xa4a09c)},
                             {1.00f, Color::hex(0xf2c08a)}};
    canvas.paint(text, [&](int x, int y) {
        const float t = (static_cast<float>(y) - top) / capHeight;
        const float grain =
            noise.fractal(static_cast<float>(x) / 90.0f, static_cast<float>(y) / 1.6f, 3) - 0.5f;
        return steelRamp(t + grain * 0.05f).scaled(1.0f + grain * 0.18f);
    });

    // Bevel: light from the upper left on the rounded edges of every stroke.
    const Mask soft = text.blurred(3);
    Mask highlight(kWidth, kHeight), shadow(kWidth, kHeight);
    for (int y = 1; y + 1 < kHeight; ++y)
        for (int x = 1; x + 1 < kWidth; ++x) {
            const float t = text.at(x, y);
            if (t <= 0.0f)
                continue;
            const float gx = soft.at(x + 1, y) - soft.at(x - 1, y);
            const float gy = soft.at(x, y + 1) - soft.at(x, y - 1);
            const float facing = gx * 0.6f + gy * 0.8f; // > 0: the surface slopes towards the light
            highlight.set(x, y, clamp01(facing * 3.0f) * t);
            shadow.set(x, y, clamp01(-facing * 3.0f) * t);
        }
    canvas.glow(highlight, Color::hex(0xffffff, 0.8f));
    canvas.darken(shadow, Color::hex(0x101418, 0.7f));

    // Subtitle between two rules.
    const std::string subtitle = "TANK BATTLE  -  UP TO FOUR PLAYERS";
    const TextStyle small{15.0f, 1.0f, 5.0f};
    Mask line(kWidth, kHeight);
    const float subtitleY = top + capHeight + 44.0f;
    font.drawCentred(line, subtitle, kW * 0.5f, subtitleY, small);
    const float half = font.measure(subtitle, small).width() * 0.5f;
    Mask rules(kWidth, kHeight);
    rules.fillRect(kW * 0.5f - half - 150.0f, subtitleY - 1.0f, kW * 0.5f - half - 22.0f, subtitleY + 1.0f);
    rules.fillRect(kW * 0.5f + half + 22.0f, subtitleY - 1.0f, kW * 0.5f + half + 150.0f, subtitleY + 1.0f);
    line.unite(rules);
    canvas.paint(line.dilated(1.5f).blurred(2), Color::hex(0x000000, 0.8f));
    canvas.paint(line, Color::hex(0xf2b866));
}

void MenuBackground::paintVignette() {
    canvas.apply([](int x, int y, const Color &old) {
        const float dx = (static_cast<float>(x) - kW * 0.5f) / (kW * 0.5f);
        const float dy = (static_cast<float>(y) - kH * 0.45f) / (kH * 0.5f);
        const float k = 1.0f - 0.55f * smoothstep(0.6f, 1.5f, std::sqrt(dx * dx + dy * dy));
        return Color{old.r * k, old.g * k, old.b * k, 1.0f};
    });
}
