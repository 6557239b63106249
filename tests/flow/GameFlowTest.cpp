#include "flow/GameFlow.h"
#include "support/RecordingFlowHost.h"
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

using RecordingHost = RecordingFlowHost;

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

TEST_F(GameFlowTest, TheMenuWorksWithTheArrowsAndEnter) {
    const int up = KeyNames::special(KeyNames::kGlutUp), down = KeyNames::special(KeyNames::kGlutDown);
    press(kEnter);
    EXPECT_EQ(flow.getScreen(), GameFlow::kMenu) << "nothing lit: Enter only shows the cursor";
    std::vector<int> walked = {flow.getMenuCursor()};
    for (int i = 0; i < 6; ++i) {
        press(down);
        walked.push_back(flow.getMenuCursor());
    }
    EXPECT_EQ(walked,
              (std::vector<int>{MainMenu::kGame, MainMenu::kNetwork, MainMenu::kOptions, MainMenu::kHighscore,
                                MainMenu::kHelp, MainMenu::kExit, MainMenu::kGame}))
        << "top to bottom as the shipped menu stands, then round again";
    flow.setMenuCursor(MainMenu::kNone); // the pointer left the items: Up starts at the bottom
    press(up);
    EXPECT_EQ(flow.getMenuCursor(), MainMenu::kExit);

    flow.setMenuOrder(
        {MainMenu::kExit, 9, MainMenu::kOptions, MainMenu::kExit}); // unknown and repeated left out
    flow.setMenuCursor(MainMenu::kExit);
    press(down);
    ASSERT_EQ(flow.getMenuCursor(), MainMenu::kOptions);
    press(kEnter);
    EXPECT_EQ(flow.getScreen(), GameFlow::kOptions);
    press(kEscape);
    EXPECT_EQ(flow.getMenuCursor(), MainMenu::kOptions) << "back in the menu the item chosen stays lit";
    press(down);
    press(kEnter);
    EXPECT_EQ(host.calls.back(), "exit");
}

TEST_F(GameFlowTest, EnterLeavesTheResultAndFourPlayersNameTheirScoresByPad) {
    const int up = KeyNames::special(KeyNames::kGlutUp), down = KeyNames::special(KeyNames::kGlutDown);
    const int left = KeyNames::special(KeyNames::kGlutLeft), right = KeyNames::special(KeyNames::kGlutRight);
    flow.menuItem(MainMenu::kGame);
    press('4');
    press(kEnter);
    EXPECT_EQ(host.calls.back(), "start lvl1.lvl 4");
    host.outcome = BattleRules::kPlayerOneWins;
    flow.afterStep();
    host.candidates = {{0, "Anna", 900}, {1, "Ben", 700}, {2, "Player Three", 500}, {3, "Dora", 300}};
    press(kEnter);
    ASSERT_EQ(flow.getScreen(), GameFlow::kNameEntry) << "Enter goes on from the result as Escape does";
    EXPECT_EQ(flow.getNameEntry().getPlayer(), 0);
    press(kEnter);

    // Ben spells with the d-pad: Left takes a letter back, Up and Down turn the last, Right adds one.
    EXPECT_EQ(flow.getNameEntry().getPlayer(), 1);
    press(left);
    press(up);
    press(right);
    press(down);
    press(down);
    EXPECT_EQ(flow.getNameEntry().getName(), "Bfd");
    press('o', 'o'); // the keyboard still types
    press(kEnter);

    // Player three ends the name with blanks: the table keeps it without them.
    EXPECT_EQ(flow.getNameEntry().getPlayer(), 2);
    for (int i = 0; i < 5; ++i)
        press(left);
    press(right);
    EXPECT_EQ(flow.getNameEntry().getName(), "Player  ");
    press(kEnter);
    EXPECT_EQ(flow.getNameEntry().getPlayer(), 3);
    EXPECT_EQ(flow.getNamesAsked(), 4);
    press(kEscape);
    EXPECT_EQ(flow.getScreen(), GameFlow::kMenu);
    EXPECT_EQ(host.saved,
              (std::vector<std::pair<std::string, int>>{{"Anna", 900}, {"Bfdo", 700}, {"Player", 500}}));
}

