#include "level/Level.h"
#include "physics/CMyRaycastReport.h"
#include "physics/PhysXAccess.h"

#include "LevelTestSupport.h"
#include "support/GameDataFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using leveltest::exampleValue;
using leveltest::picture;
using leveltest::squareLevel;

struct LevelTerrainTest : ::testing::Test {
    GameDataFixture data;
    GameClass gc;

    // Runs calculateSurfaceMesh and returns what it wrote to stderr.
    std::string build(Level &level, std::string *out = nullptr) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        level.calculateSurfaceMesh();
        const std::string err = testing::internal::GetCapturedStderr();
        const std::string printed = testing::internal::GetCapturedStdout();
        if (out != nullptr) {
            *out = printed;
        }
        return err;
    }
};

TEST_F(LevelTerrainTest, TenByTenExampleGivesElevenByElevenGrid) {
    auto level = squareLevel(gc, 10, picture(10, 10, 3, exampleValue));
    std::string printed;
    EXPECT_EQ(build(*level, &printed), "");
    EXPECT_EQ(printed, "Data Color Depth: 3\nImage format: 6407\nImage width: 10\nImage height: 10\n");

    ASSERT_TRUE(level->hasGrid());
    EXPECT_EQ(level->getGridColumns(), 10);
    EXPECT_EQ(level->getGridRows(), 10);
    for (int r = 0; r < 10; ++r) {
        for (int c = 0; c < 10; ++c) {
            ASSERT_EQ(level->getGridValue(c, r), exampleValue(c, r)) << c << ", " << r;
        }
        EXPECT_EQ(level->getGridValue(10, r), exampleValue(9, r)); // last column repeats
    }
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(level->getGridValue(c, 10), exampleValue(c, 9)); // last row repeats
    }
    EXPECT_EQ(level->getGridValue(10, 10), exampleValue(9, 9));
    // Out-of-range questions are clamped, never read beyond the grid.
    EXPECT_EQ(level->getGridValue(-3, 500), exampleValue(0, 9));
    EXPECT_EQ(level->getTriangleCapacity(), (12 * 12 * 2) / 5);
}

TEST_F(LevelTerrainTest, HeightsAreGridValuesOverThirtyOnACentredTerrain) {
    // Value 150 on the left half: height 5 units there, 0 on the right.
    auto level = squareLevel(gc, 10, picture(10, 10, 3, [](int x, int) { return x < 5 ? 150 : 0; }));
    build(*level);
    EXPECT_NEAR(level->getTerrainHeight(-5, -5), 5.0f, 1e-5); // the first cell starts at x = z = -5
    EXPECT_NEAR(level->getTerrainHeight(-5, 5), 5.0f, 1e-5);
    EXPECT_NEAR(level->getTerrainHeight(-2.5f, -4), 2.5f, 1e-5);
    EXPECT_NEAR(level->getTerrainHeight(-2.5f, 3), 2.5f, 1e-5);
    EXPECT_NEAR(level->getTerrainHeight(2.5f, 2), 0.0f, 1e-5);
    EXPECT_NEAR(level->getTerrainHeight(100, 0), 0.0f, 1e-5); // off the terrain

    // Only corner C of the first cell raised: the cell is split along A-C into
    // (A, B, C) and (A, C, D), as the physics mesh, not bilinearly.
    auto peak =
        squareLevel(gc, 10, picture(10, 10, 3, [](int x, int y) { return x == 5 && y == 5 ? 150 : 0; }));
    build(*peak);
    EXPECT_NEAR(peak->getTerrainHeight(-2.5f, -2.5f), 2.5f, 1e-5);
    EXPECT_NEAR(peak->getTerrainHeight(-1, -4), 1.0f, 1e-5); // in (A, B, C)
    EXPECT_NEAR(peak->getTerrainHeight(-4, -1), 1.0f, 1e-5); // in (A, C, D)

    // Twelve units across: the last cell is cut to two units, up to the far edge.
    auto cut = squareLevel(gc, 12, picture(12, 12, 3, [](int x, int) { return 10 * x; }));
    build(*cut);
    EXPECT_NEAR(cut->getTerrainHeight(6, 0), 110 / 30.0f, 1e-5); // column 12 repeats pixel 11
    EXPECT_NEAR(cut->getTerrainHeight(5, 0), 105 / 30.0f, 1e-5);
    EXPECT_NEAR(cut->getTerrainHeight(-6, 6), 0.0f, 1e-5);
}

