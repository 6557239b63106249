// The session's world in one process: a level file started into objects, tanks, bodies and goals;
// tanks driven through the key table against the real physics; the sweeps, the battle's result, the
// camera keys, the exit request and a second start.
#include "game/WorldTestSupport.h"

#include "level/Level.h"
#include "objects/ComputerSpieler.h"
#include "objects/LvlObject.h"
#include "objects/MissionsZiel.h"
#include "objects/Projektil.h"
#include "objects/Weapon.h"
#include "particles/ParticleEngine.h"
#include "physics/PhysXAccess.h"

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <set>
#include <string>

using namespace worldtest;

namespace {

int countOf(const std::string &text, const std::string &what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

std::array<float, 3> posOf(const SpielObject *object) {
    const float *p = object->getPos();
    return {p[0], p[1], p[2]};
}

std::set<std::string> actorNames(GameClass &gc) {
    std::set<std::string> names;
    for (const auto &actor : gc.getPhysXAccess()->getActors())
        names.insert(actor.first);
    return names;
}

// Lets the tank's life run out: it explodes at once and is destroyed three seconds later.
void wreck(Fahrzeug *vehicle) {
    vehicle->addDamage(static_cast<unsigned int>(vehicle->getLife()));
    ASSERT_EQ(vehicle->getStatus(), Fahrzeug::kStatusExploding);
}

using GameClassWorldTest = WorldSession;

TEST_F(GameClassWorldTest, LevelStartBuildsObjectsTanksBodiesAndGoalsFromTheFile) {
    const std::string body = "[LIGHT]\nlightnumber=8\n\n" + object("crate1", "crate.md2", -12, 0) +
                             object("ghost1", "ghost.md2", 5, 5) + object("wall1", "wall.md2", 12, -5, 90) +
                             vehicle("player1", "spieler1", 0, 14, 180) +
                             vehicle("player2", "spieler2", -10, 14, 180) +
                             vehicle("cpu1", "cpu", 0, -14, 0) + vehicle("capital", "Spieler1", 10, 10, 0) +
                             vehicle("phantom", "cpu", -20, -20, 0, "ghosttank") +
                             goal("Last Man Standing", 1) + goal("Hold the bridge", 3);
    ASSERT_TRUE(start("start.lvl", body));
    ASSERT_NE(gc.getWorld().getCurrentLevel(), nullptr);
    EXPECT_EQ(gc.getWorld().getCurrentLevel()->getLvlName(), "start.lvl");

    // Objects in file order; the one whose model is missing is skipped with one line naming the model.
    const std::vector<LvlObject *> &objects = gc.getWorld().getLevelObjectVektor();
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0]->getObjectName(), "crate1");
    EXPECT_EQ(objects[1]->getObjectName(), "wall1");
    EXPECT_FLOAT_EQ(objects[1]->getRotY(), 90.0f);
    EXPECT_EQ(countOf(startErr, "Error: "), 2) << startErr;
    const std::size_t ghostLine = startErr.find("\"ghost.md2\"");
    ASSERT_NE(ghostLine, std::string::npos) << startErr;
    EXPECT_NE(startErr.find("1 object(s)", ghostLine), std::string::npos) << startErr;

    // Tanks by owner; "Spieler1" is no owner, and a tank whose type names a missing model is skipped.
    const std::vector<Fahrzeug *> &tanks = gc.getWorld().getFahrzeugvektor();
    ASSERT_EQ(tanks.size(), 3u);
    EXPECT_EQ(tanks[0]->getName(), "player1");
    EXPECT_EQ(tanks[1]->getName(), "player2");
    EXPECT_EQ(tanks[2]->getName(), "cpu1");
    EXPECT_EQ(gc.getWorld().getPlayer1Vehicle(), tanks[0]);
    EXPECT_EQ(gc.getWorld().getPlayer2Vehicle(), tanks[1]);
    EXPECT_EQ(tanks[0]->getOwner(), gc.getWorld().getSpieler1());
    EXPECT_EQ(tanks[1]->getOwner(), gc.getWorld().getSpieler2());
    EXPECT_EQ(tanks[2]->getOwner(), gc.getWorld().getComputerSpieler());
    EXPECT_EQ(tanks[0]->getAiData(), nullptr);
    EXPECT_EQ(tanks[1]->getAiData(), nullptr);
    EXPECT_NE(tanks[2]->getAiData(), nullptr);
    EXPECT_EQ(vehicleNamed("capital"), nullptr);
    EXPECT_NE(startErr.find("\"ghosttank.md2\""), std::string::npos) << startErr;
    EXPECT_FLOAT_EQ(tanks[0]->getPos()[2], 14.0f);
    EXPECT_FLOAT_EQ(tanks[0]->getRotY(), 180.0f);

