#include "game/GameClass.h"

#include <algorithm>
#include <filesystem>
#include <vector>

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


