#pragma once

#include "math/VECTOR3DM.h"

// Plane in normal-intercept form: a point p lies on it when normal.p + intercept = 0.
class PLANE {
  public:
    // Results of ClassifyPoint.
    static constexpr int kPointOnPlane = 0;
    static constexpr int kPointInFront = 1;
    static constexpr int kPointBehind = 2;
    // Half thickness of the band ClassifyPoint counts as on the plane (world units).
    static constexpr float kOnPlaneEpsilon = 0.01f;

    VECTOR3DM normal; // plane normal; unit length after SetFromPoints or Normalize
    float intercept;  // -normal.p for any point p on the plane

    constexpr PLANE() : normal(), intercept(0.0f) {}
    constexpr PLANE(const VECTOR3DM &newNormal, float newIntercept)
        : normal(newNormal), intercept(newIntercept) {}
    constexpr PLANE(const PLANE &rhs) = default;
    PLANE &operator=(const PLANE &rhs) = default;

    // The plane through three points, its normal (p1 - p0) x (p2 - p0) of unit
    // length (zero for collinear points).
    void SetFromPoints(const VECTOR3DM &p0, const VECTOR3DM &p1, const VECTOR3DM &p2);
    void CalculateIntercept(const VECTOR3DM &pointOnPlane) { intercept = -normal.DotProduct(pointOnPlane); }
    // Scales normal and intercept by 1/|normal|; a zero normal stays as it is.
    void Normalize();

    // Signed distance for a unit normal, positive in front.
    float GetDistance(const VECTOR3DM &point) const { return point.DotProduct(normal) + intercept; }
    // kPointInFront, kPointBehind or kPointOnPlane (within kOnPlaneEpsilon).
    int ClassifyPoint(const VECTOR3DM &point) const {
        const float distance = GetDistance(point);
        if (distance > kOnPlaneEpsilon)
            return kPointInFront;
        if (distance < -kOnPlaneEpsilon)
            return kPointBehind;
        return kPointOnPlane;
    }

    // The one point common to this plane, p2 and p3; false (result untouched)
    // when they do not meet in a single point.
    bool Intersect3(const PLANE &p2, const PLANE &p3, VECTOR3DM &result) const;
    // Blend towards p2 by factor (0 gives this plane), normal renormalised.
    PLANE lerp(const PLANE &p2, float factor) const;

    bool operator==(const PLANE &rhs) const { return normal == rhs.normal && intercept == rhs.intercept; }
    bool operator!=(const PLANE &rhs) const { return !(*this == rhs); }
};
