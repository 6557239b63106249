#include "game/GameClass.h"

#include "level/LevelFileReader.h"

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

bool GameClass::importLevels(const std::string &strDirName) {
    const LevelFileReader reader;
    bool allLoaded = true;
    for (const std::string &name : sortedFiles(strDirName, ".lvl")) {
        std::unique_ptr<Level> level = reader.readLevelFile(strDirName + name);
        if (!level) {
            // One broken file must not keep the levels after it from loading.
            std::printf("Load failed");
            std::fflush(stdout);
            allLoaded = false;
            continue;
        }
        const std::string key = level->getLvlName();
        levels.emplace(key, std::move(level)); // a name already taken keeps its first level
    }
    return allLoaded;
}

Level *GameClass::getLevel(const std::string &name) const {
    const auto found = levels.find(name);
    return found == levels.end() ? nullptr : found->second.get();
}
