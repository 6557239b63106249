// Where a tank drives when nothing is in sight: only to ground it can reach, and not for ever at a
// goal it cannot get to.
#include "ai/AiMemory.h"
#include "ai/AiRayCaster.h"
#include "ai/AiSkill.h"
#include "ai/AiWorld.h"
#include "ai/Gunnery.h"
#include "ai/Navigator.h"
#include "ai/Perception.h"
#include "ai/TankBrain.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Nothing is ever in view: the tanks below only roam.
class BlindRays : public AiRayCaster {
  public:
    bool blocked(const float *, const float *) const override { return true; }
};

class OpenRays : public AiRayCaster {
  public:
    bool blocked(const float *, const float *) const override { return false; }
};

AiTankView tankAt(int id, int side, float x, float z) {
    static const int objects[4] = {}; // stand-ins for the game objects, told apart by address
    AiTankView tank;
    tank.id = id;
    tank.object = &objects[id];
    tank.side = side;
    tank.pos[0] = x;
    tank.pos[2] = z;
    return tank;
}

float distance(const float *goal, const AiTankView &tank) {
    return std::hypot(goal[0] - tank.pos[0], goal[1] - tank.pos[2]);
}

TEST(AiRoamTest, AQuietTankRoamsTowardsTheNearestEnemyItCanReach) {
    // A wall from edge to edge across z = 0. The computer tank stands south of it; the nearest
    // enemy stands just beyond the wall, a farther one on the tank's own side.
    Navigator navigator;
    navigator.getGrid().build(-40, -40, 40, 40, {AiBox{-40, -1, 40, 1, 3}}, nullptr);
    AiWorld world;
    world.tanks = {tankAt(0, 1, 0, -20), tankAt(1, 0, 0, 15), tankAt(2, 0, 30, -32)};
    world.time = TankBrain::kRoamAfter + 1.0f;
    world.dt = 1.0f / 60.0f;
    const BlindRays rays;
    const AiSkill skill = AiSkill::forDifficulty(AiDifficulty::Normal);
    for (unsigned seed = 1; seed <= 8; ++seed) {
        AiMemory memory;
        memory.rng.seed(seed);
        memory.started = true; // home and start time 0: it has been quiet for a while
        navigator.beginStep();
        TankBrain::think(world, 0, memory, skill, rays, navigator);
        ASSERT_TRUE(memory.hasGoal) << "seed " << seed;
        EXPECT_LE(distance(memory.goal, world.tanks[2]), TankBrain::kRoamSpread + 0.01f) << "seed " << seed;
        EXPECT_TRUE(navigator.getGrid().reachable(0, -20, memory.goal[0], memory.goal[1])) << "seed " << seed;
    }
}

TEST(AiRoamTest, APatrolThatJamsAgainAndAgainPicksAnotherGoal) {
    // Open ground, but the tank never moves: a slope it cannot climb, as far as it can tell.
    Navigator navigator;
    navigator.getGrid().build(-40, -40, 40, 40, {}, nullptr);
    AiWorld world;
    world.tanks = {tankAt(0, 1, 0, 0)};
    world.dt = 1.0f / 60.0f;
    const BlindRays rays;
    const AiSkill skill = AiSkill::forDifficulty(AiDifficulty::Normal);
    AiMemory memory;
    memory.rng.seed(7);
    float first[2] = {0, 0};
    float changedAt = -1;
    for (int step = 0; step < 60 * 10 && changedAt < 0; ++step) {
        world.time = static_cast<float>(step) * world.dt;
        navigator.beginStep();
        TankBrain::think(world, 0, memory, skill, rays, navigator);
        if (!memory.hasGoal)
            continue;
        if (first[0] == 0 && first[1] == 0) {
            first[0] = memory.goal[0];
            first[1] = memory.goal[1];
        } else if (memory.goal[0] != first[0] || memory.goal[1] != first[1]) {
            changedAt = world.time;
        }
        // It faces its way at once, so that it keeps trying to drive there.
        const float goal[3] = {memory.goal[0], 0, memory.goal[1]};
        world.tanks[0].heading = Gunnery::headingTo(world.tanks[0].pos, goal);
    }
    ASSERT_GT(changedAt, 0.0f) << "the patrol kept its goal for ten seconds without getting any nearer";
    EXPECT_GT(changedAt, (TankBrain::kGiveUpJams - 1) * TankBrain::kStuckSeconds)
        << "one jam is no reason to give a goal up";
    EXPECT_EQ(memory.state, AiState::Patrol);
}

TEST(AiRoamTest, ATankFiresOnlyWhereItsFlatShellMeetsTheHullAndSeeksGroundThatFits) {
    // Shells leave the muzzle flat: from high above, a free view is no line of fire.
    AiTankView enemy = tankAt(1, 0, 0, 0);
    AiTankView level = tankAt(0, 1, 18, 0);
    level.muzzle[0] = 18;
    level.muzzle[1] = 1.7f;
    const OpenRays open;
    EXPECT_TRUE(Perception::lineOfFire(level, enemy, open));
    AiTankView above = level;
    above.pos[1] = 5.4f;
    above.muzzle[1] = 7.1f;
    EXPECT_FALSE(Perception::lineOfFire(above, enemy, open));
    AiTankView below = level;
    below.pos[1] = -3.0f;
    below.muzzle[1] = -1.3f;
    EXPECT_FALSE(Perception::lineOfFire(below, enemy, open));

    // Ground rising gently to the east (a tank climbs it): the tank up there, its target down at
    // the foot. A spot at the target's range on its own side would be nearest; it picks one low
    // enough to hit from, whatever its random choice.
    Navigator navigator;
    navigator.getGrid().build(-40, -40, 40, 40, {}, [](float x, float) { return std::max(0.0f, x) * 0.3f; });
    for (unsigned seed = 1; seed <= 8; ++seed) {
        AiMemory memory;
        memory.rng.seed(seed);
        float spot[2];
        ASSERT_TRUE(TankBrain::firingPosition(above, enemy.pos, memory, navigator, spot));
        const float muzzle = navigator.getGrid().groundAt(spot[0], spot[1]) + 1.7f;
        EXPECT_LE(Perception::heightMiss(muzzle, enemy.pos[1]), 0.3f) << "seed " << seed << " x " << spot[0];
    }
}

} // namespace
