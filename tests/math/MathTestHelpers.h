#pragma once

#include "math/MATRIX4X4.h"
#include "math/VECTOR3DM.h"
#include "math/VECTOR4D.h"
#include "math/Vector3D.h"

#include <gtest/gtest.h>

#include <cmath>

// Component-wise closeness checks with readable failure messages.
inline ::testing::AssertionResult componentsNear(const float *actual, const float *expected, int count,
                                                 float tolerance) {
    for (int i = 0; i < count; ++i) {
        if (!(std::fabs(actual[i] - expected[i]) <= tolerance)) {
            ::testing::AssertionResult failure = ::testing::AssertionFailure();
            failure << "component " << i << " is " << actual[i] << ", expected " << expected[i] << " (+-"
                    << tolerance << "); actual:";
            for (int k = 0; k < count; ++k)
                failure << ' ' << actual[k];
            return failure;
        }
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult vecNear(const Vector3D &v, float x, float y, float z,
                                          float tolerance = 1e-5f) {
    const float actual[3] = {v.x, v.y, v.z};
    const float expected[3] = {x, y, z};
    return componentsNear(actual, expected, 3, tolerance);
}

inline ::testing::AssertionResult vecNear(const VECTOR3DM &v, float x, float y, float z,
                                          float tolerance = 1e-5f) {
    const float actual[3] = {v.x, v.y, v.z};
    const float expected[3] = {x, y, z};
    return componentsNear(actual, expected, 3, tolerance);
}

inline ::testing::AssertionResult vecNear(const VECTOR4D &v, float x, float y, float z, float w,
                                          float tolerance = 1e-5f) {
    const float expected[4] = {x, y, z, w};
    return componentsNear(v, expected, 4, tolerance);
}

inline ::testing::AssertionResult matrixNear(const MATRIX4X4 &actual, const MATRIX4X4 &expected,
                                             float tolerance = 1e-5f) {
    return componentsNear(actual, expected, 16, tolerance);
}

inline ::testing::AssertionResult near3(const float *v, float x, float y, float z, float tolerance) {
    const float expected[3] = {x, y, z};
    return componentsNear(v, expected, 3, tolerance);
}
