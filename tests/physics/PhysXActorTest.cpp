#include "physics/PhysXActor.h"

#include <gtest/gtest.h>

namespace {

TEST(PhysXActor, RecordHoldsNameBodyAndBothSizeTriples) {
    PhysXActor actor;
    EXPECT_EQ(actor.getName(), "");
    EXPECT_EQ(actor.getActor(), nullptr);
    EXPECT_EQ(actor.getSizeX(), 0.0);
    EXPECT_EQ(actor.getSizeZreal(), 0.0);

    actor.setName("tank1");
    // The record never dereferences its body, so any address serves here.
    int fakeBody = 0;
    auto *body = reinterpret_cast<btRigidBody *>(&fakeBody);
    actor.setActor(body);
    const double sizes[3] = {1.0, 2.0, 3.0};
    actor.setSizes(sizes);
    actor.setSizesreal(-4.0, 5.0, 6.0);
    actor.setSizeY(2.5);
    actor.setSizeXreal(-4.5);

    PhysXActor copy = actor; // a value record: the registry stores copies
    EXPECT_EQ(copy.getName(), "tank1");
    EXPECT_EQ(copy.getActor(), body);
    EXPECT_EQ(copy.getSizes()[0], 1.0);
    EXPECT_EQ(copy.getSizes()[1], 2.5);
    EXPECT_EQ(copy.getSizes()[2], 3.0);
    EXPECT_EQ(copy.getSizesreal()[0], -4.5);
    EXPECT_EQ(copy.getSizeYreal(), 5.0);
    EXPECT_EQ(copy.getSizeZreal(), 6.0);

    copy.setSizeZ(9.0);
    EXPECT_EQ(actor.getSizeZ(), 3.0);
}

} // namespace
