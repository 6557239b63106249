#include "flow/GameFlow.h"
#include "config/KeyNames.h"
#include "flow/NameEntry.h"
#include "flow/OptionsScreen.h"
#include "flow/ScreenLayout.h"
#include "menu/MainMenu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int kEscape = 27, kEnter = 13, kBackspace = 8;

// Records what the flow asked for.
struct RecordingHost : FlowHost {
    bool levelPresent = true;
    BattleRules::Outcome outcome = BattleRules::kRunning;
    std::vector<Candidate> candidates;
    std::vector<std::string> calls;
    std::vector<std::pair<std::string, int>> saved;
    PlayerConfig keys = PlayerConfig::defaults();

    bool startBattle(const std::string &levelFile, int players) override {
        calls.push_back("start " + levelFile + " " + std::to_string(players));
        return levelPresent;
    }
    void leaveBattle() override { calls.push_back("leave"); }
    void exitProgram() override { calls.push_back("exit"); }
    void pauseBattle(bool paused) override { calls.push_back(paused ? "pause" : "resume"); }
    BattleRules::Outcome battleOutcome() const override { return outcome; }
    std::vector<Candidate> newHighscores() const override { return candidates; }
    void addHighscore(const std::string &name, int score) override { saved.emplace_back(name, score); }
    void openOptions(OptionsScreen &options) override { options.open(Settings(), keys, {}); }
    void saveOptions(const OptionsScreen &options) override {
        keys = options.getKeys();
        calls.push_back("save");
    }
    int pauseKey() const override { return 'p'; }
    bool watchReplay() override {
        calls.push_back("replay");
        outcome = BattleRules::kRunning; // the recorded battle starts again
        return replays;
    }
    bool replays = true; // a replay of the battle is there to watch
    void openLevelChoice(LevelChoice &choice) override {
        LevelChoice::Entry one, two;
        one.file = "lvl1.lvl";
        two.file = "lvl2.lvl";
        choice.open({one, two}, players);
    }
    void savePlayers(int count) override {
        if (count != players)
            calls.push_back("players " + std::to_string(count));
        players = count;
    }
    int players = 2; // as settings.ini says
};

struct GameFlowTest : ::testing::Test {
    RecordingHost host;
    GameFlow flow{host};
    void press(int code, unsigned char typed = 0) {
        flow.keyDown(code, typed);
        flow.keyUp(code);
    }
};

TEST_F(GameFlowTest, EscapeOnAScreenReturnsToTheMenuAndOnlyTheMenuEndsTheProgram) {
    for (int item : {MainMenu::kOptions, MainMenu::kHelp, MainMenu::kHighscore}) {
        flow.menuItem(item);
        EXPECT_NE(flow.getScreen(), GameFlow::kMenu) << item;
        flow.keyDown(kEscape, 0);
        EXPECT_EQ(flow.getScreen(), GameFlow::kMenu) << item;
        flow.keyUp(kEscape); // the release lands in the menu: it must not end the program
    }
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "exit"), 0);
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "save"), 1) << "leaving Options saves";
    press(kEscape);
    EXPECT_EQ(host.calls.back(), "exit");
}

TEST_F(GameFlowTest, BattleStartsPausesResumesAndLeaves) {
    host.levelPresent = false;
    flow.menuItem(MainMenu::kGame);
    ASSERT_EQ(flow.getScreen(), GameFlow::kLevelChoice);
    press(kEnter);
    EXPECT_EQ(flow.getScreen(), GameFlow::kLevelChoice) << "no level: the choice stays";
    EXPECT_FALSE(flow.getLevelChoice().page(1024, 768).message.empty());
    host.levelPresent = true;
    press(KeyNames::special(KeyNames::kGlutRight));
    press('1');
    press(kEnter);
    ASSERT_EQ(flow.getScreen(), GameFlow::kBattle);
    press('p');
    EXPECT_EQ(flow.getScreen(), GameFlow::kPaused);
    EXPECT_FALSE(flow.battleRuns());
    press('p');
    EXPECT_EQ(flow.getScreen(), GameFlow::kBattle);
    flow.windowHidden();
    EXPECT_EQ(flow.getScreen(), GameFlow::kPaused);
    press(kEscape);
    EXPECT_EQ(flow.getScreen(), GameFlow::kMenu);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"start lvl1.lvl 2", "players 1", "start lvl2.lvl 1", "pause",
                                                    "resume", "pause", "resume", "leave"}));
    flow.menuItem(MainMenu::kGame);
    EXPECT_EQ(flow.getLevelChoice().getSelected(), 1) << "the choice of last time stays";
    flow.keyDown(kEscape, 0);
    EXPECT_EQ(flow.getScreen(), GameFlow::kMenu);
    flow.keyUp(kEscape);
    EXPECT_NE(host.calls.back(), "exit") << "the Escape that left the level choice does not end the program";
}

