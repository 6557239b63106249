#include "objects/Fahrzeug.h"

#include "config/CFahrzeugTypDaten.h"
#include "objects/CPowerUp.h"
#include "objects/ObjectTestSupport.h"
#include "objects/Turm.h"
#include "objects/Weapon.h"
#include "particles/CPeExplosion.h"
#include "particles/CPeRauch.h"
#include "physics/PhysicsTestModels.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

using namespace ObjectTestSupport;

namespace {

constexpr float kDeg = 0.017453292f;

// An effect whose time to live the test sets, counting the steps it is given.
class TimedEffect : public ParticleEngine {
  public:
    TimedEffect(float ttl, int *deleted) : deleted(deleted) { timeToLife = ttl; }
    ~TimedEffect() override { ++*deleted; }
    using ParticleEngine::doAction;
    void doAction(float, const float *fPos) override {
        ++steps;
        setPos(fPos);
    }
    int steps = 0;

  private:
    int *deleted; // shared with the test
};

// The smoke trail the session gives every vehicle, in player one's colour.
CPeRauch *addSmoke(Fahrzeug &vehicle) {
    const float green[4] = {0.5f, 1.0f, 0.5f, 1.0f};
    auto *smoke = new CPeRauch(vehicle.getPos(), green, 20, 1.0f, 5.0f, 1.0f, nullptr);
    vehicle.addPertikleEffekt(smoke);
    return smoke;
}

void expectVec(const float *actual, float x, float y, float z, float tolerance = 1e-4f) {
    EXPECT_NEAR(actual[0], x, tolerance);
    EXPECT_NEAR(actual[1], y, tolerance);
    EXPECT_NEAR(actual[2], z, tolerance);
}

struct FahrzeugTest : ::testing::Test {
    Session session;
    GameClass &gc = session.gc;
};

} // namespace

TEST_F(FahrzeugTest, ConstructionFromARecordAndItsType) {
    Md2Model *tankModel = session.addModel("tank1.md2", box());
    ASSERT_NE(tankModel, nullptr);
    VehicleData record = vehicleRecord("t1", "tank", 1.0f, 2.0f, 3.0f);
    record.setSize(2.0f);
    record.setLife(40);
    record.setColor(0, 0.25f);
    record.setColor(1, 0.5f);
    record.setColor(2, 0.75f);
    alignas(8) char ownerStorage[8] = {}; // the players' code owns owners; the vehicle only keeps the pointer
    Owner *owner = reinterpret_cast<Owner *>(ownerStorage);

    Fahrzeug v(&record, &gc, owner);
    EXPECT_EQ(v.getName(), "t1");
    EXPECT_EQ(v.getActorName(), "t1");
    EXPECT_EQ(v.getGameClass(), &gc);
    EXPECT_EQ(v.getOwner(), owner);
    EXPECT_EQ(v.getStatus(), Fahrzeug::kStatusIntact);
    EXPECT_EQ(v.getLife(), 40);
    EXPECT_EQ(v.getMaxLife(), 100u);
    EXPECT_FLOAT_EQ(v.getAccel(), 10.0f);
    EXPECT_FLOAT_EQ(v.getTurningrate(), 60.0f);
    EXPECT_FLOAT_EQ(v.getMaxSpeedForward(), 12.0f);
    EXPECT_FLOAT_EQ(v.getMaxSpeedReturn(), -5.0f);
    EXPECT_EQ(v.getModell()->getModel(), tankModel);
    EXPECT_FLOAT_EQ(v.getModell()->getScale(), 2.0f);
    expectVec(v.getModell()->getFactors(), 0.25f, 0.5f, 0.75f);
    EXPECT_GT(v.getRect()[1] - v.getRect()[0], 0.0f); // the border box is computed
    expectVec(v.getPos(), 1.0f, 2.0f, 3.0f);
    ASSERT_NE(v.getWeapon(), nullptr);
    EXPECT_FLOAT_EQ(v.getWeapon()->getShootDelay(), Weapon().getShootDelay());
    EXPECT_EQ(v.getAiData(), nullptr);
    EXPECT_EQ(v.getShotCount(), 0);

    // Turret offsets grow with the vehicle.
    ASSERT_NE(v.getTurm(), nullptr);
    expectVec(v.getTurm()->getPos(), 0.0f, 2.0f, 0.0f);
    expectVec(v.getTurm()->getPosMuendung(), 0.0f, 0.6f, 6.0f);
    float muzzle[3];
    v.getPosMuendung(muzzle);
    expectVec(muzzle, 1.0f, 4.6f, 9.0f);
}