TEST_F(GameFlowTest, APadJoiningOnTheLevelChoiceAddsItsPlayer) {
    flow.padJoined(2);
    flow.menuItem(MainMenu::kGame);
    EXPECT_EQ(flow.getLevelChoice().getPlayers(), 2) << "a pad pressed in the menu joins nobody";
    flow.padJoined(2);
    EXPECT_EQ(flow.getLevelChoice().getPlayers(), 3);
    flow.padJoined(0); // player one took a pad: still three
    flow.padJoined(4);
    EXPECT_EQ(flow.getLevelChoice().getPlayers(), 3);
    press(kEnter);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"players 3", "start lvl1.lvl 3"}));
}

TEST_F(GameFlowTest, APulledPadPausesTheBattleUntilEveryPadIsBack) {
    flow.padDisconnected(0);
    EXPECT_EQ(flow.pauseMessage(), "") << "in the menu a pad may come and go";
    ASSERT_TRUE(flow.startBattle("lvl1.lvl", 3));
    flow.padDisconnected(1);
    EXPECT_EQ(flow.getScreen(), GameFlow::kPaused);
    EXPECT_EQ(flow.pauseMessage(), "Player 2: pad disconnected");
    flow.padDisconnected(2);
    flow.padDisconnected(7); // no such player
    EXPECT_EQ(flow.pauseMessage(), "Player 2: pad disconnected, Player 3: pad disconnected");
    press('p');
    EXPECT_EQ(flow.getScreen(), GameFlow::kPaused) << "the pause key waits for the pads";
    flow.padReconnected(1);
    EXPECT_EQ(flow.getScreen(), GameFlow::kPaused) << "player three's pad is still missing";
    flow.padReconnected(2);
    EXPECT_EQ(flow.getScreen(), GameFlow::kBattle);
    EXPECT_EQ(flow.pauseMessage(), "");

    // A pause of the player's own outlasts a pad that comes and goes.
    press('p');
    flow.padDisconnected(0);
    flow.padReconnected(0);
    EXPECT_EQ(flow.getScreen(), GameFlow::kPaused);
    press('p');
    EXPECT_EQ(flow.getScreen(), GameFlow::kBattle);
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"start lvl1.lvl 3", "pause", "resume", "pause", "resume"}));

    // Escape ends a battle paused for a pad, which is forgotten with it.
    flow.padDisconnected(3);
    press(kEscape);
    EXPECT_EQ(flow.getScreen(), GameFlow::kMenu);
    EXPECT_EQ(flow.pauseMessage(), "");
    ASSERT_TRUE(flow.startBattle("lvl1.lvl", 4));
    host.outcome = BattleRules::kFailed;
    flow.afterStep();
    flow.padDisconnected(0);
    EXPECT_EQ(flow.getScreen(), GameFlow::kResult) << "a decided battle does not pause";
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

    // Up and Down turn the last letter round the alphabet; a name never starts with a blank.
    entry.turnLetter(-1);
    EXPECT_EQ(entry.getName(), "A") << "an empty name gets its first letter";
    entry.turnLetter(-1);
    EXPECT_EQ(entry.getName(), "!");
    entry.start("9", 5, 1);
    entry.turnLetter(1);
    EXPECT_EQ(entry.getName(), "-") << "the blank after 9 is skipped at the start";
    entry.start("x9", 5, 1);
    entry.turnLetter(1);
    EXPECT_EQ(entry.getName(), "x ") << "later in the name a blank is a letter";
    entry.start("x?", 5, 1);
    entry.turnLetter(1);
    EXPECT_EQ(entry.getName(), "xA") << "a typed letter outside the alphabet turns to its start";
    entry.start(std::string(NameEntry::kMaxLength, 'n'), 5, 1);
    entry.addLetter();
    EXPECT_EQ(entry.getName().size(), NameEntry::kMaxLength);
}

