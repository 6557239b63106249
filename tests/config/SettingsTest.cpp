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
    EXPECT_FALSE(settings.getFrameRateLine()); // a player's game, not a developer's

    settings.setDifficulty(AiDifficulty::Hard);
    settings.setMute(true);
    settings.setMasterVolume(35);
    settings.setRenderMode(3);
    settings.setMiniMapAlways(true);
    settings.setPlayers(1);
    EXPECT_FALSE(settings.getSplitStacked()); // side by side unless chosen
    settings.setSplitStacked(true);
    settings.setFrameRateLine(true);
    ASSERT_TRUE(settings.write(path));
    const Settings back = Settings::read(path);
    EXPECT_EQ(back.toText(), settings.toText());
    EXPECT_TRUE(back.getFrameRateLine());
    EXPECT_EQ(back.getPlayers(), 1);
    EXPECT_TRUE(back.getSplitStacked());

    for (const char *broken :
         {"mastervolume = 101\n", "difficulty = insane\n", "shadows\n", "mute = 1\x01\n", "players = 5\n",
          "players = 0\n", "splitscreen = diagonal\n", "deadzone = 51\n", "rumble = 2\n", "padfire = z\n",
          "padpause = Start\n", "framerate = on\n", "pad1 = 0300zz\n", "padfire = start\n"}) {
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

TEST(SettingsTest, PadsAreOptionalKeysAndTheirIdentitiesKeepTheirHash) {
    TempDir dir;
    const std::string path = (dir.path() / "settings.ini").string();
    // A file written before pads were known: everything as it says, the pads as they come.
    dir.write("settings.ini", "# old\nshadows = 0\nplayers = 1\nsplitscreen = stacked\nEndConfigFile\n");
    testing::internal::CaptureStderr();
    Settings settings = Settings::read(path);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(settings.getShadows());
    EXPECT_EQ(settings.getPlayers(), 1);
    EXPECT_EQ(settings.getDeadZone(), 12);
    EXPECT_TRUE(settings.getRumble());
    EXPECT_EQ(settings.getPadId(0), "");
    EXPECT_TRUE(settings.getPadBindings() == PadBindings::defaults());

    const std::string xbox = "030000005e0400008e02000014010000#0";
    EXPECT_TRUE(settings.setPadId(0, xbox));
    EXPECT_TRUE(settings.setPadId(3, std::string(64, 'f')));
    for (const std::string &refused :
         {std::string("03000000 5e04"), std::string(65, 'a'), std::string("pad!")})
        EXPECT_FALSE(settings.setPadId(1, refused)) << refused;
    EXPECT_FALSE(settings.setPadId(4, "ab"));
    EXPECT_EQ(settings.getPadId(4), "");
    settings.setPlayers(4);
    settings.setDeadZone(50);
    settings.setRumble(false);
    PadBindings buttons = PadBindings::defaults();
    buttons.set(PadBindings::kFire, PadButton::X);
    settings.setPadBindings(buttons);
    ASSERT_TRUE(settings.write(path));
    const std::string text = TempDir::read(path);
    EXPECT_NE(text.find("padfire = x\n"), std::string::npos) << text;
    Settings back = Settings::read(path);
    EXPECT_EQ(back.toText(), text);
    EXPECT_EQ(back.getPadId(0), xbox);
    EXPECT_EQ(back.getPadId(1), "");
    EXPECT_EQ(back.getPlayers(), 4);
    EXPECT_EQ(back.getDeadZone(), 50);
    EXPECT_FALSE(back.getRumble());
    EXPECT_TRUE(back.getPadBindings() == buttons);

    // A comment after a pad's name is still a comment; elsewhere "#" starts one as it always did.
    dir.write("settings.ini", "pad2 = 03ab#1   # the pad by the door\ndeadzone = 20# wide\npad3 = # none\n"
                              "padzoomin = rightstick\n");
    testing::internal::CaptureStderr();
    back = Settings::read(path);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(back.getPadId(1), "03ab#1");
    EXPECT_EQ(back.getPadId(2), "");
    EXPECT_EQ(back.getDeadZone(), 20);
    EXPECT_EQ(back.getPadBindings().get(PadBindings::kZoomIn), PadButton::RightStick);

    // One button for two actions is refused like any other value out of range.
    dir.write("settings.ini", "rendermode = 3\npadfire = back\n");
    testing::internal::CaptureStderr();
    back = Settings::read(path);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("padfire"), std::string::npos) << err;
    EXPECT_NE(err.find("padleave"), std::string::npos) << err;
    EXPECT_EQ(back.getRenderMode(), 1);
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