TEST_F(FahrzeugTest, AnUnknownTypeGetsTheDefaultsAndAMissingModelDrawsNothing) {
    VehicleData record = vehicleRecord("t2", "hovercraft", 5.0f, 0.0f, -5.0f);
    Fahrzeug bare(&record, &gc, nullptr);
    EXPECT_FLOAT_EQ(bare.getAccel(), 10.0f);
    EXPECT_FLOAT_EQ(bare.getTurningrate(), 1.5f);
    EXPECT_FLOAT_EQ(bare.getMaxSpeedForward(), 10.0f);
    EXPECT_FLOAT_EQ(bare.getMaxSpeedReturn(), -4.0f);
    EXPECT_EQ(bare.getMaxLife(), 100u);
    EXPECT_EQ(bare.getLife(), 100); // the record's default life
    EXPECT_EQ(bare.getTurm(), nullptr);
    EXPECT_EQ(bare.getModell()->getModel(), nullptr); // "tank1.md2" is not registered here
    float muzzle[3];
    bare.getPosMuendung(muzzle);
    expectVec(muzzle, 5.0f, 0.0f, -5.0f); // shoots from its own position

    Md2Model *tankModel = session.addModel("tank1.md2", box());
    Fahrzeug typeless(&record, &gc, nullptr);
    EXPECT_EQ(typeless.getModell()->getModel(), tankModel);

    Fahrzeug plain;
    EXPECT_EQ(plain.getStatus(), Fahrzeug::kStatusIntact);
    EXPECT_EQ(plain.getTurm(), nullptr);
    EXPECT_EQ(plain.getAiData(), nullptr);
    EXPECT_NE(plain.getWeapon(), nullptr);
    Fahrzeug fromNothing(nullptr, &gc, nullptr);
    EXPECT_FLOAT_EQ(fromNothing.getAccel(), 10.0f);
}

TEST_F(FahrzeugTest, TheMuzzleFollowsTheHeadingAndTheMountTurnsWithoutShrinking) {
    VehicleData record = vehicleRecord("t1", "tank", 0.0f, 0.0f, 0.0f);
    record.setRotation(90.0f);
    Fahrzeug v(&record, &gc, nullptr);
    EXPECT_NEAR(v.getRotY(), 90.0f, 1e-4);
    expectVec(v.getMoveDirection(), 1.0f, 0.0f, 0.0f);
    expectVec(v.getTurm()->getPosMuendung(), 3.0f, 0.3f, 0.0f);

    for (float angle : {370.0f, -30.0f, 200.0f, 45.0f, 800.0f}) {
        v.setRotY(angle);
        const float *dir = v.getMoveDirection();
        const float *muzzle = v.getTurm()->getPosMuendung();
        EXPECT_NEAR(muzzle[0], 3.0f * dir[0], 1e-3) << angle;
        EXPECT_NEAR(muzzle[1], 0.3f, 1e-6) << angle;
        EXPECT_NEAR(muzzle[2], 3.0f * dir[2], 1e-3) << angle;
        expectVec(v.getTurm()->getPos(), 0.0f, 1.0f, 0.0f); // a mount on the vertical axis stays put
    }
    v.setRotY(-30.0f);
    EXPECT_NEAR(v.getRotY(), 330.0f, 1e-4);
    EXPECT_NEAR(v.getTurm()->getRotY(), 330.0f, 1e-4);

    // A mount beside the turret axis turns with the hull, however often the heading changes.
    CFahrzeugTypDaten side;
    const float mount[3] = {1.0f, 0.5f, 0.0f};
    const float ahead[3] = {0.0f, 0.0f, 2.0f};
    side.setTurmPos(mount);
    side.setMuendungPos(ahead);
    Fahrzeug w;
    w.initFromFahrzeugTypDaten(&side);
    for (int i = 0; i < 4; ++i) {
        w.setRotY(90.0f);
    }
    expectVec(w.getTurm()->getPos(), 0.0f, 0.5f, -1.0f);
    w.setRotY(180.0f);
    expectVec(w.getTurm()->getPos(), -1.0f, 0.5f, 0.0f);
    float muzzle[3];
    w.getPosMuendung(muzzle);
    expectVec(muzzle, -1.0f, 0.5f, -2.0f);
}