TEST(OptionsScreenTest, KeysAreTakenByTheirPressAndKeysInUseAreRefused) {
    OptionsScreen options;
    options.open(Settings(), PlayerConfig::defaults(), {});
    const int down = KeyNames::special(KeyNames::kGlutDown), up = KeyNames::special(KeyNames::kGlutUp);
    options.keyDown(kEnter); // shadows off
    EXPECT_FALSE(options.getSettings().getShadows());
    options.keyDown(up); // wraps to the last row: player two's zoom out
    EXPECT_EQ(options.getCursor(), OptionsScreen::kRowCount - 1);
    for (int i = 0; i < OptionsScreen::kKeyRow + 1; ++i)
        options.keyDown(down);
    ASSERT_EQ(options.getCursor(), OptionsScreen::kKeyRow); // player one forward

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

TEST(OptionsScreenTest, EveryRowIsOnAPageWithinTheScreenAndClicksHitWhatIsDrawn) {
    OptionsScreen options;
    options.open(Settings(), PlayerConfig::defaults(), {});
    for (const auto &[width, height] : {std::pair{1024, 768}, std::pair{800, 600}}) {
        std::vector<int> seen(OptionsScreen::kRowCount, 0);
        for (int page = 0; page < OptionsScreen::kPages; ++page) {
            ASSERT_EQ(options.getPage(), page);
            const MenuPage drawn = options.page(width, height);
            const float lowest =
                ScreenLayout::backRect(width, height).top - 0.07f * height; // the message's room
            for (const PageRow &row : drawn.rows) {
                const int hit =
                    options.rowAt(static_cast<int>(row.x) + 20, static_cast<int>(row.y) - 5, width, height);
                ASSERT_GE(hit, 0) << row.text;
                EXPECT_EQ(options.rowText(hit), row.text);
                EXPECT_EQ(OptionsScreen::pageOf(hit), page);
                EXPECT_LT(row.y, lowest) << row.text << " runs into the message and the buttons";
                ++seen[hit];
            }
            options.turnPage();
        }
        EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), OptionsScreen::kRowCount) << "each row once";
    }
    EXPECT_EQ(options.rowAt(5, 5, 1024, 768), -1);

    options.click(6); // the window choice
    EXPECT_NE(options.getWindow().width, 1024);
    options.click(12); // how two players share the window
    EXPECT_TRUE(options.getSettings().getSplitStacked());
    EXPECT_EQ(options.rowText(12), "Two players: one above the other");
    EXPECT_EQ(options.rowText(OptionsScreen::kRowCount - 3), "Player 2 zoom in: PageUp");
    EXPECT_EQ(options.rowText(OptionsScreen::kRowCount - 1), "Screenshot: Insert");
    EXPECT_EQ(options.rowText(OptionsScreen::kPadRow), "Pad fire: A");
    EXPECT_EQ(options.rowText(-1), "");

    // Walking down, the page turns with the cursor; Page Up and Page Down turn it at once.
    options.keyDown(KeyNames::special(KeyNames::kGlutPageDown));
    EXPECT_EQ(options.getCursor(), OptionsScreen::kKeyRow);
    options.keyDown(KeyNames::special(KeyNames::kGlutUp));
    EXPECT_EQ(options.getPage(), 0) << "the row above the first key is the last pad button";
    options.keyDown(KeyNames::special(KeyNames::kGlutPageDown));
    options.keyDown(KeyNames::special(KeyNames::kGlutPageUp));
    EXPECT_EQ(options.getCursor(), 0);
}

TEST(OptionsScreenTest, TheDeadZoneMovesInItsStepsAndWrapsAsTheVolumesDo) {
    OptionsScreen options;
    Settings settings;
    settings.setDeadZone(48);
    options.open(settings, PlayerConfig::defaults(), {});
    options.click(13);
    EXPECT_EQ(options.rowText(13), "Pad dead zone: 50 %");
    options.keyDown(KeyNames::special(KeyNames::kGlutRight));
    EXPECT_EQ(options.getSettings().getDeadZone(), 0);
    options.keyDown(KeyNames::special(KeyNames::kGlutLeft));
    EXPECT_EQ(options.getSettings().getDeadZone(), 50);
    options.click(14);
    EXPECT_EQ(options.rowText(14), "Pad rumble: off");
}

