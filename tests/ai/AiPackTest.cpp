// What a difficulty does to the computer's side: how many of its tanks go for one enemy at once,
// how fast their guns reload, and that the brain driving a player's tank gets none of it.
#include "AiArena.h"

#include "ai/AiSkill.h"
#include "ai/AiWorld.h"
#include "ai/TankBrain.h"

#include <gtest/gtest.h>

namespace {

using namespace ai_test;

constexpr int kComputer = Sides::kComputer;

// Tank 0 is the enemy (player one's side) at the origin; tanks 1.. fight for the computer, 40 units
// away unless placed nearer; `engaging` lists the computer tanks already at the enemy.
struct Pack {
    AiWorld world;
    int enemy = 0;

    explicit Pack(int computerTanks) {
        AiTankView player;
        player.side = 0;
        player.object = &enemy;
        world.tanks.push_back(player);
        for (int i = 1; i <= computerTanks; ++i) {
            AiTankView tank;
            tank.id = i;
            tank.side = kComputer;
            tank.pos[0] = 40.0f;
            tank.pos[2] = static_cast<float>(i);
            tank.object = &world.tanks; // any address other than the enemy's
            world.tanks.push_back(tank);
        }
        for (std::size_t i = 0; i < world.tanks.size(); ++i)
            world.tanks[i].id = static_cast<int>(i);
    }
    Pack &engaging(std::initializer_list<int> ids) {
        for (int id : ids)
            world.tanks[static_cast<std::size_t>(id)].engaging = &enemy;
        return *this;
    }
    bool may(int id, int maxAttackers) const {
        AiSkill skill;
        skill.maxAttackers = maxAttackers;
        return TankBrain::mayEngage(world, id, 0, skill);
    }
};

TEST(AiPackTest, NoMoreThanTheAllowedAttackersGoForOneEnemyAndTheFirstKeepTheirPlaces) {
    EXPECT_TRUE(Pack(4).may(3, 2)); // nobody at it yet
    EXPECT_TRUE(Pack(4).engaging({1}).may(3, 2));
    EXPECT_FALSE(Pack(4).engaging({1, 2}).may(3, 2));
    EXPECT_TRUE(Pack(4).engaging({1, 2}).may(2, 2)); // already at it: keeps its place
    // Two that joined on the same step over the limit: the later in the list gives way next step.
    EXPECT_TRUE(Pack(4).engaging({1, 2, 3}).may(2, 2));
    EXPECT_FALSE(Pack(4).engaging({1, 2, 3}).may(3, 2));
    EXPECT_TRUE(Pack(4).engaging({1, 2, 3}).may(4, 0)); // no limit

    // Tanks out of the fight take no place: destroyed ones and those of another side.
    Pack fallen(4);
    fallen.engaging({1, 2});
    fallen.world.tanks[1].alive = false;
    EXPECT_TRUE(fallen.may(3, 2));
    fallen.world.tanks[2].side = 1;
    EXPECT_TRUE(fallen.may(3, 1));

    // An enemy at close range is fought whatever the count: a tank defends itself.
    Pack close(4);
    close.engaging({1, 2});
    close.world.tanks[3].pos[0] = TankBrain::kBestRange - 1.0f;
    EXPECT_TRUE(close.may(3, 2));
}

TEST(AiPackTest, TheSidesMeasuresRiseWithTheDifficultyAndTheAutopilotHasNone) {
    const AiDifficulty order[] = {AiDifficulty::Easy, AiDifficulty::Normal, AiDifficulty::Hard};
    for (int i = 0; i + 1 < 3; ++i) {
        const AiSkill easier = AiSkill::forComputer(order[i]), harder = AiSkill::forComputer(order[i + 1]);
        EXPECT_LE(easier.maxAttackers, harder.maxAttackers);
        EXPECT_GT(easier.reloadFactor, harder.reloadFactor);
        EXPECT_GE(easier.aimErrorDegrees, harder.aimErrorDegrees);
        EXPECT_GT(easier.reactionSeconds, harder.reactionSeconds);
        const AiSkill brain = AiSkill::forDifficulty(order[i]);
        EXPECT_EQ(brain.maxAttackers, 0);
        EXPECT_EQ(brain.reloadFactor, 1.0f);
    }
    for (AiDifficulty difficulty : order)
        EXPECT_GT(AiSkill::forComputer(difficulty).maxAttackers, 0) << "a pack, not a firing squad, on every difficulty";
}

// A computer tank facing a standing enemy 20 units away in the open: when it first fires, and how
// many shells it fires in twelve seconds.
struct Gunner {
    float firstShot = -1;
    int shots = 0;
};

Gunner gunner(AiDifficulty difficulty) {
    AiArena arena(difficulty);
    arena.ready();
    arena.addTank("cpu1", &arena.cpu, 0.0f, -10.0f, 0.0f, 1000);
    Fahrzeug *target = arena.addTank("p1", &arena.idle, 0.0f, 10.0f, 180.0f, 1000);
    target->setMaxLife(1000);
    Gunner result;
    arena.runUntil(12.0f, [&] {
        if (result.firstShot < 0 && arena.cpuShots > 0)
            result.firstShot = arena.cpu.getTime();
        return false;
    });
    result.shots = arena.cpuShots;
    return result;
}

TEST(AiPackTest, OnEasyTheFirstShotComesLaterAndFewerFollowThanOnHard) {
    const Gunner easy = gunner(AiDifficulty::Easy), hard = gunner(AiDifficulty::Hard);
    std::printf("first shot: easy %.2f s, hard %.2f s; shells in 12 s: easy %d, hard %d\n", easy.firstShot,
                hard.firstShot, easy.shots, hard.shots);
    ASSERT_GE(easy.firstShot, 0.0f);
    ASSERT_GE(hard.firstShot, 0.0f);
    EXPECT_GT(easy.firstShot, hard.firstShot);
    EXPECT_LT(easy.shots, hard.shots);
}

} // namespace