TEST(TurmTest, TurnsTheMuzzleByTheChangeOfHeading) {
    Turm t;
    const float ahead[3] = {0.0f, 1.0f, 2.0f};
    t.setPosMuendung(ahead);
    t.setRotY(90.0f);
    expectVec(t.getPosMuendung(), 2.0f, 1.0f, 0.0f);
    t.setRotY(450.0f); // the same heading once normalised: no turn
    EXPECT_NEAR(t.getRotY(), 90.0f, 1e-4);
    expectVec(t.getPosMuendung(), 2.0f, 1.0f, 0.0f);
    t.setRotY(0.0f);
    expectVec(t.getPosMuendung(), 0.0f, 1.0f, 2.0f);
}

TEST_F(FahrzeugTest, ShotIdsCountUpPerVehicleAndPowerUpsAreKept) {
    VehicleData a = vehicleRecord("alpha", "tank", 0, 0, 0);
    VehicleData b = vehicleRecord("a-vehicle-name-much-longer-than-thirty-letters", "tank", 0, 0, 0);
    Fahrzeug va(&a, &gc, nullptr);
    Fahrzeug vb(&b, &gc, nullptr);
    EXPECT_EQ(va.getNextProjektilID(), "alpha-1");
    EXPECT_EQ(va.getNextProjektilID(), "alpha-2");
    EXPECT_EQ(vb.getNextProjektilID(), "a-vehicle-name-much-longer-than-thirty-letters-1"); // never cut
    EXPECT_EQ(va.getShotCount(), 2);

    va.addPowerUp(nullptr);
    va.addPowerUp(new CPowerUp());
    EXPECT_EQ(va.getPowerUpCount(), 1u);
    va.setWeapon(new Weapon());
    EXPECT_NE(va.getWeapon(), nullptr);
}

namespace {

// A vehicle of type "tank" with a box-shaped body in the air, so that only the drive pushes
// change its velocity between two looks.
struct DrivingTest : FahrzeugTest {
    VehicleData record = vehicleRecord("t1", "tank", 0.0f, 20.0f, 0.0f);
    Fahrzeug v{&record, &gc, nullptr};
    std::vector<Md2Vertex> hull = PhysicsTestModels::tankBox();

    void SetUp() override {
        v.setMaxSpeedReturn(-4.0f); // the test data's type reverses at +5, which would clamp every step
        ASSERT_NE(gc.getPhysXAccess()->prepareConvexMesh(static_cast<int>(hull.size()), 0, hull.data(),
                                                         nullptr, "t1", v.getPos(), 1.0f, 0.0f, &v, false),
                  nullptr);
    }

    // The velocity change (game axes) one step of `dt` gives the body.
    std::vector<float> step(float dt) {
        float before[3];
        float after[3];
        EXPECT_TRUE(gc.getPhysXAccess()->getActorVelocity("t1", before));
        v.move(dt);
        EXPECT_TRUE(gc.getPhysXAccess()->getActorVelocity("t1", after));
        return {after[0] - before[0], after[1] - before[1], after[2] - before[2]};
    }
};

constexpr float kPush = 450.0f / 600.0f;   // velocity per unit of drive impulse
constexpr float kPress = -200.0f / 600.0f; // the facade's downward push, per step

} // namespace

TEST_F(DrivingTest, FullThrottleAcceleratesAndTheSpeedValueHalvesEachStep) {
    v.setDrive(1.0f, 0.0f);
    std::vector<float> dv = step(0.1f); // accel 10: +1 this step
    EXPECT_NEAR(dv[0], 0.0f, 1e-5);
    EXPECT_NEAR(dv[1], kPress, 1e-5);
    EXPECT_NEAR(dv[2], 1.0f * kPush, 1e-5);
    EXPECT_NEAR(v.getSpeed(), 0.5f, 1e-6);
    step(0.1f);
    EXPECT_NEAR(v.getSpeed(), 0.75f, 1e-6);
    for (int i = 0; i < 30; ++i) {
        step(0.1f);
    }
    EXPECT_NEAR(v.getSpeed(), 1.0f, 1e-4); // settles at accel * dt

    // Turning changes where the push goes.
    v.setDrive(0.0f, -1.0f); // full left
    v.setSpeed(0.0f);
    dv = step(0.5f);
    EXPECT_NEAR(v.getRotY(), 30.0f, 1e-3);
    EXPECT_NEAR(dv[0], 0.0f, 1e-5); // no drive key: a zero push, still pressing down
    EXPECT_NEAR(dv[1], kPress, 1e-5);
    v.setDrive(1.0f, 0.0f);
    dv = step(0.1f);
    EXPECT_NEAR(dv[0], std::sin(30.0f * kDeg) * kPush, 1e-5);
    EXPECT_NEAR(dv[2], std::cos(30.0f * kDeg) * kPush, 1e-5);
    v.setDrive(0.0f, 1.0f); // full right
    step(0.5f);
    EXPECT_NEAR(v.getRotY(), 0.0f, 1e-3);

    // A stick half way: half the turn, half the push.
    v.setDrive(0.0f, -0.5f);
    step(0.5f);
    EXPECT_NEAR(v.getRotY(), 15.0f, 1e-3);
    v.setDrive(0.5f, 0.0f);
    v.setSpeed(0.0f);
    dv = step(0.1f);
    EXPECT_NEAR(std::hypot(dv[0], dv[2]), 0.5f * kPush, 1e-5);
}

