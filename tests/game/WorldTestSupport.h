#pragma once

// A running session over a copy of the shipped data tree, for the tests of
// level start, the step and the frame.

#include "config/PlayerConfig.h"
#include "game/GameClass.h"
#include "level/Level.h"
#include "main/InputRules.h"
#include "objects/Fahrzeug.h"
#include "objects/Spieler.h"
#include "render/ImageFiles.h"
#include "support/GlTestContext.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

namespace worldtest {

namespace fs = std::filesystem;

constexpr float kFrame = 1.0f / 60.0f; // seconds per step, the game's usual frame
constexpr int kLevelSide = 60;         // units; the flat heightmap has one pixel per unit

// Player keys as the shipped configuration binds them.
constexpr unsigned char kUp1 = 's', kDown1 = 'x', kLeft1 = 'z', kRight1 = 'c', kShoot1 = 'a';
constexpr unsigned char kUp2 = '8', kDown2 = '5', kLeft2 = '4', kRight2 = '6', kShoot2 = '0';
constexpr unsigned char kZoomIn = '+', kZoomOut = '-';

// One copy per test run of the shipped configuration, models and textures
// (no levels, no menu pictures), plus a flat heightmap "flat60.png", a
// vehicle type "ghosttank" whose model does not exist, and the cooked-mesh
// cache folders, which fill as the tests start levels.
inline const fs::path &sharedDataTree() {
    static TempDir dir;
    static bool filled = false;
    if (!filled) {
        const fs::path source = fs::path(PANZER_SOURCE_DIR) / "data";
        fs::create_directories(dir.path() / "data/textures");
        for (const char *folder : {"config", "model"})
            fs::copy(source / folder, dir.path() / "data" / folder, fs::copy_options::recursive);
        for (const fs::directory_entry &entry : fs::directory_iterator(source / "textures")) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("menu_", 0) != 0 && name.rfind("heightmap", 0) != 0)
                fs::copy(entry.path(), dir.path() / "data/textures" / name);
        }
        // Ground heights are pixel value / 30: black is a plane at height 0.
        dir.write("data/textures/flat60.png",
                  imagefiles::png(imagefiles::solid(kLevelSide, kLevelSide, 3, {0, 0, 0})));
        std::string index = TempDir::read(dir.path() / "data/config/fahrzeugconfig.ini");
        const std::string end = "EndConfigFile";
        int free = 1; // the list ends at its first missing number: the ghost takes it
        while (index.find("fahrzeugname" + std::to_string(free) + " ") != std::string::npos)
            ++free;
        const std::string number = std::to_string(free);
        index.insert(index.rfind(end), "fahrzeugname" + number + " = ghosttank\nfahrzeugpath" + number +
                                           " = data/config/fahrzeuge/ghosttank.ini\n\n");
        dir.write("data/config/fahrzeugconfig.ini", index);
        std::string ghost = TempDir::read(dir.path() / "data/config/fahrzeuge/tank.ini");
        ghost.replace(ghost.find("model = tank1.md2"), 17, "model = ghosttank.md2");
        dir.write("data/config/fahrzeuge/ghosttank.ini", ghost);
        fs::create_directories(dir.path() / "data/model_cooked");
        fs::create_directories(dir.path() / "data/config/cookedmodel_config");
        filled = true;
    }
    return dir.path();
}

// The head of a level file: bounds -30..30 on the flat heightmap, the ground
// picture and one light.
inline std::string levelHeader(const std::string &name) {
    return "[LEVELDETAILS]\nname=" + name +
           "\nfilename=test\nx1=-30\ny1=-30\nx2=30\ny2=30\nbgpicture=ground.png\n\n"
           "[SURFACE]\nheightmap=flat60.png\n\n"
           "[LIGHT]\npos_x=0\npos_y=40\npos_z=0\nintentsy=1\nlightnumber=0\n\n";
}

