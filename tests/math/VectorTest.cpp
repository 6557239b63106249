#include "math/Calculations.h"
#include "math/MathConstants.h"
#include "math/VECTOR2D.h"
#include "math/VECTOR3DM.h"
#include "math/VECTOR4D.h"
#include "math/Vector3D.h"
#include "math/VectorOperations.h"

#include "math/MathTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kHalfPi = static_cast<float>(kPi / 2.0);

// ---------------------------------------------------------------- Vector3D

TEST(Vector3DTest, ConstructionAndAssignmentForms) {
    EXPECT_TRUE(Vector3D() == Vector3D(0.0f, 0.0f, 0.0f));
    EXPECT_TRUE(Vector3D(2.5f) == Vector3D(2.5f, 2.5f, 2.5f));

    const Vector3D source(1.0f, 2.0f, 3.0f);
    EXPECT_TRUE(Vector3D(&source) == source);
    Vector3D copy(source);
    EXPECT_TRUE(copy == source);

    Vector3D v;
    Vector3D &chained = v.set(4.0f, 5.0f, 6.0f);
    EXPECT_EQ(&chained, &v);
    EXPECT_TRUE(v == Vector3D(4.0f, 5.0f, 6.0f));
    EXPECT_TRUE(v.set(&source) == source);
    v.clear();
    EXPECT_TRUE(v == Vector3D());
    EXPECT_TRUE(v.set(source) == source);
    v.clear();
    v = &source;
    EXPECT_TRUE(v == source);
    v.dump();
    v.dump(4);
    EXPECT_TRUE(v == source); // dump changes nothing
}

TEST(Vector3DTest, EveryOperandFormOfAStaticOperationAgrees) {
    const Vector3D a(1.0f, -2.0f, 3.0f);
    const Vector3D b(-4.0f, 5.0f, 0.5f);
    const Vector3D *pa = &a;
    const Vector3D *pb = &b;

    const Vector3D sum(-3.0f, 3.0f, 3.5f);
    const Vector3D forms[] = {
        Vector3D::add(1.0f, -2.0f, 3.0f, -4.0f, 5.0f, 0.5f),
        Vector3D::add(1.0f, -2.0f, 3.0f, pb),
        Vector3D::add(1.0f, -2.0f, 3.0f, b),
        Vector3D::add(pa, -4.0f, 5.0f, 0.5f),
        Vector3D::add(pa, pb),
        Vector3D::add(pa, b),
        Vector3D::add(a, -4.0f, 5.0f, 0.5f),
        Vector3D::add(a, pb),
        Vector3D::add(a, b),
    };
    for (const Vector3D &form : forms)
        EXPECT_TRUE(form == sum);

    // cross product: (ay bz - az by, az bx - ax bz, ax by - ay bx)
    const Vector3D cross(-2.0f * 0.5f - 3.0f * 5.0f, 3.0f * -4.0f - 1.0f * 0.5f,
                         1.0f * 5.0f - (-2.0f * -4.0f));
    EXPECT_TRUE(Vector3D::xmul(1.0f, -2.0f, 3.0f, -4.0f, 5.0f, 0.5f) == cross);
    EXPECT_TRUE(Vector3D::xmul(pa, b) == cross);
    EXPECT_TRUE(Vector3D::xmul(a, pb) == cross);

    const float dot = -4.0f - 10.0f + 1.5f;
    EXPECT_FLOAT_EQ(Vector3D::smul(1.0f, -2.0f, 3.0f, pb), dot);
    EXPECT_FLOAT_EQ(Vector3D::smul(pa, -4.0f, 5.0f, 0.5f), dot);
    EXPECT_FLOAT_EQ(Vector3D::smul(a, b), dot);
    EXPECT_FLOAT_EQ(a * b, dot);
    EXPECT_FLOAT_EQ(a * pb, dot);

    EXPECT_TRUE(Vector3D::sub(a, b) == Vector3D(5.0f, -7.0f, 2.5f));
    EXPECT_TRUE(Vector3D::equals(pa, 1.0f, -2.0f, 3.0f));
    EXPECT_FALSE(Vector3D::equals(a, pb));
}

