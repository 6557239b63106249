#include "flow/LevelChoice.h"

#include "config/KeyNames.h"
#include "flow/ScreenLayout.h"
#include "level/Level.h"
#include "level/LevelFileReader.h"
#include "level/PlayerStarts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>

namespace {

constexpr int kEnter = 13, kEscape = 27, kTab = 9;

std::unique_ptr<Level> level(const std::string &name, const std::string &ground, int computerTanks) {
    std::string text = "[LEVELDETAILS]\nname=" + name +
                       "\nx1=-50\ny1=-50\nx2=50\ny2=50\nbgpicture=" + ground +
                       "\npartime=95\n[OBJECT]\nname=house\npos_x=0\npos_z=0\n"
                       "[VEHICLE]\nowner=spieler1\npos_x=-40\npos_z=-40\n"
                       "[VEHICLE]\nowner=spieler2\npos_x=-40\npos_z=40\n";
    for (int i = 0; i < computerTanks; ++i)
        text += "[VEHICLE]\nowner=cpu\npos_x=40\npos_z=" + std::to_string(10 * i) + "\n";
    std::istringstream in(text);
    return LevelFileReader().readLevel(in, name);
}

std::string allText(const MenuPage &page) {
    std::string all;
    for (const PageRow &row : page.rows)
        all += row.text + "\n";
    return all;
}

TEST(LevelIndexTest, ListsLevelFilesInOrderAndReportsLinesThatNameNone) {
    std::istringstream in("# battlefields\n\nlvl2.lvl = Snow Hills  # the second\nlvl1.lvl\n"
                          "../secret.lvl\nreadme.txt = x\nlvl2.lvl = again\n");
    testing::internal::CaptureStderr();
    const std::vector<LevelIndex::Entry> entries = LevelIndex::parse(in, "levels.ini");
    const std::string errors = testing::internal::GetCapturedStderr();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].file, "lvl2.lvl");
    EXPECT_EQ(entries[0].title, "Snow Hills");
    EXPECT_EQ(entries[1].file, "lvl1.lvl");
    EXPECT_EQ(entries[1].title, "");
    EXPECT_EQ(errors.rfind("Error: levels.ini: line 5 names no level file", 0), 0u) << errors;
    EXPECT_NE(errors.find("(and 2 more lines)"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("Error:", 1), std::string::npos) << "one line for the file\n" << errors;

    std::vector<LevelIndex::Entry> none;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(LevelIndex::read("/nonexistent/levels.ini", none));
    EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("Error: /nonexistent/levels.ini", 0), 0u);
}

TEST(LevelChoiceTest, OffersTheIndexedLevelsAndSaysWhichAreMissing) {
    const auto one = level("lvl1.lvl", "ground.png", 4), small = level("test_small.lvl", "ground.png", 1);
    const std::map<std::string, Level *> files = {{"lvl1.lvl", one.get()}, {"test_small.lvl", small.get()}};
    const auto failed = [](const std::string &file) { return file == "broken.lvl"; };
    const std::vector<LevelIndex::Entry> index = {
        {"gone.lvl", ""}, {"broken.lvl", ""}, {"lvl1.lvl", "Valley"}};

    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    const auto entries = LevelChoice::collect(&index, files, failed, "levels.ini");
    const std::string out = testing::internal::GetCapturedStdout(),
                      errors = testing::internal::GetCapturedStderr();
    ASSERT_EQ(entries.size(), 1u) << "test levels stay out, missing and broken files are left out";
    EXPECT_EQ(entries[0].title, "Valley");
    EXPECT_EQ(entries[0].computerTanks, 4);
    EXPECT_EQ(entries[0].parTime, 95);
    EXPECT_EQ(entries[0].goal, "Last Man Standing");
    EXPECT_EQ(errors.rfind("Error: levels.ini: data/level/gone.lvl", 0), 0u) << errors;
    EXPECT_EQ(errors.find("Error:", 1), std::string::npos) << "one line, none for the broken file\n"
                                                           << errors;
    EXPECT_NE(out.find("broken.lvl did not load"), std::string::npos) << out;

    const auto all = LevelChoice::collect(nullptr, files, failed, "levels.ini");
    ASSERT_EQ(all.size(), 2u) << "no index: every level";
    EXPECT_EQ(all[1].file, "test_small.lvl");
    EXPECT_EQ(all[1].title, "test_small.lvl");
}