    // Every tank trails smoke in its owner's colour.
    const float smoke[3][3] = {{0.5f, 1.0f, 0.5f}, {0.5f, 0.5f, 1.0f}, {1.0f, 0.5f, 0.5f}};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(tanks[i]->getParticleEngineVector().size(), 1u) << tanks[i]->getName();
        const float *colour = tanks[i]->getParticleEngineVector().front()->getColor4f();
        for (int c = 0; c < 3; ++c)
            EXPECT_FLOAT_EQ(colour[c], smoke[i][c]) << tanks[i]->getName() << " component " << c;
    }

    // One body per object and tank, named after it, and the terrain's from the start, before any frame.
    EXPECT_EQ(actorNames(gc),
              (std::set<std::string>{"cpu1", "crate1", "heightmap", "player1", "player2", "wall1"}));
    drawFrame();
    EXPECT_EQ(gc.getPhysXAccess()->getTriangleMeshCount(), 1); // the first frame adds no second terrain

    // Both goals of the file stay with the level, as its description.
    const auto &goals = gc.getWorld().getCurrentLevel()->getMissionsZieleList();
    ASSERT_EQ(goals.size(), 2u);
    EXPECT_EQ(goals[0]->getName(), "Last Man Standing");
    EXPECT_EQ(goals[0]->getTyp(), MissionsZiel::kTypLastManStanding);
    EXPECT_EQ(goals[1]->getName(), "Hold the bridge");

    // Console: lights 0-7 only, one display list per model, a light map per placed object.
    EXPECT_EQ(countOf(startOut, "Create Light"), 1);
    EXPECT_EQ(countOf(startOut, "Creating Display List No."), 4); // crate, wall, tank, shell
    EXPECT_NE(startOut.find("crate1light"), std::string::npos);
    EXPECT_NE(startOut.find("wall1light"), std::string::npos);
    EXPECT_EQ(startOut.find("ghost1light"), std::string::npos);
    EXPECT_TRUE(gc.getTextureHolder()->hasTexture("wall1light"));
}

TEST_F(GameClassWorldTest, HeldUpKeyDrivesEachTankAlongItsHeadingOnTheGround) {
    // Heading 90 faces +x, heading 180 faces -z.
    ASSERT_TRUE(start("drive.lvl", vehicle("player1", "spieler1", -15, -10, 90) +
                                       vehicle("player2", "spieler2", 10, 15, 180)));
    drawFrame(); // the terrain joins the physics with the first frame
    run(10);     // the tanks settle onto the ground
    Fahrzeug *east = gc.getWorld().getPlayer1Vehicle();
    Fahrzeug *north = gc.getWorld().getPlayer2Vehicle();
    const std::array<float, 3> east0 = posOf(east), north0 = posOf(north);
    EXPECT_NEAR(east0[1], 0.0f, 0.1f); // a tank's position is the bottom of its hull
    EXPECT_NEAR(north0[1], 0.0f, 0.1f);

    keys[kUp1] = true;
    keys[kUp2] = true;
    for (int half = 0; half < 2; ++half) {
        run(30);
        EXPECT_NEAR(east->getPos()[1], east0[1], 0.1f) << "half second " << half + 1;
        EXPECT_NEAR(north->getPos()[1], north0[1], 0.1f) << "half second " << half + 1;
    }
    const float eastX = east->getPos()[0] - east0[0], eastZ = east->getPos()[2] - east0[2];
    const float northX = north->getPos()[0] - north0[0], northZ = north->getPos()[2] - north0[2];
    EXPECT_GT(eastX, 1.0f);
    EXPECT_LT(std::abs(eastZ), 0.1f * eastX);
    EXPECT_LT(northZ, -1.0f);
    EXPECT_LT(std::abs(northX), 0.1f * -northZ);
    EXPECT_FLOAT_EQ(east->getRotY(), 90.0f); // no turn key: the heading stays
}