TEST(Vector3DTest, MemberFormsChangeTheObjectAndChain) {
    const Vector3D b(0.0f, 1.0f, 0.0f);
    Vector3D v(1.0f, 0.0f, 0.0f);

    // (1,0,0) + (0,1,0) = (1,1,0); x (0,1,0) = (0,0,1); scaled by 2
    Vector3D &result = v.add(&b).xmul(b).scale(2.0f);
    EXPECT_EQ(&result, &v);
    EXPECT_TRUE(v == Vector3D(0.0f, 0.0f, 2.0f));

    v.set(1.0f, 2.0f, 3.0f).sub(1.0f, 1.0f, 1.0f);
    EXPECT_TRUE(v == Vector3D(0.0f, 1.0f, 2.0f));
    v.xsub(Vector3D(10.0f, 10.0f, 10.0f)); // v = (10,10,10) - v
    EXPECT_TRUE(v == Vector3D(10.0f, 9.0f, 8.0f));

    // xmul and xxmul are the two orders of the cross product
    Vector3D x1(1.0f, 0.0f, 0.0f);
    Vector3D x2(1.0f, 0.0f, 0.0f);
    x1.xmul(0.0f, 1.0f, 0.0f);
    x2.xxmul(0.0f, 1.0f, 0.0f);
    EXPECT_TRUE(x1 == Vector3D(0.0f, 0.0f, 1.0f));
    EXPECT_TRUE(x2 == Vector3D(0.0f, 0.0f, -1.0f));

    Vector3D p(3.0f, 4.0f, 5.0f);
    p.projectTo(Vector3D(0.0f, 2.0f, 0.0f));
    EXPECT_TRUE(vecNear(p, 0.0f, 4.0f, 0.0f));
    EXPECT_TRUE(vecNear(Vector3D::projectTo(3.0f, 4.0f, 5.0f, 1.0f, 1.0f, 0.0f), 3.5f, 3.5f, 0.0f));

    // projectFrom scales this by (this.v)/(this.this)
    Vector3D q(2.0f, 0.0f, 0.0f);
    q.projectFrom(Vector3D(3.0f, 7.0f, 0.0f));
    EXPECT_TRUE(vecNear(q, 3.0f, 0.0f, 0.0f));

    EXPECT_FLOAT_EQ(Vector3D(1.0f, 2.0f, 3.0f).smul(4.0f, 5.0f, 6.0f), 32.0f);
    EXPECT_TRUE(Vector3D(1.0f, 2.0f, 3.0f).equals(1.0f, 2.0f, 3.0f));
}

TEST(Vector3DTest, OperatorsMatchTheNamedOperations) {
    const Vector3D a(1.0f, 2.0f, 3.0f);
    const Vector3D b(-1.0f, 0.5f, 2.0f);

    EXPECT_TRUE(a + b == Vector3D::add(a, b));
    EXPECT_TRUE(a + &b == Vector3D::add(a, b));
    EXPECT_TRUE(a - b == Vector3D::sub(a, b));
    EXPECT_TRUE(a - &b == Vector3D::sub(a, b));
    EXPECT_TRUE((a ^ b) == Vector3D::xmul(a, b));
    EXPECT_TRUE((a ^ &b) == Vector3D::xmul(a, b));
    EXPECT_TRUE(a * 2.0f == Vector3D(2.0f, 4.0f, 6.0f));
    EXPECT_TRUE(a / 2.0f == Vector3D(0.5f, 1.0f, 1.5f));

    Vector3D v = a;
    v += b;
    v -= &b;
    EXPECT_TRUE(v == a);
    v ^= b;
    EXPECT_TRUE(v == Vector3D::xmul(a, b));
    v = a;
    v *= 4.0f;
    v /= 2.0f;
    EXPECT_TRUE(v == Vector3D(2.0f, 4.0f, 6.0f));
    EXPECT_TRUE(v != a);
    EXPECT_TRUE(v != &a);
    EXPECT_FALSE(a != &a);
}

