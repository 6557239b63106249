#include "level/LevelFileReader.h"
#include "level/Level.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <sstream>

namespace {

std::unique_ptr<Level> read(const std::string &text) {
    std::istringstream in(text);
    return LevelFileReader().readLevel(in, "test.lvl");
}

const char *const kDetails = "[LEVELDETAILS]\nname=lvl1.lvl\n";

TEST(LevelFileReaderTest, KeywordTableKeepsTheFormatsOrder) {
    const LevelFileReader reader;
    EXPECT_EQ(reader.getStringValue(""), 0);
    EXPECT_EQ(reader.getStringValue("[LEVELDETAILS]"), 1);
    EXPECT_EQ(reader.getStringValue("bgpicture"), 8);
    EXPECT_EQ(reader.getStringValue("[LIGHT]"), 9);
    EXPECT_EQ(reader.getStringValue("intentsy"), 19);
    EXPECT_EQ(reader.getStringValue("[SURFACE]"), 21);
    EXPECT_EQ(reader.getStringValue("throwsshadow"), 29);
    EXPECT_EQ(reader.getStringValue("[VEHICLE]"), 30);
    EXPECT_EQ(reader.getStringValue("size"), 31);
    EXPECT_EQ(reader.getStringValue("Missionsziele"), 37);
    EXPECT_EQ(reader.getStringValue("PowerUpTyp"), 42);
    // Case and surrounding spaces matter; unknown texts map to 0.
    EXPECT_EQ(reader.getStringValue("[vehicle]"), 0);
    EXPECT_EQ(reader.getStringValue("name "), 0);
    EXPECT_EQ(reader.getStringValue("colour_r"), 0);
}

TEST(LevelFileReaderTest, ReadsEverySectionAndKey) {
    auto level = read("# the first level\n"
                      "[LEVELDETAILS]\n"
                      "name=lvl1.lvl\n"
                      "filename=lvl1\n"
                      "x1=-127.5\ny1=-100\nx2=127.5\ny2=155\n"
                      "bgpicture=ground.jpg\n"
                      "\n"
                      "[SURFACE]\n"
                      "heightmap=heightmap.png\n"
                      "[LIGHT]\n"
                      "pos_x=1\npos_y=2\npos_z=3\n"
                      "direction_x=4\ndirection_y=5\ndirection_z=6\n"
                      "color_r=0.1\ncolor_b=0.2\ncolor_g=0.3\n"
                      "intentsy=0.9\nlightnumber=2\n"
                      "[OBJECT]\n"
                      "name=house1\nmodel=house.md2\n"
                      "pos_x=10\npos_y=1.5\npos_z=-20\nrotation=45\nsize=2\n"
                      "collision=false\ndestroyable=false\nlightsource=true\nthrowsshadow=false\n"
                      "color_r=0.25\ncolor_b=0.5\ncolor_g=0.75\nstatic=true\n"
                      "[VEHICLE]\n"
                      "name=player\nmodel=tank1.md2\nowner=spieler1\nweapon=cannon\nfahrzeugtyp=tank\n"
                      "life=250\npos_x=-3\nrotation=180\n"
                      "Missionsziele\nZielname=Destroy all\nZieltyp=1\n"
                      "POWERUP\nPowerUpName=repair\nPowerUpTyp=health\npos_x=7\npos_z=8\n");
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->getLvlName(), "lvl1.lvl");
    EXPECT_EQ(level->getLvlFileName(), "lvl1");
    EXPECT_FLOAT_EQ(level->getX1(), -127.5f);
    EXPECT_FLOAT_EQ(level->getZ1(), -100.0f); // y1 is the second ground axis, z
    EXPECT_FLOAT_EQ(level->getX2(), 127.5f);
    EXPECT_FLOAT_EQ(level->getZ2(), 155.0f);
    EXPECT_EQ(level->getBGPicture(), "ground.jpg");
    EXPECT_EQ(level->getHeightMap(), "heightmap.png");

