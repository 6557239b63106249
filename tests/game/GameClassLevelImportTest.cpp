#include "game/GameClass.h"

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
    EXPECT_TRUE(gc.importLevels("data/level/"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_EQ(gc.getLevels().size(), 2u);
    ASSERT_NE(gc.getLevel("second.lvl"), nullptr);
    EXPECT_EQ(gc.getLevel("second.lvl")->getBGPicture(), "from_a.jpg");
    ASSERT_NE(gc.getLevel("lvl1.lvl"), nullptr);
    EXPECT_EQ(gc.getLevel("hidden.lvl"), nullptr);
    EXPECT_EQ(gc.getLevel("notes"), nullptr);
    EXPECT_EQ(gc.getLevel("nested"), nullptr);
    EXPECT_EQ(gc.getLevel("c.lvl"), nullptr); // levels are found by the name inside the file
}

TEST_F(GameClassLevelImportTest, ABrokenLevelFailsTheImportButNotTheOthers) {
    level("a.lvl", "first.lvl");
    data.dir.write("data/level/b.lvl", "this is not a level\n");
    level("c.lvl", "third.lvl");

    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(gc.importLevels("data/level/"));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Load failed");
    EXPECT_EQ(err.rfind("Error: ", 0), 0u);
    EXPECT_NE(err.find("data/level/b.lvl"), std::string::npos);
    EXPECT_NE(gc.getLevel("first.lvl"), nullptr);
    EXPECT_NE(gc.getLevel("third.lvl"), nullptr);
}

TEST_F(GameClassLevelImportTest, MissingOrEmptyDirectoryLeavesTheRegistryEmpty) {
    EXPECT_TRUE(gc.importLevels("data/nothing/"));
    data.dir.write("data/empty/readme.txt", "no levels");
    EXPECT_TRUE(gc.importLevels("data/empty/"));
    EXPECT_TRUE(gc.getLevels().empty());
    EXPECT_EQ(gc.getLevel(""), nullptr);
}

} // namespace