TEST(Vector3DTest, EqualityIsExact) {
    const Vector3D a(0.1f, 0.0f, 0.0f);
    const Vector3D b(0.1f + 1e-7f, 0.0f, 0.0f);
    ASSERT_NE(0.1f, 0.1f + 1e-7f); // the two values differ in single precision
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(a != b);
    EXPECT_FALSE(a.equals(&b));
    EXPECT_TRUE(a == Vector3D(0.1f, 0.0f, 0.0f));
}

TEST(Vector3DTest, LengthsUnitsAndScalarForms) {
    EXPECT_FLOAT_EQ(Vector3D::length(3.0f, 4.0f, 12.0f), 13.0f);
    EXPECT_FLOAT_EQ(Vector3D::sqr(3.0f, 4.0f, 12.0f), 169.0f);
    const Vector3D v(0.0f, 3.0f, 4.0f);
    EXPECT_FLOAT_EQ(v.length(), 5.0f);
    EXPECT_FLOAT_EQ(Vector3D::length(&v), 5.0f);
    EXPECT_FLOAT_EQ(v.sqr(), 25.0f);

    EXPECT_TRUE(vecNear(Vector3D::unit(v), 0.0f, 0.6f, 0.8f));
    EXPECT_TRUE(vecNear(Vector3D::reziprocal(&v), 0.0f, 0.12f, 0.16f));
    EXPECT_TRUE(Vector3D::neg(1.0f, -2.0f, 3.0f) == Vector3D(-1.0f, 2.0f, -3.0f));
    EXPECT_TRUE(Vector3D::scale(&v, 2.0f) == Vector3D(0.0f, 6.0f, 8.0f));
    EXPECT_TRUE(Vector3D::antiscale(v, 2.0f) == Vector3D(0.0f, 1.5f, 2.0f));
    EXPECT_TRUE(Vector3D::copy(&v) == v);
    EXPECT_TRUE(Vector3D::copy(7.0f, 8.0f, 9.0f) == Vector3D(7.0f, 8.0f, 9.0f));

    Vector3D w = v;
    Vector3D copy = w.copy();
    w.unit();
    EXPECT_TRUE(vecNear(w, 0.0f, 0.6f, 0.8f));
    EXPECT_TRUE(copy == v); // the copy is independent
    w = v;
    w.reziprocal().neg().antiscale(0.5f);
    EXPECT_TRUE(vecNear(w, 0.0f, -0.24f, -0.32f));
}

TEST(Vector3DTest, ZeroOperandsGiveNaNWithoutGuard) {
    const Vector3D zero;
    const Vector3D v(1.0f, 2.0f, 3.0f);

    const Vector3D unit = Vector3D::unit(zero);
    EXPECT_TRUE(std::isnan(unit.x) && std::isnan(unit.y) && std::isnan(unit.z));
    EXPECT_TRUE(std::isnan(Vector3D::reziprocal(0.0f, 0.0f, 0.0f).x));
    EXPECT_TRUE(std::isnan(Vector3D::projectTo(v, zero).y));
    Vector3D from = zero;
    from.projectFrom(v);
    EXPECT_TRUE(std::isnan(from.z));
    EXPECT_TRUE(std::isnan(Vector3D::sin(v, zero)));
    EXPECT_TRUE(std::isnan(Vector3D::cos(zero, v)));
    EXPECT_TRUE(std::isnan(Vector3D::angle(zero, zero)));
    EXPECT_TRUE(std::isnan(v.angle(&zero)));

    // Division by zero is IEEE as well: no guard turns it into something else.
    EXPECT_TRUE(std::isinf((v / 0.0f).x));
}

