#include "config/ConfigFile.h"
#include "config/ConfigReader.h"
#include "config/SafeFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

namespace {

const char *const kTank = "accel = 2.5\nturningrate = 45\nmaxspeedforward = 12\nmaxspeedreturn = 4\n"
                          "posturmx = 0.5\nposturmy = 1.5\nposturmz = -0.5\n"
                          "muendungposx = 0\nmuendungposy = 2\nmuendungposz = 6.25\n"
                          "life = 100\nmaxlife = 120\nammunition = 50\nmodel = tank.md2\nEndConfigFile\n";

const char *const kCannon = "explosiontime = 2.75\nreloadtime = 0.5\nshootdelay = 1.5\nspeed = 30\n"
                            "weaponpower = 7.5\n";

// A data/config tree in a temporary folder that is the working directory for the test.
class GameDataFiles : public ::testing::Test {
  protected:
    TempDir dir;
    ScopedCwd cwd{dir.path()};
};

TEST_F(GameDataFiles, VehicleFileFillsEveryField) {
    dir.write("data/config/fahrzeuge/tank.ini", kTank);
    CFahrzeugTypDaten td = ConfigReader::ReadFahrzeug("data/config/fahrzeuge/tank.ini", "Tiger");
    EXPECT_NEAR(td.getAccel(), 2.5f, 1e-6f);
    EXPECT_NEAR(td.getTurningrate(), 45.0f, 1e-6f);
    EXPECT_NEAR(td.getMaxSpeedForward(), 12.0f, 1e-6f);
    EXPECT_NEAR(td.getMaxSpeedReturn(), 4.0f, 1e-6f);
    EXPECT_NEAR(td.getTurmPos()[0], 0.5f, 1e-6f);
    EXPECT_NEAR(td.getTurmPos()[1], 1.5f, 1e-6f);
    EXPECT_NEAR(td.getTurmPos()[2], -0.5f, 1e-6f);
    EXPECT_NEAR(td.getMuendungPos()[0], 0.0f, 1e-6f);
    EXPECT_NEAR(td.getMuendungPos()[1], 2.0f, 1e-6f);
    EXPECT_NEAR(td.getMuendungPos()[2], 6.25f, 1e-6f);
    EXPECT_EQ(td.getLife(), 100u);
    EXPECT_EQ(td.getMaxLife(), 120u);
    EXPECT_EQ(td.getAmmunition(), 50u);
    EXPECT_EQ(td.getModellName(), "tank.md2");
    EXPECT_EQ(td.getName(), "Tiger");

    CFahrzeugTypDaten copy = td; // copies own their arrays
    const float moved[3] = {9.0f, 9.0f, 9.0f};
    copy.setTurmPos(moved);
    EXPECT_NEAR(td.getTurmPos()[0], 0.5f, 1e-6f);
    EXPECT_NEAR(copy.getTurmPos()[2], 9.0f, 1e-6f);

    CFahrzeugTypDaten empty;
    EXPECT_EQ(empty.getName(), "");
    EXPECT_EQ(empty.getModellName(), "");
}

TEST_F(GameDataFiles, IndexStopsAtTheFirstGap) {
    dir.write("data/config/fahrzeugconfig.ini", "fahrzeugname1 = Tiger\nfahrzeugpath1 = data/config/a.ini\n"
                                                "fahrzeugname2 = Panther\nfahrzeugpath2 = data/config/b.ini\n"
                                                "fahrzeugname4 = Lost\nfahrzeugpath4 = data/config/c.ini\n");
    dir.write("data/config/a.ini", kTank);
    dir.write("data/config/b.ini", kTank);
    dir.write("data/config/c.ini", kTank);
    auto types = ConfigReader::ReadFahrzeuge();
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(types->size(), 2u);
    EXPECT_EQ(types->count("Tiger"), 1u);
    EXPECT_EQ(types->count("Panther"), 1u);
    EXPECT_EQ(types->count("Lost"), 0u);
    EXPECT_EQ(types->at("Panther").getName(), "Panther");

    // Without entry 1 (an empty, cut or overwritten index) start-up stops, even if later entries exist.
    for (const char *index : {"fahrzeugname2 = Panther\nfahrzeugpath2 = data/config/b.ini\n", "", "\x89PNG\r\n"}) {
        dir.write("data/config/fahrzeugconfig.ini", index);
        testing::internal::CaptureStderr();
        EXPECT_THROW(ConfigReader::ReadFahrzeuge(), ConfigFile::key_not_found);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(err, "Error: \"data/config/fahrzeugconfig.ini\" has no key \"fahrzeugname1\"\n");
    }
}

TEST_F(GameDataFiles, IndexNameTwiceKeepsTheLastRecord) {
    // Entries name their files relative to the data folder, with or without the "data/" of old files.
    dir.write("data/config/weaponconfig.ini", "weaponname1 = Cannon\nweaponpath1 = w1.ini\n"
                                              "weaponname2 = Cannon\nweaponpath2 = data/w2.ini\n");
    dir.write("data/w1.ini", kCannon);
    dir.write("data/w2.ini",
              "explosiontime = 1\nreloadtime = 0.5\nshootdelay = 1.5\nspeed = 99\nweaponpower = 1\n");
    auto weapons = ConfigReader::ReadWeapons();
    ASSERT_EQ(weapons->size(), 1u);
    EXPECT_NEAR(weapons->at("Cannon").getSpeed(), 99.0f, 1e-6f);
}

TEST_F(GameDataFiles, IndexFailures) {
    testing::internal::CaptureStderr();
    EXPECT_THROW(ConfigReader::ReadFahrzeuge(), ConfigFile::file_not_found);
    EXPECT_THROW(ConfigReader::ReadWeapons(), ConfigFile::file_not_found);

    // A name without its path, and a path to a missing entry file.
    dir.write("data/config/fahrzeugconfig.ini", "fahrzeugname1 = Tiger\n");
    try {
        ConfigReader::ReadFahrzeuge();
        ADD_FAILURE() << "no exception";
    } catch (const ConfigFile::key_not_found &e) {
        EXPECT_EQ(e.key, "fahrzeugpath1");
    }
    dir.write("data/config/fahrzeugconfig.ini", "fahrzeugname1 = Tiger\nfahrzeugpath1 = nowhere.ini\n");
    try {
        ConfigReader::ReadFahrzeuge();
        ADD_FAILURE() << "no exception";
    } catch (const ConfigFile::file_not_found &e) {
        EXPECT_EQ(e.filename, "data/nowhere.ini");
    }

    // Every vehicle key is required.
    dir.write("data/config/fahrzeugconfig.ini", "fahrzeugname1 = Tiger\nfahrzeugpath1 = tank.ini\n");
    std::string tank = kTank;
    tank.erase(tank.find("ammunition"), std::string("ammunition = 50\n").size());
    dir.write("data/tank.ini", tank);
    try {
        ConfigReader::ReadFahrzeuge();
        ADD_FAILURE() << "no exception";
    } catch (const ConfigFile::key_not_found &e) {
        EXPECT_EQ(e.key, "ammunition");
    }
    testing::internal::GetCapturedStderr();
}

TEST_F(GameDataFiles, WeaponFileAndItsFixedDefaults) {
    dir.write("data/config/weaponconfig.ini", "weaponname1 = Cannon\nweaponpath1 = data/config/cannon.ini\n");
    dir.write("data/config/cannon.ini", kCannon);
    auto weapons = ConfigReader::ReadWeapons();
    ASSERT_EQ(weapons->size(), 1u);
    const Weapon &w = weapons->at("Cannon");
    EXPECT_EQ(w.getWeaponName(), "Cannon");
    EXPECT_NEAR(w.getExplosionTime(), 2.0f, 1e-6f); // whole seconds: 2.75 is cut, not rounded
    EXPECT_NEAR(w.getReloadTime(), 0.5f, 1e-6f);
    EXPECT_NEAR(w.getShootDelay(), 1.5f, 1e-6f);
    EXPECT_NEAR(w.getSpeed(), 30.0f, 1e-6f);
    EXPECT_NEAR(w.getWeaponPower(), 7.5f, 1e-6f);
    // Values without a key keep the defaults.
    EXPECT_TRUE(w.getMuendungsFeuer());
    EXPECT_TRUE(w.getExplodiert());
    EXPECT_NEAR(w.getExplosionRadius(), 3.0f, 1e-6f);
    const float expected[4] = {1.0f, 0.0f, 0.0f, 0.5f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(w.getMFColor4f()[i], expected[i], 1e-6f);
        EXPECT_NEAR(w.getExplosionsColor()[i], expected[i], 1e-6f);
    }

    // A default weapon as every vehicle gets it.
    Weapon fresh;
    EXPECT_NEAR(fresh.getShootDelay(), 1.0f, 1e-6f);
    EXPECT_NEAR(fresh.getReloadTime(), 1.0f, 1e-6f);
    EXPECT_NEAR(fresh.getSpeed(), 20.0f, 1e-6f);
    EXPECT_NEAR(fresh.getExplosionTime(), 1.0f, 1e-6f);
    EXPECT_EQ(fresh.getWeaponName(), "");
    // The two colours are separate arrays and copies own theirs.
    const float blue[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    Weapon copy = fresh;
    copy.setMFColor4f(blue);
    EXPECT_NEAR(copy.getMFColor4f()[2], 1.0f, 1e-6f);
    EXPECT_NEAR(copy.getExplosionsColor()[2], 0.0f, 1e-6f);
    EXPECT_NEAR(fresh.getMFColor4f()[2], 0.0f, 1e-6f);

    dir.write("data/config/cannon.ini", "explosiontime = -1.9\nreloadtime = 0\nshootdelay = 0\nspeed = 0\n"
                                        "weaponpower = 0\n");
    EXPECT_NEAR(ConfigReader::ReadWeapon("data/config/cannon.ini", "x").getExplosionTime(), -1.0f, 1e-6f);
}

TEST_F(GameDataFiles, WeaponWithoutPowerIsRejected) {
    std::string cannon = kCannon;
    cannon.erase(cannon.find("weaponpower"));
    dir.write("cannon.ini", cannon);
    testing::internal::CaptureStderr();
    try {
        ConfigReader::ReadWeapon("cannon.ini", "Cannon");
        FAIL() << "no exception";
    } catch (const ConfigFile::key_not_found &e) {
        EXPECT_EQ(e.key, "weaponpower");
    }
    testing::internal::GetCapturedStderr();
}

TEST_F(GameDataFiles, PowerUpFilesMustExistAndAFileWithoutKeysTakesTheDefaults) {
    dir.write("data/config/powerups.ini", "powerupnam1 = Health\npoweruppath1 = p/health.ini\n"
                                          "powerupnam2 = Ammo\npoweruppath2 = p/ammo.ini\n"
                                          "powerupname3 = Wrong stem\npoweruppath3 = p/health.ini\n");
    dir.write("data/p/health.ini", "");
    dir.write("data/p/ammo.ini", "# nothing yet\nEndConfigFile\n");
    ConfigReader::PowerUpMap powerUps;
    ConfigReader::ReadPowerUpDaten(powerUps);
    ASSERT_EQ(powerUps.size(), 2u);
    const CPowerUpData &health = *powerUps.at("Health");
    EXPECT_EQ(health.getName(), "Health");
    EXPECT_EQ(health.getModellName(), "powerup.md2");
    EXPECT_EQ(health.getTyp(), CPowerUpData::kRepair); // a name that is no effect repairs
    EXPECT_EQ(health.getSize(), 1.0f);
    EXPECT_EQ(health.getAmount(), 30.0f);
    EXPECT_EQ(health.getRespawn(), 30.0f);
    EXPECT_EQ(powerUps.at("Ammo")->getName(), "Ammo");

    // Reading again replaces (and frees) the earlier records.
    ConfigReader::ReadPowerUpDaten(powerUps);
    EXPECT_EQ(powerUps.size(), 2u);

    testing::internal::CaptureStderr();
    EXPECT_THROW(ConfigReader::ReadPowerUp("p/missing.ini", "Gone"), ConfigFile::file_not_found);
    testing::internal::GetCapturedStderr();
}

TEST_F(GameDataFiles, PowerUpKeysAreReadAndABrokenTypeIsLeftOutWithOneErrorLine) {
    dir.write(
        "data/config/powerups.ini",
        "powerupnam1 = speed\npoweruppath1 = p/speed.ini\npowerupnam2 = fast\npoweruppath2 = p/fast.ini\n"
        "powerupnam3 = odd\npoweruppath3 = p/odd.ini\npowerupnam4 = gone\npoweruppath4 = p/gone.ini\n"
        "powerupnam5 = shield\npoweruppath5 = p/shield.ini\n");
    dir.write("data/p/speed.ini", ""); // its name is its effect
    dir.write("data/p/fast.ini", "effect = speed\namount = 2\nduration = 4.5\nrespawn = 2\nmodel = crate.md2\n"
                            "size = 0.5\nradius = 2\nglow_r = 0.1\nglow_g = 0.2\nglow_b = 0.3\n");
    dir.write("data/p/odd.ini", "effect = teleport\n");
    dir.write("data/p/shield.ini", "effect = armour\nduration = 20s\n");
    ConfigReader::PowerUpMap types;
    testing::internal::CaptureStderr();
    ConfigReader::LoadPowerUpTypes(types);
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(types.size(), 2u);
    const CPowerUpData &speed = *types.at("speed");
    EXPECT_EQ(speed.getTyp(), CPowerUpData::kSpeed);
    EXPECT_FLOAT_EQ(speed.getAmount(), 1.5f);
    EXPECT_FLOAT_EQ(speed.getDuration(), 15.0f);
    const CPowerUpData &fast = *types.at("fast");
    EXPECT_EQ(fast.getTyp(), CPowerUpData::kSpeed);
    EXPECT_FLOAT_EQ(fast.getAmount(), 2.0f);
    EXPECT_FLOAT_EQ(fast.getDuration(), 4.5f);
    EXPECT_FLOAT_EQ(fast.getRespawn(), 2.0f);
    EXPECT_EQ(fast.getModellName(), "crate.md2");
    EXPECT_FLOAT_EQ(fast.getSize(), 0.5f);
    EXPECT_FLOAT_EQ(fast.getRadius(), 2.0f);
    EXPECT_FLOAT_EQ(fast.getGlowColor()[2], 0.3f);
    // One line for each of the three broken types, naming its file.
    std::size_t lines = 0;
    for (char c : err)
        lines += c == '\n';
    EXPECT_EQ(lines, 3u) << err;
    EXPECT_NE(err.find("Error: \"data/p/odd.ini\": key \"effect\" has the value \"teleport\""), std::string::npos)
        << err;
    EXPECT_NE(err.find("data/p/gone.ini"), std::string::npos) << err;
    EXPECT_NE(err.find("Error: \"data/p/shield.ini\": key \"duration\" has the value \"20s\", which is no number"),
              std::string::npos)
        << err;
}

TEST_F(GameDataFiles, SizeFileExactBytesAndRoundTrip) {
    std::filesystem::create_directories("data/config/cookedmodel_config");
    PhysXActor actor;
    actor.setSizes(1.5, 2.0, 0.25);
    actor.setSizesreal(-3.0, 4.0, 0.5);
    const std::string path = "data/config/cookedmodel_config/CM_tank.ini";
    ASSERT_TRUE(ConfigReader::SetPhysXActor(actor, path));
    EXPECT_EQ(TempDir::read(path), "sizex=1.5\r\nsizey=2\r\nsizez=0.25\r\n"
                                   "sizexreal=-3\r\nsizeyreal=4\r\nsizezreal=0.5\r\n");
    EXPECT_FALSE(std::filesystem::exists(temporaryFileFor(path)));

    // Every value reads back as the very same double: float sizes of a cook, thirds, the tiny and
    // the large. Eight decimals would have turned each of them into a neighbour (or into zero).
    const double values[][6] = {
        {0.1f, 1.0f / 3.0f, -10.08f, 1.0 / 3.0, -2.0 / 3.0, 4e-9},
        {1e6 / 3.0, -257.2016, 1e-300, 123456.78901234567, -0.048f, 9.6f},
    };
    for (const auto &row : values) {
        actor.setSizes(row[0], row[1], row[2]);
        actor.setSizesreal(row[3], row[4], row[5]);
        ASSERT_TRUE(ConfigReader::SetPhysXActor(actor, path)); // replaces the earlier file
        const PhysXActor back = ConfigReader::ReadPhysXActor(path);
        EXPECT_EQ(back.getSizes(), actor.getSizes());
        EXPECT_EQ(back.getSizesreal(), actor.getSizesreal());
        EXPECT_EQ(back.getName(), "");
        EXPECT_EQ(back.getActor(), nullptr);
    }

    // A file written with eight decimals, as the cache held them before, reads as it stands.
    dir.write(path, "sizex=-10.08000040\r\nsizey=4.80000019\r\nsizez=0.10000000\r\n"
                    "sizexreal=210.00000834\r\nsizeyreal=100.00000000\r\nsizezreal=-0.33333333\r\n");
    const PhysXActor old = ConfigReader::ReadPhysXActor(path);
    EXPECT_EQ(old.getSizes(), (std::array<double, 3>{-10.0800004, 4.80000019, 0.1}));
    EXPECT_EQ(old.getSizesreal(), (std::array<double, 3>{210.00000834, 100.0, -0.33333333}));
}

TEST_F(GameDataFiles, SizeFileFailures) {
    testing::internal::CaptureStderr();
    EXPECT_THROW(ConfigReader::ReadPhysXActor("data/config/cookedmodel_config/TM_none.ini"),
                 ConfigFile::file_not_found);
    dir.write("partial.ini", "sizex=1\r\nsizey=2\r\nsizez=3\r\nsizexreal=4\r\nsizeyreal=5\r\n");
    try {
        ConfigReader::ReadPhysXActor("partial.ini");
        ADD_FAILURE() << "no exception";
    } catch (const ConfigFile::key_not_found &e) {
        EXPECT_EQ(e.key, "sizezreal");
    }
    testing::internal::GetCapturedStderr();

    // A folder that does not exist: one Error line, no file, false.
    PhysXActor actor;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(ConfigReader::SetPhysXActor(actor, "no/such/folder/CM_x.ini"));
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("Error: ", 0), 0u) << err;
    EXPECT_NE(err.find("no/such/folder/CM_x.ini"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists("no"));

    // A target that cannot be replaced keeps what it was and leaves no temporary file behind.
    std::filesystem::create_directories("blocked.ini/inside");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(ConfigReader::SetPhysXActor(actor, "blocked.ini"));
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("Error: ", 0), 0u) << err;
    EXPECT_TRUE(std::filesystem::is_directory("blocked.ini/inside"));
    EXPECT_FALSE(std::filesystem::exists(temporaryFileFor("blocked.ini")));
}

} // namespace
