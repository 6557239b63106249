#include "objects/SpielObject.h"

#include "particles/ParticleEngine.h"
#include "model/Md2Bytes.h"
#include "model/Md2Model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr float kDeg = 0.017453292f;

// An effect that writes down every step it is given and when it is destroyed.
class RecordingEffect : public ParticleEngine {
  public:
    RecordingEffect(std::vector<std::string> *log, const std::string &name) : log(log), name(name) {}
    ~RecordingEffect() override { log->push_back(name + " deleted"); }

    using ParticleEngine::doAction;
    void doAction(float fFaktor, const float *fPos) override {
        log->push_back(name + " " + std::to_string(fFaktor) + " at " + std::to_string(fPos[0]) + "," +
                       std::to_string(fPos[1]) + "," + std::to_string(fPos[2]));
    }

  private:
    std::vector<std::string> *log; // shared with the test
    std::string name;
};

// An object at `x`, `z` whose border box is `width` by `depth`, centred, at model scale `scale`.
void placeFootprint(SpielObject &o, float x, float z, float width, float depth, float scale = 1.0f) {
    const float pos[3] = {x, 0.0f, z};
    o.setPos(pos);
    float *rect = o.getRect();
    rect[0] = -width / 2.0f;
    rect[1] = width / 2.0f;
    rect[4] = -depth / 2.0f;
    rect[5] = depth / 2.0f;
    o.getModell()->setScale(scale);
}

TEST(SpielObject, StartsAtTheOriginHeadingAlongZWithWhiteColourAndNothingAttached) {
    SpielObject o;
    EXPECT_EQ(o.getPos()[0], 0.0f);
    EXPECT_EQ(o.getPos()[1], 0.0f);
    EXPECT_EQ(o.getPos()[2], 0.0f);
    EXPECT_EQ(o.getRotY(), 0.0f);
    EXPECT_EQ(o.getMoveDirection()[0], 0.0f);
    EXPECT_EQ(o.getMoveDirection()[2], 1.0f);
    EXPECT_EQ(o.getSpeed(), 0.0f);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(o.getColor()[i], 1.0f);
    }
    EXPECT_EQ(o.getObjectName(), "");
    EXPECT_EQ(o.getActorName(), "");
    EXPECT_EQ(o.getModell()->getScale(), 1.0f);
    EXPECT_EQ(o.getModell()->getModel(), nullptr);
    EXPECT_EQ(o.getGameClass(), nullptr);
    EXPECT_TRUE(o.getParticleEngineVector().empty());
    EXPECT_FALSE(o.isLighsource() || o.isCollision() || o.isDestroyable() || o.isThrowShadow());
}

TEST(SpielObject, SetRotYCorrectsOnceBy360AndPointsTheMoveDirection) {
    SpielObject o;
    o.setRotY(370.0f);
    EXPECT_NEAR(o.getRotY(), 10.0f, 1e-4);
    EXPECT_NEAR(o.getMoveDirection()[0], std::sin(10.0f * kDeg), 1e-6);
    EXPECT_EQ(o.getMoveDirection()[1], 0.0f);
    EXPECT_NEAR(o.getMoveDirection()[2], std::cos(10.0f * kDeg), 1e-6);

    o.setRotY(-30.0f);
    EXPECT_NEAR(o.getRotY(), 330.0f, 1e-4);
    EXPECT_NEAR(o.getMoveDirection()[0], -0.5f, 1e-5);
    EXPECT_NEAR(o.getMoveDirection()[2], std::cos(30.0f * kDeg), 1e-5);

    o.setRotY(800.0f); // only one correction
    EXPECT_NEAR(o.getRotY(), 440.0f, 1e-4);
    EXPECT_NEAR(o.getMoveDirection()[0], std::sin(80.0f * kDeg), 1e-5);

    o.setRotY(360.0f); // the range is closed at both ends
    EXPECT_EQ(o.getRotY(), 360.0f);
    o.setRotY(90.0f);
    EXPECT_NEAR(o.getMoveDirection()[0], 1.0f, 1e-6);
    EXPECT_NEAR(o.getMoveDirection()[2], 0.0f, 1e-6);
}

TEST(SpielObject, MoveAdvancesAlongTheHeadingAndTheEffectsFollowInOrder) {
    std::vector<std::string> log;
    {
        SpielObject o;
        o.addPertikleEffekt(new RecordingEffect(&log, "smoke"));
        o.addPertikleEffekt(nullptr); // ignored
        o.addPertikleEffekt(new RecordingEffect(&log, "fire"));
        ASSERT_EQ(o.getParticleEngineVector().size(), 2u);

        const float start[3] = {1.0f, 2.0f, 3.0f};
        o.setPos(start);
        o.setRotY(90.0f);
        o.setSpeed(4.0f);
        o.move(0.5f);
        EXPECT_NEAR(o.getPos()[0], 3.0f, 1e-5);
        EXPECT_NEAR(o.getPos()[1], 2.0f, 1e-6);
        EXPECT_NEAR(o.getPos()[2], 3.0f, 1e-5);
        ASSERT_EQ(log.size(), 2u);
        EXPECT_EQ(log[0], "smoke 0.500000 at 3.000000,2.000000,3.000000");
        EXPECT_EQ(log[1], "fire 0.500000 at 3.000000,2.000000,3.000000");

        o.setRotY(180.0f);
        o.setSpeed(-2.0f); // backwards
        o.move(1.0f);
        EXPECT_NEAR(o.getPos()[0], 3.0f, 1e-5);
        EXPECT_NEAR(o.getPos()[2], 5.0f, 1e-5);
    }
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[4], "smoke deleted");
    EXPECT_EQ(log[5], "fire deleted");
}

