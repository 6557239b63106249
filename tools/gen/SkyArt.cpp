#include "SkyArt.h"

#include "ValueNoise.h"

#include "../../src/level/SkyBoxFace.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Every sky of the game. The first is the default sky of levels that name no
// pictures; its sun stands where the scene light shines from when a level
// names no sun, (-5, 100, -100), so that shadows and shading agree with it.
const std::vector<SkyArt::Style> &allStyles() {
    static const std::vector<SkyArt::Style> styles = {
        // Summer noon over the green valley.
        {"",
         SkyArt::kSide,
         {-5.0f, 100.0f, -100.0f},
         Gradient{{0.00f, Color::hex(0xd3dee6)},
                  {0.08f, Color::hex(0xb0c9e2)},
                  {0.35f, Color::hex(0x6f9fd6)},
                  {1.00f, Color::hex(0x2f62b4)}},
         Gradient{{0.00f, Color::hex(0xd3dee6)},
                  {0.04f, Color::hex(0x85967a)},
                  {0.20f, Color::hex(0x4b6030)},
                  {1.00f, Color::hex(0x34481f)}},
         Color::hex(0xd3dee6),
         Color::hex(0xfff1d6),
         Color::hex(0xfffbef),
         Color::hex(0xfffdf5),
         Color::hex(0xfbfcfd),
         Color::hex(0xb4bcc8),
         Color::hex(0xfff6e4),
         0.50f,
         0.72f,
         0.92f,
         0xC10D5u,
         0x5AADEu},
        // The dry canyon: a pale, dusty afternoon sky, few clouds, the sun low in the west.
        {"canyon_",
         SkyArt::kLevelSide,
         {-50.0f, 80.0f, 20.0f},
         Gradient{{0.00f, Color::hex(0xe8d8bc)},
                  {0.10f, Color::hex(0xc9cfd2)},
                  {0.40f, Color::hex(0x86aed2)},
                  {1.00f, Color::hex(0x3d71b0)}},
         Gradient{{0.00f, Color::hex(0xe8d8bc)},
                  {0.05f, Color::hex(0xb08660)},
                  {0.25f, Color::hex(0x8a5a38)},
                  {1.00f, Color::hex(0x5e3a24)}},
         Color::hex(0xe8d8bc),
         Color::hex(0xffe2b0),
         Color::hex(0xfff4dc),
         Color::hex(0xfffbee),
         Color::hex(0xfff8ee),
         Color::hex(0xd2b8a0),
         Color::hex(0xffe0b8),
         0.62f,
         0.80f,
         0.80f,
         0xCA7Bu,
         0xD057u},
        // Snowy hills: a low winter sun behind a thin, grey overcast.
        {"snow_",
         SkyArt::kLevelSide,
         {35.0f, 75.0f, 60.0f},
         Gradient{{0.00f, Color::hex(0xdfe4ea)},
                  {0.10f, Color::hex(0xc6d0dc)},
                  {0.45f, Color::hex(0x98abc2)},
                  {1.00f, Color::hex(0x6d84a2)}},
         Gradient{{0.00f, Color::hex(0xdfe4ea)},
                  {0.05f, Color::hex(0xbfc8d0)},
                  {0.25f, Color::hex(0x8f9aa4)},
                  {1.00f, Color::hex(0x6b737c)}},
         Color::hex(0xdfe4ea),
         Color::hex(0xf6ecdc),
         Color::hex(0xfcf6ea),
         Color::hex(0xfffcf4),
         Color::hex(0xeef0f3),
         Color::hex(0xa3acb8),
         Color::hex(0xf8efe0),
         0.36f,
         0.66f,
         0.85f,
         0x5A0Eu,
         0x0A57u},
        // The harbour: evening over the sea, the sun low in the north-west, warm clouds.
        {"harbour_",
         SkyArt::kLevelSide,
         {-40.0f, 85.0f, -65.0f},
         Gradient{{0.00f, Color::hex(0xf0c89a)},
                  {0.10f, Color::hex(0xd9b9a8)},
                  {0.40f, Color::hex(0x7f8fb8)},
                  {1.00f, Color::hex(0x34477e)}},
         Gradient{{0.00f, Color::hex(0xf0c89a)},
                  {0.04f, Color::hex(0x7a8aa0)},
                  {0.20f, Color::hex(0x3c5878)},
                  {1.00f, Color::hex(0x243a56)}},
         Color::hex(0xf0c89a),
         Color::hex(0xffc88a),
         Color::hex(0xffe6c0),
         Color::hex(0xfff2dc),
         Color::hex(0xf8e2d0),
         Color::hex(0x8a7c94),
         Color::hex(0xffb070),
         0.48f,
         0.74f,
         0.90f,
         0x4A7B0u,
         0x5EA5u},
    };
    return styles;
}

} // namespace

