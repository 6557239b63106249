#pragma once

#include "math/Vector3D.h"

// Static geometry helpers of the model reader: face normals and a
// zero-safe normalisation.
class Calculations {
  public:
    // normal = -unit((p1 - p2) x (p2 - p3)); stays zero for a degenerate triangle.
    static void CalculateNormal(float *normal, const float *p1, const float *p2, const float *p3);
    // Scales to unit length; a zero vector is left unchanged.
    static void Normalize(float *v);
    static void Normalize(Vector3D &v);
};
