#include "replay/DataHash.h"

#include "config/GamePaths.h"
#include "math/StateHash.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The regular files of a data folder with the extension, named relative to the data folder as
// `folder` is, in name order; none when it is missing.
std::vector<std::string> filesIn(const std::string &folder, const std::string &extension) {
    std::vector<std::string> names;
    std::error_code error;
    for (const fs::directory_entry &entry : fs::directory_iterator(GamePaths::current().data(folder), error))
        if (entry.is_regular_file(error) && entry.path().extension() == extension)
            names.push_back(folder + entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The file's name relative to the data folder goes in, so that an installed game and a checkout
// agree on the hash of the same files.
void addFile(StateHash &hash, const std::string &relative) {
    hash.add(relative);
    std::ifstream in(GamePaths::current().data(relative), std::ios::binary);
    if (!in) {
        hash.add(std::string("(missing)"));
        return;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    hash.add(bytes);
}

} // namespace

std::uint64_t battleDataHash(const std::string &levelFile, const std::string &heightMap) {
    std::vector<std::string> files = {"level/" + levelFile, "textures/" + heightMap, "config/fahrzeugconfig.ini",
                                      "config/weaponconfig.ini", "config/powerups.ini"};
    for (const char *folder : {"config/fahrzeuge/", "config/weapons/", "config/powerups/"})
        for (const std::string &name : filesIn(folder, ".ini"))
            files.push_back(name);
    for (const std::string &name : filesIn("model/", ".md2"))
        files.push_back(name);
    StateHash hash;
    for (const std::string &path : files)
        addFile(hash, path);
    return hash.get();
}
