#include "objects/LvlObject.h"

#include "level/ObjectData.h"
#include "objects/ObjectTestSupport.h"
#include "objects/PowerUpObject.h"

#include <gtest/gtest.h>

using namespace ObjectTestSupport;

namespace {

ObjectData houseRecord() {
    ObjectData record;
    record.setName("house1");
    record.setModel("house.md2");
    record.setPos(10.0f, 1.0f, -20.0f);
    record.setRotation(400.0f);
    record.setColor(0, 0.1f);
    record.setColor(1, 0.2f);
    record.setColor(2, 0.3f);
    record.setLightsource(true);
    record.setCollision(false);
    record.setDestroyable(false);
    record.setThrowsShadow(false);
    return record;
}

} // namespace

TEST(LvlObjectTest, TakesPlacementModelScaleColourNameAndFlagsFromItsRecord) {
    Session session;
    Md2Model *house = session.addModel("house.md2", box());
    ASSERT_NE(house, nullptr);
    ObjectData record = houseRecord();
    record.setSize(2.5f);

    LvlObject o(&record, &session.gc);
    EXPECT_EQ(o.getGameClass(), &session.gc);
    EXPECT_FLOAT_EQ(o.getPos()[0], 10.0f);
    EXPECT_FLOAT_EQ(o.getPos()[1], 1.0f);
    EXPECT_FLOAT_EQ(o.getPos()[2], -20.0f);
    EXPECT_FLOAT_EQ(o.getRotY(), 400.0f); // kept as the record gives it
    EXPECT_FLOAT_EQ(o.getMoveDirection()[2], 1.0f);
    EXPECT_EQ(o.getModell()->getModel(), house);
    EXPECT_FLOAT_EQ(o.getModell()->getScale(), 2.5f);
    EXPECT_NEAR(o.getRect()[1] - o.getRect()[0], 4.0f, 1e-4); // 100 packed steps of 0.04
    EXPECT_FLOAT_EQ(o.getModell()->getFactors()[0], 0.1f);
    EXPECT_FLOAT_EQ(o.getModell()->getFactors()[2], 0.3f);
    EXPECT_EQ(o.getObjectName(), "house1");
    EXPECT_EQ(o.getActorName(), ""); // its body is registered under the object name
    EXPECT_TRUE(o.isLighsource());
    EXPECT_FALSE(o.isCollision());
    EXPECT_FALSE(o.isDestroyable());
    EXPECT_FALSE(o.isThrowShadow());

    o.move(1.0f); // speed 0: it stays
    EXPECT_FLOAT_EQ(o.getPos()[0], 10.0f);
    EXPECT_FLOAT_EQ(o.getPos()[2], -20.0f);
}

TEST(LvlObjectTest, DefaultsAndAModelThatIsNotRegistered) {
    Session session;
    ObjectData record;
    record.setName("rock7");
    record.setModel("missing.md2");
    LvlObject o(&record, &session.gc);
    EXPECT_EQ(o.getModell()->getModel(), nullptr);
    EXPECT_FLOAT_EQ(o.getRect()[1], 0.0f);
    EXPECT_FLOAT_EQ(o.getModell()->getScale(), 1.0f);
    EXPECT_FALSE(o.isLighsource());
    EXPECT_TRUE(o.isCollision());
    EXPECT_TRUE(o.isDestroyable());
    EXPECT_TRUE(o.isThrowShadow());

    const ObjectData house = houseRecord();
    LvlObject bare(&house);
    EXPECT_EQ(bare.getGameClass(), nullptr);
    EXPECT_EQ(bare.getModell()->getModel(), nullptr);
    EXPECT_EQ(bare.getObjectName(), "house1");
    EXPECT_FLOAT_EQ(bare.getPos()[2], -20.0f);
    EXPECT_FLOAT_EQ(bare.getRotY(), 0.0f);
    EXPECT_TRUE(bare.isLighsource());
    EXPECT_FALSE(bare.isCollision());

    LvlObject fromNothing(nullptr, &session.gc);
    EXPECT_EQ(fromNothing.getObjectName(), "");

    const float pos[3] = {1.0f, 2.0f, 3.0f};
    PowerUpObject placement(pos, 3600.0f, nullptr); // a placeholder: it keeps nothing
    (void)placement;
}
