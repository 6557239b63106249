#include "math/MATRIX4X4.h"

#include "math/MathConstants.h"

#include <cmath>

MATRIX4X4::MATRIX4X4(float e0, float e1, float e2, float e3, float e4, float e5, float e6, float e7, float e8,
                     float e9, float e10, float e11, float e12, float e13, float e14, float e15)
    : entries{e0, e1, e2, e3, e4, e5, e6, e7, e8, e9, e10, e11, e12, e13, e14, e15} {}

MATRIX4X4::MATRIX4X4(const float *rhs) {
    for (int k = 0; k < 16; ++k)
        entries[k] = rhs[k];
}

void MATRIX4X4::LoadIdentity() {
    LoadZero();
    entries[0] = entries[5] = entries[10] = entries[15] = 1.0f;
}

void MATRIX4X4::LoadZero() {
    for (float &entry : entries)
        entry = 0.0f;
}

MATRIX4X4 MATRIX4X4::operator+(const MATRIX4X4 &rhs) const {
    MATRIX4X4 result;
    for (int k = 0; k < 16; ++k)
        result.entries[k] = entries[k] + rhs.entries[k];
    return result;
}

MATRIX4X4 MATRIX4X4::operator-(const MATRIX4X4 &rhs) const {
    MATRIX4X4 result;
    for (int k = 0; k < 16; ++k)
        result.entries[k] = entries[k] - rhs.entries[k];
    return result;
}

MATRIX4X4 MATRIX4X4::operator-() const {
    MATRIX4X4 result;
    for (int k = 0; k < 16; ++k)
        result.entries[k] = -entries[k];
    return result;
}

MATRIX4X4 MATRIX4X4::operator*(float rhs) const {
    MATRIX4X4 result;
    for (int k = 0; k < 16; ++k)
        result.entries[k] = entries[k] * rhs;
    return result;
}

MATRIX4X4 MATRIX4X4::operator/(float rhs) const {
    if (rhs == 0.0f || rhs == 1.0f)
        return *this;
    return *this * (1.0f / rhs);
}

MATRIX4X4 MATRIX4X4::operator*(const MATRIX4X4 &rhs) const {
    const float *a = entries;
    const float *b = rhs.entries;
    MATRIX4X4 result;
    float *e = result.entries;
    const bool thisAffine = IsAffine();
    const bool rhsAffine = rhs.IsAffine();

    if (thisAffine && rhsAffine) {
        // 3x3 parts only; translation = A3x3 * tB + tA.
        for (int col = 0; col < 3; ++col)
            for (int row = 0; row < 3; ++row)
                e[4 * col + row] =
                    a[row] * b[4 * col] + a[4 + row] * b[4 * col + 1] + a[8 + row] * b[4 * col + 2];
        for (int row = 0; row < 3; ++row)
            e[12 + row] = a[row] * b[12] + a[4 + row] * b[13] + a[8 + row] * b[14] + a[12 + row];
        e[3] = e[7] = e[11] = 0.0f;
        e[15] = 1.0f;
    } else if (thisAffine) {
        // A's bottom row is (0, 0, 0, 1), so the result's bottom row is B's.
        for (int col = 0; col < 4; ++col) {
            for (int row = 0; row < 3; ++row)
                e[4 * col + row] = a[row] * b[4 * col] + a[4 + row] * b[4 * col + 1] +
                                   a[8 + row] * b[4 * col + 2] + a[12 + row] * b[4 * col + 3];
            e[4 * col + 3] = b[4 * col + 3];
        }
    } else if (rhsAffine) {
        // B's bottom row is (0, 0, 0, 1): its first three columns skip A's last
        // column, its last column adds A's last column once.
        for (int col = 0; col < 3; ++col)
            for (int row = 0; row < 4; ++row)
                e[4 * col + row] =
                    a[row] * b[4 * col] + a[4 + row] * b[4 * col + 1] + a[8 + row] * b[4 * col + 2];
        for (int row = 0; row < 4; ++row)
            e[12 + row] = a[row] * b[12] + a[4 + row] * b[13] + a[8 + row] * b[14] + a[12 + row];
    } else {
        for (int col = 0; col < 4; ++col)
            for (int row = 0; row < 4; ++row)
                e[4 * col + row] = a[row] * b[4 * col] + a[4 + row] * b[4 * col + 1] +
                                   a[8 + row] * b[4 * col + 2] + a[12 + row] * b[4 * col + 3];
    }
    return result;
}

bool MATRIX4X4::operator==(const MATRIX4X4 &rhs) const {
    for (int k = 0; k < 16; ++k)
        if (entries[k] != rhs.entries[k])
            return false;
    return true;
}

