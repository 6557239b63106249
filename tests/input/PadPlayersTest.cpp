// The pads in the game with virtual pads: joining on the level choice, working the screens,
// rebinding a button, the pause while a player's pad is out, the controls and the rumble of a hit.
#include "input/PadPlayers.h"

#include "config/KeyNames.h"
#include "config/Settings.h"
#include "flow/GameFlow.h"
#include "game/BattleWorld.h"
#include "input/VirtualPad.h"
#include "menu/MainMenu.h"
#include "support/RecordingFlowHost.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kPauseKey = 'p';

class PadPlayersTest : public testing::Test {
  protected:
    ScopedEnv hidapi{"SDL_JOYSTICK_HIDAPI", "0"}; // only the pads the test plugs in
    ScopedEnv noScript{PadHub::kScriptVariable, std::nullopt};
    PadHub hub;
    PadPlayers pads{hub};
    RecordingFlowHost host;
    GameFlow flow{host};
    Settings settings;
    double clock = 50.0;
    int players = 2;        // of the battle or the level choice
    std::vector<int> keys;  // every key the pads pressed, in order
    int joined = -1;        // the last player a pad joined as

    void SetUp() override { ASSERT_TRUE(hub.open()); }

    // Looks at the pads a frame at a time, the keys going to the flow as the program sends them,
    // until `done` holds (at most 200 frames).
    bool lookUntil(const std::function<bool()> &done) {
        for (int frame = 0; frame < 200; ++frame) {
            const PadPlayers::Report report = pads.update(clock, flow, players, kPauseKey);
            for (int key : report.keys) {
                keys.push_back(key);
                flow.keyDown(key, 0);
                flow.keyUp(key);
            }
            if (report.joined >= 0)
                joined = report.joined;
            clock += 0.02;
            if (done())
                return true;
        }
        return false;
    }
    // Plugs `pad` in and looks until the game has it.
    void plugIn(VirtualPad &pad) {
        ASSERT_TRUE(pad.attach()) << pad.error();
        ASSERT_TRUE(lookUntil([&] { return !hub.id(pad.handle()).guid.empty(); }));
    }
    // Presses and releases `button`, looking until the game has read both.
    void press(VirtualPad &pad, PadButton button) {
        PadState state = pad.state();
        state.setButton(button, true);
        pad.set(state);
        lookUntil([&] { return hub.state(pad.handle()).pressed(button); });
        state.setButton(button, false);
        pad.set(state);
        lookUntil([&] { return !hub.state(pad.handle()).pressed(button); });
    }
    // Gives the pad to `player` as settings.ini would.
    void remember(VirtualPad &pad, int player) {
        settings.setPadId(player, hub.id(pad.handle()).text());
        pads.configure(settings);
    }
};

TEST_F(PadPlayersTest, APadJoinsOnTheLevelChoiceAndThenStartsTheBattleLikeEnter) {
    VirtualPad first, second; // one model: told apart by their index
    plugIn(first);
    plugIn(second);
    flow.menuItem(MainMenu::kGame);
    ASSERT_EQ(flow.getScreen(), GameFlow::kLevelChoice);
    players = flow.getLevelChoice().getPlayers();

    press(first, PadButton::A);
    EXPECT_EQ(joined, 0) << "the first pad takes the first player without one";
    EXPECT_EQ(flow.getScreen(), GameFlow::kLevelChoice) << "the joining press is no Enter";
    EXPECT_TRUE(keys.empty());
    press(second, PadButton::Start);
    EXPECT_EQ(joined, 1);
    EXPECT_EQ(pads.padOf(1), second.handle());
    const std::vector<std::string> lines = pads.controlsLines(3, PlayerConfig::defaults());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[1].find("keyboard"), std::string::npos);
    EXPECT_NE(lines[1].find("+ pad Panzerfeld test pad"), std::string::npos) << lines[1];
    EXPECT_EQ(lines[2], "Player 3: press A or Start on a pad");

    // A pad of a player who plays is A for Enter: the battle starts.
    press(first, PadButton::A);
    ASSERT_EQ(keys, std::vector<int>{KeyNames::kEnter});
    EXPECT_EQ(flow.getScreen(), GameFlow::kBattle);
}

