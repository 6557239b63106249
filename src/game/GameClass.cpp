#include "game/GameClass.h"

#include "level/Level.h"
#include "math/MathConstants.h"
#include "objects/ComputerSpieler.h"
#include "objects/Fahrzeug.h"
#include "objects/LvlObject.h"
#include "objects/PowerUpObject.h"
#include "objects/Projektil.h"
#include "objects/Spieler.h"
#include "render/ShadowMap.h"
#include "render/VertexBufferHandler.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

GameClass::GameClass() = default;

GameClass::~GameClass() {
    clearWorld();
}

bool GameClass::importTextures(const std::string &strDirName) {
    namespace fs = std::filesystem;
    std::error_code error;
    std::vector<std::string> names;
    for (const fs::directory_entry &entry : fs::directory_iterator(strDirName, error)) {
        const std::string name = entry.path().filename().string();
        if (!name.empty() && name[0] != '.' && entry.is_regular_file(error))
            names.push_back(name);
    }
    // Directory order is arbitrary; a sorted scan makes start-up repeatable.
    std::sort(names.begin(), names.end());
    for (const std::string &name : names)
        textures.setTextureByString(strDirName + name);
    return true;
}


void GameClass::resetCameras(float pitch, float distance) {
    for (OrbitCamera &camera : cameras) {
        camera.setAngleX(pitch);
        camera.setAngleY(0);
        camera.setCamDistance(distance);
    }
}

void GameClass::liftAboveGround(OrbitCamera &camera) const {
    const Level *currentLevel = world.getCurrentLevel();
    if (currentLevel == nullptr)
        return;
    // The highest ground within a few units of the eye, so that no slope reaches the near plane.
    const std::array<float, 3> eye = camera.eye();
    static const float kAround[5][2] = {{0, 0}, {2, 0}, {-2, 0}, {0, 2}, {0, -2}};
    float ground = -1.0e9f;
    for (const auto &offset : kAround)
        ground = std::max(ground, currentLevel->getGroundHeight(eye[0] + offset[0], eye[2] + offset[1]));
    if (eye[1] < ground + kCamClearance)
        camera.moveViewPos(1, ground + kCamClearance - eye[1]);
}

void GameClass::setResolution(int width, int height) {
    iWidth = width;
    iHeight = height;
    font.init(width, height);
}

