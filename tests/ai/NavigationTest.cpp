// The obstacle grid, A* paths over it, and the geometry of a shot.
#include "ai/Gunnery.h"
#include "ai/ObstacleGrid.h"
#include "ai/PathFinder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// 40 x 40 units, a wall across the middle from x = -12 to 12.
ObstacleGrid walledGrid() {
    ObstacleGrid grid;
    grid.build(-20, -20, 20, 20, {AiBox{-12, -1, 12, 1, 3}}, nullptr);
    return grid;
}

TEST(ObstacleGridTest, MarksObjectsTheirSurroundingsTheEdgeAndSteepSlopes) {
    const ObstacleGrid grid = walledGrid();
    EXPECT_EQ(grid.getColumns(), 20);
    EXPECT_FALSE(grid.walkableAt(0, 0));    // the wall
    EXPECT_FALSE(grid.walkableAt(0, 2.5f)); // too close to it for a tank
    EXPECT_TRUE(grid.walkableAt(0, 6));
    EXPECT_FALSE(grid.walkableAt(-19, 0)); // the edge
    EXPECT_FALSE(grid.clearView(0, -10, 0, 10));
    EXPECT_TRUE(grid.clearView(-16, -10, -16, 10));
    EXPECT_FALSE(grid.straightWalk(0, -10, 0, 10));

    ObstacleGrid hill;
    hill.build(-20, -20, 20, 20, {}, [](float x, float) { return x > 5 ? (x - 5) * 2.0f : 0.0f; });
    EXPECT_TRUE(hill.walkableAt(0, 0));
    EXPECT_FALSE(hill.walkableAt(10, 0));
    EXPECT_EQ(hill.countCells(ObstacleGrid::kObject), 0);

    // A sheet of ice a little above its bed is driven over; a kerb as high as a tank's step is not.
    ObstacleGrid lake;
    lake.build(-20, -20, 20, 20, {AiBox{-10, -10, 10, 10, 1.3f}, AiBox{-10, 14, 10, 15, 1.6f}},
               [](float, float) { return 1.0f; });
    EXPECT_TRUE(lake.walkableAt(0, 0));
    EXPECT_TRUE(lake.walkableAt(11, 0));
    EXPECT_FALSE(lake.walkableAt(0, 14.5f));
    EXPECT_EQ(lake.countCells(ObstacleGrid::kObject), 11); // the kerb's one row
}

TEST(ObstacleGridTest, ALineItCannotFollowToItsEndIsNeitherClearNorWalkable) {
    const ObstacleGrid grid = walledGrid();
    // Lines the walk follows to the end: over open ground, and a little beyond the grid.
    EXPECT_TRUE(grid.clearView(-16, 6, 16, 6));
    EXPECT_TRUE(grid.clearView(0, 6, 25, 6));
    // Lines it cannot vouch for: to a point so far off that more cells lie between than the walk
    // visits, and from or to a point that is no number.
    EXPECT_FALSE(grid.clearView(0, 6, 1e9f, 6));
    EXPECT_FALSE(grid.clearView(1e9f, 6, 0, 6));
    const float nan = std::nanf("");
    EXPECT_FALSE(grid.clearView(nan, nan, 0, 6));
    EXPECT_FALSE(grid.clearView(-16, 6, -16, nan));
    EXPECT_FALSE(grid.straightWalk(-16, 6, -16, nan));
}

TEST(PathFinderTest, FindsASmoothedWayAroundTheWallAndGivesUpWhenThereIsNone) {
    const ObstacleGrid grid = walledGrid();
    PathFinder finder;
    std::vector<AiWaypoint> path;
    ASSERT_EQ(finder.find(grid, 0, -10, 0, 10, 4000, path), PathFinder::kFound);
    ASSERT_GE(path.size(), 2u);
    EXPECT_LE(path.size(), 4u); // smoothed: a few corners, not every cell
    EXPECT_NEAR(path.back().x, 0, 1.5f);
    EXPECT_NEAR(path.back().z, 10, 1.5f);
    float fromX = 0, fromZ = -10;
    for (const AiWaypoint &w : path) {
        EXPECT_TRUE(grid.straightWalk(fromX, fromZ, w.x, w.z));
        EXPECT_GT(std::fabs(w.x), 0.0f);
        fromX = w.x;
        fromZ = w.z;
    }
    EXPECT_EQ(finder.find(grid, 0, -10, 0, 10, 10, path), PathFinder::kOverBudget);

    ObstacleGrid closed;
    closed.build(-20, -20, 20, 20, {AiBox{-20, -1, 20, 1, 3}}, nullptr);
    EXPECT_EQ(finder.find(closed, 0, -10, 0, 10, 4000, path), PathFinder::kNoPath);
}

