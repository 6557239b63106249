#include "physics/PhysXAccess.h"

#include "objects/SpielObject.h"
#include "physics/CMyRaycastReport.h"
#include "physics/PhysXTuning.h"
#include "physics/PhysicsTestModels.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace PhysicsTestModels;

constexpr float kFrame = 1.0f / 60.0f; // seconds per game step in these tests

// A world in a fresh working directory, so the mesh cache lands in a temporary folder.
class PhysXAccessTest : public ::testing::Test {
  protected:
    void SetUp() override { px.initialPhysX(); }

    btRigidBody *addVehicle(SpielObject &o, const std::string &name, float x, float y, float z,
                            float heading = 0.0f) {
        o.setActorName(name);
        const float pos[3] = {x, y, z};
        o.setPos(pos);
        return px.prepareConvexMesh(static_cast<int>(tank.size()), 0, tank.data(), nullptr, name, pos, 1.0f,
                                    heading, &o, false);
    }

    btRigidBody *addLevelObject(SpielObject &o, const std::string &name, float x, float y, float z) {
        o.setObjectName(name);
        const float pos[3] = {x, y, z};
        return px.prepareConvexMesh(static_cast<int>(tank.size()), 0, tank.data(), nullptr, name, pos, 1.0f,
                                    0.0f, &o, true);
    }

    btRigidBody *fire(SpielObject &o, const std::string &id, float x, float y, float z, float dx, float dy,
                      float dz, float speed) {
        o.setActorName(id);
        const float pos[3] = {x, y, z};
        const float dir[3] = {dx, dy, dz};
        return px.fireBullet(pos, dir, speed, static_cast<int>(shell.size()), 0, shell.data(), nullptr, id,
                             "projektil", 1.0f, 0.0f, &o);
    }

    void run(float seconds) {
        for (float t = 0.0f; t < seconds; t += kFrame) {
            px.updateObjects(kFrame);
        }
    }

    TempDir dir;
    ScopedCwd cwd{dir.path()};
    PhysXAccess px;
    std::vector<Md2Vertex> tank = tankBox();
    std::vector<Md2Vertex> shell = shellBox();
};

TEST_F(PhysXAccessTest, ADroppedVehicleComesToRestOnTheGroundAndLevelObjectsStayPut) {
    SpielObject tank1;
    ASSERT_NE(addVehicle(tank1, "tank1", 0.0f, 5.0f, 0.0f), nullptr);
    SpielObject tower;
    ASSERT_NE(addLevelObject(tower, "tower", 20.0f, 3.0f, 0.0f), nullptr);
    EXPECT_NE(px.getGround(), nullptr);
    EXPECT_EQ(px.getFirstConvexActor(), px.getActors().at("tank1").getActor());

    run(3.0f);
    px.updateObjects(0.0f);
    EXPECT_NEAR(tank1.getPos()[1], 0.0f, 0.05f); // the box stands on its actor's origin
    EXPECT_GT(tank1.getPos()[1], -0.02f);        // not sunk into the ground
    EXPECT_NEAR(tank1.getPos()[0], 0.0f, 1e-3);
    EXPECT_NEAR(tank1.getPos()[2], 0.0f, 1e-3);
    float v[3];
    ASSERT_TRUE(px.getActorVelocity("tank1", v));
    EXPECT_NEAR(v[1], 0.0f, 0.05f);

    // A static level object hangs where it was put, whatever gravity says.
    EXPECT_FLOAT_EQ(tower.getPos()[0], 20.0f);
    EXPECT_FLOAT_EQ(tower.getPos()[1], 3.0f);
    EXPECT_EQ(px.getActorMass("tower"), 0.0f);
}

