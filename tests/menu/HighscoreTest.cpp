#include "menu/Highscore.h"

#include "config/ConfigFile.h"
#include "config/ConfigReader.h"
#include "config/SafeFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

HighscoreElement entry(const char *name, int punkte) {
    HighscoreElement e;
    e.setName(name);
    e.setPunkte(punkte);
    return e;
}

// The table as (name, score) pairs, lowest score first.
std::vector<std::pair<std::string, int>> entries(const Highscore &table) {
    std::vector<std::pair<std::string, int>> out;
    for (int i = 0; i <= table.getSize(); ++i) {
        const HighscoreElement &e = table.getAllHighscoreElements()[i];
        out.emplace_back(e.getName(), e.getPunkte());
    }
    return out;
}

using Entries = std::vector<std::pair<std::string, int>>;

TEST(HighscoreElement, NameIsCutAndAlwaysTerminated) {
    HighscoreElement e;
    EXPECT_STREQ(e.getName(), "");
    EXPECT_EQ(e.getPunkte(), 0);

    e.setName("Red");
    EXPECT_STREQ(e.getName(), "Red");

    const std::string longName(40, 'x');
    e.setName(longName.c_str());
    EXPECT_EQ(std::strlen(e.getName()), 29u);
    EXPECT_EQ(std::string(e.getName()), longName.substr(0, 29));

    // Exactly 29 and 30 characters: the field ends in NUL either way.
    e.setName(std::string(29, 'a').c_str());
    EXPECT_EQ(std::string(e.getName()), std::string(29, 'a'));
    e.setName(std::string(30, 'b').c_str());
    EXPECT_EQ(std::string(e.getName()), std::string(29, 'b'));

    // A shorter name clears what a longer one left behind.
    e.setName("Al");
    EXPECT_STREQ(e.getName(), "Al");
    EXPECT_EQ(e.getName()[HighscoreElement::kNameSize - 1], '\0');

    // A short source without a terminator beyond the field is not read past what fits:
    // 29 readable bytes, the sanitizer build would catch a read of the 30th.
    std::vector<char> exact(29, 'z');
    e.setName(exact.data());
    EXPECT_EQ(std::string(e.getName()), std::string(29, 'z'));

    e.setName(nullptr);
    EXPECT_STREQ(e.getName(), "");
}

TEST(Highscore, SortedInsertionKeepsEqualScoresInOrder) {
    Highscore table;
    EXPECT_EQ(table.getSize(), -1);
    EXPECT_EQ(table.getAllHighscoreElements(), nullptr);

    table.addHighscore(entry("first50", 50));
    table.addHighscore(entry("ten", 10));
    table.addHighscore(entry("second50", 50));
    table.addHighscore(entry("thirty", 30));
    EXPECT_EQ(table.getSize(), 3);
    EXPECT_EQ(entries(table), (Entries{{"ten", 10}, {"thirty", 30}, {"first50", 50}, {"second50", 50}}));

    table.addHighscore(entry("low", -5));
    table.addHighscore(entry("top", 1000));
    EXPECT_EQ(entries(table).front(), (std::pair<std::string, int>{"low", -5}));
    EXPECT_EQ(entries(table).back(), (std::pair<std::string, int>{"top", 1000}));
}

TEST(Highscore, CopiesAreIndependent) {
    Highscore original;
    original.addHighscore(entry("a", 1));
    {
        Highscore copy = original;
        copy.addHighscore(entry("b", 2));
        EXPECT_EQ(copy.getSize(), 1);
        Highscore assigned;
        assigned = copy;
        assigned.addHighscore(entry("c", 0));
        EXPECT_EQ(entries(assigned), (Entries{{"c", 0}, {"a", 1}, {"b", 2}}));
    } // copies destroyed; the original's entries must still be intact
    EXPECT_EQ(entries(original), (Entries{{"a", 1}}));
}