TEST_F(PadPlayersTest, TheDpadAndAWorkTheMenuAndAPadButtonIsReboundOnTheOptionsScreen) {
    VirtualPad pad;
    plugIn(pad);
    const int before = flow.getMenuCursor();
    press(pad, PadButton::DpadDown);
    ASSERT_EQ(keys, std::vector<int>{KeyNames::special(KeyNames::kGlutDown)});
    EXPECT_NE(flow.getMenuCursor(), before);

    flow.setMenuCursor(MainMenu::kOptions);
    press(pad, PadButton::A);
    ASSERT_EQ(flow.getScreen(), GameFlow::kOptions);
    // The cursor to the pad's fire row (keys here: the screen is tested with keys of its own), Enter
    // to take a button, and the pad's X becomes the fire button without counting as a key.
    for (int row = 0; row < OptionsScreen::kPadRow + PadBindings::kFire; ++row)
        flow.keyDown(KeyNames::special(KeyNames::kGlutDown), 0);
    flow.keyDown(KeyNames::kEnter, 0);
    ASSERT_TRUE(flow.getOptions().isTakingPadButton());
    keys.clear();
    press(pad, PadButton::X);
    EXPECT_TRUE(keys.empty());
    EXPECT_EQ(flow.getOptions().getSettings().getPadBindings().get(PadBindings::kFire), PadButton::X);
    press(pad, PadButton::B); // back: the options are saved
    EXPECT_EQ(flow.getScreen(), GameFlow::kMenu);
    EXPECT_EQ(host.savedPad.get(PadBindings::kFire), PadButton::X);
}

TEST_F(PadPlayersTest, APlayersPadPulledOutPausesTheBattleUntilItIsBack) {
    VirtualPad two, spare(VirtualPad::Model{0x1209, 0x7099, "Spare pad", true});
    plugIn(two);
    plugIn(spare);
    remember(two, 1);
    remember(spare, 2); // player three's, who is not in this battle
    ASSERT_TRUE(flow.startBattle("lvl1.lvl", 2));

    spare.detach();
    ASSERT_TRUE(lookUntil([&] { return hub.pads().size() == 1; }));
    EXPECT_EQ(flow.getScreen(), GameFlow::kBattle) << "a pad of nobody in the battle";

    two.detach();
    ASSERT_TRUE(lookUntil([&] { return flow.getScreen() == GameFlow::kPaused; }));
    EXPECT_EQ(flow.pauseMessage(), "Player 2: pad disconnected");
    plugIn(two);
    EXPECT_EQ(flow.getScreen(), GameFlow::kBattle) << "the pad is back: the battle goes on";
    EXPECT_TRUE(flow.pauseMessage().empty());

    // Start pauses and resumes; Back leaves.
    press(two, PadButton::Start);
    EXPECT_EQ(flow.getScreen(), GameFlow::kPaused);
    press(two, PadButton::Start);
    EXPECT_EQ(flow.getScreen(), GameFlow::kBattle);
    press(two, PadButton::Back);
    EXPECT_EQ(flow.getScreen(), GameFlow::kMenu);
    EXPECT_EQ(keys, (std::vector<int>{kPauseKey, kPauseKey, KeyNames::kEscape}));
}

TEST_F(PadPlayersTest, TheStickAddsToTheKeyboardBeyondTheDeadZoneAndAHitShakesThePlayersPad) {
    VirtualPad pad;
    plugIn(pad);
    settings.setDeadZone(30);
    remember(pad, 1);

    PadState state;
    state.leftY = 0.25f; // inside the dead zone
    state.leftX = 1.0f;
    pad.set(state);
    ASSERT_TRUE(lookUntil([&] { return hub.state(pad.handle()).leftX > 0.99f; }));
    PlayerInput input{1.0f, 0.5f, false}; // the keyboard's
    pads.addControls(1, input);
    EXPECT_FLOAT_EQ(input.throttle, 1.0f);
    EXPECT_FLOAT_EQ(input.turn, 1.0f) << "the sum stays within range";
    PlayerInput other;
    pads.addControls(0, other);
    EXPECT_EQ(other, PlayerInput{}) << "player one has no pad";

    const BattleEvent hitTwo{BattleEvent::kTankHit, {0, 0, 0}, 1};
    const BattleEvent hitOne{BattleEvent::kTankDestroyed, {0, 0, 0}, 0};
    pads.feel({hitOne});
    EXPECT_TRUE(pad.rumbles().empty()) << "player one's tank was hit, not player two's";
    pads.feel({hitTwo});
    ASSERT_EQ(pad.rumbles().size(), 1u);
    EXPECT_NEAR(pad.rumbles()[0].low, PadPlayers::kHitRumble, 0.01f);
    settings.setRumble(false);
    pads.configure(settings);
    pads.feel({hitTwo});
    EXPECT_EQ(pad.rumbles().size(), 1u) << "rumble switched off";
}

} // namespace
