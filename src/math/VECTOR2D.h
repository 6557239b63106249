#pragma once

#include <cmath>

// Two-component float vector of the compact math family (window and texture
// coordinates); plain value, exact equality.
class VECTOR2D {
  public:
    float x; // first component
    float y; // second component

    constexpr VECTOR2D() : x(0.0f), y(0.0f) {}
    constexpr VECTOR2D(float newX, float newY) : x(newX), y(newY) {}
    constexpr VECTOR2D(const VECTOR2D &rhs) = default;
    VECTOR2D &operator=(const VECTOR2D &rhs) = default;

    float GetLength() const { return std::sqrt(x * x + y * y); }

    // Scales to unit length; a vector of length exactly 0 or exactly 1 is left
    // as it is, so zero vectors never turn into NaN.
    void Normalize() {
        const float length = GetLength();
        if (length == 1.0f || length == 0.0f)
            return;
        const float scale = 1.0f / length;
        x *= scale;
        y *= scale;
    }
    VECTOR2D GetNormalized() const {
        VECTOR2D result(*this);
        result.Normalize();
        return result;
    }

    VECTOR2D operator*(float rhs) const { return VECTOR2D(x * rhs, y * rhs); }

    bool operator==(const VECTOR2D &rhs) const { return x == rhs.x && y == rhs.y; }
    bool operator!=(const VECTOR2D &rhs) const { return !(*this == rhs); }
};

inline VECTOR2D operator*(float scaleFactor, const VECTOR2D &rhs) {
    return rhs * scaleFactor;
}
