#include "physics/PhysXAccess.h"

#include "objects/SpielObject.h"
#include "physics/PhysicsTestModels.h"
#include "support/TempDir.h"

#include <LinearMath/btAlignedAllocator.h>
#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace PhysicsTestModels;

constexpr float kFrame = 1.0f / 60.0f; // seconds per game step in these tests
constexpr int kCount = 4;              // shells whose reports are ordered

// While it lives, Bullet's rigid bodies come from a pool handed out from its top down: every body
// lies below the bodies made before it, so the order of their addresses is the reverse of the order
// they were made in. Everything else Bullet allocates still comes from the heap.
class TopDownBodyPool {
  public:
    TopDownBodyPool() {
        pool = this;
        btAlignedAllocSetCustom(&allocate, &release);
    }
    ~TopDownBodyPool() {
        btAlignedAllocSetCustom(nullptr, nullptr); // the heap again
        pool = nullptr;
    }
    TopDownBodyPool(const TopDownBodyPool &) = delete;
    TopDownBodyPool &operator=(const TopDownBodyPool &) = delete;

  private:
    static constexpr std::size_t kBlock = sizeof(btRigidBody) + 64; // a body with Bullet's alignment room
    static constexpr int kBlocks = 32;

    static void *allocate(std::size_t size) {
        if (size < sizeof(btRigidBody) || size > kBlock || pool->used == kBlocks) {
            return std::malloc(size);
        }
        ++pool->used;
        return pool->blocks.data() + (kBlocks - pool->used) * kBlock;
    }
    // A pool block is never handed out again; everything else goes back to the heap.
    static void release(void *memory) {
        const auto *byte = static_cast<const unsigned char *>(memory);
        const unsigned char *begin = pool->blocks.data();
        if (!std::less_equal<const unsigned char *>()(begin, byte) ||
            !std::less<const unsigned char *>()(byte, begin + pool->blocks.size())) {
            std::free(memory);
        }
    }

    static TopDownBodyPool *pool;                                                     // the living pool
    std::vector<unsigned char> blocks = std::vector<unsigned char>(kBlocks * kBlock); // bottom to top
    int used = 0; // blocks handed out, from the top
};

TopDownBodyPool *TopDownBodyPool::pool = nullptr;

// Reports must come in the order the bodies were made, never in the order of their addresses.
class PhysXAccessOrderTest : public ::testing::Test {
  protected:
    void SetUp() override { px.initialPhysX(); }

    btRigidBody *fire(int k, float x, float y, float z, float dx, float dy, float dz, float speed) {
        const std::string name = "shot" + std::to_string(k);
        shots[k].setActorName(name);
        const float pos[3] = {x, y, z};
        const float dir[3] = {dx, dy, dz};
        return px.fireBullet(pos, dir, speed, static_cast<int>(shell.size()), 0, shell.data(), nullptr, name,
                             "projektil", 1.0f, 0.0f, &shots[k]);
    }

    TempDir dir;
    ScopedCwd cwd{dir.path()};
    TopDownBodyPool bodyPool; // before the facade: its bodies go back before the heap returns
    PhysXAccess px;
    std::vector<Md2Vertex> tank = tankBox();
    std::vector<Md2Vertex> shell = shellBox();
    SpielObject shots[kCount];
    const std::vector<SpielObject *> made = {&shots[0], &shots[1], &shots[2], &shots[3]};
};

TEST_F(PhysXAccessOrderTest, HitsOfOneStepArriveInTheOrderTheShellsWereMade) {
    std::vector<std::pair<SpielObject *, SpielObject *>> hits;
    px.setContactHandler([&hits](SpielObject *p, SpielObject *v) { hits.emplace_back(p, v); });
    SpielObject target;
    target.setActorName("tank1");
    const float at[3] = {0.0f, 0.0f, 0.0f};
    ASSERT_NE(px.prepareConvexMesh(8, 0, tank.data(), nullptr, "tank1", at, 1.0f, 0.0f, &target, false),
              nullptr);
    // Four shells fly at the square tank from its four sides, as far away as each other: they
    // strike it in the same frame.
    const float from[kCount][2] = {{10.0f, 0.0f}, {0.0f, 10.0f}, {-10.0f, 0.0f}, {0.0f, -10.0f}};
    for (int k = 0; k < kCount; ++k) {
        ASSERT_NE(fire(k, from[k][0], 1.0f, from[k][1], -from[k][0], 0.0f, -from[k][1], 30.0f), nullptr);
        px.setContactReport(&shots[k], &target);
    }
    for (int frame = 0; frame < 60 && hits.empty(); ++frame) {
        px.updateObjects(kFrame);
    }
    ASSERT_EQ(hits.size(), static_cast<std::size_t>(kCount));
    for (int k = 0; k < kCount; ++k) {
        EXPECT_EQ(hits[k].first, made[k]) << "report " << k;
        EXPECT_EQ(hits[k].second, &target);
    }
}

TEST_F(PhysXAccessOrderTest, TouchesOfATriggerArriveInTheOrderTheBodiesWereMade) {
    std::vector<SpielObject *> entering;
    std::vector<SpielObject *> leaving;
    SpielObject pickup;
    px.getTriggerReport().setHandler([&](SpielObject *, SpielObject *other, int status) {
        if (status != CTriggerCallback::kStaying) {
            (status == CTriggerCallback::kEntering ? entering : leaving).push_back(other);
        }
    });
    const float centre[3] = {0.0f, 10.0f, 0.0f};
    ASSERT_TRUE(px.addTrigger("pickup", centre, 4.0f, &pickup));
    // Four shells around the sphere's axis, as near to it as each other, rise side by side: they
    // touch it in the same frame and leave it in the same frame.
    const float ring[kCount][2] = {{2.0f, 0.0f}, {0.0f, 2.0f}, {-2.0f, 0.0f}, {0.0f, -2.0f}};
    for (int k = 0; k < kCount; ++k) {
        ASSERT_NE(fire(k, ring[k][0], 0.0f, ring[k][1], 0.0f, 1.0f, 0.0f, 20.0f), nullptr);
    }
    for (int frame = 0; frame < 60; ++frame) {
        px.updateObjects(kFrame);
    }
    EXPECT_EQ(entering, made);
    EXPECT_EQ(leaving, made);
}

} // namespace