TEST(ObstacleGridTest, PartsTheGroundIntoRegionsATankCanDriveBetween) {
    // A wall with a way round at either end: one region.
    const ObstacleGrid open = walledGrid();
    EXPECT_TRUE(open.reachable(0, -10, 0, 10));
    EXPECT_GE(open.region(10, 4), 0);
    EXPECT_EQ(open.region(10, 10), -1) << "the wall's cells belong to no region";

    // A wall from edge to edge: two, and the search knows without searching.
    ObstacleGrid closed;
    closed.build(-20, -20, 20, 20, {AiBox{-20, -1, 20, 1, 3}}, nullptr);
    EXPECT_TRUE(closed.reachable(-10, -10, 10, -14));
    EXPECT_FALSE(closed.reachable(0, -10, 0, 10));
    PathFinder finder;
    std::vector<AiWaypoint> path;
    EXPECT_EQ(finder.find(closed, 0, -10, 0, 10, 4000, path), PathFinder::kNoPath);
    EXPECT_EQ(finder.getLastExpansions(), 0);

    // A plateau behind a bank as steep as a canyon wall that a tank slides down from: apart. A ramp
    // as steep as a tank still climbs: together. A tank standing on the bank's foot still has its
    // region, the nearest free cell's.
    const auto plateau = [](float bank) {
        return [bank](float x, float) { return std::clamp((x - 4.0f) * bank, 0.0f, 6.0f); };
    };
    ObstacleGrid canyon, ramp;
    canyon.build(-20, -20, 40, 20, {}, plateau(0.45f));
    ramp.build(-20, -20, 40, 20, {}, plateau(0.3f));
    EXPECT_TRUE(canyon.walkableAt(30, 0)) << "the plateau's top is flat";
    EXPECT_FALSE(canyon.reachable(-10, 0, 30, 0));
    EXPECT_TRUE(ramp.reachable(-10, 0, 30, 0));
    EXPECT_EQ(canyon.regionNear(5.5f, 0), canyon.regionNear(-10, 0));
}

TEST(GunneryTest, LeadsAMovingTargetToTheMeetingPoint) {
    const float muzzle[3] = {0, 1, 0};
    const float target[3] = {0, 0, 20};
    const float still[3] = {0, 0, 0};
    float aim[3];
    float t = 0;
    Gunnery::leadPoint(muzzle, 20, target, still, aim, &t);
    EXPECT_NEAR(aim[0], 0, 1e-4);
    EXPECT_NEAR(t, 1.0f, 1e-4);
    // Crossing at 5 units per second: the shell and the target meet at the same time.
    const float crossing[3] = {5, 0, 0};
    Gunnery::leadPoint(muzzle, 20, target, crossing, aim, &t);
    EXPECT_NEAR(std::hypot(aim[0], aim[2]), 20 * t, 1e-3);
    EXPECT_NEAR(aim[0], 5 * t, 1e-4);
    // Too fast to catch: aim at the target itself.
    const float fleeing[3] = {0, 0, 30};
    Gunnery::leadPoint(muzzle, 20, target, fleeing, aim);
    EXPECT_NEAR(aim[2], 20, 1e-4);

    EXPECT_NEAR(Gunnery::headingTo(muzzle, target), 0, 1e-4);
    const float east[3] = {10, 0, 0};
    EXPECT_NEAR(Gunnery::headingTo(muzzle, east), 90, 1e-4);
    EXPECT_NEAR(Gunnery::headingDifference(350, 10), 20, 1e-4);
    EXPECT_NEAR(Gunnery::headingDifference(10, 350), -20, 1e-4);

    float miss = 0;
    const float shell[3] = {-10, 1, 1};
    const float flying[3] = {20, 0, 0};
    EXPECT_NEAR(Gunnery::closestApproach(shell, flying, muzzle, 1.0f, &miss), 0.5f, 1e-4);
    EXPECT_NEAR(miss, 1.0f, 1e-4);
}

} // namespace