TEST_F(GameClassWorldTest, ATankDrivingIntoAWallStopsAtIt) {
    ASSERT_TRUE(
        start("wall.lvl", object("wall1", "wall.md2", 0, 0) + vehicle("player1", "spieler1", 0, 6, 180)));
    drawFrame();
    PhysXAccess &physics = *gc.getPhysXAccess();
    float wallMin[3], wallMax[3];
    ASSERT_TRUE(physics.getActorBounds("wall1", wallMin, wallMax));
    Fahrzeug *tank = gc.getWorld().getPlayer1Vehicle();
    ASSERT_GT(wallMin[0], tank->getPos()[0] - 10.0f);
    ASSERT_LT(wallMin[0], tank->getPos()[0] - 2.0f); // the wall spans the tank's road
    ASSERT_GT(wallMax[0], tank->getPos()[0] + 2.0f);

    // About a second to reach the wall; a free tank would be past it a few steps later.
    keys[kUp1] = true;
    run(75);
    float tankMin[3], tankMax[3];
    ASSERT_TRUE(physics.getActorBounds("player1", tankMin, tankMax));
    EXPECT_GT(tankMin[2], wallMax[2] - 0.15f); // not through it
    EXPECT_LT(tankMin[2], wallMax[2] + 0.5f);  // but right at it
    const float stopped = tank->getPos()[2];
    run(10);
    EXPECT_NEAR(tank->getPos()[2], stopped, 0.05f); // still pushing, not moving
    EXPECT_NEAR(tank->getPos()[1], 0.0f, 0.1f);     // and not climbing it
}

TEST_F(GameClassWorldTest, HeldShootKeyFiresAShellThatHitsTheTankInFront) {
    ASSERT_TRUE(start("shot.lvl",
                      vehicle("player1", "spieler1", 0, 10, 180) + vehicle("player2", "spieler2", 0, -5, 0)));
    drawFrame();
    run(10);
    Fahrzeug *target = gc.getWorld().getPlayer2Vehicle();
    runFor(1.0f); // the weapon reloads
    keys[kShoot1] = true;
    runFor(kFrame);
    keys[kShoot1] = false;
    ASSERT_EQ(gc.getWorld().getProjektilvektor().size(), 1u);
    Projektil *shell = gc.getWorld().getProjektilvektor().front();
    EXPECT_EQ(shell->getActorName(), "player1-1");
    EXPECT_TRUE(gc.getPhysXAccess()->hasActor("player1-1"));

    // The contact reports armed at the shot let the hit through; the tick's event names whose tank
    // was hit (player two's pad shakes).
    for (int i = 0; i < 90 && target->getLife() == 100; ++i)
        run(1);
    EXPECT_EQ(target->getLife(), 100 - std::lround(Projektil::kHitDamage * target->getHitShare()))
        << "player two's tank takes its difficulty's share of the hit";
    const std::vector<BattleEvent> &events = gc.getWorld().getEvents();
    const auto hit = std::find_if(events.begin(), events.end(),
                                  [](const BattleEvent &e) { return e.kind == BattleEvent::kTankHit; });
    ASSERT_NE(hit, events.end());
    EXPECT_EQ(hit->player, 1);
    ASSERT_EQ(gc.getWorld().getProjektilvektor().size(), 1u);
    EXPECT_EQ(shell->getStatus(), Projektil::kStatusExploding);

    // Its explosion over, the shell is swept with its body.
    runFor(shell->getTTL() + 0.01f);
    EXPECT_TRUE(gc.getWorld().getProjektilvektor().empty());
    EXPECT_FALSE(gc.getPhysXAccess()->hasActor("player1-1"));
    EXPECT_EQ(gc.getWorld().getPlayer1Vehicle()->getLife(), 100);
}