class HighscoreFile : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::create_directories("data/config"); }

    TempDir dir;
    ScopedCwd cwd{dir.path()};
};

TEST_F(HighscoreFile, WritesTheExactFormat) {
    Highscore table;
    table.addHighscore(entry("Blue", 300));
    table.addHighscore(entry("Red", 120));
    ASSERT_TRUE(ConfigReader::SetHighscore(table));
    EXPECT_EQ(TempDir::read("data/config/highscore.ini"),
              "name1=Red\r\nscore1=120\r\n\r\nname2=Blue\r\nscore2=300\r\n\r\n");
    EXPECT_FALSE(std::filesystem::exists(temporaryFileFor("data/config/highscore.ini")));

    // An empty table replaces the file with an empty one.
    ASSERT_TRUE(ConfigReader::SetHighscore(Highscore()));
    EXPECT_TRUE(std::filesystem::exists("data/config/highscore.ini"));
    EXPECT_EQ(TempDir::read("data/config/highscore.ini"), "");
    EXPECT_EQ(ConfigReader::ReadHighscores().getSize(), -1);
}

TEST_F(HighscoreFile, RoundTripKeepsEntriesAndOrder) {
    Highscore table;
    table.addHighscore(entry("Anna", 50));
    table.addHighscore(entry("Ben", 10));
    table.addHighscore(entry("Carl Second", 50));
    table.addHighscore(entry("Dora = Eve", -3));
    table.addHighscore(entry(std::string(40, 'L').c_str(), 7));
    ASSERT_TRUE(ConfigReader::SetHighscore(table));
    Highscore back = ConfigReader::ReadHighscores();
    EXPECT_EQ(entries(back), entries(table));
    EXPECT_EQ(entries(back)[1].first, std::string(29, 'L'));

    // A line break in a name cannot forge further lines of the file.
    Highscore forged;
    forged.addHighscore(entry("Eve\r\nname2=Forged", 1));
    ASSERT_TRUE(ConfigReader::SetHighscore(forged));
    Highscore read = ConfigReader::ReadHighscores();
    ASSERT_EQ(read.getSize(), 0);
    EXPECT_EQ(read.getAllHighscoreElements()[0].getPunkte(), 1);
}

TEST_F(HighscoreFile, ReadingStopsAtAGapAndSortsTheEntries) {
    dir.write("data/config/highscore.ini",
              "# hand-written\nname1 = Zed\nscore1 = 90\nname2 = Amy\nscore2 = 15\n"
              "name4 = Lost\nscore4 = 1\nEndConfigFile\n");
    EXPECT_EQ(entries(ConfigReader::ReadHighscores()), (Entries{{"Amy", 15}, {"Zed", 90}}));

    dir.write("data/config/highscore.ini", "name1 = " + std::string(35, 'n') + "\nscore1 = 5\n");
    Highscore cut = ConfigReader::ReadHighscores();
    EXPECT_EQ(std::string(cut.getAllHighscoreElements()[0].getName()), std::string(29, 'n'));
}

TEST_F(HighscoreFile, Failures) {
    testing::internal::CaptureStderr();
    EXPECT_THROW(ConfigReader::ReadHighscores(), ConfigFile::file_not_found);
    dir.write("data/config/highscore.ini", "name1=Red\r\nscore1=120\r\n\r\nname2=Blue\r\n");
    try {
        ConfigReader::ReadHighscores();
        ADD_FAILURE() << "no exception";
    } catch (const ConfigFile::key_not_found &e) {
        EXPECT_EQ(e.key, "score2");
    }
    testing::internal::GetCapturedStderr();

    // No data/config folder: an Error line, false, nothing written.
    std::filesystem::remove_all("data");
    Highscore table;
    table.addHighscore(entry("Red", 120));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(ConfigReader::SetHighscore(table));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("Error: ", 0), 0u) << err;
    EXPECT_NE(err.find("data/config/highscore.ini"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists("data"));
}

} // namespace
