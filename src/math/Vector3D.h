#pragma once

#include <cmath>

// General 3-component vector of the model reader and the projectiles. Every
// operation with a vector operand takes it as three floats, a pointer or a
// reference; static forms return new values, member forms change the object in
// place and return it so calls can be chained. No operation guards against
// zero vectors: 0/0 gives NaN as IEEE says.
class Vector3D {
  public:
    float x; // first component
    float y; // second component
    float z; // third component

    constexpr Vector3D() : x(0.0f), y(0.0f), z(0.0f) {}
    explicit constexpr Vector3D(float xyz) : x(xyz), y(xyz), z(xyz) {}
    constexpr Vector3D(float x, float y, float z) : x(x), y(y), z(z) {}
    explicit constexpr Vector3D(const Vector3D *v) : x(v->x), y(v->y), z(v->z) {}
    constexpr Vector3D(const Vector3D &v) = default;

    Vector3D &set(float newX, float newY, float newZ) {
        x = newX;
        y = newY;
        z = newZ;
        return *this;
    }
    Vector3D &set(const Vector3D *v) { return set(v->x, v->y, v->z); }
    Vector3D &set(const Vector3D &v) { return set(v.x, v.y, v.z); }
    Vector3D &operator=(const Vector3D *v) { return set(v->x, v->y, v->z); }
    Vector3D &operator=(const Vector3D &v) = default;
    void clear() { set(0.0f, 0.0f, 0.0f); }

    // Debug output hooks; they print nothing.
    void dump() const {}
    void dump(int indent) const {
        (void)indent;
        dump();
    }

    // ---- two-operand operations: a static form for every pair of operand forms ----

    // add: a + b
    static Vector3D add(const Vector3D &a, const Vector3D &b) {
        return Vector3D(a.x + b.x, a.y + b.y, a.z + b.z);
    }
    static Vector3D add(float x1, float y1, float z1, float x2, float y2, float z2) {
        return add(Vector3D(x1, y1, z1), Vector3D(x2, y2, z2));
    }
    static Vector3D add(float x1, float y1, float z1, const Vector3D *v2) {
        return add(Vector3D(x1, y1, z1), *v2);
    }
    static Vector3D add(float x1, float y1, float z1, const Vector3D &v2) {
        return add(Vector3D(x1, y1, z1), v2);
    }
    static Vector3D add(const Vector3D *v1, float x2, float y2, float z2) {
        return add(*v1, Vector3D(x2, y2, z2));
    }
    static Vector3D add(const Vector3D *v1, const Vector3D *v2) { return add(*v1, *v2); }
    static Vector3D add(const Vector3D *v1, const Vector3D &v2) { return add(*v1, v2); }
    static Vector3D add(const Vector3D &v1, float x2, float y2, float z2) {
        return add(v1, Vector3D(x2, y2, z2));
    }
    static Vector3D add(const Vector3D &v1, const Vector3D *v2) { return add(v1, *v2); }

    // sub: a - b
    static Vector3D sub(const Vector3D &a, const Vector3D &b) {
        return Vector3D(a.x - b.x, a.y - b.y, a.z - b.z);
    }
    static Vector3D sub(float x1, float y1, float z1, float x2, float y2, float z2) {
        return sub(Vector3D(x1, y1, z1), Vector3D(x2, y2, z2));
    }
    static Vector3D sub(float x1, float y1, float z1, const Vector3D *v2) {
        return sub(Vector3D(x1, y1, z1), *v2);
    }
    static Vector3D sub(float x1, float y1, float z1, const Vector3D &v2) {
        return sub(Vector3D(x1, y1, z1), v2);
    }
    static Vector3D sub(const Vector3D *v1, float x2, float y2, float z2) {
        return sub(*v1, Vector3D(x2, y2, z2));
    }
    static Vector3D sub(const Vector3D *v1, const Vector3D *v2) { return sub(*v1, *v2); }
    static Vector3D sub(const Vector3D *v1, const Vector3D &v2) { return sub(*v1, v2); }
    static Vector3D sub(const Vector3D &v1, float x2, float y2, float z2) {
        return sub(v1, Vector3D(x2, y2, z2));
    }
    static Vector3D sub(const Vector3D &v1, const Vector3D *v2) { return sub(v1, *v2); }

