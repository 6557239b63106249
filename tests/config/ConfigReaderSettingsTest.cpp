#include "config/ConfigFile.h"
#include "config/ConfigReader.h"
#include "config/KeyNames.h"

#include "support/TempDir.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using Pairs = std::map<std::string, std::string>;

std::string render(const Pairs &pairs) {
    std::string text = "# written by the test\n";
    for (const auto &p : pairs) {
        text += p.first + " = " + p.second + "\n";
    }
    return text + "EndConfigFile\n";
}

Pairs glutPairs() {
    Pairs p = {{"reswidth", "1024"},
               {"resheight", "768"},
               {"winposwidth", "10"},
               {"winposheight", "20"},
               {"windowname", "Panzerfeld"},
               {"fullscreenmode", "false"},
               {"colordepth", "32"},
               {"gl_flat", "false"},
               {"gl_smooth", "true"},
               {"gl_depth_test", "true"},
               {"gl_clear_depth", "1.0"},
               {"gl_clear_color_red", "0.1"},
               {"gl_clear_color_green", "0.2"},
               {"gl_clear_color_blue", "0.3"},
               {"gl_clear_color_alpha", "0.4"}};
    for (const char *flag : {"rgba", "rgb", "index", "single", "double", "accum", "stencil", "depth"}) {
        p[std::string("glut_") + flag] = "false";
    }
    for (const char *func : {"never", "less", "equal", "lequal", "greater", "notequal", "gequal", "always"}) {
        p[std::string("gl_depth_func_") + func] = "false";
    }
    return p;
}

Pairs playerPairs() {
    return {{"buttonup1", "w"},    {"buttondown1", "s"},    {"buttonleft1", "a"},  {"buttonright1", "d"},
            {"shoot1", "q"},       {"buttonup2", "i"},      {"buttondown2", "k"},  {"buttonleft2", "j"},
            {"buttonright2", "l"}, {"shoot2", "u"},         {"buttonmap", "m"},    {"zoomin", "43"},
            {"zoomout", "45"},     {"playername1", "Anna"}, {"playername2", "Ben"}};
}

// A mainmenu.ini with `items` items; five is a file from before the network item.
Pairs menuPairs(int items = 6) {
    Pairs p = {{"backimg", "back.png"}, {"definitionresx", "800"}, {"definitionresy", "600"}};
    for (int i = 1; i <= items; ++i) {
        const std::string n = std::to_string(i);
        p["item" + n + "y"] = std::to_string(0.1 * i);
        p["item" + n + "x"] = std::to_string(i);
        p["item" + n + "img"] = "item" + n + ".png";
        p["item" + n + "imgover"] = "item" + n + "over.png";
        p["item" + n + "imgx"] = std::to_string(100 + i);
        p["item" + n + "imgy"] = std::to_string(50 + i);
    }
    return p;
}

// A data/config tree in a temporary folder that is the working directory for the test.
class SettingsFiles : public ::testing::Test {
  protected:
    void write(const std::string &file, const Pairs &pairs) {
        dir.write("data/config/" + file, render(pairs));
    }

    TempDir dir;
    ScopedCwd cwd{dir.path()};
};

TEST_F(SettingsFiles, GlutConfigReadsEveryField) {
    Pairs p = glutPairs();
    p["glut_double"] = "true";
    p["glut_depth"] = "yes";
    p["glut_rgba"] = "1";
    write("glutconfig.ini", p);

    GlutConfig gc = ConfigReader::ReadGlutConfig();
    EXPECT_EQ(gc.getResolution().getWidth(), 1024);
    EXPECT_EQ(gc.getResolution().getHeight(), 768);
    EXPECT_EQ(gc.getWindowPos().getWidth(), 10);
    EXPECT_EQ(gc.getWindowPos().getHeight(), 20);
    EXPECT_EQ(gc.getWindow_name(), "Panzerfeld");
    EXPECT_EQ(gc.getGameMode(), "1024x768:32");
    EXPECT_EQ(gc.getColorDepth(), 32);
    EXPECT_FALSE(gc.isFullscreen());
    EXPECT_EQ(gc.getDisplayMode(), 18);
    EXPECT_EQ(gc.getDisplayMode(), GLUT_DOUBLE | GLUT_DEPTH | GLUT_RGBA);
    EXPECT_TRUE(gc.isGlutRgba() && gc.isGlutDouble() && gc.isGlutDepth());
    EXPECT_FALSE(gc.isGlutRgb() || gc.isGlutIndex() || gc.isGlutSingle() || gc.isGlutAccum() ||
                 gc.isGlutStencil());
    EXPECT_FALSE(gc.isGlFlat());
    EXPECT_TRUE(gc.isGlSmooth());
    EXPECT_TRUE(gc.isGlDepthTest());
    EXPECT_EQ(gc.getGlDepthFuncValue(), 0); // no flag set: left for OpenGL to report
    EXPECT_NEAR(gc.getGlClearDepth(), 1.0f, 1e-6f);
    EXPECT_NEAR(gc.getGlClearColorRed(), 0.1f, 1e-6f);
    EXPECT_NEAR(gc.getGlClearColorGreen(), 0.2f, 1e-6f);
    EXPECT_NEAR(gc.getGlClearColorBlue(), 0.3f, 1e-6f);
    EXPECT_NEAR(gc.getGlClearColorAlpha(), 0.4f, 1e-6f);

    GlutConfig copy = gc; // copies every field
    EXPECT_EQ(copy.getGameMode(), gc.getGameMode());
    EXPECT_EQ(copy.getDisplayMode(), gc.getDisplayMode());
}

