#include "physics/PhysXAccess.h"

#include "config/ConfigReader.h"
#include "objects/SpielObject.h"
#include "physics/CookedMeshFile.h"
#include "physics/PhysicsTestModels.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace PhysicsTestModels;
namespace fs = std::filesystem;

// The level start of a small game: a tank, a tower, the terrain and a first shell, built in
// whatever folder is the working directory.
struct Level {
    explicit Level(PhysXAccess &px) : px(px) {}

    void build() {
        const float at[3] = {0.0f, 0.0f, 0.0f};
        const float ahead[3] = {0.0f, 1.0f, 10.0f};
        const float dir[3] = {0.0f, 0.0f, 1.0f};
        tank1.setActorName("tank1");
        tankBody = px.prepareConvexMesh(8, 0, tank.data(), nullptr, "tank1", at, 1.0f, 0.0f, &tank1, false);
        towerBody =
            px.prepareConvexMesh(8, 0, tower.data(), nullptr, "tower", ahead, 2.0f, 0.0f, &towerObject, true);
        terrainBody =
            px.prepareTriangleMesh(terrain.vertexCount(), terrain.triangleCount(), terrain.vertices.data(),
                                   terrain.triangles.data(), "heightmap", at, 1.0f, -90.0f);
        shotBody = px.fireBullet(ahead, dir, 10.0f, 8, 0, shell.data(), nullptr, "tank1_1", "projektil", 1.0f,
                                 0.0f, &shot);
    }

    PhysXAccess &px;
    std::vector<Md2Vertex> tank = tankBox();
    std::vector<Md2Vertex> tower = box(10, 200, 10, 60, 0, 100);
    std::vector<Md2Vertex> shell = shellBox();
    Terrain terrain = flatTerrain(3, 1.0f);
    SpielObject tank1;
    SpielObject towerObject;
    SpielObject shot;
    btRigidBody *tankBody = nullptr;
    btRigidBody *towerBody = nullptr;
    btRigidBody *terrainBody = nullptr;
    btRigidBody *shotBody = nullptr;
};

const char *const kCacheFiles[] = {
    "data/model_cooked/CM_tank1.bin",
    "data/model_cooked/CM_tower.bin",
    "data/model_cooked/CM_projektil.bin",
    "data/model_cooked/TM_heightmap.bin",
    "data/config/cookedmodel_config/CM_tank1.ini",
    "data/config/cookedmodel_config/CM_tower.ini",
    "data/config/cookedmodel_config/CM_projektil.ini",
    "data/config/cookedmodel_config/TM_heightmap.ini",
};

class CookedMeshCacheTest : public ::testing::Test {
  protected:
    // Builds the level in a fresh facade and returns what it printed on stderr.
    std::string buildLevel(int &cooked) {
        PhysXAccess px;
        px.initialPhysX();
        Level level(px);
        testing::internal::CaptureStderr();
        level.build();
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(level.tankBody, nullptr);
        EXPECT_NE(level.towerBody, nullptr);
        EXPECT_NE(level.terrainBody, nullptr);
        EXPECT_NE(level.shotBody, nullptr);
        cooked = px.getCookCount();
        return err;
    }

    static int errorLines(const std::string &err) {
        return static_cast<int>(std::count(err.begin(), err.end(), '\n'));
    }

    TempDir dir;
    ScopedCwd cwd{dir.path()};
};

TEST_F(CookedMeshCacheTest, TheFirstRunCooksAndWritesEveryFileAndTheSecondOnlyReads) {
    int cooked = 0;
    EXPECT_EQ(buildLevel(cooked), "");
    EXPECT_EQ(cooked, 4);
    for (const char *file : kCacheFiles) {
        EXPECT_TRUE(PhysXAccess::ExistFile(file)) << file;
    }
    int leftovers = 0; // no temporary files
    for (const auto &entry : fs::recursive_directory_iterator("data")) {
        leftovers += entry.path().extension() == ".tmp";
    }
    EXPECT_EQ(leftovers, 0);
    const std::string firstTank = TempDir::read("data/model_cooked/CM_tank1.bin");

    EXPECT_EQ(buildLevel(cooked), "");
    EXPECT_EQ(cooked, 0);
    EXPECT_EQ(TempDir::read("data/model_cooked/CM_tank1.bin"), firstTank); // read, not rewritten
}

