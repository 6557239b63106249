#pragma once

#include "math/VECTOR3DM.h"
#include "math/VECTOR4D.h"

#include <type_traits>

// 4x4 transformation matrix in the graphics library's column-major layout:
// entry k holds row k % 4 of column k / 4, the translation sits in entries 12
// to 14, the bottom row is (e3, e7, e11, e15). A matrix whose bottom row is
// exactly (0, 0, 0, 1) is affine; products take shortcuts for such matrices.
class MATRIX4X4 {
  public:
    float entries[16]; // column-major e0..e15

    MATRIX4X4() { LoadIdentity(); }
    MATRIX4X4(float e0, float e1, float e2, float e3, float e4, float e5, float e6, float e7, float e8,
              float e9, float e10, float e11, float e12, float e13, float e14, float e15);
    MATRIX4X4(const MATRIX4X4 &rhs) = default;
    // From sixteen floats in storage order.
    explicit MATRIX4X4(const float *rhs);
    MATRIX4X4 &operator=(const MATRIX4X4 &rhs) = default;

    // Storage positions outside 0..15 are ignored on write and read as 0.
    void SetEntry(int position, float value) {
        if (position >= 0 && position < 16)
            entries[position] = value;
    }
    float GetEntry(int position) const { return position >= 0 && position < 16 ? entries[position] : 0.0f; }
    // Row or column 0..3; any other index gives (0, 0, 0, 0).
    VECTOR4D GetRow(int position) const {
        if (position < 0 || position > 3)
            return VECTOR4D(0.0f, 0.0f, 0.0f, 0.0f);
        return VECTOR4D(entries[position], entries[4 + position], entries[8 + position],
                        entries[12 + position]);
    }
    VECTOR4D GetColumn(int position) const {
        if (position < 0 || position > 3)
            return VECTOR4D(0.0f, 0.0f, 0.0f, 0.0f);
        return VECTOR4D(&entries[4 * position]);
    }

    void LoadIdentity();
    void LoadZero();

    // True when the bottom row is exactly (0, 0, 0, 1).
    bool IsAffine() const {
        return entries[3] == 0.0f && entries[7] == 0.0f && entries[11] == 0.0f && entries[15] == 1.0f;
    }

    // ---- arithmetic ----

    MATRIX4X4 operator+(const MATRIX4X4 &rhs) const;
    MATRIX4X4 operator-(const MATRIX4X4 &rhs) const;
    MATRIX4X4 operator-() const;
    MATRIX4X4 operator*(float rhs) const;
    // A divisor of exactly 0 or 1 gives an unchanged copy; others multiply
    // by the float reciprocal.
    MATRIX4X4 operator/(float rhs) const;
    // this * rhs; shortcuts for affine operands give the same result as the
    // full product.
    MATRIX4X4 operator*(const MATRIX4X4 &rhs) const;

    MATRIX4X4 &operator+=(const MATRIX4X4 &rhs) { return *this = *this + rhs; }
    MATRIX4X4 &operator-=(const MATRIX4X4 &rhs) { return *this = *this - rhs; }
    MATRIX4X4 &operator*=(const MATRIX4X4 &rhs) { return *this = *this * rhs; }
    MATRIX4X4 &operator*=(float rhs) { return *this = *this * rhs; }
    MATRIX4X4 &operator/=(float rhs) { return *this = *this / rhs; }

    bool operator==(const MATRIX4X4 &rhs) const;
    bool operator!=(const MATRIX4X4 &rhs) const { return !(*this == rhs); }

    // Column vector M * v; an affine matrix keeps v.w.
    VECTOR4D operator*(const VECTOR4D rhs) const {
        const float *e = entries;
        const float x = e[0] * rhs.x + e[4] * rhs.y + e[8] * rhs.z + e[12] * rhs.w;
        const float y = e[1] * rhs.x + e[5] * rhs.y + e[9] * rhs.z + e[13] * rhs.w;
        const float z = e[2] * rhs.x + e[6] * rhs.y + e[10] * rhs.z + e[14] * rhs.w;
        if (IsAffine())
            return VECTOR4D(x, y, z, rhs.w);
        return VECTOR4D(x, y, z, e[3] * rhs.x + e[7] * rhs.y + e[11] * rhs.z + e[15] * rhs.w);
    }