TEST_F(GameClassWorldTest, SweepsRemoveDestroyedTanksAndSpentShellsWithTheirBodies) {
    // Far apart, so that the computer tank sees nobody to fight.
    ASSERT_TRUE(start("sweep.lvl", vehicle("player1", "spieler1", -25, -25, 0) +
                                       vehicle("cpu1", "cpu", 25, -25, 0) +
                                       vehicle("cpu2", "cpu", 25, 25, 0)));
    const std::size_t bodies = gc.getPhysXAccess()->getActors().size();
    std::vector<Fahrzeug *> &tanks = gc.getWorld().getFahrzeugvektor();

    // Neighbours at indices 0 and 1 are destroyed three seconds after their explosion, in one step.
    wreck(tanks[0]);
    wreck(tanks[1]);
    runFor(Fahrzeug::kDeathSeconds - 0.1f);
    ASSERT_EQ(tanks.size(), 3u);
    EXPECT_EQ(tanks[0]->getStatus(), Fahrzeug::kStatusExploding);
    runFor(0.2f);
    ASSERT_EQ(tanks.size(), 1u);
    EXPECT_EQ(tanks[0]->getName(), "cpu2");
    EXPECT_EQ(gc.getWorld().getPlayer1Vehicle(), nullptr);
    EXPECT_FALSE(gc.getPhysXAccess()->hasActor("player1"));
    EXPECT_FALSE(gc.getPhysXAccess()->hasActor("cpu1"));
    EXPECT_TRUE(gc.getPhysXAccess()->hasActor("cpu2"));
    EXPECT_EQ(gc.getPhysXAccess()->getActors().size(), bodies - 2);
    // No human tank is left: the battle is lost, and the step goes on behind the result.
    EXPECT_EQ(gc.getWorld().getOutcome(), BattleRules::kFailed);
    EXPECT_EQ(runFor(kFrame), GameClass::kStepDone);

    // Shells: a dud at the end of its flight goes at once, one that explodes stays for its
    // explosion, one in flight stays.
    Weapon dud;
    dud.setExplodiert(false);
    Weapon boom;
    boom.setExplosionTime(0.5f);
    const float up[3] = {0, 1, 0};
    const float at[3][3] = {{-10, 5, 0}, {0, 5, 0}, {10, 5, 0}};
    std::vector<Projektil *> &shells = gc.getWorld().getProjektilvektor();
    shells.push_back(new Projektil(at[0], up, &dud, nullptr, &gc, "dud"));
    shells.push_back(new Projektil(at[1], up, &boom, nullptr, &gc, "boom"));
    shells.push_back(new Projektil(at[2], up, &boom, nullptr, &gc, "flying"));
    shells[0]->move(Projektil::kFlightSeconds); // exactly no time left
    shells[1]->move(Projektil::kFlightSeconds);
    ASSERT_FLOAT_EQ(shells[0]->getTTL(), 0.0f);
    ASSERT_TRUE(gc.getPhysXAccess()->hasActor("dud"));

    runFor(0.0f);
    ASSERT_EQ(shells.size(), 2u);
    EXPECT_EQ(shells[0]->getActorName(), "boom");
    EXPECT_EQ(shells[0]->getStatus(), Projektil::kStatusExploding);
    EXPECT_FLOAT_EQ(shells[0]->getTTL(), 0.5f);
    EXPECT_EQ(shells[1]->getActorName(), "flying");
    EXPECT_FALSE(gc.getPhysXAccess()->hasActor("dud"));

    runFor(0.6f);
    ASSERT_EQ(shells.size(), 1u);
    EXPECT_EQ(shells[0]->getActorName(), "flying");
    EXPECT_FALSE(gc.getPhysXAccess()->hasActor("boom"));
    EXPECT_TRUE(gc.getPhysXAccess()->hasActor("flying"));
}