TEST_F(PhysXAccessTest, PositionsCrossTheFacadeWithXAndZNegated) {
    SpielObject tank1;
    ASSERT_NE(addVehicle(tank1, "tank1", 3.0f, 5.0f, -2.0f, 90.0f), nullptr);
    const float elsewhere[3] = {0.0f, 0.0f, 0.0f};
    tank1.setPos(elsewhere);
    px.updateObjects(0.0f);

    EXPECT_NEAR(tank1.getPos()[0], 3.0f, 1e-5);
    EXPECT_NEAR(tank1.getPos()[1], 5.0f, 1e-5);
    EXPECT_NEAR(tank1.getPos()[2], -2.0f, 1e-5);
    // The raw pose stays in physics axes: translation in entries 12..14, turned by the heading.
    const float *pose = tank1.getPhysicsPose();
    EXPECT_NEAR(pose[12], -3.0f, 1e-5);
    EXPECT_NEAR(pose[13], 5.0f, 1e-5);
    EXPECT_NEAR(pose[14], 2.0f, 1e-5);
    EXPECT_NEAR(pose[0], 0.0f, 1e-5);
    EXPECT_NEAR(pose[8], 1.0f, 1e-5);

    float p[3];
    ASSERT_TRUE(px.getActorPosition("tank1", p));
    EXPECT_NEAR(p[0], 3.0f, 1e-5);
    EXPECT_NEAR(p[2], -2.0f, 1e-5);
    EXPECT_FALSE(px.getActorPosition("nobody", p));
}

TEST_F(PhysXAccessTest, DrivePushesMoveAVehicleInTheGameDirectionAndKeepItUpright) {
    SpielObject tank1;
    ASSERT_NE(addVehicle(tank1, "tank1", 0.0f, 0.1f, 0.0f), nullptr);
    run(0.5f);
    const float accel = 12.0f; // the tank type's value: the drive key adds accel * dt every step
    for (int i = 0; i < 120; ++i) {
        const float drive[3] = {0.0f, 0.0f, accel * kFrame}; // heading 0: along +z
        px.forceActor("tank1", drive);
        px.updateObjects(kFrame);
    }
    px.updateObjects(0.0f);
    EXPECT_GT(tank1.getPos()[2], 5.0f);
    EXPECT_NEAR(tank1.getPos()[0], 0.0f, 0.05f);
    EXPECT_NEAR(tank1.getPos()[1], 0.0f, 0.05f); // pressed down, but not into the ground
    EXPECT_FLOAT_EQ(px.getActorMass("tank1"), PhysXTuning::kVehicleMass);
    float v[3];
    ASSERT_TRUE(px.getActorVelocity("tank1", v));
    EXPECT_GT(v[2], 3.0f);
    EXPECT_LT(v[2], 25.0f); // the damping keeps a held key at a tank's pace
    const float *pose = tank1.getPhysicsPose();
    EXPECT_NEAR(pose[5], 1.0f, 1e-4); // its up axis still points up

    const float z = tank1.getPos()[2];
    for (int i = 0; i < 180; ++i) {
        const float drive[3] = {accel * kFrame, 0.0f, 0.0f}; // heading 90: along +x
        px.forceActor("tank1", drive);
        px.updateObjects(kFrame);
    }
    px.updateObjects(0.0f);
    EXPECT_GT(tank1.getPos()[0], 5.0f);
    EXPECT_GT(tank1.getPos()[2], z); // it keeps some of its old run, then slows
}

