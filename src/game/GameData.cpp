#include "game/GameData.h"

#include "level/Level.h"
#include "level/LevelFileReader.h"
#include "model/Md2Model.h"
#include "render/ReadMD2Model.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace {
// The regular, not hidden files of `strDirName` whose name ends in
// `extension`, sorted so that start-up is the same on every machine.
std::vector<std::string> sortedFiles(const std::string &strDirName, const std::string &extension) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator entries(strDirName, error);
    for (const fs::directory_entry &entry : entries) {
        const std::string name = entry.path().filename().string();
        const bool matches = name.size() > extension.size() &&
                             name.compare(name.size() - extension.size(), extension.size(), extension) == 0;
        if (matches && name[0] != '.' && entry.is_regular_file(error)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

GameData::GameData() : fahrzeugTypes(ConfigReader::ReadFahrzeuge()), weaponTypes(ConfigReader::ReadWeapons()) {}

GameData::~GameData() = default;

const CFahrzeugTypDaten *GameData::getFahrzeugDatenTyp(const std::string &name) const {
    auto found = fahrzeugTypes->find(name);
    return found == fahrzeugTypes->end() ? nullptr : &found->second;
}

bool GameData::importLevels(const std::string &strDirName) {
    const LevelFileReader reader;
    bool allLoaded = true;
    for (const std::string &name : sortedFiles(strDirName, ".lvl")) {
        std::unique_ptr<Level> level = reader.readLevelFile(strDirName + name);
        if (!level) {
            // One broken file must not keep the levels after it from loading.
            std::printf("Load failed");
            std::fflush(stdout);
            brokenLevelFiles.insert(name);
            allLoaded = false;
            continue;
        }
        const std::string key = level->getLvlName();
        const auto placed = levels.emplace(key, std::move(level)); // a name already taken keeps its first level
        if (placed.second)
            levelFiles.emplace(name, placed.first->second.get());
    }
    return allLoaded;
}

Level *GameData::getLevelOfFile(const std::string &fileName) const {
    const auto found = levelFiles.find(fileName);
    return found == levelFiles.end() ? nullptr : found->second;
}

Level *GameData::getLevel(const std::string &name) const {
    const auto found = levels.find(name);
    return found == levels.end() ? nullptr : found->second.get();
}

bool GameData::importModells(const std::string &strDirName) {
    for (const std::string &name : sortedFiles(strDirName, ".md2")) {
        auto model = std::make_unique<Md2Model>();
        if (ReadMD2Model(strDirName + name, model.get()) != 1) {
            brokenModels.insert(name); // the reader has reported it
            continue;
        }
        model->setName(name);
        models[name] = std::move(model);
    }
    return true;
}

Md2Model *GameData::getModell(const std::string &name) const {
    const auto found = models.find(name);
    return found == models.end() ? nullptr : found->second.get();
}

