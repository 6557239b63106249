#include "math/VectorOperations.h"

#include <cmath>

namespace {
// Turns the pair (a, b) within its plane: a' = c a + s b, b' = -s a + c b.
// Every axis rotation is this on the two coordinates it changes.
void rotatePair(float &a, float &b, double angle) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double x = a;
    const double y = b;
    a = static_cast<float>(c * x + s * y);
    b = static_cast<float>(-s * x + c * y);
}
} // namespace

float VectorOperations::dot_product(const float *a, const float *b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

void VectorOperations::normalize(float *v) {
    const float scale = 1.0f / std::sqrt(dot_product(v, v));
    v[0] *= scale;
    v[1] *= scale;
    v[2] *= scale;
}

void VectorOperations::cross_product(const float *a, const float *b, float *out) {
    const float x = a[1] * b[2] - a[2] * b[1];
    const float y = a[2] * b[0] - a[0] * b[2];
    const float z = a[0] * b[1] - a[1] * b[0];
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

void VectorOperations::multiply_vector_by_matrix(const float *m, float *v) {
    float result[3];
    for (int j = 0; j < 3; ++j)
        result[j] = v[0] * m[j] + v[1] * m[3 + j] + v[2] * m[6 + j];
    v[0] = result[0];
    v[1] = result[1];
    v[2] = result[2];
}

void VectorOperations::translate(float *v, double dx, double dy, double dz) {
    v[0] = static_cast<float>(v[0] + dx);
    v[1] = static_cast<float>(v[1] + dy);
    v[2] = static_cast<float>(v[2] + dz);
}

void VectorOperations::rotationX(float *v, double angle) {
    rotatePair(v[1], v[2], angle);
}

void VectorOperations::rotationY(float *v, double angle) {
    rotatePair(v[2], v[0], angle);
}

void VectorOperations::rotationZ(float *v, double angle) {
    rotatePair(v[0], v[1], angle);
}

void VectorOperations::scale(float *v, double factor) {
    v[0] = static_cast<float>(v[0] * factor);
    v[1] = static_cast<float>(v[1] * factor);
    v[2] = static_cast<float>(v[2] * factor);
}
