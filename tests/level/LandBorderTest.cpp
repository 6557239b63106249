// The land beyond the playable area: it meets the terrain's edge, reaches past
// the fog from every eye the camera may have, and rises above them at its rim.
#include "level/LandBorder.h"

#include "game/GameClass.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

TEST(LandBorderTest, TheBorderMeetsTheEdgeHeightsAndRisesAboveEveryEyeBeyondTheFog) {
    static_assert(GameClass::kMaxCamDistance <= LandBorder::kCameraReach, "the zoom reaches past the land");
    LandBorder::Area area;
    area.left = -30;
    area.front = -20;
    area.right = 30;
    area.back = 20;
    std::vector<float> xs, zs;
    for (float x = -30; x <= 30; x += 5)
        xs.push_back(x);
    for (float z = -20; z <= 20; z += 5)
        zs.push_back(z);
    auto edge = [](float x, float z) { return 3.0f + 0.05f * x - 0.02f * z; };
    LandBorder border;
    border.build(area, xs, zs, edge, nullptr, 5.0f);

    // The terrain's edge vertices are the border's: no gap between them.
    for (float x : xs) {
        EXPECT_NEAR(border.heightAt(x, -20), edge(x, -20), 1e-4);
        EXPECT_NEAR(border.heightAt(x, 20), edge(x, 20), 1e-4);
    }
    for (float z : zs)
        EXPECT_NEAR(border.heightAt(30, z), edge(30, z), 1e-4);

    // From an eye as far out as the zoom allows, the fog is thick before the rim rises.
    const float reach = LandBorder::reach(area);
    EXPECT_GT(LandBorder::rimStart(area), LandBorder::fogEnd(area) + GameClass::kMaxCamDistance);
    EXPECT_GT(LandBorder::fogEnd(area), LandBorder::fogStart(area));
    // The rim stands higher than any eye, so the land's end never shows below the horizon.
    const float highestEye = 8.5f + 5.0f + GameClass::kMaxCamDistance;
    EXPECT_GT(border.heightAt(30 + reach, 0), highestEye);
    EXPECT_GT(border.heightAt(-30 - reach, -20 - reach), highestEye);
    // Between the edge and the rim it rolls as hills, never below the ground's floor.
    for (float d = 10; d < LandBorder::rimStart(area); d += 37) {
        const float h = border.heightAt(30 + d, 5);
        EXPECT_GE(h, 0.0f);
        EXPECT_LT(h, LandBorder::kHillHeight + 3.0f);
    }

    // Every cell of the grid outside the area, none inside: the rows around
    // the area times the columns, two triangles each.
    const int outward = static_cast<int>(
        std::ceil(std::log(reach * (LandBorder::kStepGrowth - 1) / LandBorder::kFirstStep + 1) /
                  std::log(LandBorder::kStepGrowth)));
    const int columns = static_cast<int>(xs.size()) + 2 * outward - 1,
              rows = static_cast<int>(zs.size()) + 2 * outward - 1;
    const int inner = (static_cast<int>(xs.size()) - 1) * (static_cast<int>(zs.size()) - 1);
    EXPECT_EQ(border.getTriangleCount(), 2 * (columns * rows - inner));
}

} // namespace
