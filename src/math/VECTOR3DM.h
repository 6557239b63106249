#pragma once

#include <cmath>

// Three-component float vector of the compact math family used by matrices,
// planes, the shadow map and the scene drawing. Rotations take degrees and turn
// counter-clockwise (right-handed) about their axis.
class VECTOR3DM {
  public:
    float x; // first component
    float y; // second component
    float z; // third component

    constexpr VECTOR3DM() : x(0.0f), y(0.0f), z(0.0f) {}
    constexpr VECTOR3DM(float newX, float newY, float newZ) : x(newX), y(newY), z(newZ) {}
    constexpr VECTOR3DM(const VECTOR3DM &rhs) = default;
    VECTOR3DM &operator=(const VECTOR3DM &rhs) = default;

    VECTOR3DM CrossProduct(const VECTOR3DM &rhs) const {
        return VECTOR3DM(y * rhs.z - z * rhs.y, z * rhs.x - x * rhs.z, x * rhs.y - y * rhs.x);
    }
    float DotProduct(const VECTOR3DM &rhs) const { return x * rhs.x + y * rhs.y + z * rhs.z; }
    float GetLength() const { return std::sqrt(x * x + y * y + z * z); }

    // Scales to unit length; a vector of length exactly 0 or exactly 1 is left
    // as it is, so zero vectors never turn into NaN.
    void Normalize() {
        const float length = GetLength();
        if (length == 1.0f || length == 0.0f)
            return;
        const float scale = 1.0f / length;
        x *= scale;
        y *= scale;
        z *= scale;
    }
    VECTOR3DM GetNormalized() const {
        VECTOR3DM result(*this);
        result.Normalize();
        return result;
    }

    // Rotations by angle degrees (an angle of exactly 0 is a plain copy).
    VECTOR3DM GetRotatedX(double angle) const;
    VECTOR3DM GetRotatedY(double angle) const;
    VECTOR3DM GetRotatedZ(double angle) const;
    VECTOR3DM GetRotatedAxis(double angle, const VECTOR3DM &axis) const;
    void RotateX(double angle) { *this = GetRotatedX(angle); }
    void RotateY(double angle) { *this = GetRotatedY(angle); }
    void RotateZ(double angle) { *this = GetRotatedZ(angle); }
    void RotateAxis(double angle, const VECTOR3DM &axis) { *this = GetRotatedAxis(angle, axis); }

    // Maps a direction to [0, 1] per component (normalised, then n/2 + 1/2),
    // the form a direction takes when stored in a colour.
    VECTOR3DM GetPackedTo01() const {
        const VECTOR3DM n = GetNormalized();
        return VECTOR3DM(n.x * 0.5f + 0.5f, n.y * 0.5f + 0.5f, n.z * 0.5f + 0.5f);
    }
    void PackTo01() { *this = GetPackedTo01(); }

    VECTOR3DM operator+(const VECTOR3DM &rhs) const { return VECTOR3DM(x + rhs.x, y + rhs.y, z + rhs.z); }
    VECTOR3DM operator-(const VECTOR3DM &rhs) const { return VECTOR3DM(x - rhs.x, y - rhs.y, z - rhs.z); }
    VECTOR3DM operator-() const { return VECTOR3DM(-x, -y, -z); }
    VECTOR3DM operator*(float rhs) const { return VECTOR3DM(x * rhs, y * rhs, z * rhs); }
    // Division by exactly 0 gives the zero vector rather than infinities.
    VECTOR3DM operator/(float rhs) const {
        if (rhs == 0.0f)
            return VECTOR3DM(0.0f, 0.0f, 0.0f);
        return VECTOR3DM(x / rhs, y / rhs, z / rhs);
    }

    VECTOR3DM &operator+=(const VECTOR3DM &rhs) { return *this = *this + rhs; }
    VECTOR3DM &operator-=(const VECTOR3DM &rhs) { return *this = *this - rhs; }
    VECTOR3DM &operator*=(float rhs) { return *this = *this * rhs; }
    // Division by exactly 0 leaves the vector unchanged.
    VECTOR3DM &operator/=(float rhs) {
        if (rhs == 0.0f)
            return *this;
        return *this = *this / rhs;
    }

    bool operator==(const VECTOR3DM &rhs) const { return x == rhs.x && y == rhs.y && z == rhs.z; }
    bool operator!=(const VECTOR3DM &rhs) const { return !(*this == rhs); }
};

inline VECTOR3DM operator*(float scaleFactor, const VECTOR3DM &rhs) {
    return rhs * scaleFactor;
}
