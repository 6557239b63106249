#include "config/GamePaths.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

// A machine in a temporary folder: a prefix with the installed game, a checkout, a home and a
// folder to start the game in that holds nothing.
class GamePathsTest : public ::testing::Test {
  protected:
    TempDir dir;
    std::string root = dir.path().string() + "/";

    void SetUp() override {
        dir.write("prefix/bin/panzerfeld", "");
        dir.write("prefix/share/panzerfeld/config/mainmenu.ini", "installed");
        dir.write("prefix/share/panzerfeld/config/playerconfig.ini", "installed keys");
        dir.write("checkout/data/config/mainmenu.ini", "checkout");
        fs::create_directories(dir.path() / "elsewhere");
        fs::create_directories(dir.path() / "home");
    }

    GamePaths::Environment installed() const {
        GamePaths::Environment env;
        env.workingDir = root + "elsewhere";
        env.executable = root + "prefix/bin/panzerfeld";
        env.home = root + "home";
        return env;
    }

    GamePaths resolved(const GamePaths::Environment &env) const {
        std::string problem;
        const std::optional<GamePaths> paths = GamePaths::resolve(env, problem);
        EXPECT_TRUE(paths) << problem;
        return paths.value_or(GamePaths::inCheckout());
    }
};

TEST_F(GamePathsTest, TheDataIsFoundByTheVariableThenTheCheckoutThenBesideTheProgram) {
    GamePaths::Environment env = installed();
    env.workingDir = root + "checkout";
    env.dataOverride = root + "prefix/share/panzerfeld";
    EXPECT_EQ(resolved(env).dataFolder(), root + "prefix/share/panzerfeld/");
    EXPECT_FALSE(resolved(env).isCheckout());
    env.dataOverride = "data"; // relative to the working directory
    EXPECT_EQ(resolved(env).dataFolder(), root + "checkout/data/");
    EXPECT_FALSE(resolved(env).isCheckout()); // named by the variable: the player's files go home

    env.dataOverride.clear();
    const GamePaths checkout = resolved(env);
    EXPECT_TRUE(checkout.isCheckout());
    EXPECT_EQ(checkout.dataFolder(), "data/");
    EXPECT_EQ(checkout.playerFile(GamePaths::PlayerFile::kKeys), "data/config/playerconfig.ini");
    EXPECT_EQ(checkout.playerFile(GamePaths::PlayerFile::kHighscores), "data/config/highscore.ini");
    EXPECT_EQ(checkout.replayFolder(), "data/replays/");
    EXPECT_EQ(checkout.cookedMeshFolder(), "data/model_cooked/");
    EXPECT_EQ(checkout.meshSizeFolder(), "data/config/cookedmodel_config/");

    // Started from a folder with no data of its own, through a path with ".." in it.
    env = installed();
    env.executable = root + "prefix/bin/../bin/panzerfeld";
    EXPECT_EQ(resolved(env).dataFolder(), root + "prefix/share/panzerfeld/");
}

TEST_F(GamePathsTest, NoDataAnywhereSaysWhereItLooked) {
    GamePaths::Environment env = installed();
    env.executable = root + "elsewhere/panzerfeld";
    std::string problem;
    EXPECT_FALSE(GamePaths::resolve(env, problem));
    EXPECT_NE(problem.find(root + "share/panzerfeld/"), std::string::npos) << problem;
    // A checkout whose main menu is gone says which file it lacks.
    env.workingDir = root + "checkout";
    fs::remove(dir.path() / "checkout/data/config/mainmenu.ini");
    EXPECT_FALSE(GamePaths::resolve(env, problem));
    EXPECT_NE(problem.find("data/config/mainmenu.ini is missing"), std::string::npos) << problem;

    env = installed();
    env.dataOverride = root + "home";
    EXPECT_FALSE(GamePaths::resolve(env, problem));
    EXPECT_EQ(problem.rfind("PANZERFELD_DATA=" + root + "home: ", 0), 0u) << problem;
}