TEST_F(LevelTerrainTest, HeightmapProblemsAreReportedAndKeptInBounds) {
    struct Case {
        const char *what;
        DevilImageDefinition image;
        float size;
        const char *message;
        int expectedCorner; // grid value at (columns, rows)
    };
    const Case cases[] = {
        {"not square", picture(10, 8, 3, exampleValue), 10, "not square", exampleValue(9, 7)},
        {"too small for the bounds", picture(5, 5, 3, exampleValue), 10, "bounds span 10 x 10",
         exampleValue(4, 4)},
        {"larger than the bounds", picture(20, 20, 3, exampleValue), 10, "bounds span 10 x 10",
         exampleValue(10, 10)},
        {"four bytes per pixel", picture(10, 10, 4, exampleValue), 10, "3 bytes", 0},
        {"not a multiple of five", picture(12, 12, 3, exampleValue), 12, "multiple of 5",
         exampleValue(11, 11)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        auto level = squareLevel(gc, c.size, c.image);
        const std::string err = build(*level);
        EXPECT_EQ(err.rfind("Error: heightmap \"hm.png\"", 0), 0u) << err;
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        ASSERT_TRUE(level->hasGrid());
        EXPECT_EQ(level->getGridColumns(), static_cast<int>(c.size));
        EXPECT_EQ(level->getGridValue(level->getGridColumns(), level->getGridRows()), c.expectedCorner);
    }

    // A heightmap that is not among the textures leaves the ground flat.
    auto missing = squareLevel(gc, 10, picture(10, 10, 3, exampleValue));
    missing->setHeightMap("nothere.png");
    const std::string err = build(*missing);
    EXPECT_NE(err.find("Error: heightmap \"nothere.png\""), std::string::npos);
    ASSERT_TRUE(missing->hasGrid());
    EXPECT_EQ(missing->getGridValue(3, 4), 0);
}

TEST_F(LevelTerrainTest, BoundsThatCannotHoldATerrainLeaveItEmpty) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float bounds[][4] = {{0, 0, 0, 0},
                               {5, 5, -5, -5},
                               {-inf, -5, inf, 5},
                               {nan, -5, 5, 5},
                               {-1e6f, -1e6f, 1e6f, 1e6f},
                               {1e30f, 0, 1e30f + 255, 255}};
    for (const auto &b : bounds) {
        auto level = squareLevel(gc, 10, picture(10, 10, 3, exampleValue));
        level->setX1(b[0]);
        level->setZ1(b[1]);
        level->setX2(b[2]);
        level->setZ2(b[3]);
        const std::string err = build(*level);
        EXPECT_EQ(err.rfind("Error: level \"test.lvl\"", 0), 0u) << err;
        EXPECT_FALSE(level->hasGrid());
        EXPECT_EQ(level->getGridValue(1, 1), 0);
        EXPECT_EQ(level->getTerrainHeight(0, 0), 0.0f);
        // Without a grid nothing is drawn and the mesh stays pending (no GL needed).
        level->drawSurface(false, true, 1, 0, 1, true);
        EXPECT_TRUE(level->isMeshPending());
        EXPECT_EQ(level->getMeshTriangleCount(), 0);
    }
}

TEST_F(LevelTerrainTest, TheLevelsFirstLightPlacesTheLightMapsLight) {
    auto level = squareLevel(gc, 10, picture(10, 10, 3, exampleValue));
    build(*level);
    EXPECT_FLOAT_EQ(level->getLightMap().getLightPosition()[0], -75); // no light: the default one
    EXPECT_FLOAT_EQ(level->getLightMap().getLightPosition()[1], -50);

    for (float y : {60.0f, 5.0f}) {
        auto light = std::make_unique<LightData>();
        light->setPos(0, 3);
        light->setPos(1, y);
        light->setPos(2, -4);
        level->addLightSource(std::move(light));
    }
    build(*level);
    const float *pos = level->getLightMap().getLightPosition();
    EXPECT_FLOAT_EQ(pos[0], 3);
    EXPECT_FLOAT_EQ(pos[1], 60);
    EXPECT_FLOAT_EQ(pos[2], -4);
}

TEST_F(LevelTerrainTest, RecordsAreOwnedAndNullRecordsIgnored) {
    Level level;
    level.addLightSource(nullptr);
    level.addObjectData(nullptr);
    level.addVehicleData(nullptr);
    level.addMissionsZiel(nullptr);
    level.addLevelPowerUpData(nullptr);
    EXPECT_TRUE(level.getLightDataList().empty());
    EXPECT_TRUE(level.getObjectDataList().empty());
    EXPECT_TRUE(level.getVehicleDataList().empty());
    EXPECT_TRUE(level.getMissionsZieleList().empty());
    EXPECT_TRUE(level.getLevelPowerUps().empty());
    level.addObjectData(std::make_unique<ObjectData>());
    level.addVehicleData(std::make_unique<VehicleData>());
    EXPECT_EQ(level.getObjectDataList().size(), 1u);
    EXPECT_EQ(level.getVehicleDataList().size(), 1u);
    EXPECT_TRUE(level.isMeshPending());
}

} // namespace

namespace {

// Keeps the first hit of a cast.
struct FirstHit : CMyRaycastReport {
    bool any = false;
    RaycastHit hit;
    bool onHit(const RaycastHit &h) override {
        any = true;
        hit = h;
        return false;
    }
};

TEST_F(LevelTerrainTest, ThePhysicsGroundIsTheDrawnGroundFromLevelStart) {
    PhysXAccess physics;
    physics.initialPhysX();
    // Corners of every 5-unit cell at different heights, so that the diagonal a cell is split along shows.
    auto level =
        squareLevel(gc, 20, picture(20, 20, 3, [](int x, int y) { return (x * 37 + y * 91) % 240; }));
    build(*level);
    level->setPhysXAccess(&physics);
    level->joinPhysics(); // at level start, before anything is drawn
    ASSERT_TRUE(level->isMeshHandedOver());
    ASSERT_TRUE(physics.hasActor(Level::kMeshName));
    EXPECT_EQ(physics.getCookCount(), 0); // a height field: nothing to cook

    for (float x = -9.7f; x < 10.0f; x += 1.3f) {
        for (float z = -9.9f; z < 10.0f; z += 1.1f) {
            const float from[3] = {x, 50.0f, z}, down[3] = {0.0f, -1.0f, 0.0f};
            FirstHit report;
            physics.raycastAllShapes(from, down, report);
            ASSERT_TRUE(report.any) << x << ", " << z;
            EXPECT_NEAR(report.hit.worldImpact[1], level->getTerrainHeight(x, z), 0.01f) << x << ", " << z;
        }
    }
    level->joinPhysics();
    EXPECT_EQ(physics.getTriangleMeshCount(), 1); // handed over once
}

} // namespace
