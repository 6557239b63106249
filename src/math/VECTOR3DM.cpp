#include "math/VECTOR3DM.h"

#include "math/MathConstants.h"

namespace {

// Cosine and sine of an angle in degrees, each computed once as a float.
struct SinCos {
    float c; // cosine
    float s; // sine
    explicit SinCos(double angle)
        : c(static_cast<float>(std::cos(degreesToRadians(angle)))),
          s(static_cast<float>(std::sin(degreesToRadians(angle)))) {}
};

} // namespace

VECTOR3DM VECTOR3DM::GetRotatedX(double angle) const {
    if (angle == 0.0)
        return *this;
    const SinCos t(angle);
    return VECTOR3DM(x, y * t.c - z * t.s, y * t.s + z * t.c);
}

VECTOR3DM VECTOR3DM::GetRotatedY(double angle) const {
    if (angle == 0.0)
        return *this;
    const SinCos t(angle);
    return VECTOR3DM(x * t.c + z * t.s, y, -x * t.s + z * t.c);
}

VECTOR3DM VECTOR3DM::GetRotatedZ(double angle) const {
    if (angle == 0.0)
        return *this;
    const SinCos t(angle);
    return VECTOR3DM(x * t.c - y * t.s, x * t.s + y * t.c, z);
}

VECTOR3DM VECTOR3DM::GetRotatedAxis(double angle, const VECTOR3DM &axis) const {
    if (angle == 0.0)
        return *this;
    const SinCos t(angle);
    const float c = t.c;
    const float s = t.s;
    const float oneMinusC = 1.0f - c;
    const VECTOR3DM u = axis.GetNormalized();

    // Rows of the rotation matrix about u (Rodrigues' formula).
    const VECTOR3DM row0(u.x * u.x + c * (1.0f - u.x * u.x), u.x * u.y * oneMinusC - s * u.z,
                         u.x * u.z * oneMinusC + s * u.y);
    const VECTOR3DM row1(u.x * u.y * oneMinusC + s * u.z, u.y * u.y + c * (1.0f - u.y * u.y),
                         u.y * u.z * oneMinusC - s * u.x);
    const VECTOR3DM row2(u.x * u.z * oneMinusC - s * u.y, u.y * u.z * oneMinusC + s * u.x,
                         u.z * u.z + c * (1.0f - u.z * u.z));
    return VECTOR3DM(DotProduct(row0), DotProduct(row1), DotProduct(row2));
}
