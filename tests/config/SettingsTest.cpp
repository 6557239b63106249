#include "config/Settings.h"
#include "config/ConfigReader.h"
#include "config/IniEditor.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(SettingsTest, MissingIsDefaultBrokenIsOneErrorAndDefaultWrittenReadsBack) {
    TempDir dir;
    const std::string path = (dir.path() / "settings.ini").string();
    testing::internal::CaptureStderr();
    Settings settings = Settings::read(path);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(settings.getDifficulty(), AiDifficulty::Normal);
    EXPECT_EQ(settings.getEngineVolume(), 80);

    settings.setDifficulty(AiDifficulty::Hard);
    settings.setMute(true);
    settings.setMasterVolume(35);
    settings.setRenderMode(3);
    settings.setMiniMapAlways(true);
    settings.setPlayers(1);
    EXPECT_FALSE(settings.getSplitStacked()); // side by side unless chosen
    settings.setSplitStacked(true);
    ASSERT_TRUE(settings.write(path));
    const Settings back = Settings::read(path);
    EXPECT_EQ(back.toText(), settings.toText());
    EXPECT_EQ(back.getPlayers(), 1);
    EXPECT_TRUE(back.getSplitStacked());

    for (const char *broken : {"mastervolume = 101\n", "difficulty = insane\n", "shadows\n", "mute = 1\x01\n",
                               "players = 3\n", "splitscreen = diagonal\n"}) {
        dir.write("settings.ini", std::string("rendermode = 2\n") + broken);
        testing::internal::CaptureStderr();
        const Settings fallback = Settings::read(path);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(err.rfind("Error: ", 0), 0u) << broken;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
        EXPECT_NE(err.find("settings.ini"), std::string::npos) << err;
        EXPECT_EQ(fallback.getRenderMode(), 1) << "the defaults, all of them: " << broken;
    }
}

TEST(IniEditorTest, ChangesOnlyTheValuesAskedFor) {
    const std::string text =
        "# keys\r\nbuttonup1 = s  # forward\r\nshoot1=a\r\nplayername1 = Anna\r\nEndConfigFile\r\n";
    const std::string out =
        IniEditor::replaceValues(text, {{"buttonup1", "w"}, {"shoot1", "space"}, {"buttonpause", "p"}});
    EXPECT_EQ(out, "# keys\r\nbuttonup1 = w # forward\r\nshoot1=space\r\nplayername1 = Anna\r\nbuttonpause = "
                   "p\nEndConfigFile\r\n");
}

TEST(HighscoreFileTest, MissingIsEmptyRejectedIsKeptAsideAndBestTenAreKept) {
    TempDir dir;
    const std::filesystem::path path = dir.path() / "highscore.ini";
    testing::internal::CaptureStderr();
    EXPECT_EQ(ConfigReader::LoadHighscores(path.string()).getSize(), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    for (const char *broken :
         {"name1=Red\r\n", "name1=Red\r\nscore1=lots\r\n", "name1=R\x02\r\nscore1=5\r\n"}) {
        dir.write("highscore.ini", broken);
        std::filesystem::remove(path.string() + ".bad");
        testing::internal::CaptureStderr();
        EXPECT_EQ(ConfigReader::LoadHighscores(path.string()).getSize(), -1);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(err.rfind("Error: ", 0), 0u) << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
        EXPECT_FALSE(std::filesystem::exists(path)) << "a rejected file is never overwritten in place";
        EXPECT_EQ(TempDir::read(path.string() + ".bad"), broken);
    }

    std::string many;
    for (int i = 1; i <= 12; ++i)
        many += "name" + std::to_string(i) + "=P" + std::to_string(i) + "\nscore" + std::to_string(i) + "=" +
                std::to_string(i * 10) + "\n";
    dir.write("highscore.ini", many);
    const Highscore table = ConfigReader::LoadHighscores(path.string());
    ASSERT_EQ(table.getSize(), Highscore::kKept - 1);
    EXPECT_EQ(table.getAllHighscoreElements()[0].getPunkte(), 30);
    EXPECT_FALSE(table.qualifies(30));
    EXPECT_TRUE(table.qualifies(31));
    EXPECT_FALSE(Highscore().qualifies(0)) << "no points, no entry";
}

} // namespace