    // Upper-left 3x3 part times v, and its transpose times v.
    VECTOR3DM GetRotatedVector3D(const VECTOR3DM &rhs) const {
        const float *e = entries;
        return VECTOR3DM(e[0] * rhs.x + e[4] * rhs.y + e[8] * rhs.z,
                         e[1] * rhs.x + e[5] * rhs.y + e[9] * rhs.z,
                         e[2] * rhs.x + e[6] * rhs.y + e[10] * rhs.z);
    }
    VECTOR3DM GetInverseRotatedVector3D(const VECTOR3DM &rhs) const {
        const float *e = entries;
        return VECTOR3DM(e[0] * rhs.x + e[1] * rhs.y + e[2] * rhs.z,
                         e[4] * rhs.x + e[5] * rhs.y + e[6] * rhs.z,
                         e[8] * rhs.x + e[9] * rhs.y + e[10] * rhs.z);
    }
    VECTOR3DM GetTranslatedVector3D(const VECTOR3DM &rhs) const {
        return VECTOR3DM(rhs.x + entries[12], rhs.y + entries[13], rhs.z + entries[14]);
    }
    VECTOR3DM GetInverseTranslatedVector3D(const VECTOR3DM &rhs) const {
        return VECTOR3DM(rhs.x - entries[12], rhs.y - entries[13], rhs.z - entries[14]);
    }

    // ---- inversion and transposition (Get... returns, the other form replaces) ----

    MATRIX4X4 GetTranspose() const;
    void Transpose() { *this = GetTranspose(); }
    // Transpose of the inverse by cofactors; a singular matrix gives the identity.
    MATRIX4X4 GetInverseTranspose() const;
    void InvertTranspose() { *this = GetInverseTranspose(); }
    // The inverse; a singular matrix gives the identity.
    MATRIX4X4 GetInverse() const { return GetInverseTranspose().GetTranspose(); }
    void Invert() { *this = GetInverse(); }
    // Inverse of a rigid transform (rotation plus translation); unchecked.
    MATRIX4X4 GetAffineInverse() const;
    void AffineInvert() { *this = GetAffineInverse(); }
    MATRIX4X4 GetAffineInverseTranspose() const;
    void AffineInvertTranspose() { *this = GetAffineInverseTranspose(); }

    // ---- builders (angles in degrees) ----

    void SetTranslation(const VECTOR3DM &translation);
    // Sets e12..e14 only.
    void SetTranslationPart(const VECTOR3DM &translation) {
        entries[12] = translation.x;
        entries[13] = translation.y;
        entries[14] = translation.z;
    }
    void SetScale(const VECTOR3DM &scaleFactor);
    void SetUniformScale(float scaleFactor);
    void SetRotationX(double angle);
    void SetRotationY(double angle);
    void SetRotationZ(double angle);
    void SetRotationAxis(double angle, const VECTOR3DM &axis);
    // Rz(angleZ) * Ry(angleY) * Rx(angleX) on an identity matrix.
    void SetRotationEuler(double angleX, double angleY, double angleZ);
    // Writes only the upper-left 3x3 part.
    void SetRotationPartEuler(double angleX, double angleY, double angleZ);
    // Frustum projection; degenerate bounds give the zero matrix, f == -1 an
    // infinitely far far plane.
    void SetPerspective(float left, float right, float bottom, float top, float n, float f);
    // Symmetric frustum from a vertical field of view in degrees.
    void SetPerspective(float fovy, float aspect, float n, float f);
    // Orthographic projection; equal bounds are not guarded.
    void SetOrtho(float left, float right, float bottom, float top, float n, float f);

    // Address of e0, followed by e1..e15 (for glLoadMatrixf and friends).
    operator float *() { return entries; }
    operator const float *() const { return entries; }
};

inline MATRIX4X4 operator*(float scaleFactor, const MATRIX4X4 &rhs) {
    return rhs * scaleFactor;
}

static_assert(std::is_standard_layout<MATRIX4X4>::value && sizeof(MATRIX4X4) == 16 * sizeof(float),
              "MATRIX4X4 must be sixteen packed floats for the graphics library");