TEST_F(GameFlowTest, ABattleStartedFromTheCommandLineLeadsToTheMenu) {
    ASSERT_TRUE(flow.startBattle("lvl3.lvl", 1));
    EXPECT_EQ(host.calls.back(), "start lvl3.lvl 1");
    EXPECT_FALSE(flow.startBattle("lvl2.lvl", 2)) << "one battle at a time";
    flow.keyDown(kEscape, 0);
    EXPECT_EQ(flow.getScreen(), GameFlow::kMenu);
    flow.keyUp(kEscape);
    EXPECT_NE(host.calls.back(), "exit") << "the Escape that left the battle does not end the program";
}

TEST_F(GameFlowTest, TheResultsReplayKeyPlaysTheBattleAgainAndItsEndLeadsToTheMenu) {
    flow.menuItem(MainMenu::kGame);
    press(kEnter);
    host.outcome = BattleRules::kFailed;
    flow.afterStep();
    ASSERT_EQ(flow.getScreen(), GameFlow::kResult);
    press(GameFlow::kReplayKey);
    EXPECT_EQ(flow.getScreen(), GameFlow::kBattle);
    EXPECT_EQ(host.calls.back(), "replay");
    host.outcome = BattleRules::kFailed;
    flow.afterStep();
    EXPECT_EQ(flow.getScreen(), GameFlow::kResult); // the replay comes to its result too
    press(kEscape);
    EXPECT_EQ(flow.getScreen(), GameFlow::kMenu);
}

TEST_F(GameFlowTest, ADecidedBattleShowsItsResultThenAsksForEachNewHighscore) {
    flow.menuItem(MainMenu::kGame);
    press(kEnter);
    flow.afterStep();
    EXPECT_EQ(flow.getScreen(), GameFlow::kBattle);
    host.outcome = BattleRules::kPlayerOneWins;
    flow.afterStep();
    ASSERT_EQ(flow.getScreen(), GameFlow::kResult);
    EXPECT_TRUE(flow.battleRuns()) << "the battle goes on behind the result";
    press('p');
    EXPECT_EQ(flow.getScreen(), GameFlow::kResult) << "a decided battle does not pause";

    host.candidates = {{0, "Anna", 900}, {1, "Ben", 300}};
    host.replays = false;
    press(GameFlow::kReplayKey); // no replay to watch: the result stays
    EXPECT_EQ(flow.getScreen(), GameFlow::kResult);
    press(kEscape);
    ASSERT_EQ(flow.getScreen(), GameFlow::kNameEntry);
    EXPECT_EQ(flow.getNameEntry().getName(), "Anna");
    for (int i = 0; i < 4; ++i)
        press(kBackspace);
    for (unsigned char c : std::string("Ax#=e"))
        press(c, c);
    press(kEnter);
    ASSERT_EQ(flow.getScreen(), GameFlow::kNameEntry);
    EXPECT_EQ(flow.getNameEntry().getName(), "Ben");
    EXPECT_EQ(flow.getNamesAsked(), 2) << "the second entry follows on the same screen: it is counted";
    press(kEscape); // skips Ben
    EXPECT_EQ(flow.getScreen(), GameFlow::kMenu);
    EXPECT_EQ(host.saved, (std::vector<std::pair<std::string, int>>{{"Axe", 900}}));
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "exit"), 0);
}