    ASSERT_EQ(level->getLightDataList().size(), 1u);
    const LightData &light = *level->getLightDataList()[0];
    EXPECT_FLOAT_EQ(light.getPos()[0], 1);
    EXPECT_FLOAT_EQ(light.getPos()[2], 3);
    EXPECT_FLOAT_EQ(light.getPos()[3], 0); // w has no key
    EXPECT_FLOAT_EQ(light.getDirection()[1], 5);
    // color_r, color_b, color_g fill the first three components in that order.
    EXPECT_FLOAT_EQ(light.getColor()[0], 0.1f);
    EXPECT_FLOAT_EQ(light.getColor()[1], 0.2f);
    EXPECT_FLOAT_EQ(light.getColor()[2], 0.3f);
    EXPECT_FLOAT_EQ(light.getColor()[3], 0.5f);
    EXPECT_FLOAT_EQ(light.getIntensity(), 0.9f);
    EXPECT_EQ(light.getLightNumber(), 2);

    ASSERT_EQ(level->getObjectDataList().size(), 1u);
    const ObjectData &house = *level->getObjectDataList()[0];
    EXPECT_EQ(house.getName(), "house1");
    EXPECT_EQ(house.getModel(), "house.md2");
    EXPECT_FLOAT_EQ(house.getPos()[0], 10);
    EXPECT_FLOAT_EQ(house.getPos()[1], 1.5f);
    EXPECT_FLOAT_EQ(house.getPos()[2], -20);
    EXPECT_FLOAT_EQ(house.getRotation(), 45);
    EXPECT_FLOAT_EQ(house.getSize(), 2);
    EXPECT_FALSE(house.isCollision());
    EXPECT_FALSE(house.isDestroyable());
    EXPECT_TRUE(house.isLightsource());
    EXPECT_FALSE(house.isThrowsShadow());
    EXPECT_FLOAT_EQ(house.getColor()[0], 0.25f);
    EXPECT_FLOAT_EQ(house.getColor()[1], 0.5f);
    EXPECT_FLOAT_EQ(house.getColor()[2], 0.75f);
    EXPECT_TRUE(house.isStatic());

    ASSERT_EQ(level->getVehicleDataList().size(), 1u);
    const VehicleData &tank = *level->getVehicleDataList()[0];
    EXPECT_EQ(tank.getName(), "player");
    EXPECT_EQ(tank.getModel(), "tank1.md2");
    EXPECT_EQ(tank.getOwner(), "spieler1");
    EXPECT_EQ(tank.getWeapon(), "cannon");
    EXPECT_EQ(tank.getFahrzeugTyp(), "tank");
    EXPECT_EQ(tank.getLife(), 250);
    EXPECT_FLOAT_EQ(tank.getPos()[0], -3);
    EXPECT_FLOAT_EQ(tank.getRotation(), 180);

    ASSERT_EQ(level->getMissionsZieleList().size(), 1u);
    EXPECT_EQ(level->getMissionsZieleList()[0]->getName(), "Destroy all");
    EXPECT_EQ(level->getMissionsZieleList()[0]->getTyp(), 1);

    ASSERT_EQ(level->getLevelPowerUps().size(), 1u);
    const LevelPowerUpData &powerUp = *level->getLevelPowerUps()[0];
    EXPECT_EQ(powerUp.getName(), "repair");
    EXPECT_EQ(powerUp.getTypName(), "health");
    EXPECT_FLOAT_EQ(powerUp.getPos()[0], 7);
    EXPECT_FLOAT_EQ(powerUp.getPos()[2], 8);
}