TEST(Vector3DTest, AngleFunctions) {
    const Vector3D x(2.0f, 0.0f, 0.0f);
    const Vector3D y(0.0f, 3.0f, 0.0f);
    EXPECT_NEAR(Vector3D::sin(x, y), 1.0f, 1e-6f);
    EXPECT_NEAR(Vector3D::cos(x, y), 0.0f, 1e-6f);
    EXPECT_NEAR(Vector3D::angle(x, y), kHalfPi, 1e-6f);

    // 135 degrees: the sine stays positive, the cosine carries the sign
    const Vector3D diagonal(-1.0f, 1.0f, 0.0f);
    EXPECT_NEAR(x.sin(diagonal), std::sqrt(0.5f), 1e-6f);
    EXPECT_NEAR(x.cos(diagonal), -std::sqrt(0.5f), 1e-6f);
    EXPECT_NEAR(x.angle(diagonal), 3.0f * static_cast<float>(kPi) / 4.0f, 1e-6f);
    EXPECT_NEAR(Vector3D::sin(diagonal, x), Vector3D::sin(x, diagonal), 1e-7f);

    // (Anti)parallel pairs whose rounded cosine lands just past +-1 still
    // give 0 and pi rather than NaN.
    const Vector3D u(3.94606686f, 3.65020275f, 3.76389122f);
    const Vector3D parallel = u * 3.29146957f;
    ASSERT_GT(Vector3D::cos(parallel, u), 1.0f); // the case the clamp exists for
    EXPECT_EQ(Vector3D::angle(parallel, u), 0.0f);
    const Vector3D w(0.586898327f, -0.427951813f, -0.826951981f);
    const Vector3D antiparallel = w * -0.693014145f;
    ASSERT_LT(Vector3D::cos(antiparallel, w), -1.0f);
    EXPECT_FLOAT_EQ(Vector3D::angle(antiparallel, w), static_cast<float>(kPi));
}

TEST(Vector3DTest, ReflectionAndAreas) {
    const Vector3D normal(0.0f, 2.0f, 0.0f);
    Vector3D v(1.0f, -1.0f, 0.0f);
    v.reflectTo(&normal);
    EXPECT_TRUE(vecNear(v, 1.0f, 1.0f, 0.0f));

    Vector3D absorbed(1.0f, -1.0f, 0.0f);
    absorbed.reflectAbsorbedTo(&normal, 0.0f);
    EXPECT_TRUE(vecNear(absorbed, 1.0f, 0.0f, 0.0f));

    Vector3D half(1.0f, -1.0f, 0.0f);
    half.reflectAbsorbedTo(&normal, 0.5f);
    EXPECT_TRUE(vecNear(half, 1.0f, 0.5f, 0.0f));

    Vector3D full(3.0f, -2.0f, 5.0f);
    Vector3D bounced = full;
    full.reflectAbsorbedTo(&normal, 1.0f);
    bounced.reflectTo(&normal);
    EXPECT_TRUE(vecNear(full, bounced.x, bounced.y, bounced.z));

    const Vector3D ex(1.0f, 0.0f, 0.0f);
    const Vector3D ey(0.0f, 1.0f, 0.0f);
    EXPECT_FLOAT_EQ(Vector3D::triangleArea(ex, ey), 0.5f);
    EXPECT_FLOAT_EQ(Vector3D::affineArea(ex, ey), 1.0f);
    EXPECT_FLOAT_EQ(ex.triangleArea(0.0f, 4.0f, 0.0f), 2.0f);
    EXPECT_FLOAT_EQ(ex.affineArea(&ex), 0.0f);
}

// ---------------------------------------------------------------- VECTOR2D

TEST(VECTOR2DTest, LengthNormalisationAndScaling) {
    VECTOR2D v(3.0f, 4.0f);
    EXPECT_FLOAT_EQ(v.GetLength(), 5.0f);
    const VECTOR2D n = v.GetNormalized();
    EXPECT_NEAR(n.x, 0.6f, 1e-6f);
    EXPECT_NEAR(n.y, 0.8f, 1e-6f);
    EXPECT_TRUE(v == VECTOR2D(3.0f, 4.0f)); // GetNormalized leaves the source alone

    VECTOR2D zero(0.0f, 0.0f);
    zero.Normalize();
    EXPECT_TRUE(zero == VECTOR2D(0.0f, 0.0f));
    VECTOR2D unit(0.0f, -1.0f);
    unit.Normalize();
    EXPECT_TRUE(unit == VECTOR2D(0.0f, -1.0f));

    EXPECT_TRUE(v * 2.0f == VECTOR2D(6.0f, 8.0f));
    EXPECT_TRUE(2.0f * v == v * 2.0f);
    EXPECT_FALSE(VECTOR2D(0.1f, 0.0f) == VECTOR2D(0.1f + 1e-7f, 0.0f));
}