TEST_F(SettingsFiles, GlutDisplayModeUsesTheGlutBits) {
    Pairs p = glutPairs();
    for (const char *flag : {"rgba", "rgb", "index", "single", "double", "accum", "stencil", "depth"}) {
        p[std::string("glut_") + flag] = "true";
    }
    write("glutconfig.ini", p);
    EXPECT_EQ(ConfigReader::ReadGlutConfig().getDisplayMode(), GLUT_RGBA | GLUT_RGB | GLUT_INDEX |
                                                                   GLUT_SINGLE | GLUT_DOUBLE | GLUT_ACCUM |
                                                                   GLUT_STENCIL | GLUT_DEPTH);
}

TEST_F(SettingsFiles, GlutDepthFunctionLastFlagWins) {
    const std::pair<const char *, int> funcs[] = {
        {"never", GL_NEVER},     {"less", GL_LESS},         {"equal", GL_EQUAL},   {"lequal", GL_LEQUAL},
        {"greater", GL_GREATER}, {"notequal", GL_NOTEQUAL}, {"gequal", GL_GEQUAL}, {"always", GL_ALWAYS}};
    for (const auto &f : funcs) {
        Pairs p = glutPairs();
        p[std::string("gl_depth_func_") + f.first] = "true";
        write("glutconfig.ini", p);
        EXPECT_EQ(ConfigReader::ReadGlutConfig().getGlDepthFuncValue(), f.second) << f.first;
    }

    Pairs p = glutPairs();
    p["gl_depth_func_less"] = "true";
    p["gl_depth_func_lequal"] = "true";
    write("glutconfig.ini", p);
    EXPECT_EQ(ConfigReader::ReadGlutConfig().getGlDepthFuncValue(), GL_LEQUAL);
}

TEST_F(SettingsFiles, GlutOptionalAndRequiredKeys) {
    Pairs p = glutPairs();
    p.erase("winposwidth");
    p.erase("winposheight");
    write("glutconfig.ini", p);
    GlutConfig gc = ConfigReader::ReadGlutConfig();
    EXPECT_EQ(gc.getWindowPos().getWidth(), 0);
    EXPECT_EQ(gc.getWindowPos().getHeight(), 0);

    // Its int read has a default, but the game-mode string needs the text.
    p = glutPairs();
    p.erase("reswidth");
    write("glutconfig.ini", p);
    testing::internal::CaptureStderr();
    try {
        ConfigReader::ReadGlutConfig();
        FAIL() << "no exception";
    } catch (const ConfigFile::key_not_found &e) {
        EXPECT_EQ(e.key, "reswidth");
    }
    EXPECT_NE(testing::internal::GetCapturedStderr().find("glutconfig.ini"), std::string::npos);

    for (const char *required :
         {"windowname", "glut_stencil", "gl_clear_depth", "gl_depth_func_always", "gl_clear_color_alpha"}) {
        p = glutPairs();
        p.erase(required);
        write("glutconfig.ini", p);
        testing::internal::CaptureStderr();
        EXPECT_THROW(ConfigReader::ReadGlutConfig(), ConfigFile::key_not_found) << required;
        testing::internal::GetCapturedStderr();
    }
}

TEST_F(SettingsFiles, MissingSettingsFilesThrow) {
    testing::internal::CaptureStderr();
    EXPECT_THROW(ConfigReader::ReadGlutConfig(), ConfigFile::file_not_found);
    EXPECT_THROW(ConfigReader::ReadPlayerConfig(), ConfigFile::file_not_found);
    EXPECT_THROW(ConfigReader::ReadMainMenuDefinition(), ConfigFile::file_not_found);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Error: "), std::string::npos);
    EXPECT_NE(err.find("data/config/playerconfig.ini"), std::string::npos);
}

