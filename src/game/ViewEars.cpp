#include "game/ViewEars.h"

#include <cmath>

namespace {

using Vec = std::array<float, 3>;

float dot(const Vec &a, const Vec &b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Vec cross(const Vec &a, const Vec &b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// `v` scaled to unit length, or `fallback` when it has none to speak of.
Vec unit(const Vec &v, const Vec &fallback) {
    const float length = std::sqrt(dot(v, v));
    if (!(length > 1e-6f))
        return fallback;
    return {v[0] / length, v[1] / length, v[2] / length};
}

float squaredDistance(const Vec &a, const float *b) {
    const Vec d{b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    return dot(d, d);
}

} // namespace

ViewEars::Camera ViewEars::camera(const float *eye, const float *look) {
    Camera out;
    out.eye = {eye[0], eye[1], eye[2]};
    out.forward = unit({look[0], look[1], look[2]}, {0, 0, -1});
    // The device squares the up vector to the look the same way, so a side here is a side there.
    out.right = unit(cross(out.forward, {0, 1, 0}), {1, 0, 0});
    out.up = cross(out.right, out.forward);
    return out;
}

int ViewEars::nearest(const float *source) const {
    int best = 0;
    for (int i = 1; i < getCount(); ++i) {
        if (squaredDistance(cameras[i].eye, source) < squaredDistance(cameras[best].eye, source))
            best = i;
    }
    return best;
}

std::array<float, 3> ViewEars::place(const float *source) const {
    const int from = nearest(source);
    if (from == 0)
        return {source[0], source[1], source[2]}; // one view, or the listener's own: as it is
    const Camera &closest = cameras[from];
    const Vec offset{source[0] - closest.eye[0], source[1] - closest.eye[1], source[2] - closest.eye[2]};
    const float side = dot(offset, closest.right);
    const float above = dot(offset, closest.up);
    const float ahead = dot(offset, closest.forward);
    const Camera &ear = cameras.front();
    Vec out;
    for (int i = 0; i < 3; ++i)
        out[i] = ear.eye[i] + side * ear.right[i] + above * ear.up[i] + ahead * ear.forward[i];
    return out;
}
