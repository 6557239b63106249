// The committed models and skins in data/ must be exactly what
// tools/modelgen writes, so that a change to the generator is a change to the
// shipped content and cannot drift from it unnoticed.
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {
std::vector<std::string> filesIn(const fs::path &dir, const std::string &extension) {
    std::vector<std::string> names;
    if (fs::is_directory(dir)) {
        for (const auto &entry : fs::directory_iterator(dir)) {
            if (entry.path().extension() == extension) {
                names.push_back(entry.path().filename().string());
            }
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

#ifdef PANZER_MODELGEN
TEST(ModelGeneratorTest, RegeneratesTheCommittedModelsAndSkinsByteForByte) {
    TempDir dir;
    const fs::path out = dir.path() / "data";
    const std::string command = std::string("\"") + PANZER_MODELGEN + "\" \"" + out.string() + "\" > \"" +
                                (dir.path() / "log.txt").string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << TempDir::read(dir.path() / "log.txt");

    const fs::path committed = fs::path(PANZER_SOURCE_DIR) / "data";
    const std::vector<std::string> models = filesIn(out / "model", ".md2");
    const std::vector<std::string> skins = filesIn(out / "textures", ".png");
    ASSERT_FALSE(models.empty());
    EXPECT_EQ(skins.size(), models.size()) << "one skin per model";
    for (const std::string &name : models) {
        EXPECT_EQ(TempDir::read(out / "model" / name), TempDir::read(committed / "model" / name))
            << name << " differs from the generator's output: run panzer_modelgen data";
    }
    for (const std::string &name : skins) {
        EXPECT_EQ(TempDir::read(out / "textures" / name), TempDir::read(committed / "textures" / name))
            << name << " differs from the generator's output: run panzer_modelgen data";
    }
    // No model in data/model/ lacks a recipe.
    EXPECT_EQ(filesIn(committed / "model", ".md2"), models);
}
#else
TEST(ModelGeneratorTest, RegeneratesTheCommittedModelsAndSkinsByteForByte) {
    GTEST_SKIP() << "built without tools/modelgen";
}
#endif
