#pragma once

class SpielObject;

// One hit of a ray cast, in game axes.
struct RaycastHit {
    float worldImpact[3] = {0.0f, 0.0f, 0.0f}; // where the ray meets the surface
    float worldNormal[3] = {0.0f, 0.0f, 0.0f}; // unit surface normal there
    float distance = 0.0f;                     // from the ray origin, world units
    SpielObject *object = nullptr;             // the actor's game object; null for ground and terrain
};

// The line-of-sight report: watches a ray's hits, nearest first, for one that lies at the target.
//
// The engine computes hit points in single precision, and a convex shape is hit on its surface
// widened by the collision margin, so a hit lands exactly on a given target point only by chance.
// A hit therefore counts as "at the target" when it lies within kTargetTolerance of it in every
// axis; the report then keeps the hit's normal and stops the cast.
class CMyRaycastReport {
  public:
    static constexpr float kTargetTolerance = 0.05f; // world units per axis; above the 0.01 margin

    CMyRaycastReport() = default;
    explicit CMyRaycastReport(const float *target); // copies three floats
    virtual ~CMyRaycastReport() = default;

    // True continues the cast with the next hit, false stops it.
    virtual bool onHit(const RaycastHit &hit);

    const float *getTarget() const { return target; }
    void setTarget(const float *xyz); // copies three floats
    bool isHit() const { return hit; }
    const float *getHitNormal() const { return hitNormal; }

  private:
    float target[3] = {0.0f, 0.0f, 0.0f};    // the point the ray should reach, game axes
    bool hit = false;                        // a hit lay at the target
    float hitNormal[3] = {0.0f, 0.0f, 0.0f}; // surface normal of that hit
};