TEST_F(PhysXAccessTest, ForceActorSetsTheMassAndAlwaysPressesDown) {
    SpielObject tank1;
    ASSERT_NE(addVehicle(tank1, "tank1", 0.0f, 30.0f, 0.0f), nullptr);
    EXPECT_GT(px.getActorMass("tank1"), 0.0f);
    float before[3];
    float after[3];
    ASSERT_TRUE(px.getActorVelocity("tank1", before));
    const float zero[3] = {0.0f, 0.0f, 0.0f};
    px.forceActor("tank1", zero);
    EXPECT_FLOAT_EQ(px.getActorMass("tank1"), 600.0f);
    ASSERT_TRUE(px.getActorVelocity("tank1", after));
    EXPECT_NEAR(after[0], before[0], 1e-6);
    EXPECT_NEAR(after[1], before[1] - 200.0f / 600.0f, 1e-5);
    EXPECT_NEAR(after[2], before[2], 1e-6);

    const float force[3] = {1.0f, 2.0f, 3.0f};
    px.forceActor("tank1", force);
    float pushed[3];
    ASSERT_TRUE(px.getActorVelocity("tank1", pushed));
    EXPECT_NEAR(pushed[0] - after[0], 450.0f / 600.0f, 1e-5); // x and z scaled by 450, in game axes
    EXPECT_NEAR(pushed[1] - after[1], (2.0f - 200.0f) / 600.0f, 1e-5);
    EXPECT_NEAR(pushed[2] - after[2], 3.0f * 450.0f / 600.0f, 1e-5);

    // The plain force on the first convex actor, in game axes, is felt after a step.
    const float sideways[3] = {6000.0f, 0.0f, 0.0f};
    px.forcePlayer1(sideways);
    px.Simulate(1.0f / 60.0f);
    float shoved[3];
    ASSERT_TRUE(px.getActorVelocity("tank1", shoved));
    EXPECT_GT(shoved[0], pushed[0] + 0.05f);

    // Unknown names, static actors and broken vectors are ignored.
    px.forceActor("nobody", force);
    SpielObject tower;
    addLevelObject(tower, "tower", 20.0f, 0.0f, 0.0f);
    px.forceActor("tower", force);
    EXPECT_EQ(px.getActorMass("tower"), 0.0f);
    const float broken[3] = {std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.0f};
    px.forceActor("tank1", broken);
    float still[3];
    ASSERT_TRUE(px.getActorVelocity("tank1", still));
    EXPECT_FLOAT_EQ(still[0], shoved[0]);
}

TEST_F(PhysXAccessTest, AStandingTankFallsAsleepAndOnlyADriveOrAHitWakesIt) {
    SpielObject tank1;
    ASSERT_NE(addVehicle(tank1, "tank1", 0.0f, 0.1f, 0.0f), nullptr);
    const float zero[3] = {0.0f, 0.0f, 0.0f};
    // No key held: the game still pushes every step, with nothing to add.
    for (int i = 0; i < 4 * 60 && !px.isActorAsleep("tank1"); ++i) {
        px.forceActor("tank1", zero);
        px.updateObjects(kFrame);
    }
    ASSERT_TRUE(px.isActorAsleep("tank1"));
    float rest[3];
    ASSERT_TRUE(px.getActorPosition("tank1", rest));
    EXPECT_NEAR(rest[1], 0.0f, 0.05f); // resting on the ground, not pressed into it
    for (int i = 0; i < 60; ++i) {
        px.forceActor("tank1", zero);
        px.updateObjects(kFrame);
    }
    EXPECT_TRUE(px.isActorAsleep("tank1"));
    float still[3];
    ASSERT_TRUE(px.getActorPosition("tank1", still));
    EXPECT_FLOAT_EQ(still[1], rest[1]);
    float v[3];
    ASSERT_TRUE(px.getActorVelocity("tank1", v));
    EXPECT_FLOAT_EQ(v[1], 0.0f); // no downward push piled up while it slept

    const float drive[3] = {0.0f, 0.0f, 12.0f * kFrame}; // the drive key held, as the game pushes
    px.forceActor("tank1", drive);
    EXPECT_FALSE(px.isActorAsleep("tank1"));
    for (int i = 0; i < 30; ++i) {
        px.forceActor("tank1", drive);
        px.updateObjects(kFrame);
    }
    float moved[3];
    ASSERT_TRUE(px.getActorPosition("tank1", moved));
    EXPECT_GT(moved[2], rest[2] + 0.1f);

    // A sleeping tank still reports the shell that strikes it.
    for (int i = 0; i < 6 * 60 && !px.isActorAsleep("tank1"); ++i) {
        px.forceActor("tank1", zero);
        px.updateObjects(kFrame);
    }
    ASSERT_TRUE(px.isActorAsleep("tank1"));
    int hits = 0;
    px.setContactHandler([&hits](SpielObject *, SpielObject *) { ++hits; });
    SpielObject shot;
    ASSERT_TRUE(px.getActorPosition("tank1", rest));
    ASSERT_NE(fire(shot, "tank1_1", rest[0], rest[1] + 0.5f, rest[2] - 8.0f, 0.0f, 0.0f, 1.0f, 20.0f),
              nullptr);
    px.setContactReport(&shot, &tank1);
    run(1.0f);
    EXPECT_GE(hits, 1);
}