TEST_F(GameClassWorldTest, OnlyTheBattleRulesDecideAndEscapeIsLeftToTheScreens) {
    // No goal section: the level's description is "Last Man Standing", and player one standing
    // alone wins by the battle rules.
    ASSERT_TRUE(
        start("duel.lvl", vehicle("player1", "spieler1", -25, -25, 0) + vehicle("cpu1", "cpu", 25, 25, 0)));
    wreck(vehicleNamed("cpu1"));
    runFor(Fahrzeug::kDeathSeconds + 0.5f);
    runFor(kFrame);
    EXPECT_EQ(gc.getWorld().getOutcome(), BattleRules::kPlayerOneWins);

    // Escape held in the step after the win ends nothing by itself: leaving is the screens' business
    // (they ask for it with the exit request), whatever the goals would have said.
    keys[KeyNames::kEscape] = true;
    EXPECT_EQ(runFor(kFrame), GameClass::kStepDone);
    EXPECT_FALSE(gc.getExitVar());
    keys[KeyNames::kEscape] = false;
    EXPECT_EQ(gc.getWorld().getOutcome(), BattleRules::kPlayerOneWins);
}

TEST_F(GameClassWorldTest, PlayerTwoStandingAloneWinsWhateverTheGoalsSay) {
    ASSERT_TRUE(start("pair.lvl", vehicle("player1", "spieler1", -25, -25, 0) +
                                      vehicle("player2", "spieler2", 25, -25, 0) +
                                      vehicle("cpu1", "cpu", 25, 25, 0) + goal("Explore", MissionsZiel::kTypNone)));
    wreck(vehicleNamed("cpu1"));
    wreck(vehicleNamed("player1"));
    runFor(Fahrzeug::kDeathSeconds + 0.5f);
    keys[KeyNames::kEscape] = true;
    EXPECT_EQ(runFor(kFrame), GameClass::kStepDone);
    EXPECT_EQ(gc.getWorld().getOutcome(), BattleRules::kPlayerTwoWins);
    EXPECT_FALSE(gc.getExitVar());
}

TEST_F(GameClassWorldTest, ZoomKeysMoveTheCameraAlsoWhilePausedAndPauseFreezesTheRest) {
    ASSERT_TRUE(start("zoom.lvl", vehicle("player1", "spieler1", 0, 0, 0)));
    gc.getCamera(0).setCamDistance(70);
    keys[kZoomOut] = true;
    EXPECT_EQ(runFor(0.1f), GameClass::kStepDone);
    EXPECT_NEAR(gc.getCamera(0).getCamDistance(), 70.5f, 1e-4);

    testing::internal::CaptureStdout();
    gc.getOptions().setUseShadowmap(false); // a status message for two seconds
    gc.getOptions().setUseShadowmap(true);
    testing::internal::GetCapturedStdout();
    gc.setPause(true);
    keys[kUp1] = true;
    EXPECT_EQ(runFor(0.1f), GameClass::kStepPaused);
    EXPECT_NEAR(gc.getCamera(0).getCamDistance(), 71.0f, 1e-4);
    keys[kZoomIn] = true; // both keys: they cancel
    EXPECT_EQ(runFor(0.1f), GameClass::kStepPaused);
    EXPECT_NEAR(gc.getCamera(0).getCamDistance(), 71.0f, 1e-4);
    keys[kZoomOut] = false;
    EXPECT_EQ(runFor(0.1f), GameClass::kStepPaused);
    EXPECT_NEAR(gc.getCamera(0).getCamDistance(), 70.5f, 1e-4);
    // Paused, neither the message clock nor the tank's drive moved.
    EXPECT_FLOAT_EQ(gc.getOptions().getStatusMessageTime(), RenderOptions::kStatusMessageSeconds);
    EXPECT_EQ(gc.getWorld().getPlayer1Vehicle()->getThrottle(), 0.0f);

    // The zoom stops at its nearest and farthest distance, so that the eye
    // never passes the tank nor rises so far that the land's end shows.
    gc.setPause(false);
    keys[kUp1] = false;
    EXPECT_EQ(runFor(20.0f), GameClass::kStepDone);
    EXPECT_FLOAT_EQ(gc.getCamera(0).getCamDistance(), GameClass::kMinCamDistance);
    keys[kZoomIn] = false;
    keys[kZoomOut] = true;
    gc.setPause(true);
    runFor(60.0f);
    EXPECT_FLOAT_EQ(gc.getCamera(0).getCamDistance(), GameClass::kMaxCamDistance);
    keys[kZoomOut] = false;
    gc.setPause(false);
    EXPECT_LT(gc.getOptions().getStatusMessageTime(), 0.0f); // ran out: discarded
    EXPECT_EQ(gc.getOptions().getStatusMessage(), "");
}

