#include "math/PLANE.h"

void PLANE::SetFromPoints(const VECTOR3DM &p0, const VECTOR3DM &p1, const VECTOR3DM &p2) {
    normal = (p1 - p0).CrossProduct(p2 - p0);
    normal.Normalize();
    CalculateIntercept(p0);
}

void PLANE::Normalize() {
    // The normal's /= keeps a zero normal; the intercept divides as IEEE says.
    const float length = normal.GetLength();
    normal /= length;
    intercept /= length;
}

bool PLANE::Intersect3(const PLANE &p2, const PLANE &p3, VECTOR3DM &result) const {
    const VECTOR3DM n23 = p2.normal.CrossProduct(p3.normal);
    const float denominator = normal.DotProduct(n23);
    if (denominator == 0.0f)
        return false;
    const VECTOR3DM n31 = p3.normal.CrossProduct(normal);
    const VECTOR3DM n12 = normal.CrossProduct(p2.normal);
    result = (n23 * intercept + n31 * p2.intercept + n12 * p3.intercept) / -denominator;
    return true;
}

PLANE PLANE::lerp(const PLANE &p2, float factor) const {
    PLANE result;
    result.normal = normal * (1.0f - factor) + p2.normal * factor;
    result.normal.Normalize();
    result.intercept = intercept * (1.0f - factor) + p2.intercept * factor;
    return result;
}
