#include "config/Difficulty.h"

#include "config/Settings.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(DifficultyTest, OneTableNamesEachDifficultyAndReadsTheNamesSettingsFilesHold) {
    // The words settings.ini files hold today keep their meaning.
    EXPECT_EQ(parseDifficulty("easy"), AiDifficulty::Easy);
    EXPECT_EQ(parseDifficulty("normal"), AiDifficulty::Normal);
    EXPECT_EQ(parseDifficulty("hard"), AiDifficulty::Hard);
    for (const char *unknown : {"", "Hard", "insane", " easy", "normal ", "2"})
        EXPECT_FALSE(parseDifficulty(unknown).has_value()) << '"' << unknown << '"';

    // Every difficulty has its own name, which reads back as it, and the settings file carries it.
    TempDir dir;
    const std::string path = (dir.path() / "settings.ini").string();
    std::set<std::string> names;
    for (int index = 0; index < kDifficultyCount; ++index) {
        const AiDifficulty difficulty = static_cast<AiDifficulty>(index);
        const std::string name = difficultyName(difficulty);
        EXPECT_TRUE(names.insert(name).second) << name << " named twice";
        EXPECT_EQ(parseDifficulty(name), difficulty) << name;

        Settings settings;
        settings.setDifficulty(difficulty);
        EXPECT_NE(settings.toText().find("difficulty = " + name + "\n"), std::string::npos) << name;
        ASSERT_TRUE(settings.write(path));
        EXPECT_EQ(Settings::read(path).getDifficulty(), difficulty) << name;
    }
}

} // namespace