TEST_F(DrivingTest, SpeedIsClampedAndThePushIsWhatTheClampLeft) {
    v.setMaxSpeedForward(0.8f);
    v.setSpeed(0.5f);
    v.setDrive(1.0f, 0.0f);
    std::vector<float> dv = step(0.1f); // 0.5 + 1 is clamped to 0.8: only 0.3 is pushed
    EXPECT_NEAR(dv[2], 0.3f * kPush, 1e-5);
    EXPECT_NEAR(v.getSpeed(), 0.4f, 1e-6);

    v.setDrive(-1.0f, 0.0f);
    v.setMaxSpeedReturn(-0.5f);
    v.setSpeed(0.0f);
    dv = step(0.1f); // -1 is clamped to -0.5
    EXPECT_NEAR(dv[2], -0.5f * kPush, 1e-5);
    EXPECT_NEAR(v.getSpeed(), -0.25f, 1e-6);
}

TEST_F(DrivingTest, NoThrottlePushesNothingButTheSpeedStillHalves) {
    v.setDrive(0.0f, 0.0f);
    v.setSpeed(4.0f);
    const std::vector<float> dv = step(0.1f);
    EXPECT_NEAR(dv[0], 0.0f, 1e-6);
    EXPECT_NEAR(dv[1], kPress, 1e-5);
    EXPECT_NEAR(dv[2], 0.0f, 1e-6);
    EXPECT_NEAR(v.getSpeed(), 2.0f, 1e-6);
}

TEST_F(DrivingTest, AnExplodingVehicleNeitherDrivesNorTurnsAndDiesAfterItsTimer) {
    addSmoke(v);
    v.setLife(10);
    v.addDamage(10);
    ASSERT_EQ(v.getStatus(), Fahrzeug::kStatusExploding);
    EXPECT_FLOAT_EQ(v.getDeathTimer(), 3.0f);
    v.setDrive(1.0f, -1.0f);
    v.setSpeed(2.0f);
    // Timer 3.0 runs down by 0.5 a step; it reaches 0 after six steps and is below 0 only after
    // the seventh, so the eighth step destroys the vehicle.
    for (int i = 0; i < 7; ++i) {
        const std::vector<float> dv = step(0.5f);
        EXPECT_NEAR(dv[1], 0.0f, 1e-6) << i; // not even the downward push
        EXPECT_NEAR(dv[2], 0.0f, 1e-6) << i;
        EXPECT_EQ(v.getStatus(), Fahrzeug::kStatusExploding) << i;
    }
    step(0.5f);
    EXPECT_EQ(v.getStatus(), Fahrzeug::kStatusDestroyed);
    EXPECT_FLOAT_EQ(v.getSpeed(), 2.0f);
    EXPECT_FLOAT_EQ(v.getRotY(), 0.0f);
}