TEST(LevelFileReaderTest, RecordsWithoutKeysKeepTheirDefaults) {
    auto level = read(std::string(kDetails) + "[LIGHT]\n[OBJECT]\n[VEHICLE]\nMissionsziele\nPOWERUP\n");
    ASSERT_NE(level, nullptr);
    const LightData &light = *level->getLightDataList().at(0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(light.getPos()[i], 0);
        EXPECT_FLOAT_EQ(light.getColor()[i], 0.5f);
    }
    EXPECT_FLOAT_EQ(light.getIntensity(), 0.5f);
    EXPECT_EQ(light.getLightNumber(), 0);

    const ObjectData &object = *level->getObjectDataList().at(0);
    EXPECT_TRUE(object.getName().empty());
    EXPECT_FLOAT_EQ(object.getSize(), 1.0f);
    EXPECT_FLOAT_EQ(object.getRotation(), 0);
    EXPECT_TRUE(object.isCollision());
    EXPECT_TRUE(object.isDestroyable());
    EXPECT_FALSE(object.isLightsource());
    EXPECT_TRUE(object.isThrowsShadow());
    EXPECT_FALSE(object.isStatic());
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(object.getColor()[i], 1.0f);
    }

    // A vehicle without an owner belongs to the computer player, with 100 life.
    const VehicleData &vehicle = *level->getVehicleDataList().at(0);
    EXPECT_EQ(vehicle.getOwner(), "cpu");
    EXPECT_EQ(vehicle.getLife(), 100);
    EXPECT_TRUE(vehicle.getFahrzeugTyp().empty());

    const MissionsZiel &goal = *level->getMissionsZieleList().at(0);
    EXPECT_EQ(goal.getTyp(), 3);
    EXPECT_TRUE(goal.getName().empty());
    EXPECT_EQ(level->getLevelPowerUps().size(), 1u);
}

TEST(LevelFileReaderTest, LastManStandingIsTheGoalOnlyWhenTheFileNamesNone) {
    auto none = read(kDetails);
    ASSERT_NE(none, nullptr);
    ASSERT_EQ(none->getMissionsZieleList().size(), 1u);
    EXPECT_EQ(none->getMissionsZieleList()[0]->getName(), "Last Man Standing");
    EXPECT_EQ(none->getMissionsZieleList()[0]->getTyp(), 1);

    auto two = read(std::string(kDetails) + "Missionsziele\nZielname=a\nZieltyp=2\n"
                                            "Missionsziele\nZielname=b\nZieltyp=1\n");
    ASSERT_NE(two, nullptr);
    ASSERT_EQ(two->getMissionsZieleList().size(), 2u);
    EXPECT_EQ(two->getMissionsZieleList()[0]->getName(), "a");
    EXPECT_EQ(two->getMissionsZieleList()[0]->getTyp(), 2);
    EXPECT_EQ(two->getMissionsZieleList()[1]->getName(), "b");
}

TEST(LevelFileReaderTest, ConvertsLikeTheCLibraryAndComparesBooleansExactly) {
    auto level = read(std::string(kDetails) + "[VEHICLE]\n"
                                              "size=2.5abc\n"
                                              "life=\n"
                                              "pos_x=  -4.5\n"
                                              "pos_y=abc\n"
                                              "rotation=1e3\n"
                                              "collision=TRUE\n"
                                              "destroyable=true \n"
                                              "[VEHICLE]\n"
                                              "life= 42xyz\n"
                                              "collision=True\n");
    ASSERT_NE(level, nullptr);
    ASSERT_EQ(level->getVehicleDataList().size(), 2u);
    const VehicleData &first = *level->getVehicleDataList()[0];
    EXPECT_FLOAT_EQ(first.getSize(), 2.5f);
    EXPECT_EQ(first.getLife(), 0);
    EXPECT_FLOAT_EQ(first.getPos()[0], -4.5f);
    EXPECT_FLOAT_EQ(first.getPos()[1], 0.0f);
    EXPECT_FLOAT_EQ(first.getRotation(), 1000.0f);
    EXPECT_FALSE(first.isCollision());   // capitals are not "true"
    EXPECT_FALSE(first.isDestroyable()); // nor is "true" with a trailing space
    const VehicleData &second = *level->getVehicleDataList()[1];
    EXPECT_EQ(second.getLife(), 42);
    EXPECT_FALSE(second.isCollision());
}