// ---------------------------------------------------------------- VECTOR3DM

TEST(VECTOR3DMTest, ProductsLengthAndArithmetic) {
    const VECTOR3DM a(1.0f, 2.0f, 3.0f);
    const VECTOR3DM b(4.0f, 5.0f, 6.0f);
    EXPECT_TRUE(a.CrossProduct(b) == VECTOR3DM(-3.0f, 6.0f, -3.0f));
    EXPECT_FLOAT_EQ(a.DotProduct(b), 32.0f);
    EXPECT_FLOAT_EQ(VECTOR3DM(2.0f, 3.0f, 6.0f).GetLength(), 7.0f);
    EXPECT_TRUE(a + b == VECTOR3DM(5.0f, 7.0f, 9.0f));
    EXPECT_TRUE(b - a == VECTOR3DM(3.0f, 3.0f, 3.0f));
    EXPECT_TRUE(a * 2.0f == VECTOR3DM(2.0f, 4.0f, 6.0f));
    EXPECT_TRUE(2.0f * a == a * 2.0f);
    EXPECT_TRUE(b / 2.0f == VECTOR3DM(2.0f, 2.5f, 3.0f));
    EXPECT_TRUE(VECTOR3DM() == VECTOR3DM(0.0f, 0.0f, 0.0f));
    EXPECT_FALSE(VECTOR3DM(0.1f, 0.0f, 0.0f) == VECTOR3DM(0.1f + 1e-7f, 0.0f, 0.0f));
}

TEST(VECTOR3DMTest, DivisionByZeroIsGuarded) {
    const VECTOR3DM v(1.0f, 2.0f, 3.0f);
    EXPECT_TRUE(v / 0.0f == VECTOR3DM(0.0f, 0.0f, 0.0f));
    VECTOR3DM w = v;
    w /= 0.0f;
    EXPECT_TRUE(w == v);
    w /= 2.0f;
    EXPECT_TRUE(w == VECTOR3DM(0.5f, 1.0f, 1.5f));
}

TEST(VECTOR3DMTest, NormalizeSkipsZeroAndUnitVectors) {
    VECTOR3DM zero;
    zero.Normalize();
    EXPECT_TRUE(zero == VECTOR3DM(0.0f, 0.0f, 0.0f));

    VECTOR3DM unit(0.0f, 1.0f, 0.0f);
    unit.Normalize();
    EXPECT_TRUE(unit == VECTOR3DM(0.0f, 1.0f, 0.0f));

    VECTOR3DM v(0.0f, 0.0f, -4.0f);
    v.Normalize();
    EXPECT_TRUE(vecNear(v, 0.0f, 0.0f, -1.0f));
    EXPECT_TRUE(vecNear(VECTOR3DM(1.0f, 2.0f, 2.0f).GetNormalized(), 1.0f / 3.0f, 2.0f / 3.0f, 2.0f / 3.0f));

    // Packing maps a direction to [0, 1]: -1 -> 0, 0 -> 0.5, +1 -> 1.
    EXPECT_TRUE(vecNear(VECTOR3DM(0.0f, 0.0f, -5.0f).GetPackedTo01(), 0.5f, 0.5f, 0.0f));
    VECTOR3DM packed(3.0f, 0.0f, 0.0f);
    packed.PackTo01();
    EXPECT_TRUE(vecNear(packed, 1.0f, 0.5f, 0.5f));
    EXPECT_TRUE(VECTOR3DM().GetPackedTo01() == VECTOR3DM(0.5f, 0.5f, 0.5f));
}

