#include "math/MATRIX4X4.h"
#include "math/MathConstants.h"

#include "math/MathTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <utility>

namespace {

// ---- independent references, written the plain way ----

// Entry at row r, column c of column-major storage.
float at(const MATRIX4X4 &m, int row, int col) {
    return m.entries[4 * col + row];
}

// The textbook product with all 64 multiplications, accumulated in double.
MATRIX4X4 referenceProduct(const MATRIX4X4 &a, const MATRIX4X4 &b) {
    MATRIX4X4 result;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += static_cast<double>(at(a, row, k)) * at(b, k, col);
            result.entries[4 * col + row] = static_cast<float>(sum);
        }
    return result;
}

// Gauss-Jordan elimination with partial pivoting in double precision.
MATRIX4X4 referenceInverse(const MATRIX4X4 &m) {
    double a[4][8];
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            a[row][col] = at(m, row, col);
            a[row][4 + col] = row == col ? 1.0 : 0.0;
        }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int row = col + 1; row < 4; ++row)
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col]))
                pivot = row;
        for (int k = 0; k < 8; ++k)
            std::swap(a[col][k], a[pivot][k]);
        const double p = a[col][col];
        for (int k = 0; k < 8; ++k)
            a[col][k] /= p;
        for (int row = 0; row < 4; ++row) {
            if (row == col)
                continue;
            const double factor = a[row][col];
            for (int k = 0; k < 8; ++k)
                a[row][k] -= factor * a[col][k];
        }
    }
    MATRIX4X4 result;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            result.entries[4 * col + row] = static_cast<float>(a[row][4 + col]);
    return result;
}

// Random matrices; a strong diagonal keeps them well conditioned.
class RandomMatrices {
  public:
    MATRIX4X4 general() {
        MATRIX4X4 m;
        for (int k = 0; k < 16; ++k)
            m.entries[k] = value(random);
        for (int d = 0; d < 4; ++d)
            m.entries[5 * d] += 4.0f;
        return m;
    }
    MATRIX4X4 affine() {
        MATRIX4X4 m = general();
        m.entries[3] = m.entries[7] = m.entries[11] = 0.0f;
        m.entries[15] = 1.0f;
        return m;
    }
    MATRIX4X4 rigid() {
        MATRIX4X4 rotation;
        rotation.SetRotationAxis(angle(random),
                                 VECTOR3DM(value(random), value(random), value(random) + 2.5f));
        MATRIX4X4 translation;
        translation.SetTranslation(
            VECTOR3DM(value(random) * 10.0f, value(random) * 10.0f, value(random) * 10.0f));
        return translation * rotation;
    }

  private:
    std::mt19937 random{20240611u};
    std::uniform_real_distribution<float> value{-2.0f, 2.0f};
    std::uniform_real_distribution<double> angle{-180.0, 180.0};
};

// ---- construction and access ----