TEST_F(CookedMeshCacheTest, ExtentsFollowTheSignRuleAndShiftTheShape) {
    // Packed x bytes 10..200 at scale 1: physics x runs from -9.6 to -0.48, so size x = -10.08
    // and the shape sits 5.04 further along x. Packed y 10..60 becomes physics z 0.48..2.88:
    // no negative end, so size z = 2.4 and the shape moves back by 1.2.
    PhysXAccess px;
    px.initialPhysX();
    const std::vector<Md2Vertex> model = box(10, 200, 10, 60, 0, 100);
    const float at[3] = {0.0f, 0.0f, 0.0f};
    SpielObject o;
    ASSERT_NE(px.prepareConvexMesh(8, 0, model.data(), nullptr, "wall", at, 1.0f, 0.0f, &o, true), nullptr);

    const PhysXActor &record = px.getActors().at("wall");
    EXPECT_NEAR(record.getSizeX(), -10.08, 1e-5);
    EXPECT_NEAR(record.getSizeY(), 4.8, 1e-5);
    EXPECT_NEAR(record.getSizeZ(), 2.4, 1e-5);
    EXPECT_NEAR(record.getSizeXreal(), 210.0, 1e-3);
    EXPECT_NEAR(record.getSizeYreal(), 100.0, 1e-3);
    EXPECT_NEAR(record.getSizeZreal(), 50.0, 1e-3);
    EXPECT_NEAR(px.getSizereal("wall")[0], 210.0, 1e-3);
    EXPECT_EQ(px.getSizereal("nobody")[0], 0.0);

    // Physics x -9.6 + 5.04 .. -0.48 + 5.04, z 0.48 - 1.2 .. 2.88 - 1.2, read back in game axes.
    // The engine's box is wider than the hull by its margins, evenly on both sides, so the centres
    // are exact and the spans a little larger.
    float low[3];
    float high[3];
    ASSERT_TRUE(px.getActorBounds("wall", low, high));
    EXPECT_NEAR((low[0] + high[0]) / 2.0f, 0.0f, 1e-4);
    EXPECT_NEAR((low[1] + high[1]) / 2.0f, 2.4f, 1e-4);
    EXPECT_NEAR((low[2] + high[2]) / 2.0f, -0.48f, 1e-4);
    EXPECT_NEAR(high[0] - low[0], 9.12f, 0.05f);
    EXPECT_NEAR(high[1] - low[1], 4.8f, 0.05f);
    EXPECT_NEAR(high[2] - low[2], 2.4f, 0.05f);

    // The size file holds the same six values.
    const PhysXActor stored = ConfigReader::ReadPhysXActor("data/config/cookedmodel_config/CM_wall.ini");
    EXPECT_NEAR(stored.getSizeX(), -10.08, 1e-6);
    EXPECT_NEAR(stored.getSizeZ(), 2.4, 1e-6);
    EXPECT_NEAR(stored.getSizeXreal(), 210.0, 1e-4);
    EXPECT_NE(TempDir::read("data/config/cookedmodel_config/CM_wall.ini").find("sizex=-10.08000"),
              std::string::npos);

    // The terrain's extents come from its first point alone: (-x, z, y) of a grid corner at
    // (-7.5, 1, -7.5) is (7.5, -7.5, 1), so only y is negative: sizes (0, -15, 0).
    const Terrain t = flatTerrain(3, 1.0f);
    ASSERT_NE(px.prepareTriangleMesh(t.vertexCount(), t.triangleCount(), t.vertices.data(),
                                     t.triangles.data(), "heightmap", at, 1.0f, -90.0f),
              nullptr);
    const PhysXActor &terrain = px.getActors().at("heightmap");
    EXPECT_NEAR(terrain.getSizeX(), 0.0, 1e-6);
    EXPECT_NEAR(terrain.getSizeY(), -15.0, 1e-6);
    EXPECT_NEAR(terrain.getSizeZ(), 0.0, 1e-6);
    EXPECT_NEAR(terrain.getSizeYreal(), -15.0, 1e-6);
}