TEST_F(SettingsFiles, PlayerConfigKeysAndNames) {
    write("playerconfig.ini", playerPairs());
    PlayerConfig pc = ConfigReader::ReadPlayerConfig();
    EXPECT_EQ(pc.getUpButton1(), 'w');
    EXPECT_EQ(pc.getDownButton1(), 's');
    EXPECT_EQ(pc.getLeftButton1(), 'a');
    EXPECT_EQ(pc.getRightButton1(), 'd');
    EXPECT_EQ(pc.getShootButton1(), 'q');
    EXPECT_EQ(pc.getUpButton2(), 'i');
    EXPECT_EQ(pc.getDownButton2(), 'k');
    EXPECT_EQ(pc.getLeftButton2(), 'j');
    EXPECT_EQ(pc.getRightButton2(), 'l');
    EXPECT_EQ(pc.getShootButton2(), 'u');
    EXPECT_EQ(pc.getMapButton(), 'm');
    EXPECT_EQ(pc.getZoomIn(), '+');  // 43
    EXPECT_EQ(pc.getZoomOut(), '-'); // 45
    EXPECT_EQ(pc.getPlayerName1(), "Anna");
    EXPECT_EQ(pc.getPlayerName2(), "Ben");
    EXPECT_EQ(pc.getPlayerName(1), "Ben");
    EXPECT_EQ(pc.getPlayerName(2), "Player Three"); // absent from files of two players
    EXPECT_EQ(pc.getPlayerName(3), "Player Four");
    EXPECT_EQ(pc.getPlayerName(4), "");

    EXPECT_EQ(pc.getPauseButton(), 'p'); // absent from older files
    EXPECT_EQ(pc.getScreenshotButton(), KeyNames::special(KeyNames::kGlutInsert));
    EXPECT_EQ(pc.getZoomIn2(), KeyNames::special(KeyNames::kGlutPageUp));
    EXPECT_EQ(pc.getZoomOut2(), KeyNames::special(KeyNames::kGlutPageDown));

    // A single character reads as written; longer values are key names.
    Pairs p = playerPairs();
    p["buttonup1"] = "W";
    p["shoot2"] = "  Enter";
    p["buttonleft2"] = "left";
    p["buttonpause"] = "f9";
    p["zoomin2"] = "home";
    p["zoomout2"] = "9";
    p["screenshot"] = "f12";
    p["playername3"] = "Clara";
    p["playername4"] = "Dieter";
    write("playerconfig.ini", p);
    pc = ConfigReader::ReadPlayerConfig();
    EXPECT_EQ(pc.getPlayerName(2), "Clara");
    EXPECT_EQ(pc.getPlayerName(3), "Dieter");
    EXPECT_EQ(pc.getZoomIn2(), KeyNames::special(106));
    EXPECT_EQ(pc.getZoomOut2(), '9');
    EXPECT_EQ(pc.getScreenshotButton(), KeyNames::special(12));
    EXPECT_EQ(pc.getUpButton1(), 'W');
    EXPECT_EQ(pc.getShootButton2(), 13);
    EXPECT_EQ(pc.getLeftButton2(), KeyNames::special(KeyNames::kGlutLeft));
    EXPECT_EQ(pc.getPauseButton(), KeyNames::special(9));

    // A key bound twice: one line naming the file, the key and both actions; the default keys.
    p = playerPairs();
    p["shoot2"] = "W";
    write("playerconfig.ini", p);
    testing::internal::CaptureStderr();
    pc = ConfigReader::ReadPlayerConfig();
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("Error: ", 0), 0u) << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    for (const char *word : {"playerconfig.ini", "\"w\"", "buttonup1", "shoot2"})
        EXPECT_NE(err.find(word), std::string::npos) << word << " in " << err;
    EXPECT_EQ(pc.getUpButton1(), 'w');
    EXPECT_EQ(pc.getShootButton2(), 13);
    EXPECT_EQ(pc.getPlayerName2(), "Ben");

    p = playerPairs();
    p.erase("zoomout");
    write("playerconfig.ini", p);
    testing::internal::CaptureStderr();
    EXPECT_THROW(ConfigReader::ReadPlayerConfig(), ConfigFile::key_not_found);
    testing::internal::GetCapturedStderr();
}