TEST_F(GameClassWorldTest, ExitRequestMakesEveryStepReturnThree) {
    ASSERT_TRUE(
        start("exit.lvl", vehicle("player1", "spieler1", 0, 0, 0) + vehicle("cpu1", "cpu", 25, 25, 0)));
    EXPECT_EQ(runFor(kFrame), GameClass::kStepDone);
    gc.setExitVar(true);
    EXPECT_EQ(runFor(kFrame), GameClass::kStepExit);
    EXPECT_EQ(runFor(kFrame), GameClass::kStepExit);
    gc.setPause(true); // pause answers first
    EXPECT_EQ(runFor(kFrame), GameClass::kStepPaused);
}

TEST_F(GameClassWorldTest, ALevelStartShowsTheMinimapAsTheOptionsSetIt) {
    gc.getOptions().setDrawMiniMap(true); // the map key was down when the last battle ended, or typed in a name since
    ASSERT_TRUE(start("map.lvl", vehicle("player1", "spieler1", 0, 0, 0)));
    EXPECT_FALSE(gc.getOptions().getDrawMiniMap());
}

TEST_F(GameClassWorldTest, StartingAnotherLevelFreesWhatTheLastOneMadeForTheView) {
    ASSERT_TRUE(start("first.lvl", object("crate1", "crate.md2", -12, 0) + vehicle("player1", "spieler1", 0, 14, 180)));
    drawFrame();
    Level *first = gc.getWorld().getCurrentLevel();
    const TerrainBatch &terrain = first->getTerrainBatch();
    const LandBorder &border = first->getLandBorder();
    const GLuint atlas = terrain.getAtlasTexture(0);
    const GLuint lightMap = gc.getTextureHolder()->getTextureIDByString("crate1light");
    ASSERT_TRUE(glIsTexture(atlas));
    ASSERT_TRUE(glIsTexture(lightMap));
    ASSERT_GT(border.getChunkCount(), 0);
    std::vector<GLuint> borderLists;
    for (int chunk = 0; chunk < border.getChunkCount(); ++chunk)
        if (border.getChunkList(chunk) != 0)
            borderLists.push_back(border.getChunkList(chunk));
    ASSERT_FALSE(borderLists.empty());

    levels.write("second.lvl", levelHeader("second.lvl") + object("rock1", "rock.md2", 5, 5) +
                                   vehicle("hero", "spieler1", -5, 10, 180));
    testing::internal::CaptureStdout();
    ASSERT_TRUE(gc.getData().importLevels(levels.path().string() + "/"));
    ASSERT_TRUE(gc.loadLevel("second.lvl"));
    testing::internal::GetCapturedStdout();

    // Checked before the second level draws, which may take the freed names again.
    EXPECT_FALSE(glIsTexture(atlas));
    EXPECT_FALSE(glIsTexture(lightMap));
    EXPECT_FALSE(gc.getTextureHolder()->hasTexture("crate1light"));
    EXPECT_TRUE(gc.getTextureHolder()->hasTexture("rock1light"));
    EXPECT_EQ(terrain.getAtlasPageCount(), 0);
    EXPECT_FALSE(terrain.usesVertexBuffer());
    for (const GLuint list : borderLists)
        EXPECT_FALSE(glIsList(list)) << "border list " << list;

    // The first level comes back whole when it starts again.
    testing::internal::CaptureStdout();
    ASSERT_TRUE(gc.loadLevel("first.lvl"));
    testing::internal::GetCapturedStdout();
    drawFrame();
    EXPECT_TRUE(glIsTexture(terrain.getAtlasTexture(0)));
    EXPECT_TRUE(glIsTexture(gc.getTextureHolder()->getTextureIDByString("crate1light")));
    int listed = 0;
    for (int chunk = 0; chunk < border.getChunkCount(); ++chunk)
        listed += border.getChunkList(chunk) != 0 && glIsList(border.getChunkList(chunk));
    EXPECT_EQ(listed, static_cast<int>(borderLists.size()));
}