TEST(VECTOR3DMTest, RotationsAreRightHandedInDegrees) {
    EXPECT_TRUE(vecNear(VECTOR3DM(1.0f, 0.0f, 0.0f).GetRotatedZ(90), 0.0f, 1.0f, 0.0f));
    EXPECT_TRUE(vecNear(VECTOR3DM(0.0f, 1.0f, 0.0f).GetRotatedX(90), 0.0f, 0.0f, 1.0f));
    EXPECT_TRUE(vecNear(VECTOR3DM(0.0f, 0.0f, 1.0f).GetRotatedY(90), 1.0f, 0.0f, 0.0f));
    EXPECT_TRUE(vecNear(VECTOR3DM(1.0f, 2.0f, 3.0f).GetRotatedY(180), -1.0f, 2.0f, -3.0f));

    VECTOR3DM v(1.0f, 0.0f, 0.0f);
    v.RotateZ(45);
    EXPECT_TRUE(vecNear(v, std::sqrt(0.5f), std::sqrt(0.5f), 0.0f));
    v.RotateZ(-45);
    EXPECT_TRUE(vecNear(v, 1.0f, 0.0f, 0.0f));
    v.RotateX(30);
    EXPECT_TRUE(vecNear(v, 1.0f, 0.0f, 0.0f)); // the axis itself does not move
    v.RotateY(-90);
    EXPECT_TRUE(vecNear(v, 0.0f, 0.0f, 1.0f));

    // An angle of exactly 0 is an untouched copy, bit for bit.
    const VECTOR3DM odd(0.1f, -7.3f, 1e-30f);
    EXPECT_TRUE(odd.GetRotatedX(0) == odd);
    EXPECT_TRUE(odd.GetRotatedAxis(0, VECTOR3DM()) == odd);
}

TEST(VECTOR3DMTest, AxisRotationMatchesAxisAlignedRotations) {
    const VECTOR3DM v(0.3f, -1.2f, 2.5f);
    for (double angle : {-170.0, -33.0, 12.5, 90.0, 271.0}) {
        const VECTOR3DM x = v.GetRotatedX(angle);
        const VECTOR3DM y = v.GetRotatedY(angle);
        const VECTOR3DM z = v.GetRotatedZ(angle);
        EXPECT_TRUE(vecNear(v.GetRotatedAxis(angle, VECTOR3DM(5.0f, 0.0f, 0.0f)), x.x, x.y, x.z)) << angle;
        EXPECT_TRUE(vecNear(v.GetRotatedAxis(angle, VECTOR3DM(0.0f, 0.5f, 0.0f)), y.x, y.y, y.z)) << angle;
        EXPECT_TRUE(vecNear(v.GetRotatedAxis(angle, VECTOR3DM(0.0f, 0.0f, 1.0f)), z.x, z.y, z.z)) << angle;
    }
    // A third of a turn about the diagonal cycles the axes x -> y -> z.
    VECTOR3DM e(1.0f, 0.0f, 0.0f);
    e.RotateAxis(120, VECTOR3DM(1.0f, 1.0f, 1.0f));
    EXPECT_TRUE(vecNear(e, 0.0f, 1.0f, 0.0f));
    // Rotation keeps the length.
    EXPECT_NEAR(v.GetRotatedAxis(77, VECTOR3DM(1.0f, -2.0f, 0.5f)).GetLength(), v.GetLength(), 1e-5f);
}

// ---------------------------------------------------------------- VECTOR4D

TEST(VECTOR4DTest, ConversionToThreeDimensions) {
    EXPECT_TRUE(static_cast<VECTOR3DM>(VECTOR4D(2.0f, 4.0f, 6.0f, 2.0f)) == VECTOR3DM(1.0f, 2.0f, 3.0f));
    EXPECT_TRUE(static_cast<VECTOR3DM>(VECTOR4D(2.0f, 4.0f, 6.0f, 0.0f)) == VECTOR3DM(2.0f, 4.0f, 6.0f));
    EXPECT_TRUE(static_cast<VECTOR3DM>(VECTOR4D(2.0f, 4.0f, 6.0f, 1.0f)) == VECTOR3DM(2.0f, 4.0f, 6.0f));
    const VECTOR3DM implicit = VECTOR4D(1.0f, 1.0f, 1.0f, 4.0f);
    EXPECT_TRUE(implicit == VECTOR3DM(0.25f, 0.25f, 0.25f));
}

