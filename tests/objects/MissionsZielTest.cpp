#include "objects/MissionsZiel.h"

#include "objects/ObjectTestSupport.h"

#include <gtest/gtest.h>

using namespace ObjectTestSupport;

namespace {

struct MissionsZielTest : ::testing::Test {
    Session session;
    GameClass &gc = session.gc;
    Fahrzeug player1;
    Fahrzeug player2;
    Fahrzeug cpu;
    MissionsZiel goal;

    MissionsZielTest() {
        goal.setName("Last Man Standing");
        goal.setTyp(MissionsZiel::kTypLastManStanding);
        gc.setPlayer1Vehicle(&player1);
    }
    void leave(std::vector<Fahrzeug *> vehicles) { gc.getFahrzeugvektor() = std::move(vehicles); }
};

} // namespace

TEST_F(MissionsZielTest, OnlyPlayerOnesVehicleLeftFulfilsTheGoal) {
    leave({&player1, &cpu});
    goal.check(&gc);
    EXPECT_EQ(goal.getStatus(), MissionsZiel::kStatusOpen);
    leave({&player1});
    goal.check(&gc);
    EXPECT_EQ(goal.getStatus(), MissionsZiel::kStatusFulfilled);

    // Fulfilled stays fulfilled, whatever comes later.
    leave({&player2});
    goal.check(&gc);
    EXPECT_EQ(goal.getStatus(), MissionsZiel::kStatusFulfilled);
}

TEST_F(MissionsZielTest, AnotherLastVehicleFailsTheGoalAndAFailedGoalIsDecidedAgain) {
    leave({&player2});
    goal.check(&gc);
    EXPECT_EQ(goal.getStatus(), MissionsZiel::kStatusFailed);

    gc.setPlayer1Vehicle(nullptr); // player one's vehicle was destroyed and removed
    leave({&cpu});
    goal.check(&gc);
    EXPECT_EQ(goal.getStatus(), MissionsZiel::kStatusFailed);

    gc.setPlayer1Vehicle(&player1);
    leave({&player1});
    goal.check(&gc);
    EXPECT_EQ(goal.getStatus(), MissionsZiel::kStatusFulfilled);
}

TEST_F(MissionsZielTest, NoVehicleLeftOrAnotherKindOfGoalLeavesTheStatus) {
    leave({});
    goal.check(&gc);
    EXPECT_EQ(goal.getStatus(), MissionsZiel::kStatusOpen);

    MissionsZiel other;
    EXPECT_EQ(other.getTyp(), MissionsZiel::kTypNone);
    leave({&player1});
    other.check(&gc);
    EXPECT_EQ(other.getStatus(), MissionsZiel::kStatusOpen);
    other.setTyp(2);
    other.check(&gc);
    EXPECT_EQ(other.getStatus(), MissionsZiel::kStatusOpen);

    goal.check(nullptr);
    EXPECT_EQ(goal.getStatus(), MissionsZiel::kStatusOpen);
}