TEST_F(FahrzeugTest, HitsDarkenTheSmokeAndTheSecondKillingHitExplodes) {
    VehicleData record = vehicleRecord("t1", "tank", 0.0f, 0.0f, 0.0f);
    record.setLife(20);
    Fahrzeug v(&record, &gc, nullptr);
    CPeRauch *smoke = addSmoke(v);

    v.addDamage(10);
    EXPECT_EQ(v.getLife(), 10);
    EXPECT_EQ(v.getStatus(), Fahrzeug::kStatusDamaged);
    expectVec(smoke->getColor4f(), 0.9f, 0.9f, 0.4f, 1e-5f);
    EXPECT_FLOAT_EQ(smoke->getColor4f()[3], 1.0f);
    EXPECT_EQ(v.getParticleEngineVector().size(), 1u);

    v.addDamage(10);
    EXPECT_EQ(v.getLife(), 0);
    EXPECT_EQ(v.getStatus(), Fahrzeug::kStatusExploding);
    expectVec(smoke->getColor4f(), 1.0f, 0.8f, 0.3f, 1e-5f);
    ASSERT_EQ(v.getParticleEngineVector().size(), 10u); // eight small bursts and a large one
    EXPECT_EQ(v.getParticleEngineVector()[0], smoke);
    for (std::size_t i = 1; i < 10; ++i) {
        auto *burst = dynamic_cast<CPeExplosion *>(v.getParticleEngineVector()[i]);
        ASSERT_NE(burst, nullptr);
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_GT(burst->getPos()[axis], -2.0f);
            EXPECT_LE(burst->getPos()[axis], 2.0f);
        }
    }
    const ParticleEngine *large = v.getParticleEngineVector()[9];
    EXPECT_EQ(large->getAnzParticle(), 250);
    expectVec(large->getColor4f(), 1.0f, 0.25f, 0.25f);
    EXPECT_FLOAT_EQ(large->getTimeToLife(), 3.0f);
    EXPECT_EQ(v.getParticleEngineVector()[1]->getAnzParticle(), 50);

    // Hits while exploding change nothing: no new bursts, no fresh timer, no darker smoke.
    v.move(1.0f);
    v.addDamage(10);
    EXPECT_EQ(v.getLife(), 0);
    EXPECT_EQ(v.getStatus(), Fahrzeug::kStatusExploding);
    EXPECT_FLOAT_EQ(v.getDeathTimer(), 2.0f);
    EXPECT_EQ(v.getParticleEngineVector().size(), 10u);
    expectVec(smoke->getColor4f(), 1.0f, 0.8f, 0.3f, 1e-5f);
}

TEST_F(FahrzeugTest, DamageNeverWrapsTheLifeAndAVehicleWithoutSmokeExplodesAllTheSame) {
    VehicleData record = vehicleRecord("t1", "tank", 0.0f, 0.0f, 0.0f);
    Fahrzeug v(&record, &gc, nullptr);
    v.addDamage(5);
    EXPECT_EQ(v.getStatus(), Fahrzeug::kStatusDamaged); // no smoke to show it, but hit all the same
    v.setLife(-5);
    v.addDamage(10);
    EXPECT_EQ(v.getLife(), -5); // already below zero: not pushed further
    EXPECT_EQ(v.getStatus(), Fahrzeug::kStatusExploding);

    Fahrzeug u(&record, &gc, nullptr);
    u.addDamage(UINT_MAX);
    EXPECT_EQ(u.getLife(), 0);
    EXPECT_EQ(u.getStatus(), Fahrzeug::kStatusExploding); // the battle does not wait for a picture

    // Without a maximum life the smoke goes straight to dark red instead of dividing by zero.
    Fahrzeug w(&record, &gc, nullptr);
    w.setMaxLife(0);
    CPeRauch *smoke = addSmoke(w);
    w.addDamage(1);
    expectVec(smoke->getColor4f(), 1.0f, 0.0f, 0.0f);
    EXPECT_EQ(w.getStatus(), Fahrzeug::kStatusDamaged);
    EXPECT_EQ(w.getLife(), 99);
}

TEST_F(FahrzeugTest, SpentEffectsAreDroppedAndTheOthersFollowTheVehicle) {
    int deleted = 0; // outlives the vehicle, whose effects count themselves here when it deletes them
    Fahrzeug v;
    auto *first = new TimedEffect(1.0f, &deleted);
    auto *spent = new TimedEffect(-0.1f, &deleted);
    auto *last = new TimedEffect(0.0f, &deleted); // exactly 0 is not spent yet
    v.addPertikleEffekt(first);
    v.addPertikleEffekt(spent);
    v.addPertikleEffekt(last);
    const float pos[3] = {4.0f, 5.0f, 6.0f};
    v.setPos(pos);
    v.move(0.1f);
    EXPECT_EQ(deleted, 1);
    ASSERT_EQ(v.getParticleEngineVector().size(), 2u);
    EXPECT_EQ(v.getParticleEngineVector()[0], first);
    EXPECT_EQ(v.getParticleEngineVector()[1], last);
    EXPECT_EQ(first->steps, 1);
    expectVec(first->getPos(), 4.0f, 5.0f, 6.0f);
}