TEST_F(SettingsFiles, PlayerConfigRejectsKeyCodesOutsideTheKeyTable) {
    struct Case {
        const char *key;
        const char *value;
    };
    const Case cases[] = {{"zoomin", "128"},  {"zoomin", "255"},         {"zoomout", "-1"},
                          {"zoomout", "300"}, {"zoomin", "99999999999"}, {"buttonup1", "\xc3\xa4"},
                          {"shoot2", "\xff"}, {"buttonmap", "\x80"}, {"shoot1", "xyz"}};
    for (const Case &c : cases) {
        Pairs p = playerPairs();
        p[c.key] = c.value;
        write("playerconfig.ini", p);
        testing::internal::CaptureStderr();
        try {
            ConfigReader::ReadPlayerConfig();
            ADD_FAILURE() << c.key << " = " << c.value << " was accepted";
        } catch (const ConfigReader::invalid_value &e) {
            EXPECT_EQ(e.key, c.key);
            EXPECT_EQ(e.value, c.value);
            EXPECT_EQ(e.filename, "data/config/playerconfig.ini");
        }
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(err.rfind("Error: ", 0), 0u) << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << "one line: " << err;
        EXPECT_NE(err.find("playerconfig.ini"), std::string::npos) << err;
        EXPECT_NE(err.find(c.key), std::string::npos) << err;
        EXPECT_NE(err.find(c.value), std::string::npos) << err;
    }


    // The edges of the table and values that read as 0 are accepted.
    Pairs p = playerPairs();
    p["zoomin"] = "127";
    p["zoomout"] = "0";
    p["buttonmap"] = "\x7e";
    write("playerconfig.ini", p);
    PlayerConfig pc = ConfigReader::ReadPlayerConfig();
    EXPECT_EQ(pc.getZoomIn(), 127);
    EXPECT_EQ(pc.getZoomOut(), 0);
    EXPECT_EQ(pc.getMapButton(), 126);
    p["zoomin"] = "plus";
    p["buttonup2"] = "";
    write("playerconfig.ini", p);
    pc = ConfigReader::ReadPlayerConfig();
    EXPECT_EQ(pc.getZoomIn(), 0);
    EXPECT_EQ(pc.getUpButton2(), '\0');
}

TEST_F(SettingsFiles, MainMenuDefinitionReadsEveryItem) {
    write("mainmenu.ini", menuPairs());
    MainMenuDefinition mm = ConfigReader::ReadMainMenuDefinition();
    for (int i = 1; i <= 6; ++i) {
        const std::string n = std::to_string(i);
        EXPECT_TRUE(mm.hasItem(i)) << i;
        EXPECT_NEAR(mm.getItemY(i), 0.1 * i, 1e-6) << i;
        EXPECT_NEAR(mm.getItemX(i), i, 1e-12) << i;
        EXPECT_EQ(mm.getItemImg(i), "item" + n + ".png");
        EXPECT_EQ(mm.getItemImgOver(i), "item" + n + "over.png");
        EXPECT_EQ(mm.getItemImgX(i), 100 + i);
        EXPECT_EQ(mm.getItemImgY(i), 50 + i);
    }
    // The named accessors address the same items.
    EXPECT_NEAR(mm.getItem1y(), 0.1, 1e-6);
    EXPECT_NEAR(mm.getItem5x(), 5.0, 1e-12);
    EXPECT_EQ(mm.getItem3Img(), "item3.png");
    EXPECT_EQ(mm.getItem4ImgOver(), "item4over.png");
    EXPECT_EQ(mm.getItemImg2x(), 102);
    EXPECT_EQ(mm.getItemImg5y(), 55);
    EXPECT_EQ(mm.getBackImg(), "back.png");
    EXPECT_EQ(mm.getDefinitionResX(), 800);
    EXPECT_EQ(mm.getDefinitionResY(), 600);
    // Item numbers outside 1..6 are harmless.
    EXPECT_EQ(mm.getItemImgX(0), 0);
    EXPECT_EQ(mm.getItemImg(7), "");
    EXPECT_FALSE(mm.hasItem(7));
    mm.setItemY(9, 1.0);

    // A file from before the network item reads as it did, without a sixth item.
    write("mainmenu.ini", menuPairs(5));
    mm = ConfigReader::ReadMainMenuDefinition();
    EXPECT_TRUE(mm.hasItem(5));
    EXPECT_EQ(mm.getItemImgOver(5), "item5over.png");
    EXPECT_FALSE(mm.hasItem(6));
    EXPECT_EQ(mm.getItemImgX(6), 0);
    EXPECT_EQ(mm.getItemY(6), 0.0);

    // A sixth item named by its picture needs the rest of its keys; the first five always do.
    for (const char *missing : {"item6imgy", "item5img"}) {
        Pairs p = menuPairs();
        p.erase(missing);
        write("mainmenu.ini", p);
        testing::internal::CaptureStderr();
        try {
            ConfigReader::ReadMainMenuDefinition();
            ADD_FAILURE() << "no exception without " << missing;
        } catch (const ConfigFile::key_not_found &e) {
            EXPECT_EQ(e.key, missing);
        }
        testing::internal::GetCapturedStderr();
    }

    Pairs p = menuPairs();
    p.erase("definitionresy");
    write("mainmenu.ini", p);
    testing::internal::CaptureStderr();
    try {
        ConfigReader::ReadMainMenuDefinition();
        FAIL() << "no exception";
    } catch (const ConfigFile::key_not_found &e) {
        EXPECT_EQ(e.key, "definitionresy");
    }
    testing::internal::GetCapturedStderr();
}

} // namespace