TEST_F(GamePathsTest, AnInstalledGameKeepsThePlayersFilesInTheXdgFolders) {
    GamePaths::Environment env = installed();
    const GamePaths byHome = resolved(env);
    EXPECT_EQ(byHome.playerFile(GamePaths::PlayerFile::kSettings), root + "home/.config/panzerfeld/settings.ini");
    EXPECT_EQ(byHome.playerFile(GamePaths::PlayerFile::kWindow), root + "home/.config/panzerfeld/glutconfig.ini");
    EXPECT_EQ(byHome.playerFile(GamePaths::PlayerFile::kHighscores),
              root + "home/.local/share/panzerfeld/highscore.ini");
    EXPECT_EQ(byHome.replayFolder(), root + "home/.local/share/panzerfeld/replays/");
    EXPECT_EQ(byHome.screenshotFolder(), root + "home/.local/share/panzerfeld/screenshots/");
    EXPECT_EQ(byHome.cookedMeshFolder(), root + "home/.cache/panzerfeld/model_cooked/");

    env.configHome = root + "c";
    env.dataHome = "relative/is/ignored";
    env.cacheHome = root + "k";
    const GamePaths byVariables = resolved(env);
    EXPECT_EQ(byVariables.playerFile(GamePaths::PlayerFile::kKeys), root + "c/panzerfeld/playerconfig.ini");
    EXPECT_EQ(byVariables.replayFolder(), root + "home/.local/share/panzerfeld/replays/");
    EXPECT_EQ(byVariables.meshSizeFolder(), root + "k/panzerfeld/cookedmodel_config/");

    env.home.clear();
    std::string problem;
    EXPECT_FALSE(GamePaths::resolve(env, problem));
    EXPECT_NE(problem.find("XDG_DATA_HOME"), std::string::npos) << problem;
}

TEST_F(GamePathsTest, APlayersFileStartsFromTheInstalledDefaultAndLeavesItAlone) {
    const GamePaths paths = resolved(installed());
    const std::string shipped = root + "prefix/share/panzerfeld/config/playerconfig.ini";
    const std::string own = paths.playerFile(GamePaths::PlayerFile::kKeys);
    EXPECT_EQ(paths.readablePlayerFile(GamePaths::PlayerFile::kKeys), shipped);
    // No default and no file of the player's: read where it would be written (it is missing).
    EXPECT_EQ(paths.readablePlayerFile(GamePaths::PlayerFile::kHighscores),
              paths.playerFile(GamePaths::PlayerFile::kHighscores));

    std::string problem;
    ASSERT_TRUE(paths.ensurePlayerFile(GamePaths::PlayerFile::kKeys, problem)) << problem;
    EXPECT_EQ(TempDir::read(own), "installed keys");
    EXPECT_EQ(paths.readablePlayerFile(GamePaths::PlayerFile::kKeys), own);
    dir.write("home/.config/panzerfeld/playerconfig.ini", "the player's keys");
    ASSERT_TRUE(paths.ensurePlayerFile(GamePaths::PlayerFile::kKeys, problem)) << problem;
    EXPECT_EQ(TempDir::read(own), "the player's keys"); // an existing file is never replaced
    EXPECT_EQ(TempDir::read(shipped), "installed keys");

    EXPECT_FALSE(paths.ensurePlayerFile(GamePaths::PlayerFile::kHighscores, problem));
    EXPECT_FALSE(problem.empty());
    // Only the player's folders were made: nothing new under the prefix.
    std::size_t files = 0;
    for (const auto &entry : fs::recursive_directory_iterator(dir.path() / "prefix"))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 3u);
}

TEST_F(GamePathsTest, TheDatasOwnFilesNameOthersRelativeToTheDataFolder) {
    GamePaths::Environment env = installed();
    const GamePaths paths = resolved(env);
    const std::string data = root + "prefix/share/panzerfeld/";
    EXPECT_EQ(paths.dataFile("config/fahrzeuge/tank.ini"), data + "config/fahrzeuge/tank.ini");
    EXPECT_EQ(paths.dataFile("data/config/fahrzeuge/tank.ini"), data + "config/fahrzeuge/tank.ini"); // older files
    EXPECT_EQ(paths.dataFile("/opt/mod/tank.ini"), "/opt/mod/tank.ini");
    EXPECT_EQ(GamePaths::inCheckout().dataFile("data/config/a.ini"), "data/config/a.ini");
}

} // namespace