TEST_F(CookedMeshCacheTest, AMeshReadFromTheCacheHasTheSizesAndShapeOfAFreshCook) {
    // Every actor's sizes and world box.
    auto measure = [](int &cooked) {
        PhysXAccess px;
        px.initialPhysX();
        Level level(px);
        level.build();
        cooked = px.getCookCount();
        std::vector<std::pair<std::string, double>> values;
        for (const auto &[name, record] : px.getActors()) {
            for (double size : record.getSizes()) {
                values.emplace_back(name + " size", size);
            }
            for (double size : record.getSizesreal()) {
                values.emplace_back(name + " real size", size);
            }
            float low[3], high[3];
            px.getActorBounds(name, low, high);
            for (int a = 0; a < 3; ++a) {
                values.emplace_back(name + " box", low[a]);
                values.emplace_back(name + " box", high[a]);
            }
        }
        return values;
    };
    int cooked = 0;
    const auto fresh = measure(cooked);
    EXPECT_EQ(cooked, 4);
    const auto cached = measure(cooked);
    EXPECT_EQ(cooked, 0);
    ASSERT_EQ(fresh.size(), cached.size());
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        EXPECT_EQ(fresh[i].second, cached[i].second) << fresh[i].first;
    }
}

TEST_F(CookedMeshCacheTest, BrokenCacheFilesAreReportedOnceAndCookedAgain) {
    int cooked = 0;
    buildLevel(cooked);
    const std::string good = TempDir::read("data/model_cooked/CM_tank1.bin");

    // Truncated.
    dir.write("data/model_cooked/CM_tank1.bin", good.substr(0, good.size() / 2));
    std::string err = buildLevel(cooked);
    EXPECT_EQ(cooked, 1);
    EXPECT_EQ(errorLines(err), 1) << err;
    EXPECT_EQ(err.rfind("Error: ", 0), 0u);
    EXPECT_NE(err.find("CM_tank1.bin"), std::string::npos);
    EXPECT_EQ(TempDir::read("data/model_cooked/CM_tank1.bin"), good); // rewritten whole

    // One flipped bit in the middle.
    std::string flipped = good;
    flipped[flipped.size() / 2] ^= 0x10;
    dir.write("data/model_cooked/CM_tank1.bin", flipped);
    err = buildLevel(cooked);
    EXPECT_EQ(cooked, 1);
    EXPECT_EQ(errorLines(err), 1) << err;
    EXPECT_NE(err.find("checksum"), std::string::npos);

    // Empty, and a terrain file holding a convex mesh.
    dir.write("data/model_cooked/CM_projektil.bin", "");
    fs::copy_file("data/model_cooked/CM_tower.bin", "data/model_cooked/TM_heightmap.bin",
                  fs::copy_options::overwrite_existing);
    err = buildLevel(cooked);
    EXPECT_EQ(cooked, 2);
    EXPECT_EQ(errorLines(err), 2) << err;

    // The size file is missing, or one of its values is unusable.
    fs::remove("data/config/cookedmodel_config/CM_tower.ini");
    err = buildLevel(cooked);
    EXPECT_EQ(cooked, 1);
    EXPECT_EQ(errorLines(err), 1) << err;
    EXPECT_NE(err.find("CM_tower.ini"), std::string::npos);
    EXPECT_TRUE(PhysXAccess::ExistFile("data/config/cookedmodel_config/CM_tower.ini"));
    dir.write("data/config/cookedmodel_config/CM_tower.ini",
              "sizex=1e999\r\nsizey=1\r\nsizez=1\r\nsizexreal=1\r\nsizeyreal=1\r\nsizezreal=1\r\n");
    err = buildLevel(cooked);
    EXPECT_EQ(cooked, 1);
    EXPECT_EQ(errorLines(err), 1) << err;

    EXPECT_EQ(buildLevel(cooked), ""); // all healed
    EXPECT_EQ(cooked, 0);
}

