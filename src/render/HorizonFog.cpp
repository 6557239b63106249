#include "render/HorizonFog.h"

#include "render/GlExtensions.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#ifndef GL_FOG_DISTANCE_MODE_NV
#define GL_FOG_DISTANCE_MODE_NV 0x855A
#define GL_EYE_RADIAL_NV 0x855B
#endif

HorizonFog::Colour HorizonFog::decideColour(const std::vector<Picture> &sidePictures, const Colour *chosen) {
    if (chosen != nullptr) {
        Colour colour = *chosen;
        for (float &c : colour) {
            c = std::clamp(c, 0.0f, 1.0f);
        }
        return colour;
    }
    double sum[3] = {0.0, 0.0, 0.0};
    double count = 0.0;
    for (const Picture &picture : sidePictures) {
        if (picture.pixels == nullptr || picture.width <= 0 || picture.height <= 0 ||
            (picture.bytesPerPixel != 3 && picture.bytesPerPixel != 4)) {
            continue;
        }
        // The eye's level is the middle of the picture; the band is the sky just above it.
        const int last = std::max(picture.height / 2 - 1, 0);
        const int rows = std::max(1, static_cast<int>(picture.height * kBandShare));
        for (int row = std::max(0, last - rows + 1); row <= last; ++row) {
            const unsigned char *p =
                picture.pixels + static_cast<long>(row) * picture.width * picture.bytesPerPixel;
            for (int x = 0; x < picture.width; ++x, p += picture.bytesPerPixel) {
                sum[0] += p[0];
                sum[1] += p[1];
                sum[2] += p[2];
                count += 1.0;
            }
        }
    }
    if (count == 0.0) {
        return kFallbackColour;
    }
    return {static_cast<float>(sum[0] / count / 255.0), static_cast<float>(sum[1] / count / 255.0),
            static_cast<float>(sum[2] / count / 255.0)};
}

void HorizonFog::enable(const Colour &colour, float start, float end) {
    const float rgba[4] = {colour[0], colour[1], colour[2], 1.0f};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, rgba);
    glFogf(GL_FOG_START, start);
    glFogf(GL_FOG_END, end);
    glHint(GL_FOG_HINT, GL_NICEST);
    // Along the ray rather than the view axis: the screen's sides are as hazy as its middle.
    static const bool radial = hasGlExtension("GL_NV_fog_distance");
    if (radial) {
        glFogi(GL_FOG_DISTANCE_MODE_NV, GL_EYE_RADIAL_NV);
    }
    glEnable(GL_FOG);
}

void HorizonFog::disable() {
    glDisable(GL_FOG);
}

bool HorizonFog::leavesUntouched(const float eye[3], float start, const float *min, const float *max) {
    // The farthest point of a box is one of its corners; the view axis is never longer than the ray.
    float farthest = 0.0f;
    for (int axis = 0; axis < 3; ++axis) {
        const float reach = std::max(std::abs(min[axis] - eye[axis]), std::abs(max[axis] - eye[axis]));
        farthest += reach * reach;
    }
    return farthest < start * start;
}

void HorizonFog::drawSplit(const BoxFilter &visible, const BoxFilter &untouched,
                           const std::function<void(const BoxFilter &)> &draw) {
    if (!untouched || !glIsEnabled(GL_FOG)) {
        draw(visible);
        return;
    }
    auto seen = [&visible](const float *min, const float *max) { return !visible || visible(min, max); };
    glDisable(GL_FOG);
    draw([&](const float *min, const float *max) { return seen(min, max) && untouched(min, max); });
    glEnable(GL_FOG);
    draw([&](const float *min, const float *max) { return seen(min, max) && !untouched(min, max); });
}