TEST(LevelFileReaderTest, HugeNumbersSaturateInsteadOfOverflowing) {
    auto level = read(std::string(kDetails) + "x1=-1e999\nx2=1e400\n"
                                              "[VEHICLE]\nlife=99999999999999999999\n"
                                              "[VEHICLE]\nlife=-99999999999999999999\n"
                                              "[LIGHT]\nlightnumber=123456789012345\n");
    ASSERT_NE(level, nullptr);
    EXPECT_TRUE(std::isinf(level->getX1()));
    EXPECT_LT(level->getX1(), 0.0f);
    EXPECT_TRUE(std::isinf(level->getX2()));
    EXPECT_EQ(level->getVehicleDataList().at(0)->getLife(), INT_MAX);
    EXPECT_EQ(level->getVehicleDataList().at(1)->getLife(), INT_MIN);
    EXPECT_EQ(level->getLightDataList().at(0)->getLightNumber(), INT_MAX);
}

TEST(LevelFileReaderTest, AForeignKeyEndsTheSectionAndIsSkipped) {
    // "model" belongs to [OBJECT]: it ends the light, and the lines after it
    // up to the next section word are skipped one by one.
    auto level = read(std::string(kDetails) + "[LIGHT]\nlightnumber=3\nmodel=tree.md2\nlightnumber=5\n"
                                              "[OBJECT]\nname=tree\n"
                                              "name =house\n" // key "name " is no key
                                              "model=house.md2\n"
                                              "[VEHICLE]\nname=tank\nstatic=true\nlife=7\n");
    ASSERT_NE(level, nullptr);
    ASSERT_EQ(level->getLightDataList().size(), 1u);
    EXPECT_EQ(level->getLightDataList()[0]->getLightNumber(), 3);
    ASSERT_EQ(level->getObjectDataList().size(), 1u);
    EXPECT_EQ(level->getObjectDataList()[0]->getName(), "tree");
    EXPECT_TRUE(level->getObjectDataList()[0]->getModel().empty());
    ASSERT_EQ(level->getVehicleDataList().size(), 1u);
    EXPECT_EQ(level->getVehicleDataList()[0]->getName(), "tank"); // "static" ended the vehicle
    EXPECT_EQ(level->getVehicleDataList()[0]->getLife(), 100);
}

TEST(LevelFileReaderTest, SectionsRepeatAndLaterDetailsOverwrite) {
    auto level = read("[LEVELDETAILS]\nname=first\nbgpicture=a.jpg\n"
                      "# a comment inside the file\n"
                      "[OBJECT]\nname=o1\n\n# comment in a section\nmodel=m.md2\n"
                      "[OBJECT]\nname=o2\n"
                      "[LEVELDETAILS]\nname=second\n"
                      "[SURFACE]\nheightmap=h1.png\n[SURFACE]\nheightmap=h2.png\n"
                      "stray line outside any section\n"
                      "=value without key\n");
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->getLvlName(), "second");
    EXPECT_EQ(level->getBGPicture(), "a.jpg");
    EXPECT_EQ(level->getHeightMap(), "h2.png");
    ASSERT_EQ(level->getObjectDataList().size(), 2u);
    EXPECT_EQ(level->getObjectDataList()[0]->getModel(), "m.md2"); // comments and blanks do not end a section
    EXPECT_EQ(level->getObjectDataList()[1]->getName(), "o2");
}

TEST(LevelFileReaderTest, LineEndsAndLongLines) {
    // CR LF line ends are removed, a last line without line end is read in
    // full, values are not trimmed, and only 98 characters of a line count.
    const std::string longName(150, 'x');
    auto level =
        read("[LEVELDETAILS]\r\nname=crlf \r\nbgpicture=" + longName + "\n[SURFACE]\nheightmap=last.png");
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->getLvlName(), "crlf ");
    EXPECT_EQ(level->getBGPicture(), std::string(98 - 10, 'x'));
    EXPECT_EQ(level->getHeightMap(), "last.png");
}

