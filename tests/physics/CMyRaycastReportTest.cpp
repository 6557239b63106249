#include "physics/CMyRaycastReport.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

RaycastHit hitAt(float x, float y, float z) {
    RaycastHit hit;
    hit.worldImpact[0] = x;
    hit.worldImpact[1] = y;
    hit.worldImpact[2] = z;
    hit.worldNormal[0] = 0.0f;
    hit.worldNormal[1] = 0.0f;
    hit.worldNormal[2] = -1.0f;
    return hit;
}

TEST(CMyRaycastReport, AHitCountsAtTheTargetWithinTheToleranceInEveryAxisAndStopsTheCast) {
    const float target[3] = {1.0f, 2.0f, 3.0f};
    CMyRaycastReport report(target);
    EXPECT_FALSE(report.isHit());
    EXPECT_EQ(report.getHitNormal()[2], 0.0f);

    EXPECT_TRUE(report.onHit(hitAt(1.0f, 2.0f, 2.5f))); // in front of the target: go on
    EXPECT_TRUE(report.onHit(hitAt(1.0f, 2.0f + 2.0f * CMyRaycastReport::kTargetTolerance, 3.0f)));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(report.onHit(hitAt(nan, 2.0f, 3.0f)));
    EXPECT_FALSE(report.isHit());

    // Single-precision hit points are never exactly the target; a few hundredths off still counts.
    EXPECT_FALSE(report.onHit(hitAt(1.03f, 1.97f, 3.04f)));
    EXPECT_TRUE(report.isHit());
    EXPECT_EQ(report.getHitNormal()[2], -1.0f);

    CMyRaycastReport exact;
    exact.setTarget(target);
    EXPECT_EQ(exact.getTarget()[1], 2.0f);
    EXPECT_FALSE(exact.onHit(hitAt(1.0f, 2.0f, 3.0f)));
    EXPECT_TRUE(exact.isHit());
}

} // namespace