TEST_F(PhysXAccessTest, AProjectileFliesStraightWithoutGravityAlongItsGameDirection) {
    SpielObject shot;
    ASSERT_NE(fire(shot, "tank1_1", 0.0f, 10.0f, 0.0f, 0.6f, 0.0f, 0.8f, 20.0f), nullptr);
    float v[3];
    ASSERT_TRUE(px.getActorVelocity("tank1_1", v));
    EXPECT_NEAR(v[0], 12.0f, 1e-4);
    EXPECT_NEAR(v[1], 0.0f, 1e-6);
    EXPECT_NEAR(v[2], 16.0f, 1e-4);

    run(0.5f);
    px.updateObjects(0.0f);
    EXPECT_NEAR(shot.getPos()[1], 10.0f, 1e-3);
    const float travelled = std::hypot(shot.getPos()[0], shot.getPos()[2]);
    EXPECT_NEAR(travelled, 10.0f, 0.4f); // 0.5 s at 20 units/s, give or take a frame
    EXPECT_NEAR(shot.getPos()[2] / shot.getPos()[0], 0.8f / 0.6f, 1e-3);
    ASSERT_TRUE(px.getActorVelocity("tank1_1", v));
    EXPECT_NEAR(v[0], 12.0f, 1e-3);
    EXPECT_NEAR(v[2], 16.0f, 1e-3);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    SpielObject bad;
    EXPECT_EQ(fire(bad, "bad", 0.0f, 1.0f, 0.0f, nan, 0.0f, 1.0f, 10.0f), nullptr);
    EXPECT_FALSE(px.hasActor("bad"));
}

// Every reported pair, in the order the handler got it.
using Reports = std::vector<std::pair<SpielObject *, SpielObject *>>;

TEST_F(PhysXAccessTest, ArmedPairsReportTheirTouchesProjectileFirstWhateverTheEngineOrder) {
    Reports reports;
    px.setContactHandler([&reports](SpielObject *p, SpielObject *v) { reports.emplace_back(p, v); });

    // The shell is created after the tank in one lane and before it in the other, so the engine
    // sees the two pairs in opposite orders.
    SpielObject tank1;
    SpielObject tank2;
    SpielObject shotA;
    SpielObject shotB;
    ASSERT_NE(addVehicle(tank1, "tank1", 0.0f, 0.0f, 0.0f), nullptr);
    ASSERT_NE(fire(shotA, "tank1_1", -10.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f, 30.0f), nullptr);
    ASSERT_NE(fire(shotB, "tank2_1", -10.0f, 1.0f, 30.0f, 1.0f, 0.0f, 0.0f, 30.0f), nullptr);
    ASSERT_NE(addVehicle(tank2, "tank2", 0.0f, 0.0f, 30.0f), nullptr);
    px.setContactReport(&shotA, &tank1);
    px.setContactReport(&shotB, &tank2);
    px.setContactReport(&shotA, &tank1); // arming twice changes nothing
    run(1.0f);

    bool sawA = false;
    bool sawB = false;
    for (const auto &r : reports) {
        const bool a = r.first == &shotA && r.second == &tank1;
        const bool b = r.first == &shotB && r.second == &tank2;
        EXPECT_TRUE(a || b);
        sawA = sawA || a;
        sawB = sawB || b;
    }
    EXPECT_TRUE(sawA);
    EXPECT_TRUE(sawB);
}