TEST(MatrixTest, ConstructionAccessAndBounds) {
    const MATRIX4X4 identity;
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(identity.GetEntry(k), k % 5 == 0 ? 1.0f : 0.0f) << "entry " << k;

    float raw[16];
    for (int k = 0; k < 16; ++k)
        raw[k] = static_cast<float>(k + 1);
    const MATRIX4X4 m(raw);
    const MATRIX4X4 listed(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    EXPECT_TRUE(m == listed);
    const MATRIX4X4 copy(m);
    EXPECT_TRUE(copy == m);

    // Rows gather across columns, columns are consecutive entries.
    EXPECT_TRUE(m.GetRow(1) == VECTOR4D(2.0f, 6.0f, 10.0f, 14.0f));
    EXPECT_TRUE(m.GetColumn(3) == VECTOR4D(13.0f, 14.0f, 15.0f, 16.0f));
    EXPECT_EQ(at(m, 2, 1), 7.0f);

    // Out-of-range positions: no write, and reads give zero.
    MATRIX4X4 guarded(m);
    guarded.SetEntry(16, 99.0f);
    guarded.SetEntry(-1, 99.0f);
    EXPECT_TRUE(guarded == m);
    EXPECT_EQ(m.GetEntry(16), 0.0f);
    EXPECT_EQ(m.GetEntry(-1), 0.0f);
    EXPECT_TRUE(m.GetRow(4) == VECTOR4D(0.0f, 0.0f, 0.0f, 0.0f));
    EXPECT_TRUE(m.GetColumn(4) == VECTOR4D(0.0f, 0.0f, 0.0f, 0.0f));
    EXPECT_TRUE(m.GetRow(-1) == VECTOR4D(0.0f, 0.0f, 0.0f, 0.0f));
    EXPECT_TRUE(m.GetColumn(-1) == VECTOR4D(0.0f, 0.0f, 0.0f, 0.0f));

    guarded.SetEntry(15, -3.0f);
    EXPECT_EQ(guarded.GetEntry(15), -3.0f);

    MATRIX4X4 zero(m);
    zero.LoadZero();
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(zero.GetEntry(k), 0.0f);
    zero.LoadIdentity();
    EXPECT_TRUE(zero == identity);

    // The float-array view is the storage itself, ready for glLoadMatrixf.
    MATRIX4X4 view;
    float *writable = view;
    writable[12] = 5.0f;
    EXPECT_EQ(view.GetEntry(12), 5.0f);
    const float *readable = m;
    EXPECT_EQ(readable, &m.entries[0]);
}

TEST(MatrixTest, ComponentwiseArithmetic) {
    const MATRIX4X4 a(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    const MATRIX4X4 b = a * 2.0f;
    EXPECT_EQ(b.GetEntry(7), 16.0f);
    EXPECT_TRUE(2.0f * a == b);
    EXPECT_TRUE(b - a == a);
    EXPECT_TRUE(a + a == b);
    EXPECT_TRUE(-a == a * -1.0f);
    EXPECT_TRUE(b / 2.0f == a);
    EXPECT_TRUE(a / 4.0f == a * 0.25f);

    // Dividing by exactly 0 or 1 gives an unchanged copy.
    EXPECT_TRUE(a / 0.0f == a);
    EXPECT_TRUE(a / 1.0f == a);

    MATRIX4X4 c(a);
    c += a;
    EXPECT_TRUE(c == b);
    c -= a;
    EXPECT_TRUE(c == a);
    c *= 3.0f;
    c /= 3.0f;
    EXPECT_TRUE(matrixNear(c, a, 1e-5f));
    c /= 0.0f;
    EXPECT_TRUE(matrixNear(c, a, 1e-5f));

    EXPECT_FALSE(a == b);
    EXPECT_TRUE(a != b);
    MATRIX4X4 almost(a);
    almost.entries[9] += 1e-6f;
    EXPECT_TRUE(almost != a); // exact comparison
}

// ---- products ----

TEST(MatrixTest, ProductMatchesTheFullProductForEveryShortcut) {
    RandomMatrices random;
    for (int trial = 0; trial < 20; ++trial) {
        const MATRIX4X4 pairs[4][2] = {
            {random.affine(), random.affine()},
            {random.affine(), random.general()},
            {random.general(), random.affine()},
            {random.general(), random.general()},
        };
        for (const auto &pair : pairs) {
            ASSERT_EQ(pair[0].IsAffine() && pair[1].IsAffine(), &pair == &pairs[0]);
            const MATRIX4X4 product = pair[0] * pair[1];
            EXPECT_TRUE(matrixNear(product, referenceProduct(pair[0], pair[1]), 1e-4f))
                << "trial " << trial << ", case " << (&pair - pairs);
        }
        // Affine times affine keeps an exact (0, 0, 0, 1) bottom row.
        EXPECT_TRUE((pairs[0][0] * pairs[0][1]).IsAffine());
        // Affine on the left copies the right bottom row exactly.
        EXPECT_TRUE((pairs[1][0] * pairs[1][1]).GetRow(3) == pairs[1][1].GetRow(3));

        MATRIX4X4 inPlace = pairs[3][0];
        inPlace *= pairs[3][1];
        EXPECT_TRUE(inPlace == pairs[3][0] * pairs[3][1]);
    }
}

TEST(MatrixTest, ProductOrderAndIdentity) {
    RandomMatrices random;
    const MATRIX4X4 m = random.general();
    const MATRIX4X4 identity;
    EXPECT_TRUE(matrixNear(m * identity, m, 0.0f));
    EXPECT_TRUE(matrixNear(identity * m, m, 0.0f));

    // T * R rotates first, then translates: the point (1, 0, 0) turned 90
    // degrees about z lands on (0, 1, 0), then moves by (5, 0, 0).
    MATRIX4X4 t;
    t.SetTranslation(VECTOR3DM(5.0f, 0.0f, 0.0f));
    MATRIX4X4 r;
    r.SetRotationZ(90);
    EXPECT_TRUE(vecNear((t * r) * VECTOR4D(1.0f, 0.0f, 0.0f, 1.0f), 5.0f, 1.0f, 0.0f, 1.0f));
    EXPECT_TRUE(vecNear((r * t) * VECTOR4D(1.0f, 0.0f, 0.0f, 1.0f), 0.0f, 6.0f, 0.0f, 1.0f));
}

TEST(MatrixTest, VectorProducts) {
    RandomMatrices random;
    const VECTOR4D v(0.5f, -1.5f, 2.0f, 3.0f);
    for (const MATRIX4X4 &m : {random.general(), random.affine()}) {
        float expected[4];
        for (int row = 0; row < 4; ++row)
            expected[row] =
                at(m, row, 0) * v.x + at(m, row, 1) * v.y + at(m, row, 2) * v.z + at(m, row, 3) * v.w;
        EXPECT_TRUE(componentsNear(m * v, expected, 4, 1e-4f));
    }
    // An affine matrix hands w through untouched.
    EXPECT_EQ((random.affine() * v).w, 3.0f);

    const MATRIX4X4 m(1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 1);
    const VECTOR3DM p(1.0f, 0.0f, -1.0f);
    EXPECT_TRUE(m.GetRotatedVector3D(p) == VECTOR3DM(-6.0f, -6.0f, -6.0f));
    EXPECT_TRUE(m.GetInverseRotatedVector3D(p) == VECTOR3DM(-2.0f, -2.0f, -2.0f));
    EXPECT_TRUE(m.GetTranslatedVector3D(p) == VECTOR3DM(11.0f, 11.0f, 11.0f));
    EXPECT_TRUE(m.GetInverseTranslatedVector3D(p) == VECTOR3DM(-9.0f, -11.0f, -13.0f));

    MATRIX4X4 translation;
    translation.SetTranslation(VECTOR3DM(1.0f, 2.0f, 3.0f));
    EXPECT_TRUE(translation.GetTranslatedVector3D(VECTOR3DM()) == VECTOR3DM(1.0f, 2.0f, 3.0f));
}

// ---- inversion and transposition ----

TEST(MatrixTest, InverseOfRandomMatricesMatchesGaussJordan) {
    RandomMatrices random;
    const MATRIX4X4 identity;
    for (int trial = 0; trial < 50; ++trial) {
        const MATRIX4X4 m = trial % 2 ? random.general() : random.affine();
        const MATRIX4X4 inverse = m.GetInverse();
        EXPECT_TRUE(matrixNear(inverse, referenceInverse(m), 1e-5f)) << "trial " << trial;
        EXPECT_TRUE(matrixNear(m * inverse, identity, 1e-5f)) << "trial " << trial;
        EXPECT_TRUE(matrixNear(inverse * m, identity, 1e-5f)) << "trial " << trial;

        // The inverse transpose is the same numbers transposed.
        EXPECT_TRUE(m.GetInverseTranspose() == inverse.GetTranspose());

        MATRIX4X4 inverted(m);
        inverted.Invert();
        EXPECT_TRUE(inverted == inverse);
        MATRIX4X4 invertedTranspose(m);
        invertedTranspose.InvertTranspose();
        EXPECT_TRUE(invertedTranspose == m.GetInverseTranspose());
    }
}

TEST(MatrixTest, InverseOfSingularMatricesIsTheIdentity) {
    const MATRIX4X4 identity;
    MATRIX4X4 zero;
    zero.LoadZero();
    EXPECT_TRUE(zero.GetInverse() == identity);
    EXPECT_TRUE(zero.GetInverseTranspose() == identity);

    // Two equal columns: rank 3 with integers, so the determinant is exactly 0.
    const MATRIX4X4 repeated(1, 2, 3, 4, 1, 2, 3, 4, 0, 1, 0, 2, 5, 0, 1, 1);
    EXPECT_TRUE(repeated.GetInverse() == identity);
}

TEST(MatrixTest, InverseOfSimpleTransforms) {
    // Determinant exactly 1: the cofactors are the answer as they are.
    MATRIX4X4 translation;
    translation.SetTranslation(VECTOR3DM(1.0f, -2.0f, 3.0f));
    MATRIX4X4 back;
    back.SetTranslation(VECTOR3DM(-1.0f, 2.0f, -3.0f));
    EXPECT_TRUE(translation.GetInverse() == back);

    MATRIX4X4 scale;
    scale.SetScale(VECTOR3DM(2.0f, 4.0f, 0.5f));
    MATRIX4X4 unscale;
    unscale.SetScale(VECTOR3DM(0.5f, 0.25f, 2.0f));
    EXPECT_TRUE(matrixNear(scale.GetInverse(), unscale, 1e-6f));

    MATRIX4X4 rotation;
    rotation.SetRotationY(37);
    EXPECT_TRUE(matrixNear(rotation.GetInverse(), rotation.GetTranspose(), 1e-6f));
}

TEST(MatrixTest, AffineInverseOfRigidTransforms) {
    RandomMatrices random;
    for (int trial = 0; trial < 20; ++trial) {
        const MATRIX4X4 m = random.rigid();
        const MATRIX4X4 affineInverse = m.GetAffineInverse();
        EXPECT_TRUE(affineInverse.IsAffine());
        EXPECT_TRUE(matrixNear(affineInverse, referenceInverse(m), 1e-4f)) << "trial " << trial;
        EXPECT_TRUE(matrixNear(affineInverse, m.GetInverse(), 1e-4f)) << "trial " << trial;
        EXPECT_TRUE(m.GetAffineInverseTranspose() == affineInverse.GetTranspose());

        MATRIX4X4 inPlace(m);
        inPlace.AffineInvert();
        EXPECT_TRUE(inPlace == affineInverse);
        inPlace = m;
        inPlace.AffineInvertTranspose();
        EXPECT_TRUE(inPlace == m.GetAffineInverseTranspose());
    }
}

TEST(MatrixTest, Transpose) {
    const MATRIX4X4 m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    const MATRIX4X4 t = m.GetTranspose();
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            EXPECT_EQ(at(t, row, col), at(m, col, row));
    MATRIX4X4 twice(m);
    twice.Transpose();
    twice.Transpose();
    EXPECT_TRUE(twice == m);
}

// ---- builders ----

TEST(MatrixTest, TranslationAndScaleBuilders) {
    MATRIX4X4 m;
    m.SetTranslation(VECTOR3DM(1.0f, 2.0f, 3.0f));
    MATRIX4X4 expected;
    expected.entries[12] = 1.0f;
    expected.entries[13] = 2.0f;
    expected.entries[14] = 3.0f;
    EXPECT_TRUE(m == expected);

    // SetTranslationPart keeps everything else, SetTranslation resets it.
    MATRIX4X4 rotated;
    rotated.SetRotationX(30);
    MATRIX4X4 moved(rotated);
    moved.SetTranslationPart(VECTOR3DM(4.0f, 5.0f, 6.0f));
    for (int k = 0; k < 12; ++k)
        EXPECT_EQ(moved.entries[k], rotated.entries[k]);
    EXPECT_TRUE(moved.GetColumn(3) == VECTOR4D(4.0f, 5.0f, 6.0f, 1.0f));
    moved.SetTranslation(VECTOR3DM(1.0f, 2.0f, 3.0f));
    EXPECT_TRUE(moved == expected);

    MATRIX4X4 scale;
    scale.SetScale(VECTOR3DM(2.0f, 3.0f, 4.0f));
    EXPECT_TRUE(scale == MATRIX4X4(2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1));
    scale.SetUniformScale(0.5f);
    EXPECT_TRUE(scale == MATRIX4X4(0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1));
}

TEST(MatrixTest, AxisRotationsTurnRightHanded) {
    MATRIX4X4 m;
    m.SetRotationZ(90);
    EXPECT_TRUE(vecNear(m.GetRotatedVector3D(VECTOR3DM(1.0f, 0.0f, 0.0f)), 0.0f, 1.0f, 0.0f));
    m.SetRotationX(90);
    EXPECT_TRUE(vecNear(m.GetRotatedVector3D(VECTOR3DM(0.0f, 1.0f, 0.0f)), 0.0f, 0.0f, 1.0f));
    m.SetRotationY(90);
    EXPECT_TRUE(vecNear(m.GetRotatedVector3D(VECTOR3DM(0.0f, 0.0f, 1.0f)), 1.0f, 0.0f, 0.0f));

    // The matrices turn points exactly as VECTOR3DM's rotations do.
    const VECTOR3DM p(0.7f, -1.3f, 2.2f);
    const VECTOR3DM axis(-1.0f, 0.5f, 2.0f);
    for (double angle : {-135.0, -10.0, 25.0, 180.0}) {
        MATRIX4X4 rx, ry, rz, ra;
        rx.SetRotationX(angle);
        ry.SetRotationY(angle);
        rz.SetRotationZ(angle);
        ra.SetRotationAxis(angle, axis);
        const VECTOR3DM ex = p.GetRotatedX(angle);
        const VECTOR3DM ey = p.GetRotatedY(angle);
        const VECTOR3DM ez = p.GetRotatedZ(angle);
        const VECTOR3DM ea = p.GetRotatedAxis(angle, axis);
        EXPECT_TRUE(vecNear(rx.GetRotatedVector3D(p), ex.x, ex.y, ex.z)) << angle;
        EXPECT_TRUE(vecNear(ry.GetRotatedVector3D(p), ey.x, ey.y, ey.z)) << angle;
        EXPECT_TRUE(vecNear(rz.GetRotatedVector3D(p), ez.x, ez.y, ez.z)) << angle;
        EXPECT_TRUE(vecNear(ra.GetRotatedVector3D(p), ea.x, ea.y, ea.z)) << angle;

        // The axis form about a coordinate axis is the dedicated builder.
        MATRIX4X4 about;
        about.SetRotationAxis(angle, VECTOR3DM(0.0f, 3.0f, 0.0f));
        EXPECT_TRUE(matrixNear(about, ry, 1e-6f)) << angle;
    }

    // A third of a turn about the diagonal cycles the axes, and the axis itself stays put.
    MATRIX4X4 cycle;
    cycle.SetRotationAxis(120, VECTOR3DM(1.0f, 1.0f, 1.0f));
    EXPECT_TRUE(vecNear(cycle.GetRotatedVector3D(VECTOR3DM(1.0f, 0.0f, 0.0f)), 0.0f, 1.0f, 0.0f));
    EXPECT_TRUE(vecNear(cycle.GetRotatedVector3D(VECTOR3DM(0.0f, 0.0f, 1.0f)), 1.0f, 0.0f, 0.0f));
    EXPECT_TRUE(vecNear(cycle.GetRotatedVector3D(VECTOR3DM(2.0f, 2.0f, 2.0f)), 2.0f, 2.0f, 2.0f));
    EXPECT_TRUE(cycle.IsAffine());
    EXPECT_TRUE(cycle.GetColumn(3) == VECTOR4D(0.0f, 0.0f, 0.0f, 1.0f));
}

TEST(MatrixTest, EulerRotationIsZThenYThenX) {
    const double angles[][3] = {{30, 0, 0}, {0, 45, 0}, {0, 0, 60}, {10, -20, 30}, {-170, 80, 135}};
    for (const auto &a : angles) {
        MATRIX4X4 rx, ry, rz;
        rx.SetRotationX(a[0]);
        ry.SetRotationY(a[1]);
        rz.SetRotationZ(a[2]);
        MATRIX4X4 euler;
        euler.SetRotationEuler(a[0], a[1], a[2]);
        EXPECT_TRUE(matrixNear(euler, referenceProduct(rz, referenceProduct(ry, rx)), 1e-6f))
            << a[0] << ' ' << a[1] << ' ' << a[2];
    }

    // The part form writes the 3x3 block only.
    MATRIX4X4 m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    m.SetRotationPartEuler(0, 0, 90);
    EXPECT_TRUE(matrixNear(m, MATRIX4X4(0, 1, 0, 4, -1, 0, 0, 8, 0, 0, 1, 12, 13, 14, 15, 16), 1e-7f));
}

TEST(MatrixTest, FrustumProjection) {
    MATRIX4X4 m;
    m.SetPerspective(-2.0f, 2.0f, -1.0f, 1.0f, 1.0f, 101.0f);
    EXPECT_FLOAT_EQ(m.GetEntry(0), 0.5f);
    EXPECT_FLOAT_EQ(m.GetEntry(5), 1.0f);
    EXPECT_EQ(m.GetEntry(11), -1.0f);
    EXPECT_EQ(m.GetEntry(15), 0.0f);
    // The near plane lands on depth -1, the far plane on +1, the near corners on the screen corners.
    auto ndc = [&m](float x, float y, float z) {
        const VECTOR4D clip = m * VECTOR4D(x, y, z, 1.0f);
        return VECTOR3DM(clip.x / clip.w, clip.y / clip.w, clip.z / clip.w);
    };
    EXPECT_TRUE(vecNear(ndc(2.0f, 1.0f, -1.0f), 1.0f, 1.0f, -1.0f));
    EXPECT_TRUE(vecNear(ndc(-202.0f, -101.0f, -101.0f), -1.0f, -1.0f, 1.0f, 1e-4f));

    // An off-centre frustum shifts through e8 and e9.
    m.SetPerspective(0.0f, 2.0f, 1.0f, 2.0f, 1.0f, 10.0f);
    EXPECT_FLOAT_EQ(m.GetEntry(8), 1.0f);
    EXPECT_FLOAT_EQ(m.GetEntry(9), 3.0f);

    // Degenerate bounds leave the zero matrix.
    MATRIX4X4 zero;
    zero.LoadZero();
    m.SetPerspective(1.0f, 1.0f, -1.0f, 1.0f, 1.0f, 100.0f);
    EXPECT_TRUE(m == zero);
    m.SetPerspective(-1.0f, 1.0f, 2.0f, 2.0f, 1.0f, 100.0f);
    EXPECT_TRUE(m == zero);
    m.SetPerspective(-1.0f, 1.0f, -1.0f, 1.0f, 5.0f, 5.0f);
    EXPECT_TRUE(m == zero);

    // A far plane of -1 means infinitely far.
    m.SetPerspective(-1.0f, 1.0f, -1.0f, 1.0f, 0.5f, -1.0f);
    EXPECT_FLOAT_EQ(m.GetEntry(10), -0.999f);
    EXPECT_FLOAT_EQ(m.GetEntry(14), -1.998f * 0.5f);
}

TEST(MatrixTest, FieldOfViewProjectionMatchesTheFrustum) {
    MATRIX4X4 fov;
    fov.SetPerspective(90.0f, 2.0f, 1.0f, 100.0f);
    const float top = std::tan(45.0f * 0.017453292f);
    MATRIX4X4 frustum;
    frustum.SetPerspective(-2.0f * top, 2.0f * top, -top, top, 1.0f, 100.0f);
    EXPECT_TRUE(fov == frustum);
    EXPECT_NEAR(fov.GetEntry(5), 1.0f, 1e-6f); // cot(45 degrees)
    EXPECT_NEAR(fov.GetEntry(0), 0.5f, 1e-6f); // divided by the aspect
}

TEST(MatrixTest, OrthographicProjection) {
    MATRIX4X4 m;
    m.SetOrtho(0.0f, 640.0f, 480.0f, 0.0f, -1.0f, 1.0f);
    EXPECT_TRUE(vecNear(m * VECTOR4D(0.0f, 480.0f, 1.0f, 1.0f), -1.0f, -1.0f, -1.0f, 1.0f));
    EXPECT_TRUE(vecNear(m * VECTOR4D(640.0f, 0.0f, -1.0f, 1.0f), 1.0f, 1.0f, 1.0f, 1.0f));
    EXPECT_TRUE(vecNear(m * VECTOR4D(320.0f, 240.0f, 0.0f, 1.0f), 0.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_TRUE(m.IsAffine());

    // Equal bounds are not guarded: IEEE infinities appear.
    m.SetOrtho(1.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f);
    EXPECT_TRUE(std::isinf(m.GetEntry(0)));
}

} // namespace
