#pragma once

// Stateless vector helpers on bare arrays of three floats (and row-major 3x3
// matrices of nine floats), used by the light-map code. Angles are radians;
// the rotations turn by -angle in the right-handed sense, the opposite of
// VECTOR3DM's rotations.
class VectorOperations {
  public:
    VectorOperations() = default;
    ~VectorOperations() = default;

    static float dot_product(const float *a, const float *b);
    // Scales v to unit length; no guard, so a zero vector becomes NaN.
    static void normalize(float *v);
    // out = a x b; out may be a or b.
    static void cross_product(const float *a, const float *b, float *out);
    // v = v * m (row vector times row-major 3x3 matrix).
    static void multiply_vector_by_matrix(const float *m, float *v);
    static void translate(float *v, double dx, double dy, double dz);
    static void rotationX(float *v, double angle);
    static void rotationY(float *v, double angle);
    static void rotationZ(float *v, double angle);
    static void scale(float *v, double factor);
};