TEST_F(PhysXAccessTest, UnarmedPairsStaySilentAndTheArmingOrderIsTheReportOrder) {
    Reports reports;
    px.setContactHandler([&reports](SpielObject *p, SpielObject *v) { reports.emplace_back(p, v); });
    SpielObject tank1;
    SpielObject tank2;
    SpielObject shot;
    SpielObject stray;
    ASSERT_NE(addVehicle(tank1, "tank1", 0.0f, 0.0f, 0.0f), nullptr);
    ASSERT_NE(addVehicle(tank2, "tank2", 0.0f, 0.0f, 30.0f), nullptr);
    ASSERT_NE(fire(shot, "tank2_1", -10.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f, 30.0f), nullptr);
    ASSERT_NE(fire(stray, "tank2_2", -10.0f, 1.0f, 30.0f, 1.0f, 0.0f, 0.0f, 30.0f), nullptr); // never armed
    px.setContactReport(&tank1, &shot); // armed the other way round: the vehicle comes first
    px.setContactReport(&shot, nullptr);
    SpielObject unregistered;
    unregistered.setActorName("ghost");
    px.setContactReport(&stray, &unregistered);
    run(1.0f);

    ASSERT_FALSE(reports.empty());
    for (const auto &r : reports) {
        EXPECT_EQ(r.first, &tank1);
        EXPECT_EQ(r.second, &shot);
    }
    // At most one report per pair and step, however many substeps touched.
    reports.clear();
    ASSERT_NE(fire(shot, "tank2_3", -3.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.5f), nullptr);
    px.setContactReport(&shot, &tank1);
    for (int i = 0; i < 30; ++i) {
        const std::size_t before = reports.size();
        px.updateObjects(kFrame);
        EXPECT_LE(reports.size() - before, 1u);
    }
}

TEST_F(PhysXAccessTest, AShellStrikingItsOwnShootersHullIsReported) {
    Reports reports;
    px.setContactHandler([&reports](SpielObject *p, SpielObject *v) { reports.emplace_back(p, v); });
    SpielObject shooter;
    SpielObject shot;
    ASSERT_NE(addVehicle(shooter, "tank1", 0.0f, 0.0f, 0.0f), nullptr);
    // Fired from the muzzle ahead of the hull, flying back into it.
    ASSERT_NE(fire(shot, "tank1_1", 0.0f, 1.0f, 6.0f, 0.0f, 0.0f, -1.0f, 20.0f), nullptr);
    px.setContactReport(&shot, &shooter);
    run(0.5f);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.front().first, &shot);
    EXPECT_EQ(reports.front().second, &shooter);
}

TEST_F(PhysXAccessTest, AHandlerMayReleaseTheActorsOfTheContactItIsHandling) {
    int calls = 0;
    SpielObject tank1;
    SpielObject shot;
    px.setContactHandler([&](SpielObject *p, SpielObject *v) {
        ++calls;
        px.ReleaseActor(p->getActorName());
        px.ReleaseActor(v->getActorName());
    });
    ASSERT_NE(addVehicle(tank1, "tank1", 0.0f, 0.0f, 0.0f), nullptr);
    ASSERT_NE(fire(shot, "tank1_1", -10.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f, 30.0f), nullptr);
    px.setContactReport(&shot, &tank1);
    px.setContactReport(&tank1, &shot); // two pending pairs for one touch
    run(1.0f);
    EXPECT_EQ(calls, 1); // the second pair's bodies were gone by its turn
    EXPECT_FALSE(px.hasActor("tank1"));
    EXPECT_FALSE(px.hasActor("tank1_1"));
}

// Keeps every hit it is shown, then decides like the game's report.
class RecordingReport : public CMyRaycastReport {
  public:
    using CMyRaycastReport::CMyRaycastReport;
    bool onHit(const RaycastHit &hit) override {
        hits.push_back(hit);
        return CMyRaycastReport::onHit(hit);
    }
    std::vector<RaycastHit> hits;
};

