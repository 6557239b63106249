#include "math/Calculations.h"

#include <cmath>

void Calculations::CalculateNormal(float *normal, const float *p1, const float *p2, const float *p3) {
    const float u[3] = {p1[0] - p2[0], p1[1] - p2[1], p1[2] - p2[2]};
    const float w[3] = {p2[0] - p3[0], p2[1] - p3[1], p2[2] - p3[2]};
    float n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
    Normalize(n);
    normal[0] = -n[0];
    normal[1] = -n[1];
    normal[2] = -n[2];
}

void Calculations::Normalize(float *v) {
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0.0f)
        return;
    v[0] /= length;
    v[1] /= length;
    v[2] /= length;
}

void Calculations::Normalize(Vector3D &v) {
    float components[3] = {v.x, v.y, v.z};
    Normalize(components);
    v.set(components[0], components[1], components[2]);
}
