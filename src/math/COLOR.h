#pragma once

#include <type_traits>

// RGBA colour in floats from 0 to 1; passes to the lighting calls as four
// consecutive floats.
class COLOR {
  public:
    float r; // red, 0..1
    float g; // green, 0..1
    float b; // blue, 0..1
    float a; // alpha (opacity), 0..1

    constexpr COLOR() : r(0.0f), g(0.0f), b(0.0f), a(0.0f) {}
    constexpr COLOR(float newR, float newG, float newB, float newA) : r(newR), g(newG), b(newB), a(newA) {}
    constexpr COLOR(const COLOR &rhs) = default;
    COLOR &operator=(const COLOR &rhs) = default;

    // Scales all four components, alpha included.
    constexpr COLOR operator*(float rhs) const { return COLOR(r * rhs, g * rhs, b * rhs, a * rhs); }

    void ClampTo01() {
        r = clamp01(r);
        g = clamp01(g);
        b = clamp01(b);
        a = clamp01(a);
    }

    constexpr bool operator==(const COLOR &rhs) const {
        return r == rhs.r && g == rhs.g && b == rhs.b && a == rhs.a;
    }
    constexpr bool operator!=(const COLOR &rhs) const { return !(*this == rhs); }

    // Address of r, followed by g, b and a.
    operator const float *() const { return &r; }

  private:
    static constexpr float clamp01(float value) {
        return value > 1.0f ? 1.0f : (value < 0.0f ? 0.0f : value);
    }
};

constexpr COLOR operator*(float scaleFactor, const COLOR &rhs) {
    return rhs * scaleFactor;
}

static_assert(std::is_standard_layout<COLOR>::value && sizeof(COLOR) == 4 * sizeof(float),
              "COLOR must be four packed floats for the lighting calls");

// The named colours. Constant-initialised at compile time, so static
// constructors in any other source file may use them safely.
inline constexpr COLOR white(1.0f, 1.0f, 1.0f, 1.0f);
inline constexpr COLOR black(0.0f, 0.0f, 0.0f, 0.0f); // alpha 0: fully transparent black
inline constexpr COLOR red(1.0f, 0.0f, 0.0f, 1.0f);
inline constexpr COLOR green(0.0f, 1.0f, 0.0f, 1.0f);
inline constexpr COLOR blue(0.0f, 0.0f, 1.0f, 1.0f);
inline constexpr COLOR cyan(0.0f, 1.0f, 1.0f, 1.0f);
inline constexpr COLOR magenta(1.0f, 0.0f, 1.0f, 1.0f);
inline constexpr COLOR yellow(1.0f, 1.0f, 0.0f, 1.0f);