TEST(LevelChoiceTest, CountsAndMarksOnlyTheTanksTheBattleWillHave) {
    // The battle starts no tank for an owner it does not know ("Spieler1" is no owner: names are
    // case-sensitive), so the choice neither counts nor marks one.
    std::istringstream in("[LEVELDETAILS]\nname=odd.lvl\nx1=-50\ny1=-50\nx2=50\ny2=50\n"
                          "[VEHICLE]\nowner=spieler1\npos_x=-40\npos_z=-40\n"
                          "[VEHICLE]\nowner=Spieler1\npos_x=0\npos_z=0\n"
                          "[VEHICLE]\nowner=nobody\npos_x=10\npos_z=10\n"
                          "[VEHICLE]\nowner=cpu\npos_x=40\npos_z=40\n");
    const std::unique_ptr<Level> odd = LevelFileReader().readLevel(in, "odd.lvl");
    const LevelChoice::Entry entry = LevelChoice::describe("odd.lvl", "", *odd);
    EXPECT_EQ(entry.computerTanks, 1);
    ASSERT_EQ(entry.markers.size(), 4u);
    EXPECT_EQ(entry.markers[0].kind, LevelChoice::Marker::kPlayerOne);
    EXPECT_EQ(entry.markers[1].kind, LevelChoice::Marker::kComputer);
    EXPECT_NEAR(entry.markers[1].x, 0.9f, 1e-5f) << "the cpu tank at x = 40, not an unknown one";
    // Players three and four where the battle would start them: beside player one, on its sides.
    EXPECT_EQ(entry.markers[2].kind, LevelChoice::Marker::kPlayerThree);
    EXPECT_EQ(entry.markers[3].kind, LevelChoice::Marker::kPlayerFour);
    for (int k = 2; k < 4; ++k)
        EXPECT_NEAR(std::hypot(entry.markers[k].x - entry.markers[0].x, entry.markers[k].y - entry.markers[0].y),
                    PlayerStarts::kBeside / 100.0f, 1e-4f);
}

TEST(LevelChoiceTest, ShowsTheChallengeTheLevelFileGivesForTheChosenPlayers) {
    std::istringstream in("[LEVELDETAILS]\nname=rated.lvl\nx1=-50\ny1=-50\nx2=50\ny2=50\n"
                          "challenge1=tough\nchallenge2=fair\n[VEHICLE]\nowner=cpu\npos_x=40\npos_z=40\n"
                          "[VEHICLE]\nowner=cpu\nfrom_difficulty=hard\npos_x=30\npos_z=30\n"
                          "[VEHICLE]\nowner=cpu\nfrom_players=3\npos_x=20\npos_z=20\n");
    const std::unique_ptr<Level> rated = LevelFileReader().readLevel(in, "rated.lvl");
    // Files without the keys, or with a word that rates nothing, show no rating.
    std::istringstream plain("[LEVELDETAILS]\nname=plain.lvl\nchallenge1=impossible\n");
    const std::unique_ptr<Level> unrated = LevelFileReader().readLevel(plain, "plain.lvl");
    ASSERT_TRUE(rated && unrated);
    EXPECT_EQ(unrated->getChallenge(1), "");

    LevelChoice choice;
    choice.open({LevelChoice::describe("rated.lvl", "", *rated), LevelChoice::describe("plain.lvl", "", *unrated)}, 1);
    EXPECT_NE(allText(choice.page(1024, 768)).find("For one player: tough"), std::string::npos);
    // Only the tanks that join this battle are counted and marked.
    EXPECT_NE(allText(choice.page(1024, 768)).find("Destroy the computer tank"), std::string::npos);
    EXPECT_EQ(choice.page(1024, 768).picture.markers.size(), 1u);
    choice.setPlayers(3);
    EXPECT_NE(allText(choice.page(1024, 768)).find("For the players together: fair"), std::string::npos);
    EXPECT_NE(allText(choice.page(1024, 768)).find("Computer tanks: 2"), std::string::npos);
    choice.setDifficulty(AiDifficulty::Hard);
    EXPECT_NE(allText(choice.page(1024, 768)).find("Computer tanks: 3"), std::string::npos);
    choice.select(1);
    EXPECT_EQ(allText(choice.page(1024, 768)).find("For "), std::string::npos);
}