MATRIX4X4 MATRIX4X4::GetTranspose() const {
    const float *e = entries;
    return MATRIX4X4(e[0], e[4], e[8], e[12], e[1], e[5], e[9], e[13], e[2], e[6], e[10], e[14], e[3], e[7],
                     e[11], e[15]);
}

MATRIX4X4 MATRIX4X4::GetInverseTranspose() const {
    const float *e = entries;

    // 2x2 determinants of rows i and j of columns 2 and 3 (dIJ), shared by
    // the cofactors of columns 0 and 1.
    const float d23 = e[10] * e[15] - e[11] * e[14];
    const float d13 = e[9] * e[15] - e[11] * e[13];
    const float d12 = e[9] * e[14] - e[10] * e[13];
    const float d03 = e[8] * e[15] - e[11] * e[12];
    const float d02 = e[8] * e[14] - e[10] * e[12];
    const float d01 = e[8] * e[13] - e[9] * e[12];

    float c[16]; // cofactor of each storage position
    c[0] = e[5] * d23 - e[6] * d13 + e[7] * d12;
    c[1] = -(e[4] * d23 - e[6] * d03 + e[7] * d02);
    c[2] = e[4] * d13 - e[5] * d03 + e[7] * d01;
    c[3] = -(e[4] * d12 - e[5] * d02 + e[6] * d01);
    c[4] = -(e[1] * d23 - e[2] * d13 + e[3] * d12);
    c[5] = e[0] * d23 - e[2] * d03 + e[3] * d02;
    c[6] = -(e[0] * d13 - e[1] * d03 + e[3] * d01);
    c[7] = e[0] * d12 - e[1] * d02 + e[2] * d01;

    // The same pattern on columns 0 and 1 for the cofactors of columns 2 and 3.
    const float f23 = e[2] * e[7] - e[3] * e[6];
    const float f13 = e[1] * e[7] - e[3] * e[5];
    const float f12 = e[1] * e[6] - e[2] * e[5];
    const float f03 = e[0] * e[7] - e[3] * e[4];
    const float f02 = e[0] * e[6] - e[2] * e[4];
    const float f01 = e[0] * e[5] - e[1] * e[4];

    c[8] = e[13] * f23 - e[14] * f13 + e[15] * f12;
    c[9] = -(e[12] * f23 - e[14] * f03 + e[15] * f02);
    c[10] = e[12] * f13 - e[13] * f03 + e[15] * f01;
    c[11] = -(e[12] * f12 - e[13] * f02 + e[14] * f01);
    c[12] = -(e[9] * f23 - e[10] * f13 + e[11] * f12);
    c[13] = e[8] * f23 - e[10] * f03 + e[11] * f02;
    c[14] = -(e[8] * f13 - e[9] * f03 + e[11] * f01);
    c[15] = e[8] * f12 - e[9] * f02 + e[10] * f01;

    const float determinant = e[0] * c[0] + e[1] * c[1] + e[2] * c[2] + e[3] * c[3];
    if (determinant == 0.0f)
        return MATRIX4X4();
    return MATRIX4X4(c) / determinant;
}

MATRIX4X4 MATRIX4X4::GetAffineInverse() const {
    const float *e = entries;
    return MATRIX4X4(e[0], e[4], e[8], 0.0f, e[1], e[5], e[9], 0.0f, e[2], e[6], e[10], 0.0f,
                     -(e[0] * e[12] + e[1] * e[13] + e[2] * e[14]),
                     -(e[4] * e[12] + e[5] * e[13] + e[6] * e[14]),
                     -(e[8] * e[12] + e[9] * e[13] + e[10] * e[14]), 1.0f);
}

MATRIX4X4 MATRIX4X4::GetAffineInverseTranspose() const {
    const float *e = entries;
    return MATRIX4X4(e[0], e[1], e[2], -(e[0] * e[12] + e[1] * e[13] + e[2] * e[14]), e[4], e[5], e[6],
                     -(e[4] * e[12] + e[5] * e[13] + e[6] * e[14]), e[8], e[9], e[10],
                     -(e[8] * e[12] + e[9] * e[13] + e[10] * e[14]), 0.0f, 0.0f, 0.0f, 1.0f);
}

void MATRIX4X4::SetTranslation(const VECTOR3DM &translation) {
    LoadIdentity();
    SetTranslationPart(translation);
}

void MATRIX4X4::SetScale(const VECTOR3DM &scaleFactor) {
    LoadIdentity();
    entries[0] = scaleFactor.x;
    entries[5] = scaleFactor.y;
    entries[10] = scaleFactor.z;
}

void MATRIX4X4::SetUniformScale(float scaleFactor) {
    LoadIdentity();
    entries[0] = entries[5] = entries[10] = scaleFactor;
}