TEST(NameEntryTest, KeepsToWhatTheFileCanHold) {
    NameEntry entry;
    entry.start(std::string(40, 'n'), 5, 1);
    EXPECT_EQ(entry.getName().size(), NameEntry::kMaxLength);
    entry.start("a#b=c\td", 5, 1);
    EXPECT_EQ(entry.getName(), "abcd");
    entry.backspace();
    entry.backspace();
    entry.backspace();
    entry.backspace();
    entry.backspace();
    EXPECT_EQ(entry.getName(), "");
}

TEST(OptionsScreenTest, KeysAreTakenByTheirPressAndKeysInUseAreRefused) {
    OptionsScreen options;
    options.open(Settings(), PlayerConfig::defaults(), {});
    const int down = KeyNames::special(KeyNames::kGlutDown), up = KeyNames::special(KeyNames::kGlutUp);
    options.keyDown(kEnter); // shadows off
    EXPECT_FALSE(options.getSettings().getShadows());
    options.keyDown(up); // wraps to the last row: player two's zoom out
    EXPECT_EQ(options.getCursor(), OptionsScreen::kRowCount - 1);
    for (int i = 0; i < OptionsScreen::kSettingRows + 1; ++i)
        options.keyDown(down);
    ASSERT_EQ(options.getCursor(), OptionsScreen::kSettingRows); // player one forward

    options.keyDown(kEnter);
    ASSERT_TRUE(options.isTakingKey());
    EXPECT_FALSE(options.keyDown('D')) << "a key press while taking a key never leaves the screen";
    EXPECT_EQ(options.getKeys().getUpButton1(), 'w');
    EXPECT_NE(options.getMessage().find("already used for Player 1 turn right"), std::string::npos)
        << options.getMessage();

    options.keyDown(kEnter);
    options.keyDown(KeyNames::special(5));
    EXPECT_EQ(options.getKeys().getUpButton1(), 'w') << "function keys stay theirs";

    options.keyDown(kEnter);
    options.keyDown(kEscape); // cancels taking, stays on the screen
    EXPECT_FALSE(options.isTakingKey());
    options.keyDown(kEnter);
    options.keyDown('I');
    EXPECT_EQ(options.getKeys().getUpButton1(), 'i');
    EXPECT_TRUE(options.keyDown(kEscape));
}

TEST(OptionsScreenTest, ClicksHitTheRowsTheScreenDraws) {
    OptionsScreen options;
    options.open(Settings(), PlayerConfig::defaults(), {});
    const MenuPage page = options.page(1024, 768);
    ASSERT_EQ(page.rows.size(), static_cast<std::size_t>(OptionsScreen::kRowCount));
    for (int row = 0; row < OptionsScreen::kRowCount; ++row) {
        const PageRow &drawn = page.rows[row];
        EXPECT_EQ(
            OptionsScreen::rowAt(static_cast<int>(drawn.x) + 20, static_cast<int>(drawn.y) - 5, 1024, 768),
            row);
    }
    EXPECT_EQ(OptionsScreen::rowAt(5, 5, 1024, 768), -1);
    options.click(6); // the window choice
    EXPECT_NE(options.getWindow().width, 1024);
    options.click(12); // how two players share the window
    EXPECT_TRUE(options.getSettings().getSplitStacked());
    EXPECT_EQ(options.rowText(12), "Two players: one above the other");
    EXPECT_EQ(options.rowText(OptionsScreen::kRowCount - 2), "Player 2 zoom in: PageUp");
}

TEST(ScreenLayoutTest, HelpShowsTheKeysAsBoundNow) {
    PlayerConfig keys = PlayerConfig::defaults();
    keys.setShootButton1('q');
    std::string all;
    for (const PageRow &row : ScreenLayout::help(keys, 1024, 768).rows)
        all += row.text + "\n";
    for (const char *expected : {"forward W", "fire Q", "forward Up", "fire Enter", "Pause: P", "F11"})
        EXPECT_NE(all.find(expected), std::string::npos) << expected << " in\n" << all;
}

} // namespace
