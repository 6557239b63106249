#include "physics/PhysXAccess.h"

#include "objects/SpielObject.h"
#include "physics/PhysicsTestModels.h"
#include "support/TempDir.h"

#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using namespace PhysicsTestModels;

constexpr float kFrame = 1.0f / 50.0f; // a 50 Hz display: 2.4 substeps per frame
constexpr int kFrames = 151;           // 362.4 substeps: the battle ends inside one
const char *const kNames[] = {"tower", "tank1", "tank2", "tank1_1"};

// Every body's pose and speed, to the last bit.
using Snapshot = std::vector<std::array<float, 6>>;

// A short battle: a tower, two tanks dropped side by side that one of them drives into, and a
// shell that hits the other, released by the hit rule as in the game.
class PhysXWorldResetTest : public ::testing::Test {
  protected:
    void SetUp() override { px.initialPhysX(); }

    Snapshot playBattle() {
        const float low[3] = {-40.0f, 0.0f, -40.0f}, high[3] = {40.0f, 0.0f, 40.0f};
        px.setBoundary(low, high);
        add(tower, "tower", 12.0f, 0.0f, 0.0f, true);
        add(tank1, "tank1", 0.0f, 0.3f, 0.0f, false);
        add(tank2, "tank2", 0.0f, 0.6f, 5.5f, false);
        shot.setActorName("tank1_1");
        const float from[3] = {-12.0f, 1.0f, 5.5f}, along[3] = {1.0f, 0.0f, 0.0f};
        px.fireBullet(from, along, 25.0f, static_cast<int>(shell.size()), 0, shell.data(), nullptr, "tank1_1",
                      "projektil", 1.0f, 0.0f, &shot);
        px.setContactReport(&shot, &tank2);
        for (int i = 0; i < kFrames; ++i) {
            const float drive[3] = {0.05f, 0.0f, 0.2f}; // into tank2, a little to the side
            px.forceActor("tank1", drive);
            px.updateObjects(kFrame);
        }
        Snapshot state;
        for (const char *name : kNames) {
            std::array<float, 6> body{};
            if (px.getActorPosition(name, body.data())) {
                px.getActorVelocity(name, body.data() + 3);
            }
            state.push_back(body);
        }
        return state;
    }

    void add(SpielObject &o, const std::string &name, float x, float y, float z, bool isStatic) {
        o.setActorName(name);
        const float pos[3] = {x, y, z};
        ASSERT_NE(px.prepareConvexMesh(static_cast<int>(tank.size()), 0, tank.data(), nullptr, name, pos,
                                       1.0f, 0.0f, &o, isStatic),
                  nullptr);
    }

    TempDir dir;
    ScopedCwd cwd{dir.path()};
    PhysXAccess px;
    std::vector<Md2Vertex> tank = tankBox();
    std::vector<Md2Vertex> shell = shellBox();
    SpielObject tower, tank1, tank2, shot;
    int hits = 0;
};

TEST_F(PhysXWorldResetTest, TwoBattlesStartedAlikeInOneProcessEndBitForBit) {
    px.setContactHandler([this](SpielObject *projectile, SpielObject *) {
        ++hits;
        px.ReleaseActor(projectile->getActorName());
    });
    SpielObject pickup;
    const float centre[3] = {0.0f, 1.0f, -30.0f};
    ASSERT_TRUE(px.addTrigger("pickup", centre, 1.0f, &pickup));
    px.resetWorld();
    const Snapshot first = playBattle();
    EXPECT_EQ(hits, 1);

    px.resetWorld(); // what the battle left goes with the old world
    EXPECT_TRUE(px.getActors().empty());
    EXPECT_EQ(px.getMeshCount(), 0u);
    EXPECT_EQ(px.getScene()->getNumCollisionObjects(), 1); // a new ground alone
    EXPECT_EQ(px.getTriggerCount(), 1u);
    EXPECT_TRUE(px.getScene()->getDispatchInfo().m_deterministicOverlappingPairs);
    EXPECT_EQ(px.getScene()->getSolverInfo().m_solverMode & SOLVER_RANDMIZE_ORDER, 0);
    const Snapshot second = playBattle();
    EXPECT_EQ(hits, 2); // the handler stays with the facade
    for (std::size_t b = 0; b < first.size(); ++b) {
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(first[b][i], second[b][i]) << kNames[b] << " value " << i;
        }
    }

    px.FreeEverything();
    px.resetWorld(); // no world, nothing to reset
    EXPECT_EQ(px.getScene(), nullptr);
}

} // namespace
