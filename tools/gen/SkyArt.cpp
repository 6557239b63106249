#include "SkyArt.h"

#include "Gradient.h"
#include "ValueNoise.h"

#include "../../src/level/SkyBoxFace.h"

#include <algorithm>
#include <cmath>

namespace {

// Where the sun stands: the direction of the game's fixed scene light,
// (-5, 100, -100), so that shadows and shading agree with the sky.
struct SunDirection {
    float x, y, z;
    SunDirection() {
        const float length = std::sqrt(5.0f * 5.0f + 100.0f * 100.0f + 100.0f * 100.0f);
        x = -5.0f / length;
        y = 100.0f / length;
        z = -100.0f / length;
    }
};

// From the horizon (0) to the zenith (1).
const Gradient kAbove{{0.00f, Color::hex(0xd3dee6)},
                      {0.08f, Color::hex(0xb0c9e2)},
                      {0.35f, Color::hex(0x6f9fd6)},
                      {1.00f, Color::hex(0x2f62b4)}};
// From the horizon (0) straight down (1): hazy far land.
const Gradient kBelow{{0.00f, Color::hex(0xd3dee6)},
                      {0.04f, Color::hex(0x85967a)},
                      {0.20f, Color::hex(0x4b6030)},
                      {1.00f, Color::hex(0x34481f)}};

} // namespace

Color SkyArt::skyColor(float x, float y, float z) {
    static const SunDirection sun;
    static const ValueNoise cloudNoise(0xC10D5u), shadeNoise(0x5AADEu);
    const float length = std::sqrt(x * x + y * y + z * z);
    x /= length;
    y /= length;
    z /= length;

    if (y < 0.0f) {
        return kBelow(std::pow(-y, 0.8f));
    }
    Color c = kAbove(std::pow(y, 0.7f));

    const float toSun = std::max(0.0f, x * sun.x + y * sun.y + z * sun.z);
    // Warm haze around the sun, then the bright halo and the disc.
    c = mix(c, Color::hex(0xfff1d6), 0.35f * std::pow(toSun, 6.0f));
    c = mix(c, Color::hex(0xfffbef), 0.55f * std::pow(toSun, 180.0f));

    // Clouds on a flat layer above the ground, seen in perspective.
    const float lift = y + 0.12f;
    const float px = x / lift * 2.2f, pz = z / lift * 2.2f;
    const float n = cloudNoise.fractal(px + 40.0f, pz + 40.0f, 5, 0.5f);
    float cover = smoothstep(0.50f, 0.72f, n) * smoothstep(0.0f, 0.18f, y);
    const float shade = shadeNoise.fractal(px * 1.7f, pz * 1.7f, 3);
    Color cloud = mix(Color::hex(0xfbfcfd), Color::hex(0xb4bcc8), smoothstep(0.35f, 0.8f, shade) * 0.8f);
    cloud = mix(cloud, Color::hex(0xfff6e4), 0.5f * std::pow(toSun, 12.0f)); // lit rims near the sun
    c = mix(c, cloud, 0.92f * cover);

    const float disc = smoothstep(0.99955f, 0.99975f, toSun);
    c = mix(c, Color::hex(0xfffdf5), disc);
    // Towards the horizon everything fades into the haze.
    c = mix(c, Color::hex(0xd3dee6), 0.6f * (1.0f - smoothstep(0.0f, 0.1f, y)));
    return Color{clamp01(c.r), clamp01(c.g), clamp01(c.b), 1.0f};
}

Canvas SkyArt::face(int index) {
    const SkyBoxFace &face = SkyBoxFace::all()[static_cast<std::size_t>(index)];
    Canvas canvas(kSide, kSide);
    const float last = static_cast<float>(kSide - 1);
    for (int py = 0; py < kSide; ++py) {
        for (int px = 0; px < kSide; ++px) {
            // The outermost pixels lie exactly on the cube's edges, so that
            // neighbouring faces hold the same colours there.
            float d[3];
            face.direction(static_cast<float>(px) / last, static_cast<float>(py) / last, d);
            canvas.set(px, py, skyColor(d[0], d[1], d[2]));
        }
    }
    return canvas;
}

bool SkyArt::generate(ArtContext &context) {
    bool ok = true;
    for (int i = 0; i < 6; ++i) {
        ok = context.saveTexture(face(i), SkyBoxFace::all()[static_cast<std::size_t>(i)].picture, 3, true) &&
             ok;
    }
    return ok;
}
