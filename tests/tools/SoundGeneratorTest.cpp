// The committed sounds in data/sounds/ must be exactly what tools/soundgen writes.
#include "audio/SoundId.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

#ifdef PANZER_SOUNDGEN
TEST(SoundGeneratorTest, RegeneratesEveryCommittedSoundByteForByte) {
    TempDir dir;
    const fs::path out = dir.path() / "data";
    const std::string command = std::string("\"") + PANZER_SOUNDGEN + "\" \"" + out.string() + "\" > \"" +
                                (dir.path() / "log.txt").string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << TempDir::read(dir.path() / "log.txt");
    const fs::path committed = fs::path(PANZER_SOURCE_DIR) / "data/sounds";
    std::size_t generated = 0;
    for (const auto &entry : fs::directory_iterator(out / "sounds")) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(TempDir::read(entry.path()), TempDir::read(committed / name))
            << name << " differs from the generator's output: run panzer_soundgen data";
        ++generated;
    }
    // The game asks for exactly the sounds the generator makes.
    EXPECT_EQ(generated, kSoundCount);
    for (const char *name : kSoundFileNames) {
        EXPECT_TRUE(fs::exists(out / "sounds" / name)) << name;
    }
}
#else
TEST(SoundGeneratorTest, RegeneratesEveryCommittedSoundByteForByte) {
    GTEST_SKIP() << "built without tools/soundgen";
}
#endif