TEST(VECTOR4DTest, FloatArrayViewScalingAndEquality) {
    const float raw[4] = {1.0f, 2.0f, 3.0f, 4.0f};
    const VECTOR4D v(raw);
    EXPECT_TRUE(v == VECTOR4D(1.0f, 2.0f, 3.0f, 4.0f));
    const float *p = v;
    EXPECT_EQ(p, &v.x);
    EXPECT_EQ(p[3], 4.0f);

    EXPECT_TRUE(v * 0.5f == VECTOR4D(0.5f, 1.0f, 1.5f, 2.0f));
    EXPECT_TRUE(0.5f * v == v * 0.5f);
    EXPECT_FALSE(v == VECTOR4D(1.0f, 2.0f, 3.0f, 4.0f + 1e-6f));
    EXPECT_TRUE(v != VECTOR4D(1.0f, 2.0f, 3.0f, 5.0f));
}

TEST(VECTOR4DTest, RotationsMatchVECTOR3DMAndKeepW) {
    const VECTOR4D v(0.5f, -1.0f, 2.0f, 7.0f);
    const VECTOR3DM v3(0.5f, -1.0f, 2.0f);
    const VECTOR3DM axis(1.0f, 2.0f, -1.0f);

    const VECTOR3DM rx = v3.GetRotatedX(33);
    const VECTOR3DM ry = v3.GetRotatedY(-71);
    const VECTOR3DM rz = v3.GetRotatedZ(150);
    const VECTOR3DM ra = v3.GetRotatedAxis(42, axis);
    EXPECT_TRUE(v.GetRotatedX(33) == VECTOR4D(rx.x, rx.y, rx.z, 7.0f));
    EXPECT_TRUE(v.GetRotatedY(-71) == VECTOR4D(ry.x, ry.y, ry.z, 7.0f));
    EXPECT_TRUE(v.GetRotatedZ(150) == VECTOR4D(rz.x, rz.y, rz.z, 7.0f));
    EXPECT_TRUE(v.GetRotatedAxis(42, axis) == VECTOR4D(ra.x, ra.y, ra.z, 7.0f));

    VECTOR4D w(1.0f, 0.0f, 0.0f, 1.0f);
    w.RotateZ(90);
    EXPECT_TRUE(vecNear(w, 0.0f, 1.0f, 0.0f, 1.0f));
    w.RotateX(90);
    EXPECT_TRUE(vecNear(w, 0.0f, 0.0f, 1.0f, 1.0f));
    w.RotateY(90);
    EXPECT_TRUE(vecNear(w, 1.0f, 0.0f, 0.0f, 1.0f));
    w.RotateAxis(180, VECTOR3DM(0.0f, 1.0f, 0.0f));
    EXPECT_TRUE(vecNear(w, -1.0f, 0.0f, 0.0f, 1.0f));
}

// ---------------------------------------------------------------- VectorOperations

TEST(VectorOperationsTest, RotationsTurnTheOtherWay) {
    VectorOperations ops;
    float z[3] = {1.0f, 0.0f, 0.0f};
    ops.rotationZ(z, kPi / 2.0);
    EXPECT_TRUE(near3(z, 0.0f, -1.0f, 0.0f, 1e-6f));

    float x[3] = {0.0f, 1.0f, 0.0f};
    ops.rotationX(x, kPi / 2.0);
    EXPECT_TRUE(near3(x, 0.0f, 0.0f, -1.0f, 1e-6f));

    float y[3] = {0.0f, 0.0f, 1.0f};
    ops.rotationY(y, kPi / 2.0);
    EXPECT_TRUE(near3(y, -1.0f, 0.0f, 0.0f, 1e-6f));

    // Each is the inverse of the VECTOR3DM rotation by the same angle.
    float v[3] = {0.3f, -1.1f, 2.0f};
    const VECTOR3DM expected = VECTOR3DM(0.3f, -1.1f, 2.0f).GetRotatedY(-40);
    ops.rotationY(v, degreesToRadians(40));
    EXPECT_TRUE(near3(v, expected.x, expected.y, expected.z, 1e-5f));
}