TEST(LevelFileReaderTest, BrokenInputNeverCrashesAndNamesTheFile) {
    for (const std::string &text :
         {std::string(), std::string("\n\n\n"), std::string("garbage\n=\n==\n[[[\n"),
          std::string("\0\xff\xfe[LEVELDETAILS]\0name", 20), std::string("[OBJECT]\nname=x\nmodel=")}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(read(text), nullptr);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(err.rfind("Error: ", 0), 0u) << err;
        EXPECT_NE(err.find("test.lvl"), std::string::npos) << err;
    }

    // A file cut off in the middle of a section keeps what it had.
    auto truncated = read("[LEVELDETAILS]\nname=cut\n[VEHICLE]\nname=t\nowner=spie");
    ASSERT_NE(truncated, nullptr);
    ASSERT_EQ(truncated->getVehicleDataList().size(), 1u);
    EXPECT_EQ(truncated->getVehicleDataList()[0]->getOwner(), "spie");

    // Random bytes, many times over.
    unsigned seed = 12345;
    for (int round = 0; round < 200; ++round) {
        std::string bytes;
        const int length = static_cast<int>(seed % 400);
        for (int i = 0; i < length; ++i) {
            seed = seed * 1103515245u + 12345u;
            const char pool[] = "[]=\n\r#namex1y2OBJECTVEHICLE LIGHT0123456789.-e\xff";
            bytes.push_back(pool[(seed >> 16) % (sizeof(pool) - 1)]);
        }
        testing::internal::CaptureStderr();
        (void)read("[LEVELDETAILS]\nname=r\n" + bytes);
        testing::internal::GetCapturedStderr();
    }
}

TEST(LevelFileReaderTest, MissingFileGivesAnErrorNamingIt) {
    TempDir dir;
    testing::internal::CaptureStderr();
    EXPECT_EQ(LevelFileReader().readLevelFile((dir.path() / "missing.lvl").string()), nullptr);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("Error: ", 0), 0u);
    EXPECT_NE(err.find("missing.lvl"), std::string::npos);

    const std::string path = dir.write("data/level/ok.lvl", "[LEVELDETAILS]\nname=ok.lvl\n");
    auto level = LevelFileReader().readLevelFile(path);
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->getLvlName(), "ok.lvl");
}

TEST(LevelFileReaderTest, ALevelWithMoreTanksThanANetworkStateHoldsIsRefusedWithOneLine) {
    const auto tanks = [](std::size_t count) {
        std::string text = kDetails;
        for (std::size_t i = 0; i < count; ++i)
            text += "[VEHICLE]\nname=t" + std::to_string(i) + "\nowner=cpu\n";
        return text;
    };
    const auto most = read(tanks(Level::kMaxVehicles));
    ASSERT_NE(most, nullptr);
    EXPECT_EQ(most->getVehicleDataList().size(), Level::kMaxVehicles);
    testing::internal::CaptureStderr();
    EXPECT_EQ(read(tanks(Level::kMaxVehicles + 1)), nullptr);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "Error: level file \"test.lvl\" has 129 vehicles, more than the 128 a level may have\n");
}

