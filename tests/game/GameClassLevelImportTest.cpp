#include "game/GameClass.h"

#include "model/Md2Bytes.h"
#include "support/GameDataFixture.h"

#include <gtest/gtest.h>

namespace {

struct GameClassLevelImportTest : ::testing::Test {
    GameDataFixture data;
    GameClass gc;

    void level(const std::string &file, const std::string &name, const std::string &extra = "") {
        data.dir.write("data/level/" + file, "[LEVELDETAILS]\nname=" + name + "\n" + extra);
    }
};

TEST_F(GameClassLevelImportTest, ImportsEveryLevelFileByItsLevelName) {
    level("b.lvl", "second.lvl", "bgpicture=from_b.jpg\n");
    level("a.lvl", "second.lvl", "bgpicture=from_a.jpg\n"); // same name, sorts first: it stays
    level("c.lvl", "lvl1.lvl");
    level(".hidden.lvl", "hidden.lvl");
    level("notes.txt", "notes");
    data.dir.write("data/level/folder.lvl/x.lvl", "[LEVELDETAILS]\nname=nested\n");

    testing::internal::CaptureStdout();
    EXPECT_TRUE(gc.getData().importLevels("data/level/"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_EQ(gc.getData().getLevels().size(), 2u);
    ASSERT_NE(gc.getData().getLevel("second.lvl"), nullptr);
    EXPECT_EQ(gc.getData().getLevel("second.lvl")->getBGPicture(), "from_a.jpg");
    ASSERT_NE(gc.getData().getLevel("lvl1.lvl"), nullptr);
    EXPECT_EQ(gc.getData().getLevel("hidden.lvl"), nullptr);
    EXPECT_EQ(gc.getData().getLevel("notes"), nullptr);
    EXPECT_EQ(gc.getData().getLevel("nested"), nullptr);
    EXPECT_EQ(gc.getData().getLevel("c.lvl"), nullptr); // levels are found by the name inside the file
    // ... or by the file they came from, as the command line names them.
    EXPECT_EQ(gc.getData().getLevelOfFile("c.lvl"), gc.getData().getLevel("lvl1.lvl"));
    EXPECT_EQ(gc.getData().getLevelOfFile("a.lvl"), gc.getData().getLevel("second.lvl"));
    EXPECT_EQ(gc.getData().getLevelOfFile("b.lvl"), nullptr); // its name was taken: it yielded no level
    EXPECT_EQ(gc.getData().getLevelOfFile("lvl1.lvl"), nullptr);
}

TEST_F(GameClassLevelImportTest, ABrokenLevelFailsTheImportButNotTheOthers) {
    level("a.lvl", "first.lvl");
    data.dir.write("data/level/b.lvl", "this is not a level\n");
    level("c.lvl", "third.lvl");

    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(gc.getData().importLevels("data/level/"));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Load failed");
    EXPECT_TRUE(gc.getData().levelFileFailed("b.lvl"));
    EXPECT_FALSE(gc.getData().levelFileFailed("a.lvl"));
    EXPECT_EQ(err.rfind("Error: ", 0), 0u);
    EXPECT_NE(err.find("data/level/b.lvl"), std::string::npos);
    EXPECT_NE(gc.getData().getLevel("first.lvl"), nullptr);
    EXPECT_NE(gc.getData().getLevel("third.lvl"), nullptr);
}

TEST_F(GameClassLevelImportTest, MissingOrEmptyDirectoryLeavesTheRegistryEmpty) {
    EXPECT_TRUE(gc.getData().importLevels("data/nothing/"));
    data.dir.write("data/empty/readme.txt", "no levels");
    EXPECT_TRUE(gc.getData().importLevels("data/empty/"));
    EXPECT_TRUE(gc.getData().getLevels().empty());
    EXPECT_EQ(gc.getData().getLevel(""), nullptr);
}

} // namespace

namespace {

// A small MD2 file: one triangle, frame 1 scaled by `scale`.
std::string md2File(float scale) {
    Md2Bytes bytes = Md2Bytes::triangle();
    bytes.frames[1].scale[0] = scale;
    bytes.texCoords = {{0, 0}, {128, 0}, {0, 64}};
    bytes.triangles = {{0, 1, 2, 0, 1, 2}};
    return bytes.build();
}

TEST_F(GameClassLevelImportTest, ImportsModelsByBareFileName) {
    data.dir.write("data/model/b.md2", md2File(2.0f));
    data.dir.write("data/model/a.md2", md2File(1.0f));
    data.dir.write("data/model/.hidden.md2", md2File(1.0f));
    data.dir.write("data/model/broken.md2", "IDP2 but nothing else");
    data.dir.write("data/model/skin.png", "not a model");

    testing::internal::CaptureStderr();
    EXPECT_TRUE(gc.getData().importModells("data/model/"));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("broken.md2"), std::string::npos);
    ASSERT_EQ(gc.getData().getModells().size(), 2u);
    ASSERT_NE(gc.getModell("a.md2"), nullptr);
    EXPECT_EQ(gc.getModell("a.md2")->getName(), "a.md2");
    ASSERT_NE(gc.getModell("b.md2"), nullptr);
    EXPECT_FLOAT_EQ(gc.getModell("b.md2")->getPoseFrame()->scale[0], 2.0f);
    EXPECT_EQ(gc.getModell("broken.md2"), nullptr);
    EXPECT_EQ(gc.getModell(".hidden.md2"), nullptr);
    EXPECT_EQ(gc.getModell("data/model/a.md2"), nullptr); // keys are bare names
    EXPECT_TRUE(gc.getData().importModells("data/none/"));
}

TEST_F(GameClassLevelImportTest, LevelObjectsGetTheirLightMapUnderNamePlusLight) {
    data.dir.write("data/model/crate.md2", md2File(1.0f));
    gc.getData().importModells("data/model/");
    ObjectData crate;
    crate.setName("crate1");
    crate.setModel("crate.md2");
    crate.setPos(10, 0, 10);
    LightMap lightMap;
    Level level;

    testing::internal::CaptureStdout();
    EXPECT_TRUE(gc.getView().registerObjectLightMap(lightMap, level, crate));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "crate1light");
    ASSERT_TRUE(gc.getTextureHolder()->hasTexture("crate1light"));
    const DevilImageDefinition *image = gc.getTextureHolder()->getTextureByString("crate1light");
    EXPECT_EQ(image->getIlImageWidth(), 32);
    EXPECT_EQ(image->getIlImageHeight(), 32);
    EXPECT_EQ(image->getIlImageColorDepth(), 3);
    EXPECT_TRUE(image->hasPixels());
    const unsigned char defaultLight = image->getIlImageData()[0];

    // Under the level's own light, right beside the crate, the map is brighter.
    auto light = std::make_unique<LightData>();
    light->setPos(0, 10);
    light->setPos(1, 5);
    light->setPos(2, 10);
    level.addLightSource(std::move(light));
    testing::internal::CaptureStdout();
    EXPECT_TRUE(gc.getView().registerObjectLightMap(lightMap, level, crate));
    testing::internal::GetCapturedStdout();
    EXPECT_FLOAT_EQ(lightMap.getLightPosition()[1], 5);
    EXPECT_EQ(gc.getTextureHolder()->getTextureByString("crate1light")->getIlImageData()[0], 255);
    EXPECT_LT(defaultLight, 255);

    // An object whose model is not loaded gets nothing.
    ObjectData ghost;
    ghost.setName("ghost");
    ghost.setModel("ghost.md2");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(gc.getView().registerObjectLightMap(lightMap, level, ghost));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(gc.getTextureHolder()->hasTexture("ghostlight"));
}

} // namespace