// A level object standing on the flat ground: like a tank's, an object's position is the bottom of
// its model.
inline std::string object(const std::string &name, const std::string &model, float x, float z,
                          float rotation = 0.0f) {
    return "[OBJECT]\nname=" + name + "\nmodel=" + model + "\npos_x=" + std::to_string(x) +
           "\npos_y=0\npos_z=" + std::to_string(z) + "\nrotation=" + std::to_string(rotation) +
           "\nsize=1\ncollision=true\n\n";
}

// A vehicle of type "tank" (or `type`). A tank's position is the bottom of its hull, so it starts
// just above the ground.
inline std::string vehicle(const std::string &name, const std::string &owner, float x, float z,
                           float rotation, const std::string &type = "tank") {
    return "[VEHICLE]\nname=" + name + "\nmodel=tank1.md2\nowner=" + owner + "\nfahrzeugtyp=" + type +
           "\nweapon=cannon\npos_x=" + std::to_string(x) + "\npos_y=0.05\npos_z=" + std::to_string(z) +
           "\nrotation=" + std::to_string(rotation) + "\nsize=1\nlife=100\n\n";
}

inline std::string goal(const std::string &name, int type) {
    return "Missionsziele\nZielname=" + name + "\nZieltyp=" + std::to_string(type) + "\n\n";
}

// A session with both human players, the zoom keys, every texture and model
// of the shared data tree, and the test window's size. The working directory
// is the shared tree, so the cooked-mesh cache goes there.
class WorldSession : public ::testing::Test {
  protected:
    WorldSession() : cwd(sharedDataTree()) {
        glReady = GlTestContext::acquire();
        gc.getWorld().setSpieler1(new Spieler(kUp1, kDown1, kLeft1, kRight1, kShoot1));
        gc.getWorld().setSpieler2(new Spieler(kUp2, kDown2, kLeft2, kRight2, kShoot2));
        config.setZoomIn(static_cast<char>(kZoomIn));
        config.setZoomOut(static_cast<char>(kZoomOut));
        gc.setPlayerConfig(&config);
        gc.importTextures("data/textures/");
        gc.getData().importModells("data/model/");
        gc.getView().setResolution(GlTestContext::width(), GlTestContext::height());
        gc.getCamera(0).setAngleX(-45);
        gc.getCamera(0).setCamDistance(70);
    }

    void SetUp() override { ASSERT_TRUE(glReady) << "run the tests under xvfb-run"; }

    // Writes the level file into this test's own level folder, registers it
    // and starts it. Console output of the start is kept in `startOut` and
    // `startErr`.
    bool start(const std::string &name, const std::string &body) {
        levels.write(name, levelHeader(name) + body);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const bool imported = gc.getData().importLevels(levels.path().string() + "/");
        const bool started = imported && gc.loadLevel(name);
        startOut = testing::internal::GetCapturedStdout();
        startErr = testing::internal::GetCapturedStderr();
        return started;
    }

    // `ticks` ticks, each one frame of a tick's length with the keys as `keys` holds them, as the
    // game runs them at sixty frames a second. Returns the last tick's result.
    int run(int ticks) {
        int result = 0;
        for (int i = 0; i < ticks; ++i) {
            gc.frame(GameClass::kTickSeconds, keys);
            result = gc.tick(gc.readKeyboard(keys));
        }
        return result;
    }

    // The ticks of `seconds` of game time, at least one.
    int runFor(float seconds) {
        return run(std::max(1, static_cast<int>(std::ceil(seconds / GameClass::kTickSeconds - 1e-3f))));
    }

    // One frame, its console lines swallowed.
    void drawFrame() {
        testing::internal::CaptureStdout();
        gc.getView().draw();
        testing::internal::GetCapturedStdout();
    }

    Fahrzeug *vehicleNamed(const std::string &name) {
        for (Fahrzeug *v : gc.getWorld().getFahrzeugvektor())
            if (v->getName() == name)
                return v;
        return nullptr;
    }

    ScopedCwd cwd;
    bool glReady = false;
    TempDir levels; // this test's level files
    PlayerConfig config;
    std::unique_ptr<Level> ownLevel; // a level built in code; outlives the session that plays it
    GameClass gc;
    bool keys[kKeyCount] = {};
    std::string startOut, startErr;
};

} // namespace worldtest
