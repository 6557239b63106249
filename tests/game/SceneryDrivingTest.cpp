// The scenery of the later battlefields as a tank meets it: the lake's ice
// sheet is driven over, not stopped at.
#include "game/WorldTestSupport.h"

#include "objects/Fahrzeug.h"
#include "physics/PhysXAccess.h"

#include <algorithm>
#include <cmath>

using namespace worldtest;

namespace {

using SceneryDrivingTest = WorldSession;

TEST_F(SceneryDrivingTest, ATankDrivesOntoTheIceSheetAndAcrossIt) {
    // The sheet (12.2 across, 0.1 thick, a bevelled rim) lies on flat ground in the tank's way.
    ASSERT_TRUE(
        start("ice.lvl", object("ice1", "ice.md2", 0, 0) + vehicle("player1", "spieler1", 0, 10, 180)));
    drawFrame();
    float iceMin[3], iceMax[3];
    ASSERT_TRUE(gc.getPhysXAccess()->getActorBounds("ice1", iceMin, iceMax));
    ASSERT_LT(iceMax[1], 0.2f);
    Fahrzeug *tank = gc.getWorld().getPlayer1Vehicle();
    run(10);

    keys[kUp1] = true;
    float highest = tank->getPos()[1];
    for (int i = 0; i < 300 && tank->getPos()[2] > iceMin[2] - 4.0f; ++i) {
        run(1);
        if (std::abs(tank->getPos()[2]) < 3.0f)
            highest = std::max(highest, tank->getPos()[1]);
    }
    EXPECT_LT(tank->getPos()[2], iceMin[2] - 4.0f) << "the tank did not cross the ice";
    EXPECT_GT(highest, 0.05f) << "it drove on the sheet, not through it";
    EXPECT_LT(highest, 0.4f);
    EXPECT_NEAR(tank->getPos()[0], 0.0f, 1.0f); // still on its heading
}

} // namespace
