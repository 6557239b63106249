// Checks of the shipped configuration files under data/config/: every file is complete and
// parses into single-line values, the settings fit the way the game draws and reads keys,
// and every file that an index names exists.
#include "config/KeyNames.h"
#include "IniPairs.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kRoot = PANZER_SOURCE_DIR;
const fs::path kConfig = kRoot / "data" / "config";

// The pairs of a file, with failures for a missing end marker, values that ran over
// several lines, and any of the `required` keys that is absent.
std::map<std::string, std::string> readChecked(const fs::path &file,
                                               const std::vector<std::string> &required) {
    EXPECT_TRUE(fs::is_regular_file(file)) << file;
    bool complete = false;
    const auto pairs = readIniPairs(file, &complete);
    EXPECT_TRUE(complete) << file << " does not end with EndConfigFile";
    for (const auto &[key, value] : pairs)
        EXPECT_EQ(value.find('\n'), std::string::npos)
            << file << ": the value of " << key << " runs over two lines";
    for (const std::string &key : required)
        EXPECT_EQ(pairs.count(key), 1u) << file << " lacks " << key;
    return pairs;
}

bool isTrue(const std::string &value) {
    std::string upper;
    for (char c : value)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return !(upper == "FALSE" || upper == "F" || upper == "NO" || upper == "N" || upper == "0" ||
             upper == "NONE");
}

// Numbered index entries name1/path1, name2/path2, ... up to the first gap.
std::vector<std::pair<std::string, std::string>> indexEntries(const std::map<std::string, std::string> &index,
                                                              const std::string &nameStem,
                                                              const std::string &pathStem) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (int n = 1; index.count(nameStem + std::to_string(n)); ++n) {
        const std::string suffix = std::to_string(n);
        EXPECT_EQ(index.count(pathStem + suffix), 1u) << "entry " << n << " has no " << pathStem;
        entries.emplace_back(index.at(nameStem + suffix),
                             index.count(pathStem + suffix) ? index.at(pathStem + suffix) : "");
    }
    return entries;
}

} // namespace

TEST(DataConfigCheck, WindowSettingsShowTheMenuAndTheScene) {
    std::vector<std::string> keys = {"reswidth",
                                     "resheight",
                                     "windowname",
                                     "fullscreenmode",
                                     "colordepth",
                                     "glut_rgba",
                                     "glut_rgb",
                                     "glut_index",
                                     "glut_single",
                                     "glut_double",
                                     "glut_accum",
                                     "glut_stencil",
                                     "glut_depth",
                                     "gl_flat",
                                     "gl_smooth",
                                     "gl_depth_test",
                                     "gl_clear_depth",
                                     "gl_clear_color_red",
                                     "gl_clear_color_green",
                                     "gl_clear_color_blue",
                                     "gl_clear_color_alpha"};
    const std::vector<std::string> functions = {"never",   "less",     "equal",  "lequal",
                                                "greater", "notequal", "gequal", "always"};
    for (const std::string &f : functions)
        keys.push_back("gl_depth_func_" + f);
    const auto glut = readChecked(kConfig / "glutconfig.ini", keys);

    EXPECT_TRUE(isTrue(glut.at("glut_double")));
    EXPECT_TRUE(isTrue(glut.at("glut_depth")));
    EXPECT_TRUE(isTrue(glut.at("glut_rgba")));
    EXPECT_FALSE(isTrue(glut.at("glut_index")));
    EXPECT_TRUE(isTrue(glut.at("gl_depth_test")));
    // The last true flag wins; the menu's pictures all lie at one depth, so it must let equal depths pass.
    std::string chosen;
    for (const std::string &f : functions)
        if (isTrue(glut.at("gl_depth_func_" + f)))
            chosen = f;
    EXPECT_TRUE(chosen == "lequal" || chosen == "always") << "depth function " << chosen;
    for (const char *channel : {"red", "green", "blue"})
        EXPECT_LT(std::atof(glut.at(std::string("gl_clear_color_") + channel).c_str()), 0.2)
            << "clear colour";

    const auto menu = readChecked(kConfig / "mainmenu.ini", {"definitionresx", "definitionresy", "backimg"});
    EXPECT_EQ(glut.at("reswidth"), menu.at("definitionresx"));
    EXPECT_EQ(glut.at("resheight"), menu.at("definitionresy"));
}

