#pragma once

#include <cmath>

// A point or direction in the generator's game axes: x lateral, y up, z
// forward (the driving direction of a vehicle at heading 0).
struct Vec3 {
    double x = 0.0; // lateral
    double y = 0.0; // up
    double z = 0.0; // forward
};

inline Vec3 operator+(const Vec3 &a, const Vec3 &b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(const Vec3 &a, const Vec3 &b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(const Vec3 &a, double f) {
    return {a.x * f, a.y * f, a.z * f};
}
inline double dot(const Vec3 &a, const Vec3 &b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 cross(const Vec3 &a, const Vec3 &b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(const Vec3 &a) {
    return std::sqrt(dot(a, a));
}
inline Vec3 normalised(const Vec3 &a) {
    const double l = length(a);
    return l > 0.0 ? a * (1.0 / l) : a;
}

// The normal the game computes for a triangle: -unit((p0 - p1) x (p1 - p2)).
// It points towards the side from which the corners run clockwise, the side
// OpenGL draws as front with glFrontFace(GL_CW).
inline Vec3 gameFaceNormal(const Vec3 &p0, const Vec3 &p1, const Vec3 &p2) {
    return normalised(cross(p0 - p1, p1 - p2)) * -1.0;
}