TEST(OptionsScreenTest, PadButtonsAreTakenByTheirPressAndButtonsInUseAreRefused) {
    RecordingHost host;
    GameFlow flow(host);
    flow.menuItem(MainMenu::kOptions);
    EXPECT_FALSE(flow.padButtonDown(PadButton::A)) << "taking no button: the press is Enter";
    for (int i = 0; i < OptionsScreen::kPadRow; ++i)
        flow.keyDown(KeyNames::special(KeyNames::kGlutDown), 0);
    const OptionsScreen &options = flow.getOptions();
    ASSERT_EQ(options.rowText(options.getCursor()), "Pad fire: A");

    flow.keyDown(kEnter, 0);
    flow.keyDown('x', 'x'); // a key is no pad button: still waiting
    EXPECT_EQ(options.rowText(options.getCursor()), "Pad fire: ?");
    EXPECT_TRUE(flow.padButtonDown(PadButton::Start));
    EXPECT_EQ(options.getMessage(), "Start is already used for Pad pause.");
    flow.keyDown(kEnter, 0);
    EXPECT_TRUE(flow.padButtonDown(PadButton::DpadLeft));
    EXPECT_EQ(options.getSettings().getPadBindings().get(PadBindings::kFire), PadButton::A)
        << "the d-pad drives";
    flow.keyDown(kEnter, 0);
    flow.keyDown(kEscape, 0); // cancels taking, stays on the screen
    EXPECT_FALSE(options.isTakingPadButton());

    flow.keyDown(kEnter, 0); // while taking a button a click on the back button does nothing
    const ScreenLayout::Rect back = ScreenLayout::backRect(1024, 768),
                             keys = ScreenLayout::actionRect(1024, 768);
    flow.click(static_cast<int>(back.left) + 5, static_cast<int>(back.top) + 5, 1024, 768);
    EXPECT_TRUE(flow.padButtonDown(PadButton::X));
    EXPECT_EQ(options.rowText(options.getCursor()), "Pad fire: X");
    EXPECT_FALSE(flow.padButtonDown(PadButton::Y)) << "one button per Enter";

    flow.click(static_cast<int>(keys.left) + 5, static_cast<int>(keys.top) + 5, 1024, 768);
    EXPECT_EQ(options.getPage(), 1) << "the action button turns the page";
    flow.keyDown(kEscape, 0);
    EXPECT_EQ(flow.getScreen(), GameFlow::kMenu);
    EXPECT_EQ(host.savedPad.get(PadBindings::kFire), PadButton::X) << "leaving saves the pad buttons too";
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

TEST(ScreenLayoutTest, HelpShowsThePadAsBoundAndFitsTheSmallestWindow) {
    PadBindings pad = PadBindings::defaults();
    pad.set(PadBindings::kFire, PadButton::X);
    const MenuPage page = ScreenLayout::help(PlayerConfig::defaults(), pad, 800, 600);
    std::string all;
    float above = 0;
    for (const PageRow &row : page.rows) {
        all += row.text + "\n";
        EXPECT_LE(row.text.size(), 85u) << "wider than 800 pixels hold: " << row.text;
        EXPECT_GT(row.y, above + 17) << "lines of 18 pixels need room: " << row.text;
        above = row.y;
    }
    EXPECT_LT(above, ScreenLayout::backRect(800, 600).top - 10) << "the last line clears the back button";
    for (const char *expected :
         {"X or RT fires", "LB and RB zoom", "Start pauses", "Back leaves the battle", "right stick",
          "A chooses, B goes back", "join as the next player", "four players", "hosts a battle"})
        EXPECT_NE(all.find(expected), std::string::npos) << expected << " in\n" << all;
}

TEST(ScreenLayoutTest, TheNameEntryShowsTheLetterThePadTurns) {
    std::string all;
    for (const PageRow &row : ScreenLayout::nameEntry("Anna", 900, 2, 1024, 768).rows)
        all += row.text + "\n";
    EXPECT_NE(all.find("Player 3, your 900 points"), std::string::npos) << all;
    EXPECT_NE(all.find("Ann[a]"), std::string::npos) << all;
    all.clear();
    for (const PageRow &row : ScreenLayout::nameEntry("", 900, 0, 1024, 768).rows)
        all += row.text + "\n";
    EXPECT_NE(all.find("[ ]"), std::string::npos) << all;
}

} // namespace