void MATRIX4X4::SetRotationX(double angle) {
    LoadIdentity();
    const double radians = degreesToRadians(angle);
    entries[5] = static_cast<float>(std::cos(radians));
    entries[6] = static_cast<float>(std::sin(radians));
    entries[9] = -entries[6];
    entries[10] = entries[5];
}

void MATRIX4X4::SetRotationY(double angle) {
    LoadIdentity();
    const double radians = degreesToRadians(angle);
    entries[0] = static_cast<float>(std::cos(radians));
    entries[8] = static_cast<float>(std::sin(radians));
    entries[2] = -entries[8];
    entries[10] = entries[0];
}

void MATRIX4X4::SetRotationZ(double angle) {
    LoadIdentity();
    const double radians = degreesToRadians(angle);
    entries[0] = static_cast<float>(std::cos(radians));
    entries[1] = static_cast<float>(std::sin(radians));
    entries[4] = -entries[1];
    entries[5] = entries[0];
}

void MATRIX4X4::SetRotationAxis(double angle, const VECTOR3DM &axis) {
    LoadIdentity();
    const VECTOR3DM u = axis.GetNormalized();
    const double radians = degreesToRadians(angle);
    const float s = static_cast<float>(std::sin(radians));
    const float c = static_cast<float>(std::cos(radians));
    const float t = 1.0f - c;

    entries[0] = u.x * u.x + c * (1.0f - u.x * u.x);
    entries[4] = u.x * u.y * t - s * u.z;
    entries[8] = u.x * u.z * t + s * u.y;
    entries[1] = u.x * u.y * t + s * u.z;
    entries[5] = u.y * u.y + c * (1.0f - u.y * u.y);
    entries[9] = u.y * u.z * t - s * u.x;
    entries[2] = u.x * u.z * t - s * u.y;
    entries[6] = u.y * u.z * t + s * u.x;
    entries[10] = u.z * u.z + c * (1.0f - u.z * u.z);
}

void MATRIX4X4::SetRotationEuler(double angleX, double angleY, double angleZ) {
    LoadIdentity();
    SetRotationPartEuler(angleX, angleY, angleZ);
}

void MATRIX4X4::SetRotationPartEuler(double angleX, double angleY, double angleZ) {
    const double cr = std::cos(degreesToRadians(angleX));
    const double sr = std::sin(degreesToRadians(angleX));
    const double cp = std::cos(degreesToRadians(angleY));
    const double sp = std::sin(degreesToRadians(angleY));
    const double cy = std::cos(degreesToRadians(angleZ));
    const double sy = std::sin(degreesToRadians(angleZ));

    entries[0] = static_cast<float>(cp * cy);
    entries[1] = static_cast<float>(cp * sy);
    entries[2] = static_cast<float>(-sp);
    entries[4] = static_cast<float>(sr * sp * cy - cr * sy);
    entries[5] = static_cast<float>(sr * sp * sy + cr * cy);
    entries[6] = static_cast<float>(sr * cp);
    entries[8] = static_cast<float>(cr * sp * cy + sr * sy);
    entries[9] = static_cast<float>(cr * sp * sy - sr * cy);
    entries[10] = static_cast<float>(cr * cp);
}

void MATRIX4X4::SetPerspective(float left, float right, float bottom, float top, float n, float f) {
    LoadZero();
    if (left == right || top == bottom || n == f)
        return;

    entries[0] = 2.0f * n / (right - left);
    entries[5] = 2.0f * n / (top - bottom);
    entries[8] = (right + left) / (right - left);
    entries[9] = (top + bottom) / (top - bottom);
    entries[11] = -1.0f;

    if (f == -1.0f) {
        // Far plane at infinity, pulled in a little to keep depth precision.
        entries[10] = -0.999f;
        entries[14] = -2.0f * n * 0.999f;
    } else {
        entries[10] = -(f + n) / (f - n);
        entries[14] = -2.0f * f * n / (f - n);
    }
}

void MATRIX4X4::SetPerspective(float fovy, float aspect, float n, float f) {
    const float fovyRadians = fovy * 0.017453292f;
    const float top = n * std::tan(fovyRadians / 2.0f);
    const float bottom = -top;
    SetPerspective(aspect * bottom, aspect * top, bottom, top, n, f);
}

void MATRIX4X4::SetOrtho(float left, float right, float bottom, float top, float n, float f) {
    LoadIdentity();
    entries[0] = 2.0f / (right - left);
    entries[5] = 2.0f / (top - bottom);
    entries[10] = -2.0f / (f - n);
    entries[12] = -(right + left) / (right - left);
    entries[13] = -(top + bottom) / (top - bottom);
    entries[14] = -(f + n) / (f - n);
}