TEST_F(PhysXAccessTest, RayCastsFindTheNearestSurfaceAndStopAtTheTarget) {
    SpielObject tank1;
    ASSERT_NE(addLevelObject(tank1, "bunker", 0.0f, 0.0f, 10.0f), nullptr);
    const float from[3] = {0.0f, 1.0f, 0.0f};
    const float along[3] = {0.0f, 0.0f, 2.0f}; // any length

    const float beyond[3] = {0.0f, 1.0f, 20.0f};
    RecordingReport look(beyond);
    EXPECT_EQ(px.raycastAllShapes(from, along, look), 1);
    ASSERT_EQ(look.hits.size(), 1u);
    const RaycastHit &h = look.hits[0];
    EXPECT_NEAR(h.worldImpact[0], 0.0f, 1e-3);
    EXPECT_NEAR(h.worldImpact[1], 1.0f, 1e-3);
    EXPECT_NEAR(h.worldImpact[2], 10.0f - 2.4f, 0.03f); // the near face, widened by the margin
    EXPECT_NEAR(h.worldNormal[2], -1.0f, 1e-3);
    EXPECT_NEAR(h.distance, 7.6f, 0.03f);
    EXPECT_EQ(h.object, &tank1);
    EXPECT_FALSE(look.isHit());

    const float face[3] = {0.0f, 1.0f, 7.6f};
    RecordingReport aim(face);
    EXPECT_EQ(px.raycastAllShapes(from, along, aim), 1);
    EXPECT_TRUE(aim.isHit());
    EXPECT_NEAR(aim.getHitNormal()[2], -1.0f, 1e-3);

    const float away[3] = {0.0f, 0.0f, -1.0f};
    RecordingReport miss(face);
    EXPECT_EQ(px.raycastAllShapes(from, away, miss), 0);
    EXPECT_FALSE(miss.isHit());

    // Straight down onto the ground: a hit without a game object.
    const float high[3] = {5.0f, 8.0f, -4.0f};
    const float down[3] = {0.0f, -1.0f, 0.0f};
    const float spot[3] = {5.0f, 0.0f, -4.0f};
    RecordingReport ground(spot);
    EXPECT_EQ(px.raycastAllShapes(high, down, ground), 1);
    EXPECT_TRUE(ground.isHit());
    EXPECT_EQ(ground.hits[0].object, nullptr);
    EXPECT_NEAR(ground.getHitNormal()[1], 1.0f, 1e-5);

    const float none[3] = {0.0f, 0.0f, 0.0f};
    EXPECT_EQ(px.raycastAllShapes(from, none, miss), 0);
}

TEST_F(PhysXAccessTest, SharedMeshesLiveAsLongAsTheirLastActor) {
    SpielObject a;
    SpielObject b;
    btRigidBody *first = fire(a, "tank1_1", 0.0f, 5.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f);
    btRigidBody *second = fire(b, "tank1_2", 0.0f, 5.0f, 5.0f, 1.0f, 0.0f, 0.0f, 1.0f);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(px.getMeshCount(), 1u);
    EXPECT_EQ(px.getMeshUseCount("tank1_1"), 2);
    EXPECT_EQ(px.getCookCount(), 1); // the second shell reused the first one's mesh
    EXPECT_EQ(px.getConvexMeshCount(), 2);

    px.ReleaseActor("tank1_1");
    EXPECT_FALSE(px.hasActor("tank1_1"));
    EXPECT_EQ(px.getMeshCount(), 1u);
    EXPECT_EQ(px.getMeshUseCount("tank1_2"), 1);
    EXPECT_EQ(px.getFirstConvexActor(), nullptr); // the first actor is gone, not dangling

    px.ReleaseActor("nobody");
    px.ReleaseActor(static_cast<btRigidBody *>(nullptr));
    px.ReleaseActor(second); // by body: the registry entry goes with it
    EXPECT_FALSE(px.hasActor("tank1_2"));
    EXPECT_EQ(px.getMeshCount(), 0u);
    run(0.1f); // the world steps on without them

    SpielObject c; // a new shell reads the mesh from the cache instead of cooking it again
    ASSERT_NE(fire(c, "tank1_3", 0.0f, 5.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f), nullptr);
    EXPECT_EQ(px.getCookCount(), 1);
    EXPECT_EQ(px.getMeshUseCount("tank1_3"), 1);
}