TEST_F(CookedMeshCacheTest, AChangedModelIsCookedAgainUnderItsOldName) {
    int cooked = 0;
    buildLevel(cooked);
    PhysXAccess px;
    px.initialPhysX();
    const std::vector<Md2Vertex> bigger = box(0, 150, 0, 150, 0, 50);
    const float at[3] = {0.0f, 0.0f, 0.0f};
    SpielObject o;
    ASSERT_NE(px.prepareConvexMesh(8, 0, bigger.data(), nullptr, "tank1", at, 1.0f, 0.0f, &o, false),
              nullptr);
    EXPECT_EQ(px.getCookCount(), 1);
    EXPECT_NEAR(px.getActors().at("tank1").getSizeX(), -7.2, 1e-5);
    // A bigger scale changes the points as well.
    const std::vector<Md2Vertex> tank = tankBox();
    ASSERT_NE(px.prepareConvexMesh(8, 0, tank.data(), nullptr, "tank1", at, 2.0f, 0.0f, &o, false), nullptr);
    EXPECT_EQ(px.getCookCount(), 2);
}

TEST_F(CookedMeshCacheTest, AnUnwritableCacheLeavesTheMeshesInMemoryWithOneErrorLine) {
    // A plain file where the folder should be: no one, not even root, can write below it.
    dir.write("data/model_cooked", "not a folder");
    PhysXAccess px;
    px.initialPhysX();
    const std::vector<Md2Vertex> tank = tankBox();
    const float at[3] = {0.0f, 3.0f, 0.0f};
    SpielObject o;
    testing::internal::CaptureStderr();
    btRigidBody *body = px.prepareConvexMesh(8, 0, tank.data(), nullptr, "tank1", at, 1.0f, 0.0f, &o, false);
    std::string err = testing::internal::GetCapturedStderr();
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(errorLines(err), 1) << err;
    EXPECT_EQ(err.rfind("Error: ", 0), 0u);
    EXPECT_NE(err.find("data/model_cooked/"), std::string::npos) << err;

    // Further meshes are cooked in memory without another word and without a try on the disk.
    Level level(px);
    testing::internal::CaptureStderr();
    level.build();
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "");
    EXPECT_NE(level.terrainBody, nullptr);
    EXPECT_FALSE(fs::exists("data/config/cookedmodel_config/TM_heightmap.ini"));
    px.updateObjects(1.0f / 60.0f); // the game goes on
    px.updateObjects(1.0f / 60.0f);
    EXPECT_LT(o.getPos()[1], 3.0f);
}

TEST_F(CookedMeshCacheTest, AnUnwritableSizeFolderWritesNoCookedFileWithoutSizes) {
    dir.write("data/config/cookedmodel_config", "not a folder");
    PhysXAccess px;
    px.initialPhysX();
    const std::vector<Md2Vertex> shell = shellBox();
    SpielObject crate;
    const float aside[3] = {10.0f, 0.0f, 0.0f};
    testing::internal::CaptureStderr();
    btRigidBody *body = px.prepareConvexMesh(8, 0, shell.data(), nullptr, "crate", aside, 1.0f, 0.0f, &crate, true);
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(errorLines(err), 1) << err;
    EXPECT_NE(err.find("cookedmodel_config"), std::string::npos) << err;
    EXPECT_FALSE(PhysXAccess::ExistFile("data/model_cooked/CM_crate.bin"));
}

} // namespace
