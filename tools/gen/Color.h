#pragma once

#include <cstdint>

// A straight (not premultiplied) RGBA colour with channels from 0 to 1.
struct Color {
    float r = 0.0f; // red, 0..1
    float g = 0.0f; // green, 0..1
    float b = 0.0f; // blue, 0..1
    float a = 1.0f; // opacity, 0 transparent .. 1 opaque

    // 0xRRGGBB as written in a paint program, with an opacity.
    static Color hex(std::uint32_t rgb, float alpha = 1.0f) {
        return {static_cast<float>((rgb >> 16) & 0xFF) / 255.0f,
                static_cast<float>((rgb >> 8) & 0xFF) / 255.0f, static_cast<float>(rgb & 0xFF) / 255.0f,
                alpha};
    }

    Color withAlpha(float alpha) const { return {r, g, b, alpha}; }
    Color scaled(float f) const { return {r * f, g * f, b * f, a}; }
};

// Linear interpolation of every channel; t = 0 gives `from`, 1 gives `to`.
inline Color mix(const Color &from, const Color &to, float t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
            from.a + (to.a - from.a) * t};
}

inline float clamp01(float v) {
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

// Hermite step from 0 at `edge0` to 1 at `edge1`.
inline float smoothstep(float edge0, float edge1, float x) {
    float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}