TEST_F(PhysXAccessTest, FreeEverythingLeavesAnEmptyFacadeThatIgnoresFurtherCalls) {
    SpielObject tank1;
    SpielObject shot;
    addVehicle(tank1, "tank1", 0.0f, 0.0f, 0.0f);
    fire(shot, "tank1_1", -10.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f, 30.0f);
    px.setContactReport(&shot, &tank1);
    run(0.2f);

    px.FreeEverything();
    EXPECT_EQ(px.getScene(), nullptr);
    EXPECT_TRUE(px.getActors().empty());
    EXPECT_EQ(px.getMeshCount(), 0u);
    EXPECT_EQ(px.getGround(), nullptr);

    const float force[3] = {1.0f, 0.0f, 0.0f};
    px.forceActor("tank1", force);
    px.forcePlayer1(force);
    px.updateObjects(kFrame);
    px.Simulate(kFrame);
    px.setContactReport(&shot, &tank1);
    EXPECT_EQ(addVehicle(tank1, "tank1", 0.0f, 0.0f, 0.0f), nullptr);
    EXPECT_EQ(px.CreateGroundPlane(), nullptr);
    const Terrain t = flatTerrain(2, 0.0f);
    const float origin[3] = {0.0f, 0.0f, 0.0f};
    EXPECT_EQ(px.prepareTriangleMesh(t.vertexCount(), t.triangleCount(), t.vertices.data(),
                                     t.triangles.data(), "heightmap", origin, 1.0f, -90.0f),
              nullptr);
    CMyRaycastReport report(origin);
    EXPECT_EQ(px.raycastAllShapes(origin, force, report), 0);
    px.FreeEverything(); // twice is harmless, and so is the destructor after it
}

TEST_F(PhysXAccessTest, AStepIsWholeSubstepsAndALongOneIsClampedInsteadOfTakenAtOnce) {
    SpielObject tank1;
    ASSERT_NE(addVehicle(tank1, "tank1", 0.0f, 10.0f, 0.0f), nullptr);
    px.Simulate(1000.0f); // a stalled frame
    float p[3];
    ASSERT_TRUE(px.getActorPosition("tank1", p));
    const float longest = PhysXTuning::kMaxFrameStep;
    EXPECT_LT(p[1], 10.0f);
    EXPECT_GT(p[1], 10.0f + 0.5f * PhysXTuning::kGravityY * longest * longest - 0.01f);

    px.Simulate(std::numeric_limits<float>::quiet_NaN());
    px.Simulate(-1.0f);
    float q[3];
    ASSERT_TRUE(px.getActorPosition("tank1", q));
    EXPECT_EQ(q[1], p[1]); // neither moved it

    // Less than half a substep is none; a step of two substeps is two, the same as two steps of
    // one each: nothing is carried over from one call to the next.
    px.Simulate(0.4f * PhysXTuning::kFixedSubstep);
    ASSERT_TRUE(px.getActorPosition("tank1", q));
    EXPECT_EQ(q[1], p[1]);
    PhysXAccess one, two;
    SpielObject first, second;
    const float high[3] = {0.0f, 10.0f, 0.0f};
    for (auto [world, object] : {std::pair{&one, &first}, std::pair{&two, &second}}) {
        world->initialPhysX();
        ASSERT_NE(world->prepareConvexMesh(static_cast<int>(tank.size()), 0, tank.data(), nullptr, "tank1", high,
                                           1.0f, 0.0f, object, false),
                  nullptr);
    }
    one.Simulate(2 * PhysXTuning::kFixedSubstep);
    two.Simulate(PhysXTuning::kFixedSubstep);
    two.Simulate(PhysXTuning::kFixedSubstep);
    float a[3], b[3];
    ASSERT_TRUE(one.getActorPosition("tank1", a));
    ASSERT_TRUE(two.getActorPosition("tank1", b));
    EXPECT_LT(a[1], 10.0f);
    EXPECT_EQ(a[1], b[1]);
}