    // smul: dot product a.b
    static float smul(const Vector3D &a, const Vector3D &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
    static float smul(float x1, float y1, float z1, float x2, float y2, float z2) {
        return smul(Vector3D(x1, y1, z1), Vector3D(x2, y2, z2));
    }
    static float smul(float x1, float y1, float z1, const Vector3D *v2) {
        return smul(Vector3D(x1, y1, z1), *v2);
    }
    static float smul(float x1, float y1, float z1, const Vector3D &v2) {
        return smul(Vector3D(x1, y1, z1), v2);
    }
    static float smul(const Vector3D *v1, float x2, float y2, float z2) {
        return smul(*v1, Vector3D(x2, y2, z2));
    }
    static float smul(const Vector3D *v1, const Vector3D *v2) { return smul(*v1, *v2); }
    static float smul(const Vector3D *v1, const Vector3D &v2) { return smul(*v1, v2); }
    static float smul(const Vector3D &v1, float x2, float y2, float z2) {
        return smul(v1, Vector3D(x2, y2, z2));
    }
    static float smul(const Vector3D &v1, const Vector3D *v2) { return smul(v1, *v2); }

    // xmul: cross product a x b
    static Vector3D xmul(const Vector3D &a, const Vector3D &b) {
        return Vector3D(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
    }
    static Vector3D xmul(float x1, float y1, float z1, float x2, float y2, float z2) {
        return xmul(Vector3D(x1, y1, z1), Vector3D(x2, y2, z2));
    }
    static Vector3D xmul(float x1, float y1, float z1, const Vector3D *v2) {
        return xmul(Vector3D(x1, y1, z1), *v2);
    }
    static Vector3D xmul(float x1, float y1, float z1, const Vector3D &v2) {
        return xmul(Vector3D(x1, y1, z1), v2);
    }
    static Vector3D xmul(const Vector3D *v1, float x2, float y2, float z2) {
        return xmul(*v1, Vector3D(x2, y2, z2));
    }
    static Vector3D xmul(const Vector3D *v1, const Vector3D *v2) { return xmul(*v1, *v2); }
    static Vector3D xmul(const Vector3D *v1, const Vector3D &v2) { return xmul(*v1, v2); }
    static Vector3D xmul(const Vector3D &v1, float x2, float y2, float z2) {
        return xmul(v1, Vector3D(x2, y2, z2));
    }
    static Vector3D xmul(const Vector3D &v1, const Vector3D *v2) { return xmul(v1, *v2); }

    // projectTo: projection of a onto b; NaN when b is zero
    static Vector3D projectTo(const Vector3D &a, const Vector3D &b) {
        return scale(b, smul(a, b) / smul(b, b));
    }
    static Vector3D projectTo(float x1, float y1, float z1, float x2, float y2, float z2) {
        return projectTo(Vector3D(x1, y1, z1), Vector3D(x2, y2, z2));
    }
    static Vector3D projectTo(float x1, float y1, float z1, const Vector3D *v2) {
        return projectTo(Vector3D(x1, y1, z1), *v2);
    }
    static Vector3D projectTo(float x1, float y1, float z1, const Vector3D &v2) {
        return projectTo(Vector3D(x1, y1, z1), v2);
    }
    static Vector3D projectTo(const Vector3D *v1, float x2, float y2, float z2) {
        return projectTo(*v1, Vector3D(x2, y2, z2));
    }
    static Vector3D projectTo(const Vector3D *v1, const Vector3D *v2) { return projectTo(*v1, *v2); }
    static Vector3D projectTo(const Vector3D *v1, const Vector3D &v2) { return projectTo(*v1, v2); }
    static Vector3D projectTo(const Vector3D &v1, float x2, float y2, float z2) {
        return projectTo(v1, Vector3D(x2, y2, z2));
    }
    static Vector3D projectTo(const Vector3D &v1, const Vector3D *v2) { return projectTo(v1, *v2); }

    // sin: sine of the angle between a and b, never negative; NaN for a zero operand
    static float sin(const Vector3D &a, const Vector3D &b) {
        return std::sqrt(sqr(xmul(a, b)) / (sqr(a) * sqr(b)));
    }
    static float sin(float x1, float y1, float z1, float x2, float y2, float z2) {
        return sin(Vector3D(x1, y1, z1), Vector3D(x2, y2, z2));
    }
    static float sin(float x1, float y1, float z1, const Vector3D *v2) {
        return sin(Vector3D(x1, y1, z1), *v2);
    }
    static float sin(float x1, float y1, float z1, const Vector3D &v2) {
        return sin(Vector3D(x1, y1, z1), v2);
    }
    static float sin(const Vector3D *v1, float x2, float y2, float z2) {
        return sin(*v1, Vector3D(x2, y2, z2));
    }
    static float sin(const Vector3D *v1, const Vector3D *v2) { return sin(*v1, *v2); }
    static float sin(const Vector3D *v1, const Vector3D &v2) { return sin(*v1, v2); }
    static float sin(const Vector3D &v1, float x2, float y2, float z2) {
        return sin(v1, Vector3D(x2, y2, z2));
    }
    static float sin(const Vector3D &v1, const Vector3D *v2) { return sin(v1, *v2); }

    // cos: cosine of the angle between a and b; NaN for a zero operand
    static float cos(const Vector3D &a, const Vector3D &b) { return smul(a, b) / std::sqrt(sqr(a) * sqr(b)); }
    static float cos(float x1, float y1, float z1, float x2, float y2, float z2) {
        return cos(Vector3D(x1, y1, z1), Vector3D(x2, y2, z2));
    }
    static float cos(float x1, float y1, float z1, const Vector3D *v2) {
        return cos(Vector3D(x1, y1, z1), *v2);
    }
    static float cos(float x1, float y1, float z1, const Vector3D &v2) {
        return cos(Vector3D(x1, y1, z1), v2);
    }
    static float cos(const Vector3D *v1, float x2, float y2, float z2) {
        return cos(*v1, Vector3D(x2, y2, z2));
    }
    static float cos(const Vector3D *v1, const Vector3D *v2) { return cos(*v1, *v2); }
    static float cos(const Vector3D *v1, const Vector3D &v2) { return cos(*v1, v2); }
    static float cos(const Vector3D &v1, float x2, float y2, float z2) {
        return cos(v1, Vector3D(x2, y2, z2));
    }
    static float cos(const Vector3D &v1, const Vector3D *v2) { return cos(v1, *v2); }

    // angle: angle between a and b in radians, 0..pi; NaN for a zero operand
    static float angle(const Vector3D &a, const Vector3D &b);
    static float angle(float x1, float y1, float z1, float x2, float y2, float z2) {
        return angle(Vector3D(x1, y1, z1), Vector3D(x2, y2, z2));
    }
    static float angle(float x1, float y1, float z1, const Vector3D *v2) {
        return angle(Vector3D(x1, y1, z1), *v2);
    }
    static float angle(float x1, float y1, float z1, const Vector3D &v2) {
        return angle(Vector3D(x1, y1, z1), v2);
    }
    static float angle(const Vector3D *v1, float x2, float y2, float z2) {
        return angle(*v1, Vector3D(x2, y2, z2));
    }
    static float angle(const Vector3D *v1, const Vector3D *v2) { return angle(*v1, *v2); }
    static float angle(const Vector3D *v1, const Vector3D &v2) { return angle(*v1, v2); }
    static float angle(const Vector3D &v1, float x2, float y2, float z2) {
        return angle(v1, Vector3D(x2, y2, z2));
    }
    static float angle(const Vector3D &v1, const Vector3D *v2) { return angle(v1, *v2); }

    // affineArea: area of the parallelogram spanned by a and b
    static float affineArea(const Vector3D &a, const Vector3D &b) { return length(xmul(a, b)); }
    static float affineArea(float x1, float y1, float z1, float x2, float y2, float z2) {
        return affineArea(Vector3D(x1, y1, z1), Vector3D(x2, y2, z2));
    }
    static float affineArea(float x1, float y1, float z1, const Vector3D *v2) {
        return affineArea(Vector3D(x1, y1, z1), *v2);
    }
    static float affineArea(float x1, float y1, float z1, const Vector3D &v2) {
        return affineArea(Vector3D(x1, y1, z1), v2);
    }
    static float affineArea(const Vector3D *v1, float x2, float y2, float z2) {
        return affineArea(*v1, Vector3D(x2, y2, z2));
    }
    static float affineArea(const Vector3D *v1, const Vector3D *v2) { return affineArea(*v1, *v2); }
    static float affineArea(const Vector3D *v1, const Vector3D &v2) { return affineArea(*v1, v2); }
    static float affineArea(const Vector3D &v1, float x2, float y2, float z2) {
        return affineArea(v1, Vector3D(x2, y2, z2));
    }
    static float affineArea(const Vector3D &v1, const Vector3D *v2) { return affineArea(v1, *v2); }

    // triangleArea: area of the triangle spanned by a and b
    static float triangleArea(const Vector3D &a, const Vector3D &b) { return length(xmul(a, b)) / 2.0f; }
    static float triangleArea(float x1, float y1, float z1, float x2, float y2, float z2) {
        return triangleArea(Vector3D(x1, y1, z1), Vector3D(x2, y2, z2));
    }
    static float triangleArea(float x1, float y1, float z1, const Vector3D *v2) {
        return triangleArea(Vector3D(x1, y1, z1), *v2);
    }
    static float triangleArea(float x1, float y1, float z1, const Vector3D &v2) {
        return triangleArea(Vector3D(x1, y1, z1), v2);
    }
    static float triangleArea(const Vector3D *v1, float x2, float y2, float z2) {
        return triangleArea(*v1, Vector3D(x2, y2, z2));
    }
    static float triangleArea(const Vector3D *v1, const Vector3D *v2) { return triangleArea(*v1, *v2); }
    static float triangleArea(const Vector3D *v1, const Vector3D &v2) { return triangleArea(*v1, v2); }
    static float triangleArea(const Vector3D &v1, float x2, float y2, float z2) {
        return triangleArea(v1, Vector3D(x2, y2, z2));
    }
    static float triangleArea(const Vector3D &v1, const Vector3D *v2) { return triangleArea(v1, *v2); }

    // equals: exact equality, no tolerance
    static bool equals(const Vector3D &a, const Vector3D &b) {
        return a.x == b.x && a.y == b.y && a.z == b.z;
    }
    static bool equals(float x1, float y1, float z1, float x2, float y2, float z2) {
        return equals(Vector3D(x1, y1, z1), Vector3D(x2, y2, z2));
    }
    static bool equals(float x1, float y1, float z1, const Vector3D *v2) {
        return equals(Vector3D(x1, y1, z1), *v2);
    }
    static bool equals(float x1, float y1, float z1, const Vector3D &v2) {
        return equals(Vector3D(x1, y1, z1), v2);
    }
    static bool equals(const Vector3D *v1, float x2, float y2, float z2) {
        return equals(*v1, Vector3D(x2, y2, z2));
    }
    static bool equals(const Vector3D *v1, const Vector3D *v2) { return equals(*v1, *v2); }
    static bool equals(const Vector3D *v1, const Vector3D &v2) { return equals(*v1, v2); }
    static bool equals(const Vector3D &v1, float x2, float y2, float z2) {
        return equals(v1, Vector3D(x2, y2, z2));
    }
    static bool equals(const Vector3D &v1, const Vector3D *v2) { return equals(v1, *v2); }

    // ---- member forms of the two-operand operations ----

    // this = this + v; returns this for chaining
    Vector3D &add(const Vector3D &v) { return *this = add(*this, v); }
    Vector3D &add(const Vector3D *v) { return add(*v); }
    Vector3D &add(float x, float y, float z) { return add(Vector3D(x, y, z)); }
    // this = this - v; returns this for chaining
    Vector3D &sub(const Vector3D &v) { return *this = sub(*this, v); }
    Vector3D &sub(const Vector3D *v) { return sub(*v); }
    Vector3D &sub(float x, float y, float z) { return sub(Vector3D(x, y, z)); }
    // this = v - this; returns this for chaining
    Vector3D &xsub(const Vector3D &v) { return *this = sub(v, *this); }
    Vector3D &xsub(const Vector3D *v) { return xsub(*v); }
    Vector3D &xsub(float x, float y, float z) { return xsub(Vector3D(x, y, z)); }
    // this = this x v; returns this for chaining
    Vector3D &xmul(const Vector3D &v) { return *this = xmul(*this, v); }
    Vector3D &xmul(const Vector3D *v) { return xmul(*v); }
    Vector3D &xmul(float x, float y, float z) { return xmul(Vector3D(x, y, z)); }
    // this = v x this; returns this for chaining
    Vector3D &xxmul(const Vector3D &v) { return *this = xmul(v, *this); }
    Vector3D &xxmul(const Vector3D *v) { return xxmul(*v); }
    Vector3D &xxmul(float x, float y, float z) { return xxmul(Vector3D(x, y, z)); }
    // this = projection of this onto v; returns this for chaining
    Vector3D &projectTo(const Vector3D &v) { return *this = projectTo(*this, v); }
    Vector3D &projectTo(const Vector3D *v) { return projectTo(*v); }
    Vector3D &projectTo(float x, float y, float z) { return projectTo(Vector3D(x, y, z)); }
    // this = this * ((this.v) / (this.this)); returns this for chaining
    Vector3D &projectFrom(const Vector3D &v) {
        return *this = scale(*this, smul(*this, v) / smul(*this, *this));
    }
    Vector3D &projectFrom(const Vector3D *v) { return projectFrom(*v); }
    Vector3D &projectFrom(float x, float y, float z) { return projectFrom(Vector3D(x, y, z)); }

    float smul(const Vector3D &v) const { return smul(*this, v); }
    float smul(const Vector3D *v) const { return smul(*this, *v); }
    float smul(float x, float y, float z) const { return smul(*this, Vector3D(x, y, z)); }
    float sin(const Vector3D &v) const { return sin(*this, v); }
    float sin(const Vector3D *v) const { return sin(*this, *v); }
    float sin(float x, float y, float z) const { return sin(*this, Vector3D(x, y, z)); }
    float cos(const Vector3D &v) const { return cos(*this, v); }
    float cos(const Vector3D *v) const { return cos(*this, *v); }
    float cos(float x, float y, float z) const { return cos(*this, Vector3D(x, y, z)); }
    float angle(const Vector3D &v) const { return angle(*this, v); }
    float angle(const Vector3D *v) const { return angle(*this, *v); }
    float angle(float x, float y, float z) const { return angle(*this, Vector3D(x, y, z)); }
    float affineArea(const Vector3D &v) const { return affineArea(*this, v); }
    float affineArea(const Vector3D *v) const { return affineArea(*this, *v); }
    float affineArea(float x, float y, float z) const { return affineArea(*this, Vector3D(x, y, z)); }
    float triangleArea(const Vector3D &v) const { return triangleArea(*this, v); }
    float triangleArea(const Vector3D *v) const { return triangleArea(*this, *v); }
    float triangleArea(float x, float y, float z) const { return triangleArea(*this, Vector3D(x, y, z)); }
    bool equals(const Vector3D &v) const { return equals(*this, v); }
    bool equals(const Vector3D *v) const { return equals(*this, *v); }
    bool equals(float x, float y, float z) const { return equals(*this, Vector3D(x, y, z)); }

    // this = this - 2p with p the projection of this onto v: mirrors this at
    // the plane with normal v (v need not have unit length)
    Vector3D &reflectTo(const Vector3D *v) { return reflectAbsorbedTo(v, 1.0f); }
    // this = this - (1 + factor)p: the part along v is reversed and scaled by
    // factor (1 bounces fully, 0 removes it), the perpendicular part is kept
    Vector3D &reflectAbsorbedTo(const Vector3D *v, float factor) {
        return *this = sub(*this, scale(projectTo(*this, *v), 1.0f + factor));
    }

    // ---- scalar and one-operand operations ----

    static Vector3D scale(float x, float y, float z, float s) { return Vector3D(x * s, y * s, z * s); }
    static Vector3D scale(const Vector3D *v, float s) { return scale(v->x, v->y, v->z, s); }
    static Vector3D scale(const Vector3D &v, float s) { return scale(v.x, v.y, v.z, s); }
    Vector3D &scale(float s) { return *this = scale(*this, s); }

    static Vector3D antiscale(float x, float y, float z, float s) { return Vector3D(x / s, y / s, z / s); }
    static Vector3D antiscale(const Vector3D *v, float s) { return antiscale(v->x, v->y, v->z, s); }
    static Vector3D antiscale(const Vector3D &v, float s) { return antiscale(v.x, v.y, v.z, s); }
    Vector3D &antiscale(float s) { return *this = antiscale(*this, s); }

    static float length(float x, float y, float z) { return std::sqrt(sqr(x, y, z)); }
    static float length(const Vector3D *v) { return length(v->x, v->y, v->z); }
    static float length(const Vector3D &v) { return length(v.x, v.y, v.z); }
    float length() const { return length(x, y, z); }

    // squared length
    static float sqr(float x, float y, float z) { return x * x + y * y + z * z; }
    static float sqr(const Vector3D *v) { return sqr(v->x, v->y, v->z); }
    static float sqr(const Vector3D &v) { return sqr(v.x, v.y, v.z); }
    float sqr() const { return sqr(x, y, z); }

    // v / |v|
    static Vector3D unit(float x, float y, float z) { return antiscale(x, y, z, length(x, y, z)); }
    static Vector3D unit(const Vector3D *v) { return unit(v->x, v->y, v->z); }
    static Vector3D unit(const Vector3D &v) { return unit(v.x, v.y, v.z); }
    Vector3D &unit() { return *this = unit(x, y, z); }

    // v / |v|^2
    static Vector3D reziprocal(float x, float y, float z) { return antiscale(x, y, z, sqr(x, y, z)); }
    static Vector3D reziprocal(const Vector3D *v) { return reziprocal(v->x, v->y, v->z); }
    static Vector3D reziprocal(const Vector3D &v) { return reziprocal(v.x, v.y, v.z); }
    Vector3D &reziprocal() { return *this = reziprocal(x, y, z); }

    static Vector3D neg(float x, float y, float z) { return Vector3D(-x, -y, -z); }
    static Vector3D neg(const Vector3D *v) { return neg(v->x, v->y, v->z); }
    static Vector3D neg(const Vector3D &v) { return neg(v.x, v.y, v.z); }
    Vector3D &neg() { return *this = neg(x, y, z); }

    static Vector3D copy(float x, float y, float z) { return Vector3D(x, y, z); }
    static Vector3D copy(const Vector3D *v) { return Vector3D(v); }
    static Vector3D copy(const Vector3D &v) { return Vector3D(v); }
    Vector3D copy() const { return Vector3D(*this); }

    // ---- operators (pointer and reference operands) ----

    Vector3D operator+(const Vector3D &v) const { return add(*this, v); }
    Vector3D operator+(const Vector3D *v) const { return add(*this, *v); }
    Vector3D &operator+=(const Vector3D &v) { return add(v); }
    Vector3D &operator+=(const Vector3D *v) { return add(*v); }
    Vector3D operator-(const Vector3D &v) const { return sub(*this, v); }
    Vector3D operator-(const Vector3D *v) const { return sub(*this, *v); }
    Vector3D &operator-=(const Vector3D &v) { return sub(v); }
    Vector3D &operator-=(const Vector3D *v) { return sub(*v); }
    float operator*(const Vector3D &v) const { return smul(*this, v); } // dot product
    float operator*(const Vector3D *v) const { return smul(*this, *v); }
    Vector3D operator^(const Vector3D &v) const { return xmul(*this, v); } // cross product
    Vector3D operator^(const Vector3D *v) const { return xmul(*this, *v); }
    Vector3D &operator^=(const Vector3D &v) { return xmul(v); }
    Vector3D &operator^=(const Vector3D *v) { return xmul(*v); }
    bool operator==(const Vector3D &v) const { return equals(*this, v); }
    bool operator==(const Vector3D *v) const { return equals(*this, *v); }
    bool operator!=(const Vector3D &v) const { return !equals(*this, v); }
    bool operator!=(const Vector3D *v) const { return !equals(*this, *v); }

    Vector3D operator*(float s) const { return scale(*this, s); }
    Vector3D &operator*=(float s) { return scale(s); }
    Vector3D operator/(float s) const { return antiscale(*this, s); }
    Vector3D &operator/=(float s) { return antiscale(s); }
};

inline float Vector3D::angle(const Vector3D &a, const Vector3D &b) {
    // Rounding can push the cosine of (anti)parallel vectors just past +-1,
    // where acos would answer NaN; clamp so such pairs give 0 or pi. A NaN
    // cosine (zero operand) fails both tests and passes through.
    float c = cos(a, b);
    if (c > 1.0f)
        c = 1.0f;
    else if (c < -1.0f)
        c = -1.0f;
    return std::acos(c);
}