TEST_F(GameClassWorldTest, ASecondStartReplacesTheWholeFirstWorld) {
    ASSERT_TRUE(start("first.lvl",
                      object("crate1", "crate.md2", -12, 0) + object("wall1", "wall.md2", 12, 0) +
                          vehicle("player1", "spieler1", 0, 14, 180) +
                          vehicle("player2", "spieler2", -10, 14, 180) + vehicle("cpu1", "cpu", 0, -14, 0) +
                          goal("Last Man Standing", 1) + goal("Explore", 3)));
    drawFrame();
    const float up[3] = {0, 1, 0};
    const float at[3] = {0, 10, 0};
    gc.getWorld().getProjektilvektor().push_back(new Projektil(at, up, nullptr, nullptr, &gc, "stray"));
    gc.setExitVar(true);
    ASSERT_EQ(runFor(kFrame), GameClass::kStepExit);
    EXPECT_EQ(actorNames(gc),
              (std::set<std::string>{"cpu1", "crate1", "heightmap", "player1", "player2", "stray", "wall1"}));

    levels.write("second.lvl", levelHeader("second.lvl") + object("rock1", "rock.md2", 5, 5) +
                                   vehicle("hero", "spieler1", -5, 10, 180) +
                                   vehicle("foe", "cpu", 5, -20, 0));
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    ASSERT_TRUE(gc.getData().importLevels(levels.path().string() + "/"));
    ASSERT_TRUE(gc.loadLevel("second.lvl"));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    EXPECT_EQ(gc.getWorld().getCurrentLevel()->getLvlName(), "second.lvl");
    ASSERT_EQ(gc.getWorld().getLevelObjectVektor().size(), 1u);
    EXPECT_EQ(gc.getWorld().getLevelObjectVektor()[0]->getObjectName(), "rock1");
    ASSERT_EQ(gc.getWorld().getFahrzeugvektor().size(), 2u);
    EXPECT_EQ(gc.getWorld().getPlayer1Vehicle(), vehicleNamed("hero"));
    EXPECT_EQ(gc.getWorld().getPlayer2Vehicle(), nullptr);
    EXPECT_TRUE(gc.getWorld().getProjektilvektor().empty());
    EXPECT_FALSE(gc.getExitVar());
    EXPECT_EQ(gc.getWorld().getOutcome(), BattleRules::kRunning);
    // The new terrain joins with the new level's start.
    EXPECT_EQ(actorNames(gc), (std::set<std::string>{"foe", "heightmap", "hero", "rock1"}));
    EXPECT_EQ(runFor(kFrame), GameClass::kStepDone);
    drawFrame();
    EXPECT_EQ(actorNames(gc), (std::set<std::string>{"foe", "heightmap", "hero", "rock1"}));

    // And the first level can be played again from the start.
    testing::internal::CaptureStdout();
    ASSERT_TRUE(gc.loadLevel("first.lvl"));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(gc.getWorld().getFahrzeugvektor().size(), 3u);
    EXPECT_EQ(actorNames(gc),
              (std::set<std::string>{"cpu1", "crate1", "heightmap", "player1", "player2", "wall1"}));
}

} // namespace