TEST_F(PhysXAccessTest, TheTerrainIsAStaticMeshTurnedUprightThatVehiclesStandOn) {
    const Terrain t = flatTerrain(4, 2.0f);
    const float origin[3] = {0.0f, 0.0f, 0.0f};
    btRigidBody *terrain = px.prepareTriangleMesh(t.vertexCount(), t.triangleCount(), t.vertices.data(),
                                                  t.triangles.data(), "heightmap", origin, 1.0f, -90.0f);
    ASSERT_NE(terrain, nullptr);
    EXPECT_TRUE(px.hasActor("heightmap"));
    EXPECT_EQ(px.getTriangleMeshCount(), 1);
    float low[3];
    float high[3];
    ASSERT_TRUE(px.getActorBounds("heightmap", low, high));
    EXPECT_NEAR(low[0], -10.0f, 0.05f);
    EXPECT_NEAR(high[0], 10.0f, 0.05f);
    EXPECT_NEAR(low[1], 2.0f, 0.05f);
    EXPECT_NEAR(high[1], 2.0f, 0.05f);
    EXPECT_NEAR(low[2], -10.0f, 0.05f);

    SpielObject tank1;
    ASSERT_NE(addVehicle(tank1, "tank1", 2.0f, 6.0f, -3.0f), nullptr);
    run(3.0f);
    px.updateObjects(0.0f);
    EXPECT_NEAR(tank1.getPos()[1], 2.0f, 0.05f);
    EXPECT_NEAR(tank1.getPos()[0], 2.0f, 0.01f);
    EXPECT_NEAR(tank1.getPos()[2], -3.0f, 0.01f);

    // Driving across the seams between the terrain's triangles: no bumps, no sinking, no swerving.
    float lowest = 100.0f;
    float highest = -100.0f;
    const float start[3] = {tank1.getPos()[0], tank1.getPos()[1], tank1.getPos()[2]};
    for (int i = 0; i < 90; ++i) {
        const float drive[3] = {0.6f * 12.0f * kFrame, 0.0f, 0.8f * 12.0f * kFrame};
        px.forceActor("tank1", drive);
        px.updateObjects(kFrame);
        lowest = std::min(lowest, tank1.getPos()[1]);
        highest = std::max(highest, tank1.getPos()[1]);
    }
    EXPECT_GT(lowest, 1.99f);
    EXPECT_LT(highest, 2.03f);
    const float dx = tank1.getPos()[0] - start[0];
    const float dz = tank1.getPos()[2] - start[2];
    EXPECT_GT(dz, 3.0f); // crossed at least one seam in z, and one in x
    EXPECT_NEAR(dx / dz, 0.75f, 0.02f);

    // A shell aimed at the terrain does not pass through it.
    SpielObject shot;
    ASSERT_NE(fire(shot, "s", 5.0f, 8.0f, 5.0f, 0.0f, -1.0f, 0.0f, 60.0f), nullptr);
    run(0.5f);
    px.updateObjects(0.0f);
    EXPECT_GT(shot.getPos()[1], 1.9f);
}

TEST_F(PhysXAccessTest, BrokenInputGivesOneErrorLineAndNoActor) {
    Terrain t = flatTerrain(1, 0.0f);
    t.triangles[4] = 6.0f; // one past the last vertex
    const float origin[3] = {0.0f, 0.0f, 0.0f};
    testing::internal::CaptureStderr();
    EXPECT_EQ(px.prepareTriangleMesh(t.vertexCount(), t.triangleCount(), t.vertices.data(),
                                     t.triangles.data(), "heightmap", origin, 1.0f, -90.0f),
              nullptr);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("Error: ", 0), 0u);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
    EXPECT_NE(err.find("TM_heightmap.bin"), std::string::npos);
    EXPECT_FALSE(px.hasActor("heightmap"));

    testing::internal::CaptureStderr();
    EXPECT_EQ(px.prepareConvexMesh(0, 0, nullptr, nullptr, "empty", origin, 1.0f, 0.0f, nullptr, true),
              nullptr);
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("Error: ", 0), 0u);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
    EXPECT_EQ(px.getCookCount(), 0);
}

} // namespace
