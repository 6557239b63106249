// One to four human players: which tanks a level start places, whose keys or
// inputs move what, and each view's own camera.
#include "game/WorldTestSupport.h"

#include "config/Difficulty.h"
#include "config/KeyNames.h"
#include "level/PlayerStarts.h"

#include <GL/gl.h>

#include <array>
#include <cmath>

using namespace worldtest;

namespace {

using GameClassPlayersTest = WorldSession;

const std::string kTwoPlayerField = vehicle("player1", "spieler1", -15, -10, 90) +
                                    vehicle("player2", "spieler2", 10, 15, 180) +
                                    vehicle("cpu1", "cpu", 20, -20, 0);

TEST_F(GameClassPlayersTest, OnePlayerLeavesPlayerTwosTankOutAndItsKeysMoveNothing) {
    gc.getWorld().setHumanPlayers(1);
    ASSERT_TRUE(start("one.lvl", kTwoPlayerField));
    EXPECT_EQ(gc.getWorld().getPlayer2Vehicle(), nullptr);
    EXPECT_EQ(gc.getPhysXAccess()->getActors().count("player2"), 0u) << "no body for the tank left out";
    EXPECT_EQ(gc.getWorld().getFahrzeugvektor().size(), 2u);
    EXPECT_EQ(gc.getView().getViewCount(), 1);

    drawFrame();
    run(10);
    const float *one = gc.getWorld().getPlayer1Vehicle()->getPos();
    const std::array<float, 3> before{one[0], one[1], one[2]};
    config.setZoomIn2(KeyNames::special(KeyNames::kGlutPageUp));
    const float distance2 = gc.getCamera(1).getCamDistance();
    for (unsigned char key : {kUp2, kDown2, kLeft2, kRight2, kShoot2})
        keys[key] = true;
    keys[KeyNames::special(KeyNames::kGlutPageUp)] = true;
    run(30);
    EXPECT_TRUE(gc.getWorld().getProjektilvektor().empty()) << "player two's fire key fired";
    EXPECT_FLOAT_EQ(gc.getCamera(1).getCamDistance(), distance2);
    for (int k = 0; k < 3; k += 2)
        EXPECT_NEAR(one[k], before[k], 0.05f) << "player one's tank moved on player two's keys";

    // Player one alone without computer tanks wins, as before.
    vehicleNamed("cpu1")->addDamage(1000);
    runFor(Fahrzeug::kDeathSeconds + 0.5f);
    runFor(kFrame);
    EXPECT_EQ(gc.getWorld().getOutcome(), BattleRules::kPlayerOneWins);

    // The next start for two places both tanks again.
    gc.getWorld().setHumanPlayers(2);
    ASSERT_TRUE(gc.loadLevel("one.lvl"));
    EXPECT_NE(gc.getWorld().getPlayer2Vehicle(), nullptr);
    EXPECT_EQ(gc.getView().getViewCount(), 2);
}

TEST_F(GameClassPlayersTest, TanksHeldBackJoinFromTheirDifficultyAndPlayersButAlwaysOverTheNetwork) {
    const std::string field = kTwoPlayerField + vehicle("cpu2", "cpu", -20, 20, 0) + "from_difficulty=hard\n" +
                              vehicle("cpu3", "cpu", 20, 20, 0) + "from_players=2\n";
    const auto tanks = [this] { return gc.getWorld().getFahrzeugvektor().size(); };
    gc.getWorld().setHumanPlayers(1);
    gc.getWorld().setAiDifficulty(AiDifficulty::Normal);
    ASSERT_TRUE(start("held.lvl", field));
    EXPECT_EQ(tanks(), 2u) << "player one and cpu1";
    EXPECT_EQ(vehicleNamed("cpu2"), nullptr);
    gc.getWorld().setHumanPlayers(2);
    ASSERT_TRUE(gc.loadLevel("held.lvl"));
    EXPECT_EQ(tanks(), 4u) << "both players, cpu1 and cpu3";
    EXPECT_FLOAT_EQ(gc.getWorld().getPlayerVehicle(1)->getHitShare(), playerHitShare(AiDifficulty::Normal));
    EXPECT_FLOAT_EQ(vehicleNamed("cpu1")->getHitShare(), 1.0f) << "the computer's armour is the same on every difficulty";
    gc.getWorld().setAiDifficulty(AiDifficulty::Hard);
    ASSERT_TRUE(gc.loadLevel("held.lvl"));
    EXPECT_EQ(tanks(), 5u);
    // A network battle's machines build one world whatever difficulty each of them is set to.
    gc.getWorld().setAiDifficulty(AiDifficulty::Easy);
    gc.getWorld().setEveryTankJoins(true);
    ASSERT_TRUE(gc.loadLevel("held.lvl"));
    EXPECT_EQ(tanks(), 5u);
    EXPECT_FLOAT_EQ(gc.getWorld().getPlayerVehicle(0)->getHitShare(), playerHitShare(AiDifficulty::Hard));
    EXPECT_LT(playerHitShare(AiDifficulty::Easy), playerHitShare(AiDifficulty::Normal));
    EXPECT_LT(playerHitShare(AiDifficulty::Normal), playerHitShare(AiDifficulty::Hard));
    EXPECT_LE(playerHitShare(AiDifficulty::Hard), 1.0f);
}

TEST_F(GameClassPlayersTest, EachViewHasItsOwnCameraZoomedByItsOwnPlayersKeys) {
    config.setZoomIn2(KeyNames::special(KeyNames::kGlutPageUp));
    config.setZoomOut2(KeyNames::special(KeyNames::kGlutPageDown));
    ASSERT_TRUE(start("two.lvl", kTwoPlayerField));
    ASSERT_EQ(gc.getView().getViewCount(), 2);
    EXPECT_EQ(gc.getView().getViewPlayer(0), 0);
    EXPECT_EQ(gc.getView().getViewPlayer(1), 1);
    gc.resetCameras(-45, 70);

    // The mouse turns player one's camera only.
    gc.getCamera(0).setAngleX(-30);
    gc.getCamera(0).setAngleY(40);
    EXPECT_FLOAT_EQ(gc.getCamera(1).getAngleX(), -45);
    EXPECT_FLOAT_EQ(gc.getCamera(1).getAngleY(), 0);

    keys[KeyNames::special(KeyNames::kGlutPageDown)] = true; // player two zooms out
    runFor(1.0f);
    EXPECT_NEAR(gc.getCamera(1).getCamDistance(), 75.0f, 1e-3);
    EXPECT_NEAR(gc.getCamera(0).getCamDistance(), 70.0f, 1e-3);
    keys[KeyNames::special(KeyNames::kGlutPageDown)] = false;
    keys[kZoomIn] = true; // player one zooms in
    runFor(1.0f);
    EXPECT_NEAR(gc.getCamera(0).getCamDistance(), 65.0f, 1e-3);
    EXPECT_NEAR(gc.getCamera(1).getCamDistance(), 75.0f, 1e-3);

    // A frame puts each camera behind its own tank.
    drawFrame();
    for (int player = 0; player < 2; ++player) {
        const OrbitCamera &camera = gc.getCamera(player);
        const float *tank = gc.getWorld().getPlayerVehicle(player)->getPos();
        for (int k = 0; k < 3; ++k)
            EXPECT_FLOAT_EQ(camera.getTarget()[k], tank[k]) << "player " << player;
        EXPECT_FLOAT_EQ(camera.getOrbitYaw(), gc.getWorld().getPlayerVehicle(player)->getRotY() + 180.0f);
    }
    EXPECT_FALSE(gc.getView().isPlayerDown(1));

    // Player two's tank falls: its camera stays where it fell and the view counts as down.
    const std::array<float, 3> fell = gc.getCamera(1).getTarget();
    gc.getWorld().getPlayer2Vehicle()->addDamage(1000);
    EXPECT_TRUE(gc.getView().isPlayerDown(1));
    runFor(Fahrzeug::kDeathSeconds + 0.5f);
    runFor(kFrame);
    ASSERT_EQ(gc.getWorld().getPlayer2Vehicle(), nullptr);
    EXPECT_EQ(gc.getWorld().getOutcome(), BattleRules::kRunning) << "player one and a computer tank fight on";
    drawFrame();
    EXPECT_EQ(gc.getCamera(1).getTarget(), fell);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GameClassPlayersTest, FourPlayersEachHaveATankAViewAndTheirOwnInput) {
    // The level places player three itself; player four starts beside player two.
    const std::string field = kTwoPlayerField + vehicle("three", "spieler3", -15, 15, 0);
    gc.getWorld().setHumanPlayers(4);
    ASSERT_TRUE(start("four.lvl", field));
    ASSERT_EQ(gc.getView().getViewCount(), 4);
    for (int player = 0; player < 4; ++player) {
        ASSERT_NE(gc.getWorld().getPlayerVehicle(player), nullptr) << "player " << player + 1;
        EXPECT_EQ(gc.getView().getViewPlayer(player), player);
        EXPECT_EQ(gc.getWorld().getPlayerVehicle(player)->getSide(), player);
    }
    EXPECT_EQ(gc.getWorld().getPlayerVehicle(2)->getName(), "three");
    const float *two = gc.getWorld().getPlayerVehicle(1)->getPos();
    const float *four = gc.getWorld().getPlayerVehicle(3)->getPos();
    EXPECT_NEAR(std::hypot(four[0] - two[0], four[2] - two[2]), PlayerStarts::kBeside, 0.5f);

    // Player four's input drives player four's tank alone.
    gc.resetCameras(-45, 70);
    drawFrame();
    std::array<std::array<float, 3>, 4> before{};
    for (int player = 0; player < 4; ++player) {
        const float *at = gc.getWorld().getPlayerVehicle(player)->getPos();
        before[static_cast<std::size_t>(player)] = {at[0], at[1], at[2]};
    }
    TickInput input;
    input[3].throttle = 1.0f;
    for (int tick = 0; tick < 90; ++tick)
        gc.tick(input);
    for (int player = 0; player < 4; ++player) {
        const float *at = gc.getWorld().getPlayerVehicle(player)->getPos();
        const float moved = std::hypot(at[0] - before[static_cast<std::size_t>(player)][0],
                                       at[2] - before[static_cast<std::size_t>(player)][2]);
        if (player == 3)
            EXPECT_GT(moved, 1.0f) << "player four's tank did not drive";
        else
            EXPECT_LT(moved, 0.1f) << "player " << player + 1 << "'s tank moved on player four's input";
    }
    // Each view's camera follows its own tank.
    drawFrame();
    for (int player = 0; player < 4; ++player)
        for (int k = 0; k < 3; k += 2)
            EXPECT_FLOAT_EQ(gc.getCamera(player).getTarget()[k], gc.getWorld().getPlayerVehicle(player)->getPos()[k]);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // The last human tank standing wins, and the result names it.
    for (const char *name : {"player1", "player2", "player4", "cpu1"})
        vehicleNamed(name)->addDamage(1000);
    runFor(Fahrzeug::kDeathSeconds + 0.5f);
    runFor(kFrame);
    EXPECT_EQ(gc.getWorld().getOutcome(), BattleRules::kPlayerThreeWins);
    EXPECT_GE(gc.getWorld().getScores().get(2), ScoreSheet::kWin);

    // Three players: no tank for player four, three views (the map takes the fourth quarter).
    gc.getWorld().setHumanPlayers(3);
    ASSERT_TRUE(gc.loadLevel("four.lvl"));
    EXPECT_EQ(gc.getView().getViewCount(), 3);
    EXPECT_EQ(gc.getWorld().getPlayerVehicle(3), nullptr);
    EXPECT_EQ(gc.getPhysXAccess()->getActors().count("player4"), 0u);
}

} // namespace
