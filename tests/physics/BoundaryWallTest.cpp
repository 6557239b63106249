// The invisible walls around the playable area: tanks stay in, shells and rays pass.
#include "physics/PhysXAccess.h"

#include "objects/SpielObject.h"
#include "physics/PhysicsTestModels.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace PhysicsTestModels;

constexpr float kFrame = 1.0f / 60.0f; // seconds per game step
constexpr float kHalf = 30.0f;         // the area runs from -30 to 30 on x and z

class BoundaryWallTest : public ::testing::Test {
  protected:
    void SetUp() override {
        px.initialPhysX();
        const float low[3] = {-kHalf, 0.0f, -kHalf}, high[3] = {kHalf, 0.0f, kHalf};
        px.setBoundary(low, high);
    }

    // Pushes the tank along (dx, dz) for `seconds`, harder than any tank type drives.
    void drive(const std::string &name, float dx, float dz, float seconds) {
        for (float t = 0.0f; t < seconds; t += kFrame) {
            const float push[3] = {dx * 40.0f * kFrame, 0.0f, dz * 40.0f * kFrame};
            px.forceActor(name, push);
            px.updateObjects(kFrame);
        }
        px.updateObjects(0.0f);
    }

    TempDir dir;
    ScopedCwd cwd{dir.path()};
    PhysXAccess px;
    std::vector<Md2Vertex> tank = tankBox();
    std::vector<Md2Vertex> shell = shellBox();
};

TEST_F(BoundaryWallTest, TanksDrivenAtEveryEdgeAndCornerStayInside) {
    const float directions[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
    std::vector<SpielObject> tanks(8);
    for (int i = 0; i < 8; ++i) {
        const std::string name = "tank" + std::to_string(i);
        tanks[i].setActorName(name);
        // Starting near the edge it drives at, so that it hits the wall at full speed.
        const float pos[3] = {directions[i][0] * 20.0f + (i % 2) * 3.0f, 0.1f, directions[i][1] * 20.0f};
        tanks[i].setPos(pos);
        ASSERT_NE(px.prepareConvexMesh(static_cast<int>(tank.size()), 0, tank.data(), nullptr, name, pos,
                                       1.0f, 0.0f, &tanks[i], false),
                  nullptr);
    }
    for (float t = 0.0f; t < 6.0f; t += kFrame) {
        for (int i = 0; i < 8; ++i) {
            const float push[3] = {directions[i][0] * 40.0f * kFrame, 0.0f,
                                   directions[i][1] * 40.0f * kFrame};
            px.forceActor("tank" + std::to_string(i), push);
        }
        px.updateObjects(kFrame);
    }
    px.updateObjects(0.0f);
    for (int i = 0; i < 8; ++i) {
        float low[3], high[3];
        ASSERT_TRUE(px.getActorBounds("tank" + std::to_string(i), low, high));
        SCOPED_TRACE("tank " + std::to_string(i));
        EXPECT_GT(low[0], -kHalf - 0.1f);
        EXPECT_LT(high[0], kHalf + 0.1f);
        EXPECT_GT(low[2], -kHalf - 0.1f);
        EXPECT_LT(high[2], kHalf + 0.1f);
        EXPECT_LT(tanks[i].getPos()[1], 1.0f); // it did not climb the wall either
        // It reached the wall it drove at: pressed against it, not stopped short.
        if (directions[i][0] > 0) {
            EXPECT_GT(high[0], kHalf - 0.5f);
        }
        if (directions[i][1] < 0) {
            EXPECT_LT(low[2], -kHalf + 0.5f);
        }
    }
}

TEST_F(BoundaryWallTest, ShellsAndRaysPassTheWallsAndANewAreaReplacesThem) {
    SpielObject shot;
    shot.setActorName("tank1-1");
    const float pos[3] = {25.0f, 1.0f, 0.0f}, dir[3] = {1.0f, 0.0f, 0.0f};
    ASSERT_NE(px.fireBullet(pos, dir, 40.0f, static_cast<int>(shell.size()), 0, shell.data(), nullptr,
                            "tank1-1", "projektil", 1.0f, 0.0f, &shot),
              nullptr);
    for (float t = 0.0f; t < 1.5f; t += kFrame)
        px.updateObjects(kFrame);
    px.updateObjects(0.0f);
    EXPECT_GT(shot.getPos()[0], kHalf + 40.0f); // through and well beyond the wall

    const float inside[3] = {20.0f, 2.0f, 0.0f}, outside[3] = {80.0f, 2.0f, 0.0f};
    EXPECT_FALSE(px.firstStaticHit(inside, outside, nullptr)); // the computer tanks see past it

    EXPECT_EQ(px.getBoundaryWallCount(), 4);
    const float low[3] = {-10.0f, 0.0f, -10.0f}, high[3] = {10.0f, 0.0f, 10.0f};
    px.setBoundary(low, high);
    EXPECT_EQ(px.getBoundaryWallCount(), 4);
    SpielObject runner;
    runner.setActorName("runner");
    const float start[3] = {0.0f, 0.1f, 0.0f};
    runner.setPos(start);
    ASSERT_NE(px.prepareConvexMesh(static_cast<int>(tank.size()), 0, tank.data(), nullptr, "runner", start,
                                   1.0f, 0.0f, &runner, false),
              nullptr);
    drive("runner", 0.0f, 1.0f, 3.0f);
    EXPECT_LT(runner.getPos()[2], 10.0f); // the new, smaller area holds it

    px.clearBoundary();
    EXPECT_EQ(px.getBoundaryWallCount(), 0);
    drive("runner", 0.0f, 1.0f, 3.0f);
    EXPECT_GT(runner.getPos()[2], 12.0f); // without walls nothing holds it
}

} // namespace
