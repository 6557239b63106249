#include "SpriteArt.h"

#include "ValueNoise.h"

#include <stb/stb_image_write.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr float kCenter = SpriteArt::kSize / 2.0f; // pixels
constexpr float kPi = 3.14159265358979f;
constexpr int kJpegQuality = 95;

// Coordinates of pixel (x, y) relative to the centre, in units of half the picture.
void unitCoords(int x, int y, float &u, float &v) {
    u = (static_cast<float>(x) + 0.5f - kCenter) / kCenter;
    v = (static_cast<float>(y) + 0.5f - kCenter) / kCenter;
}

// 1 inside, falling smoothly to exactly 0 at `outer` (units of half the picture), so the
// square the sprite is drawn on never shows an edge.
float window(float r, float inner, float outer) {
    return 1.0f - smoothstep(inner, outer, r);
}

void appendBytes(void *context, void *data, int size) {
    auto *out = static_cast<std::vector<unsigned char> *>(context);
    const auto *bytes = static_cast<const unsigned char *>(data);
    out->insert(out->end(), bytes, bytes + size);
}

// The game looks the sprites up as JPEG files; stb's encoder gives the same bytes for the same pixels.
bool saveJpeg(const std::string &dataDir, const Canvas &canvas, const std::string &fileName) {
    const std::filesystem::path folder = std::filesystem::path(dataDir) / "textures";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::string path = (folder / fileName).string();
    if (ec) {
        std::fprintf(stderr, "Error: %s: cannot create the folder: %s\n", folder.string().c_str(),
                     ec.message().c_str());
        return false;
    }
    const std::vector<std::uint8_t> pixels = canvas.toBytes(3, false);
    std::vector<unsigned char> jpeg;
    if (!stbi_write_jpg_to_func(appendBytes, &jpeg, canvas.getWidth(), canvas.getHeight(), 3, pixels.data(),
                                kJpegQuality)) {
        std::fprintf(stderr, "Error: %s: JPEG encoding failed\n", path.c_str());
        return false;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) {
        out.write(reinterpret_cast<const char *>(jpeg.data()), static_cast<std::streamsize>(jpeg.size()));
        out.close();
    }
    if (!out) {
        std::fprintf(stderr, "Error: %s: cannot write the file: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    std::printf("wrote %s\n", path.c_str());
    return true;
}

} // namespace

Canvas SpriteArt::paintCloud() {
    Canvas canvas(kSize, kSize, Color{0.0f, 0.0f, 0.0f, 1.0f});
    const ValueNoise noise(0xC10D5EEDu);
    // A few overlapping puffs around the middle give the billow its lumpy outline.
    struct Puff {
        float u, v, radius;
    };
    const Puff puffs[] = {{0.00f, 0.02f, 0.46f},  {-0.24f, 0.14f, 0.30f},  {0.26f, 0.10f, 0.32f},
                          {0.06f, -0.24f, 0.30f}, {-0.18f, -0.16f, 0.26f}, {0.22f, -0.18f, 0.24f},
                          {-0.04f, 0.30f, 0.24f}};
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            float u, v;
            unitCoords(x, y, u, v);
            // Warping the coordinates with smooth noise makes the outline billow.
            const float wu = u + 0.30f * (noise.fractal(u * 2.0f + 11.0f, v * 2.0f + 7.0f, 4) - 0.5f);
            const float wv = v + 0.30f * (noise.fractal(u * 2.0f - 23.0f, v * 2.0f + 41.0f, 4) - 0.5f);
            float density = 0.0f;
            for (const Puff &p : puffs) {
                const float du = (wu - p.u) / p.radius;
                const float dv = (wv - p.v) / p.radius;
                density += std::exp(-1.8f * (du * du + dv * dv));
            }
            // Fine curls inside, so overlapping puffs do not merge into a flat disc.
            const float curls = noise.fractal(u * 6.0f - 31.0f, v * 6.0f + 5.0f, 4, 0.55f);
            float value = 0.95f * (1.0f - std::exp(-0.8f * density)) * (0.62f + 0.5f * curls);
            const float r = std::sqrt(u * u + v * v);
            value *= window(r, 0.35f, 0.96f);
            // Slightly warm in the thick middle, cooler at the thin rim, like lit smoke.
            const float warm = smoothstep(0.2f, 0.8f, value);
            canvas.set(x, y,
                       Color{value * (0.90f + 0.10f * warm), value * (0.91f + 0.07f * warm),
                             value * (0.94f + 0.02f * warm), 1.0f});
        }
    }
    return canvas;
}

Canvas SpriteArt::paintBlow() {
    Canvas canvas(kSize, kSize, Color{0.0f, 0.0f, 0.0f, 1.0f});
    const ValueNoise noise(0xB10BF1A5u);
    // From the white-hot core through yellow and orange to a dark red rim.
    const Color core = Color::hex(0xfffbe8);
    const Color yellow = Color::hex(0xffd24a);
    const Color orange = Color::hex(0xff7a1a);
    const Color ember = Color::hex(0xb32008);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            float u, v;
            unitCoords(x, y, u, v);
            const float r = std::sqrt(u * u + v * v);
            const float angle = std::atan2(v, u);
            // Flame tongues: the outline reaches further out along some directions than others.
            const float tongues =
                noise.fractal(std::cos(angle) * 2.2f + 3.0f, std::sin(angle) * 2.2f - 5.0f, 4);
            const float reach = 0.45f + 0.45f * tongues;
            const float body = std::exp(-2.2f * (r / reach) * (r / reach));
            // Thin rays for the flare, modulated so they are not a regular star.
            const float rays = std::pow(std::fabs(std::cos(angle * 5.0f + 0.7f)), 24.0f) *
                               (0.35f + 0.65f * noise.at(angle * 1.7f + 20.0f, 3.0f));
            const float ray = rays * std::exp(-3.0f * r);
            const float hot = std::exp(-18.0f * r * r);
            // Licks of heat: the body breaks up towards its edge.
            const float grain = 0.7f + 0.3f * noise.fractal(u * 6.0f + 40.0f, v * 6.0f - 12.0f, 4, 0.6f);
            const float intensity = body * grain + 0.55f * ray + hot;
            const float heat = clamp01(intensity);
            Color c = heat > 0.66f   ? mix(yellow, core, (heat - 0.66f) / 0.34f)
                      : heat > 0.33f ? mix(orange, yellow, (heat - 0.33f) / 0.33f)
                                     : mix(ember, orange, heat / 0.33f);
            const float value = clamp01(intensity * 1.15f) * window(r, 0.45f, 0.97f);
            canvas.set(x, y, Color{c.r * value, c.g * value, c.b * value, 1.0f});
        }
    }
    return canvas;
}

bool SpriteArt::generate(ArtContext &context) {
    bool ok = saveJpeg(context.getDataDir(), paintCloud(), "Cloud.jpg");
    ok = saveJpeg(context.getDataDir(), paintBlow(), "Blow.jpg") && ok;
    return ok;
}