TEST(LevelFileReaderTest, SkyHorizonAndSunAreOptionalKeys) {
    // A file without them keeps the shared sky, its haze and the default sun.
    auto plain = read(std::string(kDetails) + "[LIGHT]\npos_x=-5\npos_y=60\npos_z=-10\ndirection_y=-1\n");
    ASSERT_NE(plain, nullptr);
    const char *const defaults[] = {"up.png", "bottom.png", "front.png", "left.png", "back.png", "right.png"};
    for (int face = 0; face < Level::kSkyFaces; ++face) {
        EXPECT_EQ(plain->getSkyPicture(face), defaults[face]);
    }
    EXPECT_EQ(plain->getSkyPicture(6), "");
    EXPECT_FLOAT_EQ(plain->getHorizonColor()[1], 222.0f / 255.0f);
    EXPECT_FALSE(plain->getLightDataList()[0]->hasSun());
    const std::array<float, 4> sun = plain->getSunPosition();
    EXPECT_FLOAT_EQ(sun[0], -5.0f);
    EXPECT_FLOAT_EQ(sun[1], 100.0f);
    EXPECT_FLOAT_EQ(sun[2], -100.0f);
    EXPECT_FLOAT_EQ(sun[3], 0.0f); // directional

    auto level = read(std::string(kDetails) +
                      "skyup=a_up.png\nskydown=a_down.png\nskyfront=a_front.png\nskyleft=a_left.png\n"
                      "skyback=a_back.png\nskyright=a_right.png\nhorizon_r=0.5\nhorizon_g=2\nhorizon_b=x\n"
                      "partime=200\n"
                      "[LIGHT]\nsun_x=3\nsun_y=4\nsun_z=0\nlightnumber=0\n"
                      "[LIGHT]\nsun_y=-1\n");
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->getSkyPicture(0), "a_up.png");
    EXPECT_EQ(level->getSkyPicture(1), "a_down.png");
    EXPECT_EQ(level->getSkyPicture(2), "a_front.png");
    EXPECT_EQ(level->getSkyPicture(5), "a_right.png");
    EXPECT_FLOAT_EQ(level->getParTime(), 200.0f); // the keys do not end the section
    EXPECT_FLOAT_EQ(level->getHorizonColor()[0], 0.5f);
    EXPECT_FLOAT_EQ(level->getHorizonColor()[1], 1.0f); // clamped
    EXPECT_FLOAT_EQ(level->getHorizonColor()[2], 0.0f); // no number
    ASSERT_EQ(level->getLightDataList().size(), 2u);
    // The first light's sun, at the default sun's distance, so that the shadow's frustum still fits.
    const float distance = std::sqrt(5.0f * 5.0f + 2 * 100.0f * 100.0f);
    const std::array<float, 4> given = level->getSunPosition();
    EXPECT_NEAR(given[0], 0.6f * distance, 1e-3);
    EXPECT_NEAR(given[1], 0.8f * distance, 1e-3);
    EXPECT_NEAR(given[2], 0.0f, 1e-4);
    EXPECT_FLOAT_EQ(given[3], 0.0f);

    // A sun below the horizon (or no direction at all) lights nothing: the default stays.
    for (const char *bad : {"sun_y=-2\n", "sun_x=0\n", "sun_x=1\nsun_y=0\n"}) {
        auto below = read(std::string(kDetails) + "[LIGHT]\n" + bad);
        ASSERT_NE(below, nullptr);
        EXPECT_FLOAT_EQ(below->getSunPosition()[1], 100.0f) << bad;
    }
}

} // namespace

namespace {

TEST(LevelFileReaderTest, PowerUpHeightIsOptionalAndARecordWithABadNumberIsLeftOutWithOneErrorLine) {
    testing::internal::CaptureStderr();
    auto level =
        read(std::string(kDetails) + "POWERUP\nPowerUpName=kit\nPowerUpTyp=repair\npos_x=3\npos_z=-4\n"
                                     "POWERUP\nPowerUpName=broken\nPowerUpTyp=speed\npos_x=1O\npos_z=zz\n"
                                     "POWERUP\nPowerUpName=high\nPowerUpTyp=armour\npos_y=2.5 \n");
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_NE(level, nullptr);
    ASSERT_EQ(level->getLevelPowerUps().size(), 2u);
    const LevelPowerUpData &kit = *level->getLevelPowerUps()[0];
    EXPECT_FALSE(kit.hasPosY()); // it will float above the ground
    EXPECT_FLOAT_EQ(kit.getPos()[2], -4.0f);
    const LevelPowerUpData &high = *level->getLevelPowerUps()[1];
    EXPECT_TRUE(high.hasPosY());
    EXPECT_FLOAT_EQ(high.getPos()[1], 2.5f);
    EXPECT_EQ(err, "Error: test.lvl: power-up \"broken\" left out: pos_x \"1O\" is no number\n");
}

} // namespace
