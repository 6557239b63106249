#include "config/KeyNames.h"
#include "flow/GameFlow.h"
#include "flow/ScreenLayout.h"
#include "menu/MainMenu.h"
#include "support/RecordingFlowHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int kEscape = 27, kEnter = 13, kBackspace = 8;
constexpr int kWidth = 1024, kHeight = 768;

struct NetworkScreensTest : ::testing::Test {
    RecordingFlowHost host;
    GameFlow flow{host};
    void press(int code, unsigned char typed = 0) {
        flow.keyDown(code, typed);
        flow.keyUp(code);
    }
    void type(const std::string &text) {
        for (unsigned char c : text)
            press(c, c);
    }
    void clickOn(const ScreenLayout::Rect &r) {
        flow.click(static_cast<int>((r.left + r.right) / 2), static_cast<int>((r.top + r.bottom) / 2), kWidth,
                   kHeight);
    }
    // Through the menu's network item to the waiting screen of a battle joined.
    void joined() {
        flow.menuItem(MainMenu::kNetwork);
        press(KeyNames::special(KeyNames::kGlutDown));
        press(kEnter);
        type("host");
        press(kEnter);
        ASSERT_EQ(flow.getScreen(), GameFlow::kNetWaiting);
    }
};

TEST_F(NetworkScreensTest, HostingChoosesTheLevelForTwoPlayersOrMoreAndWaits) {
    host.players = 1; // a setting of one player is no network battle
    flow.menuItem(MainMenu::kNetwork);
    ASSERT_EQ(flow.getScreen(), GameFlow::kNetwork);
    EXPECT_STREQ(GameFlow::screenName(flow.getScreen()), "Network");
    EXPECT_TRUE(flow.getNetwork().choicePage(kWidth, kHeight).rows[0].highlighted);
    press(kEnter);
    ASSERT_EQ(flow.getScreen(), GameFlow::kLevelChoice);
    EXPECT_TRUE(flow.getLevelChoice().isNetwork());
    EXPECT_EQ(flow.getLevelChoice().getPlayers(), 2);
    EXPECT_EQ(flow.getLevelChoice().page(kWidth, kHeight).actionLabel, "Host (Enter)");
    press('1');
    EXPECT_EQ(flow.getLevelChoice().getPlayers(), 2);
    flow.padJoined(2);
    EXPECT_EQ(flow.getLevelChoice().getPlayers(), 2) << "a pad joins a battle of this machine only";

    // The port is taken: the choice stays and says why.
    press(KeyNames::special(KeyNames::kGlutDown));
    host.networkAnswer = false;
    host.status = {"Port 24731", "Error: port 24731 is in use"};
    press(kEnter);
    EXPECT_EQ(flow.getScreen(), GameFlow::kLevelChoice);
    EXPECT_EQ(flow.getLevelChoice().page(kWidth, kHeight).message, "Error: port 24731 is in use");
    host.networkAnswer = true;
    press('3');
    press(kEnter);
    EXPECT_EQ(flow.getScreen(), GameFlow::kNetWaiting);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"host lvl2.lvl 2", "host lvl2.lvl 3"}))
        << "the network's players are not saved as this machine's";

    // Escape gives up the wait, then leaves the level choice and the network screen for the menu.
    press(kEscape);
    EXPECT_EQ(flow.getScreen(), GameFlow::kNetwork);
    EXPECT_EQ(host.calls.back(), "leave network");
    press(kEnter);
    press(kEscape);
    EXPECT_EQ(flow.getScreen(), GameFlow::kNetwork);
    press(kEscape);
    EXPECT_EQ(flow.getScreen(), GameFlow::kMenu);
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "exit"), 0);
    flow.menuItem(MainMenu::kGame);
    EXPECT_FALSE(flow.getLevelChoice().isNetwork()) << "New Game chooses for this machine again";
    EXPECT_EQ(flow.getLevelChoice().getPlayers(), 1);
}

TEST_F(NetworkScreensTest, JoiningTakesAnAddressTypedWithinItsCharactersAndKeepsIt) {
    flow.menuItem(MainMenu::kNetwork);
    press(KeyNames::special(KeyNames::kGlutUp)); // two rows: either arrow reaches the other
    press(kEnter);
    ASSERT_EQ(flow.getScreen(), GameFlow::kJoinAddress);
    press(kEnter);
    EXPECT_EQ(flow.getScreen(), GameFlow::kJoinAddress) << "no address: nothing to join";
    EXPECT_FALSE(flow.getNetwork().addressPage(kWidth, kHeight).message.empty());
    type("ho st/:12_34x");
    press(kBackspace);
    EXPECT_EQ(flow.getNetworkAddress(), "host:1234");
    EXPECT_EQ(flow.getNetwork().addressPage(kWidth, kHeight).rows.back().text, "host:1234_");
    host.networkAnswer = false;
    press(kEnter);
    EXPECT_EQ(flow.getScreen(), GameFlow::kJoinAddress);
    EXPECT_EQ(flow.getNetwork().addressPage(kWidth, kHeight).message, "Could not join host:1234");
    host.networkAnswer = true;
    press(kEnter);
    ASSERT_EQ(flow.getScreen(), GameFlow::kNetWaiting);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"join host:1234", "join host:1234"}));
    host.status = {"Connecting to host:1234"};
    EXPECT_EQ(NetworkScreen::waitingPage(host.status, kWidth, kHeight).rows[0].text,
              "Connecting to host:1234");

    // Back on the join screen the address is still there; it holds 64 characters at most.
    press(kEscape);
    press(kEnter);
    ASSERT_EQ(flow.getScreen(), GameFlow::kJoinAddress);
    EXPECT_EQ(flow.getNetworkAddress(), "host:1234");
    type(std::string(70, 'a'));
    EXPECT_EQ(flow.getNetworkAddress().size(), NetworkScreen::kMaxAddress);
    press(kEscape);
    EXPECT_EQ(flow.getScreen(), GameFlow::kNetwork);
    flow.setNetworkAddress("exa mple.org:24731/");
    EXPECT_EQ(flow.getNetworkAddress(), "example.org:24731");
}