TEST(VectorOperationsTest, ProductsAndMatrixMultiplication) {
    const float a[3] = {1.0f, 2.0f, 3.0f};
    float b[3] = {4.0f, 5.0f, 6.0f};
    EXPECT_FLOAT_EQ(VectorOperations::dot_product(a, b), 32.0f);

    float out[3];
    VectorOperations::cross_product(a, b, out);
    EXPECT_TRUE(near3(out, -3.0f, 6.0f, -3.0f, 0.0f));
    VectorOperations::cross_product(a, b, b); // output over an input
    EXPECT_TRUE(near3(b, -3.0f, 6.0f, -3.0f, 0.0f));

    // Row vector times a row-major matrix: v'j = v0 m[j] + v1 m[3+j] + v2 m[6+j].
    const float m[9] = {1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f, 8.0f, 9.0f};
    float v[3] = {1.0f, 0.0f, -1.0f};
    VectorOperations::multiply_vector_by_matrix(m, v);
    EXPECT_TRUE(near3(v, -6.0f, -6.0f, -6.0f, 0.0f));
    float w[3] = {2.0f, 1.0f, 0.5f};
    VectorOperations::multiply_vector_by_matrix(m, w);
    EXPECT_TRUE(near3(w, 9.5f, 13.0f, 16.5f, 0.0f));
}

TEST(VectorOperationsTest, TranslateScaleAndNormalize) {
    float v[3] = {1.0f, 2.0f, 3.0f};
    VectorOperations::translate(v, 1.0, -2.0, 0.5);
    EXPECT_TRUE(near3(v, 2.0f, 0.0f, 3.5f, 0.0f));
    VectorOperations::scale(v, 2.0);
    EXPECT_TRUE(near3(v, 4.0f, 0.0f, 7.0f, 0.0f));

    float n[3] = {0.0f, 3.0f, -4.0f};
    VectorOperations::normalize(n);
    EXPECT_TRUE(near3(n, 0.0f, 0.6f, -0.8f, 1e-6f));

    float zero[3] = {0.0f, 0.0f, 0.0f};
    VectorOperations::normalize(zero); // unguarded: 0 * inf
    EXPECT_TRUE(std::isnan(zero[0]) && std::isnan(zero[1]) && std::isnan(zero[2]));
}

// ---------------------------------------------------------------- Calculations

TEST(CalculationsTest, FaceNormal) {
    const float p1[3] = {0.0f, 0.0f, 0.0f};
    const float p2[3] = {1.0f, 0.0f, 0.0f};
    const float p3[3] = {1.0f, 1.0f, 0.0f};
    float normal[3];
    Calculations::CalculateNormal(normal, p1, p2, p3);
    EXPECT_TRUE(near3(normal, 0.0f, 0.0f, -1.0f, 1e-6f));

    // A larger triangle in the x-z plane still gives a unit normal.
    const float q1[3] = {0.0f, 5.0f, 0.0f};
    const float q2[3] = {0.0f, 5.0f, 4.0f};
    const float q3[3] = {3.0f, 5.0f, 4.0f};
    Calculations::CalculateNormal(normal, q1, q2, q3);
    EXPECT_TRUE(near3(normal, 0.0f, -1.0f, 0.0f, 1e-6f));

    // Collinear points give a zero normal, not NaN.
    const float r3[3] = {2.0f, 0.0f, 0.0f};
    Calculations::CalculateNormal(normal, p1, p2, r3);
    EXPECT_TRUE(near3(normal, 0.0f, 0.0f, 0.0f, 0.0f));
}

TEST(CalculationsTest, NormalizeLeavesZeroVectorsAlone) {
    float zero[3] = {0.0f, 0.0f, 0.0f};
    Calculations::Normalize(zero);
    EXPECT_TRUE(near3(zero, 0.0f, 0.0f, 0.0f, 0.0f));
    float v[3] = {3.0f, 0.0f, 4.0f};
    Calculations::Normalize(v);
    EXPECT_TRUE(near3(v, 0.6f, 0.0f, 0.8f, 1e-6f));

    Vector3D zero3;
    Calculations::Normalize(zero3);
    EXPECT_TRUE(zero3 == Vector3D());
    Vector3D w(0.0f, -2.0f, 0.0f);
    Calculations::Normalize(w);
    EXPECT_TRUE(w == Vector3D(0.0f, -1.0f, 0.0f));
}

} // namespace