const SkyArt::Style &SkyArt::style(int index) {
    return allStyles()[static_cast<std::size_t>(index)];
}

int SkyArt::styleCount() {
    return static_cast<int>(allStyles().size());
}

Color SkyArt::skyColor(const Style &style, float x, float y, float z) {
    const ValueNoise cloudNoise(style.cloudSeed), shadeNoise(style.shadeSeed);
    const float sunLength =
        std::sqrt(style.sun[0] * style.sun[0] + style.sun[1] * style.sun[1] + style.sun[2] * style.sun[2]);
    const float sunX = style.sun[0] / sunLength, sunY = style.sun[1] / sunLength,
                sunZ = style.sun[2] / sunLength;
    const float length = std::sqrt(x * x + y * y + z * z);
    x /= length;
    y /= length;
    z /= length;

    if (y < 0.0f) {
        return style.below(std::pow(-y, 0.8f));
    }
    Color c = style.above(std::pow(y, 0.7f));

    const float toSun = std::max(0.0f, x * sunX + y * sunY + z * sunZ);
    // Warm haze around the sun, then the bright halo and the disc.
    c = mix(c, style.sunHaze, 0.35f * std::pow(toSun, 6.0f));
    c = mix(c, style.sunHalo, 0.55f * std::pow(toSun, 180.0f));

    // Clouds on a flat layer above the ground, seen in perspective.
    const float lift = y + 0.12f;
    const float px = x / lift * 2.2f, pz = z / lift * 2.2f;
    const float n = cloudNoise.fractal(px + 40.0f, pz + 40.0f, 5, 0.5f);
    float cover = smoothstep(style.cloudFrom, style.cloudTo, n) * smoothstep(0.0f, 0.18f, y);
    const float shade = shadeNoise.fractal(px * 1.7f, pz * 1.7f, 3);
    Color cloud = mix(style.cloudLight, style.cloudShade, smoothstep(0.35f, 0.8f, shade) * 0.8f);
    cloud = mix(cloud, style.cloudRim, 0.5f * std::pow(toSun, 12.0f)); // lit rims near the sun
    c = mix(c, cloud, style.cloudOpacity * cover);

    const float disc = smoothstep(0.99955f, 0.99975f, toSun);
    c = mix(c, style.sunDisc, disc);
    // Towards the horizon everything fades into the haze.
    c = mix(c, style.haze, 0.6f * (1.0f - smoothstep(0.0f, 0.1f, y)));
    return Color{clamp01(c.r), clamp01(c.g), clamp01(c.b), 1.0f};
}

Canvas SkyArt::face(const Style &style, int index) {
    const SkyBoxFace &face = SkyBoxFace::all()[static_cast<std::size_t>(index)];
    Canvas canvas(style.side, style.side);
    const float last = static_cast<float>(style.side - 1);
    for (int py = 0; py < style.side; ++py) {
        for (int px = 0; px < style.side; ++px) {
            // The outermost pixels lie exactly on the cube's edges, so that
            // neighbouring faces hold the same colours there.
            float d[3];
            face.direction(static_cast<float>(px) / last, static_cast<float>(py) / last, d);
            canvas.set(px, py, skyColor(style, d[0], d[1], d[2]));
        }
    }
    return canvas;
}

bool SkyArt::generate(ArtContext &context) {
    bool ok = true;
    for (int s = 0; s < styleCount(); ++s) {
        for (int i = 0; i < 6; ++i) {
            const std::string name = style(s).prefix + SkyBoxFace::all()[static_cast<std::size_t>(i)].picture;
            ok = context.saveTexture(face(style(s), i), name, 3, true) && ok;
        }
    }
    return ok;
}
