#pragma once

#include "math/VECTOR3DM.h"

#include <type_traits>

// Four-component float vector (homogeneous point or plane) of the compact math
// family; passes to the graphics library as four consecutive floats.
class VECTOR4D {
  public:
    float x; // first component
    float y; // second component
    float z; // third component
    float w; // homogeneous weight

    constexpr VECTOR4D() : x(0.0f), y(0.0f), z(0.0f), w(0.0f) {}
    constexpr VECTOR4D(float newX, float newY, float newZ, float newW) : x(newX), y(newY), z(newZ), w(newW) {}
    constexpr VECTOR4D(const VECTOR4D &rhs) = default;
    // From four consecutive floats x, y, z, w.
    explicit constexpr VECTOR4D(const float *rhs) : x(rhs[0]), y(rhs[1]), z(rhs[2]), w(rhs[3]) {}
    VECTOR4D &operator=(const VECTOR4D &rhs) = default;

    VECTOR4D operator*(float rhs) const { return VECTOR4D(x * rhs, y * rhs, z * rhs, w * rhs); }

    // Rotations turn (x, y, z) exactly as VECTOR3DM's do and keep w.
    VECTOR4D GetRotatedX(double angle) const { return withXyz(xyz().GetRotatedX(angle)); }
    VECTOR4D GetRotatedY(double angle) const { return withXyz(xyz().GetRotatedY(angle)); }
    VECTOR4D GetRotatedZ(double angle) const { return withXyz(xyz().GetRotatedZ(angle)); }
    VECTOR4D GetRotatedAxis(double angle, const VECTOR3DM &axis) const {
        return withXyz(xyz().GetRotatedAxis(angle, axis));
    }
    void RotateX(double angle) { *this = GetRotatedX(angle); }
    void RotateY(double angle) { *this = GetRotatedY(angle); }
    void RotateZ(double angle) { *this = GetRotatedZ(angle); }
    void RotateAxis(double angle, const VECTOR3DM &axis) { *this = GetRotatedAxis(angle, axis); }

    bool operator==(const VECTOR4D &rhs) const {
        return x == rhs.x && y == rhs.y && z == rhs.z && w == rhs.w;
    }
    bool operator!=(const VECTOR4D &rhs) const { return !(*this == rhs); }

    // Address of x, followed by y, z and w.
    operator const float *() const { return &x; }

    // The 3D point: a weight of exactly 0 (direction) or 1 is dropped, any
    // other weight divides through.
    operator VECTOR3DM() const {
        if (w == 0.0f || w == 1.0f)
            return VECTOR3DM(x, y, z);
        return VECTOR3DM(x / w, y / w, z / w);
    }

  private:
    VECTOR3DM xyz() const { return VECTOR3DM(x, y, z); }
    VECTOR4D withXyz(const VECTOR3DM &v) const { return VECTOR4D(v.x, v.y, v.z, w); }
};

inline VECTOR4D operator*(float scaleFactor, const VECTOR4D &rhs) {
    return rhs * scaleFactor;
}

static_assert(std::is_standard_layout<VECTOR4D>::value && sizeof(VECTOR4D) == 4 * sizeof(float),
              "VECTOR4D must be four packed floats for the graphics library");