struct LevelChoiceScreenTest : ::testing::Test {
    std::unique_ptr<Level> one = level("lvl1.lvl", "ground.png", 3), two = level("lvl2.lvl", "snow.png", 1);
    LevelChoice choice;
    void SetUp() override {
        choice.open(
            {LevelChoice::describe("lvl1.lvl", "Valley", *one), LevelChoice::describe("lvl2.lvl", "", *two)},
            2);
    }
};

TEST_F(LevelChoiceScreenTest, KeysChooseWrapAroundAndStart) {
    EXPECT_EQ(choice.getSelected(), 0);
    EXPECT_EQ(choice.keyDown(KeyNames::special(KeyNames::kGlutLeft)), LevelChoice::kNothing);
    EXPECT_EQ(choice.getSelected(), 1) << "wraps to the last";
    choice.keyDown(KeyNames::special(KeyNames::kGlutDown));
    EXPECT_EQ(choice.getSelected(), 0) << "wraps to the first";
    choice.keyDown(KeyNames::special(KeyNames::kGlutRight));
    EXPECT_EQ(choice.selectedEntry()->file, "lvl2.lvl");
    choice.keyDown('1');
    EXPECT_EQ(choice.getPlayers(), 1);
    std::vector<int> cycled;
    for (int i = 0; i < 4; ++i) {
        choice.keyDown(kTab);
        cycled.push_back(choice.getPlayers());
    }
    EXPECT_EQ(cycled, (std::vector<int>{2, 3, 4, 1}));
    choice.keyDown('4');
    EXPECT_EQ(choice.getPlayers(), 4);
    choice.keyDown('5');
    choice.keyDown('0');
    EXPECT_EQ(choice.getPlayers(), 4) << "no such player count";
    choice.keyDown('2');
    EXPECT_EQ(choice.keyDown(kEnter), LevelChoice::kStart);
    EXPECT_EQ(choice.keyDown(kEscape), LevelChoice::kBack);

    LevelChoice empty;
    empty.open({}, 5);
    EXPECT_EQ(empty.getPlayers(), 2);
    empty.open({}, 3);
    EXPECT_EQ(empty.getPlayers(), 3);
    empty.open({}, 0);
    EXPECT_EQ(empty.getPlayers(), 2);
    EXPECT_EQ(empty.keyDown(KeyNames::special(KeyNames::kGlutDown)), LevelChoice::kNothing);
    EXPECT_EQ(empty.getSelected(), -1);
    EXPECT_EQ(empty.keyDown(kEnter), LevelChoice::kNothing) << "nothing to start";
    EXPECT_FALSE(empty.page(1024, 768).message.empty());
}