TEST_F(NetworkScreensTest, ClicksChooseTheRowsAndTheButtons) {
    flow.menuItem(MainMenu::kNetwork);
    clickOn(ScreenLayout::rowRect(NetworkScreen::kJoin, 0, 1, kWidth, kHeight));
    ASSERT_EQ(flow.getScreen(), GameFlow::kJoinAddress);
    type("10.0.0.2");
    clickOn(ScreenLayout::actionRect(kWidth, kHeight));
    ASSERT_EQ(flow.getScreen(), GameFlow::kNetWaiting);
    clickOn(ScreenLayout::backRect(kWidth, kHeight));
    ASSERT_EQ(flow.getScreen(), GameFlow::kNetwork);
    clickOn(ScreenLayout::rowRect(NetworkScreen::kHost, 0, 1, kWidth, kHeight));
    ASSERT_EQ(flow.getScreen(), GameFlow::kLevelChoice);
    clickOn(ScreenLayout::backRect(kWidth, kHeight));
    ASSERT_EQ(flow.getScreen(), GameFlow::kNetwork);
    clickOn(ScreenLayout::backRect(kWidth, kHeight));
    EXPECT_EQ(flow.getScreen(), GameFlow::kMenu);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"join 10.0.0.2", "leave network"}));
}

TEST_F(NetworkScreensTest, ANetworkBattleGoesOnWhileHiddenAndPausesForBothMachines) {
    joined();
    flow.networkBattleStarted();
    ASSERT_EQ(flow.getScreen(), GameFlow::kBattle);
    EXPECT_TRUE(flow.isNetworkBattle());
    flow.windowHidden();
    EXPECT_EQ(flow.getScreen(), GameFlow::kBattle) << "the other machine plays on";
    press('p');
    EXPECT_EQ(flow.getScreen(), GameFlow::kPaused);
    press('p');
    EXPECT_EQ(flow.getScreen(), GameFlow::kBattle);

    // The other machine pauses and resumes; its pause can be ended here as well.
    flow.remotePause(true, "Paused by player two");
    ASSERT_EQ(flow.getScreen(), GameFlow::kPaused);
    EXPECT_EQ(flow.pauseMessage(), "Paused by player two");
    flow.remotePause(false, "");
    EXPECT_EQ(flow.getScreen(), GameFlow::kBattle);
    EXPECT_EQ(flow.pauseMessage(), "");
    flow.remotePause(true, "Paused by player two");
    press('p');
    EXPECT_EQ(flow.getScreen(), GameFlow::kBattle);
    flow.remotePause(true, "Paused by player two");
    press(kEscape); // the other machine's pause is not this one's to end on the way out
    EXPECT_EQ(flow.getScreen(), GameFlow::kMenu);
    EXPECT_FALSE(flow.isNetworkBattle());
    EXPECT_EQ(host.calls, (std::vector<std::string>{"join host", "pause", "resume", "resume", "leave"}));

    // A battle of this machine alone: hiding pauses it, and nothing comes from another machine.
    ASSERT_TRUE(flow.startBattle("lvl1.lvl", 2));
    EXPECT_FALSE(flow.isNetworkBattle());
    flow.remotePause(true, "Paused by player two");
    EXPECT_EQ(flow.getScreen(), GameFlow::kBattle);
    flow.windowHidden();
    EXPECT_EQ(flow.getScreen(), GameFlow::kPaused);
    flow.networkBattleStarted(); // one battle at a time
    EXPECT_FALSE(flow.isNetworkBattle());
}

TEST_F(NetworkScreensTest, ALostConnectionStandsUntilEscape) {
    joined();
    flow.networkBattleStarted();
    flow.padDisconnected(0); // paused for the pad, then the other machine is gone
    flow.connectionLost("Connection lost: player two left");
    ASSERT_EQ(flow.getScreen(), GameFlow::kPaused);
    EXPECT_EQ(flow.pauseMessage(), "Connection lost: player two left - Escape: back to the menu");
    flow.padReconnected(0);
    press('p');
    flow.remotePause(false, "");
    EXPECT_EQ(flow.getScreen(), GameFlow::kPaused) << "nothing resumes a battle without its other machine";
    press(kEscape);
    EXPECT_EQ(flow.getScreen(), GameFlow::kMenu);
    EXPECT_EQ(flow.pauseMessage(), "");
    EXPECT_EQ(host.calls, (std::vector<std::string>{"join host", "pause", "resume", "leave"}));

    // A decided battle keeps its result.
    joined();
    flow.networkBattleStarted();
    host.outcome = BattleRules::kPlayerOneWins;
    flow.afterStep();
    flow.connectionLost("Connection lost");
    EXPECT_EQ(flow.getScreen(), GameFlow::kResult);
}

} // namespace