TEST(DataConfigCheck, PlayerKeysAreDistinctAndShareNoCodeWithOtherControls) {
    const std::vector<std::string> playerKeys = {"buttonup1",    "buttondown1", "buttonleft1", "buttonright1",
                                                 "shoot1",       "buttonup2",   "buttondown2", "buttonleft2",
                                                 "buttonright2", "shoot2"};
    std::vector<std::string> keys = playerKeys;
    for (const char *k : {"playername1", "playername2", "buttonmap", "buttonpause", "zoomin", "zoomout"})
        keys.push_back(k);
    const auto players = readChecked(kConfig / "playerconfig.ini", keys);

    const int zoomIn = std::atoi(players.at("zoomin").c_str()),
              zoomOut = std::atoi(players.at("zoomout").c_str());
    EXPECT_EQ(zoomIn, '+');
    EXPECT_EQ(zoomOut, '-');
    std::set<int> seen = {zoomIn, zoomOut, KeyNames::fromValue(players.at("buttonmap")),
                          KeyNames::fromValue(players.at("buttonpause"))};
    EXPECT_EQ(seen.size(), 4u) << "the zoom, minimap and pause keys are distinct";
    for (const std::string &key : playerKeys) {
        const int code = KeyNames::fromValue(players.at(key));
        ASSERT_NE(code, KeyNames::kNone) << key << " names no key";
        EXPECT_TRUE(seen.insert(KeyNames::fold(code)).second) << key << " repeats another key";
        EXPECT_FALSE(code >= KeyNames::special(1) && code <= KeyNames::special(12))
            << key << " is a function key";
        EXPECT_NE(code, 27) << key << " is Escape";
    }
}

TEST(DataConfigCheck, VehicleTypesAreCompleteAndPlausible) {
    const auto index = readChecked(kConfig / "fahrzeugconfig.ini", {"fahrzeugname1", "fahrzeugpath1"});
    const auto entries = indexEntries(index, "fahrzeugname", "fahrzeugpath");
    ASSERT_FALSE(entries.empty());
    for (const auto &[name, path] : entries) {
        const auto type =
            readChecked(kRoot / "data" / path, {"accel", "turningrate", "maxspeedforward", "maxspeedreturn",
                                       "posturmx", "posturmy", "posturmz", "muendungposx", "muendungposy",
                                       "muendungposz", "life", "maxlife", "ammunition", "model"});
        auto number = [&](const char *key) { return std::atof(type.at(key).c_str()); };
        EXPECT_GT(number("accel"), 0.0) << name;
        EXPECT_GT(number("turningrate"), 0.0) << name;
        EXPECT_GT(number("maxspeedforward"), 0.0) << name;
        EXPECT_LT(number("maxspeedreturn"), 0.0) << name << ": the reverse limit is a negative speed";
        EXPECT_GT(number("life"), 0.0) << name;
        EXPECT_LE(number("life"), number("maxlife")) << name;
        // Only a mount on the vertical axis keeps its place when the tank turns.
        EXPECT_EQ(number("posturmx"), 0.0) << name;
        EXPECT_EQ(number("posturmz"), 0.0) << name;
        EXPECT_GT(number("posturmy"), 0.0) << name;
        EXPECT_GT(number("muendungposz"), 0.0) << name << ": the gun points forward";
        EXPECT_EQ(fs::path(type.at("model")).extension(), ".md2") << name;
    }
}

TEST(DataConfigCheck, WeaponAndPowerUpIndexesNameExistingFiles) {
    const auto weapons = readChecked(kConfig / "weaponconfig.ini", {"weaponname1", "weaponpath1"});
    const auto weaponEntries = indexEntries(weapons, "weaponname", "weaponpath");
    ASSERT_FALSE(weaponEntries.empty());
    for (const auto &[name, path] : weaponEntries) {
        const auto weapon =
            readChecked(kRoot / "data" / path, {"explosiontime", "reloadtime", "shootdelay", "speed", "weaponpower"});
        // The explosion time is read as a whole number; a fraction would be silently cut off.
        EXPECT_EQ(weapon.at("explosiontime").find('.'), std::string::npos) << name;
        EXPECT_GT(std::atof(weapon.at("speed").c_str()), 0.0) << name;
        EXPECT_GT(std::atof(weapon.at("shootdelay").c_str()), 0.0) << name;
    }

    const auto powerUps = readChecked(kConfig / "powerups.ini", {"powerupnam1", "poweruppath1"});
    const auto powerUpEntries = indexEntries(powerUps, "powerupnam", "poweruppath");
    ASSERT_FALSE(powerUpEntries.empty());
    for (const auto &[name, path] : powerUpEntries)
        EXPECT_TRUE(fs::is_regular_file(kRoot / "data" / path)) << name << ": " << path;
}

TEST(DataConfigCheck, ReaderFollowsTheGamesSyntax) {
    TempDir dir;
    bool complete = false;
    const auto pairs = readIniPairs(dir.write("t.ini", "a = 1 # one\n"
                                                       "name = Big Tank\n"
                                                       "second line\n"
                                                       "\n"
                                                       "x = 5\n"
                                                       "# only a comment\n"
                                                       "7\n"
                                                       "k = 1 = 2\r\n"
                                                       "EndConfigFile\n"
                                                       "c = 3\n"),
                                    &complete);
    EXPECT_TRUE(complete);
    EXPECT_EQ(pairs.at("a"), "1");
    EXPECT_EQ(pairs.at("name"), "Big Tank\nsecond line");
    EXPECT_EQ(pairs.at("x"), "5\n7");
    EXPECT_EQ(pairs.at("k"), "1 = 2");
    EXPECT_EQ(pairs.count("c"), 0u);
    readIniPairs(dir.write("open.ini", "a = 1\n"), &complete);
    EXPECT_FALSE(complete);
}