TEST_F(LevelChoiceScreenTest, ThePageShowsTheChosenLevelAndClicksHitWhatItDraws) {
    MenuPage page = choice.page(1024, 768);
    const std::string text = allText(page);
    for (const char *expected : {"Valley", "lvl2.lvl", "Computer tanks: 3", "Destroy all 3 computer tanks",
                                 "Goal: Last Man Standing", "Par time: 1:35", "[x] 2 players"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;
    EXPECT_EQ(page.picture.texture, "ground.png");
    ASSERT_EQ(page.picture.markers.size(), 6u); // a house, two players, three computer tanks
    EXPECT_NEAR(page.picture.markers[0].x, 0.5f, 1e-5f);
    EXPECT_NEAR(page.picture.markers[1].y, 0.1f, 1e-5f) << "player one at z = -40 of -50..50";

    // A click on the second title chooses it; the picture and the details follow.
    const PageRow &second = page.rows[1];
    EXPECT_EQ(choice.click(static_cast<int>(second.x) + 10, static_cast<int>(second.y) - 5, 1024, 768),
              LevelChoice::kNothing);
    page = choice.page(1024, 768);
    EXPECT_EQ(page.picture.texture, "snow.png");
    EXPECT_NE(allText(page).find("Destroy the computer tank"), std::string::npos);

    // "1 player" leaves player two's tank out of the picture.
    const ScreenLayout::Rect onePlayer = ScreenLayout::rowRect(LevelChoice::kPlayersRow, 0, 2, 1024, 768);
    choice.click(static_cast<int>(onePlayer.left) + 10, static_cast<int>(onePlayer.bottom) - 3, 1024, 768);
    EXPECT_EQ(choice.getPlayers(), 1);
    EXPECT_EQ(choice.page(1024, 768).picture.markers.size(), 3u);

    const ScreenLayout::Rect start = ScreenLayout::actionRect(1024, 768),
                             back = ScreenLayout::backRect(1024, 768);
    EXPECT_EQ(choice.click(static_cast<int>(start.left) + 5, static_cast<int>(start.top) + 5, 1024, 768),
              LevelChoice::kStart);
    EXPECT_EQ(choice.click(static_cast<int>(back.left) + 5, static_cast<int>(back.top) + 5, 1024, 768),
              LevelChoice::kBack);
    EXPECT_EQ(choice.click(3, 3, 1024, 768), LevelChoice::kNothing);
    EXPECT_EQ(choice.getSelected(), 1);
}

TEST_F(LevelChoiceScreenTest, FourPlayersTheirTanksAndTheirControls) {
    std::istringstream in("[LEVELDETAILS]\nname=four.lvl\nx1=-50\ny1=-50\nx2=50\ny2=50\n"
                          "[VEHICLE]\nowner=spieler4\npos_x=40\npos_z=40\n"
                          "[VEHICLE]\nowner=spieler3\npos_x=-40\npos_z=40\n"
                          "[VEHICLE]\nowner=spieler2\npos_x=40\npos_z=-40\n"
                          "[VEHICLE]\nowner=spieler1\npos_x=-40\npos_z=-40\n"
                          "[VEHICLE]\nowner=spieler5\npos_x=0\npos_z=0\n");
    const std::unique_ptr<Level> four = LevelFileReader().readLevel(in, "four.lvl");
    choice.open({LevelChoice::describe("four.lvl", "Four Corners", *four)}, 4);
    ASSERT_EQ(choice.selectedEntry()->markers.size(), 4u) << "no tank for a fifth player";
    EXPECT_EQ(choice.selectedEntry()->markers[0].kind, LevelChoice::Marker::kPlayerFour);
    EXPECT_EQ(choice.selectedEntry()->markers[1].kind, LevelChoice::Marker::kPlayerThree);

    choice.setControls({"Player 1: keyboard (W A S D, Space)",
                        "Player 2: keyboard + pad: Xbox 360 Controller",
                        "Player 3: press A or Start on a pad", "Player 4: press A or Start on a pad"});
    MenuPage page = choice.page(1024, 768);
    std::set<std::vector<float>> colours; // each player's tank in a colour of its own
    for (const PageMarker &marker : page.picture.markers)
        colours.insert({marker.red, marker.green, marker.blue});
    EXPECT_EQ(colours.size(), 4u);
    std::string text = allText(page);
    for (const char *expected : {"[x] 4 players", "[  ] 3 players", "Player 4: press A", "Xbox 360"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;
    EXPECT_EQ(text.find("to join"), std::string::npos) << "four players: nobody more can join\n" << text;

    // Three players: the fourth tank stays out, the fourth's controls too, and one more may join.
    const ScreenLayout::Rect three = ScreenLayout::rowRect(LevelChoice::kPlayersRow + 2, 0, 2, 1024, 768);
    choice.click(static_cast<int>(three.left) + 10, static_cast<int>(three.bottom) - 3, 1024, 768);
    ASSERT_EQ(choice.getPlayers(), 3);
    page = choice.page(1024, 768);
    text = allText(page);
    EXPECT_EQ(page.picture.markers.size(), 3u);
    EXPECT_EQ(text.find("Player 4:"), std::string::npos) << text;
    EXPECT_NE(text.find("Player 3: press A"), std::string::npos) << text;
    EXPECT_NE(text.find("Press A or Start on a pad to join"), std::string::npos) << text;

    // Every row stays clear of the message line and the buttons, even with fewer controls than players.
    choice.setControls({"Player 1: keyboard"});
    for (int players = 1; players <= LevelChoice::kMaxPlayers; ++players) {
        choice.setPlayers(players);
        for (const PageRow &row : choice.page(800, 600).rows)
            EXPECT_LT(row.y, 0.87f * 600) << row.text;
    }
}

} // namespace