TEST(SpielObject, FootprintsCollideOnlyWhenTheyOverlapInBothAxes) {
    SpielObject a;
    SpielObject b;
    placeFootprint(a, 0.0f, 0.0f, 4.0f, 2.0f);

    placeFootprint(b, 3.0f, 0.5f, 4.0f, 2.0f); // a's right edge lies inside b
    EXPECT_TRUE(a.detectCollison(&b));
    EXPECT_TRUE(b.detectCollison(&a));

    placeFootprint(b, 3.0f, 2.5f, 4.0f, 2.0f); // overlaps in x, not in z
    EXPECT_FALSE(a.detectCollison(&b));

    placeFootprint(b, 4.0f, 0.0f, 4.0f, 2.0f); // edges touch: the intervals are open
    EXPECT_FALSE(a.detectCollison(&b));

    placeFootprint(b, 0.0f, 0.0f, 4.0f, 2.0f); // the same footprint
    EXPECT_TRUE(a.detectCollison(&b));

    placeFootprint(b, 0.5f, 0.0f, 1.0f, 0.5f); // b inside a: a's edges lie outside b, still a hit
    EXPECT_TRUE(a.detectCollison(&b));
    EXPECT_TRUE(b.detectCollison(&a));

    // The model scale widens the footprint: 4 wide at scale 2 reaches 4 from the centre.
    placeFootprint(b, 5.5f, 0.0f, 4.0f, 2.0f);
    EXPECT_FALSE(a.detectCollison(&b));
    placeFootprint(b, 5.5f, 0.0f, 4.0f, 2.0f, 2.0f);
    EXPECT_TRUE(a.detectCollison(&b));

    EXPECT_FALSE(a.detectCollison(nullptr));
}

TEST(SpielObject, FootprintComesFromTheModelsBorderBox) {
    // Frame 1 spans packed x 0..200 at frame scale 0.5: the box runs from -50 to 50.
    Md2Bytes bytes = Md2Bytes::triangle();
    bytes.frames[1].scale[0] = 0.5f;
    bytes.frames[1].vertices = {{0, 0, 0}, {200, 10, 0}, {100, 0, 10}};
    const std::string file = bytes.build();
    Md2Model model;
    ASSERT_TRUE(
        model.readFromMemory(reinterpret_cast<const unsigned char *>(file.data()), file.size(), "box.md2"));

    SpielObject a;
    a.getModell()->setModel(&model);
    a.getModell()->calcBorder();
    EXPECT_NEAR(a.getRect()[0], -50.0f, 1e-4);
    EXPECT_NEAR(a.getRect()[1], 50.0f, 1e-4);

    SpielObject b;
    placeFootprint(b, 55.0f, 0.0f, 20.0f, 20.0f);
    const float near[3] = {0.0f, 0.0f, 0.0f};
    a.setPos(near);
    EXPECT_TRUE(a.detectCollison(&b)); // 50 reaches into 45..65
    const float far[3] = {-20.0f, 0.0f, 0.0f};
    a.setPos(far);
    EXPECT_FALSE(a.detectCollison(&b));
}

TEST(SpielObject, OrdersByViewDepthAndKeepsNamesColourFlagsAndPose) {
    SpielObject a;
    SpielObject b;
    const float nearer[3] = {5.0f, 5.0f, -3.0f};
    const float farther[3] = {-5.0f, -5.0f, -1.0f};
    a.setPosWC(nearer);
    b.setPosWC(farther);
    EXPECT_TRUE(a < b);
    EXPECT_FALSE(b < a);
    b.setPosWC(nearer);
    EXPECT_FALSE(a < b);
    EXPECT_FALSE(b < a);

    a.setActorName("tank1");
    a.setObjectName("tower");
    std::string copy = a.getActorName();
    copy += "x";
    EXPECT_EQ(a.getActorName(), "tank1");
    EXPECT_EQ(a.getObjectName(), "tower");

    const float rgba[4] = {0.1f, 0.2f, 0.3f, 0.4f};
    a.setColor4f(rgba);
    EXPECT_EQ(a.getColor()[3], 0.4f);
    a.setLighsource(true);
    a.setThrowsShadow(true);
    EXPECT_TRUE(a.isLighsource());
    EXPECT_TRUE(a.isThrowShadow());
    EXPECT_FALSE(a.isCollision());

    float pose[16];
    for (int i = 0; i < 16; ++i) {
        pose[i] = float(i);
    }
    EXPECT_EQ(a.getPhysicsPose()[0], 1.0f); // identity until the physics writes it
    a.setPhysicsPose(pose);
    EXPECT_EQ(a.getPhysicsPose()[0], 0.0f);
    EXPECT_EQ(a.getPhysicsPose()[14], 14.0f);
}

} // namespace
