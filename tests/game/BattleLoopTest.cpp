// The battle loop: pacing by real time, pause, a stall, and the ticks of each role.
#include "game/BattleLoop.h"

#include "game/GameClass.h"
#include "main/HeadlessBattle.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayPlayback.h"
#include "support/BattleData.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr double kTick = GameClass::kTickSeconds;

// A battle on the first level without a window, both players in it, and its loop.
struct LoopedBattle {
    GameClass game;
    BattleLoop loop{game};
    bool started = false;
    float viewSeconds = 0.0f; // the view's time the loop handed out
    int afterTicks = 0;

    LoopedBattle() {
        testing::internal::CaptureStdout();
        Level *level = HeadlessBattle::readWorld(game, "lvl1.lvl");
        game.getWorld().setHumanPlayers(2);
        game.getWorld().setBattleSeed(7);
        started = level != nullptr && game.loadLevel(level);
        testing::internal::GetCapturedStdout();
        hooks.viewTime = [this](float seconds) { viewSeconds += seconds; };
        hooks.afterTick = [this] {
            ++afterTicks;
            return true;
        };
        loop.setHooks(hooks);
    }

    BattleLoop::Hooks hooks;
};

// Player one drives and turns, player two fires now and then.
TickInput pattern(long tick) {
    TickInput input;
    input[0] = {1.0f, tick % 120 < 60 ? 0.3f : -0.7f, false};
    input[1] = {0.0f, 0.0f, tick % 45 == 0};
    return input;
}

// A network as the loop sees it: what it was asked, and remote controls of its own.
struct FakeLink : BattleLink {
    std::vector<long> filledTicks;
    std::vector<PlayerInput> seenLocal; // what player two's place held when the host asked
    int afterHost = 0;
    int perPaced = 1;                   // a client's ticks for each paced one
    std::vector<PlayerInput> clientControls;

    void fillInputs(TickInput &input, long tick) override {
        filledTicks.push_back(tick);
        seenLocal.push_back(input[1]);
        input[1] = {-1.0f, 0.0f, false}; // player two reverses, far away
    }
    void afterHostTick(const BattleWorld &, std::uint32_t) override { ++afterHost; }
    int clientTicks(int paced) override { return paced * perPaced; }
    void clientTick(BattleWorld &world, const PlayerInput &controls, std::uint32_t) override {
        clientControls.push_back(controls);
        world.tick(TickInput{controls});
    }
};

class BattleLoopTest : public ::testing::Test {
  protected:
    ScopedCwd cwd{battleData()};
};

TEST_F(BattleLoopTest, RealTimeRunsTheTicksItMakesAndAStallOnlyAFew) {
    LoopedBattle battle;
    ASSERT_TRUE(battle.started);
    EXPECT_EQ(battle.loop.advance(kTick, 0), 0) << "no battle started yet";
    battle.loop.startLocal();
    EXPECT_EQ(battle.loop.advance(kTick * 0.5, 0), 0);
    EXPECT_NEAR(battle.loop.blend(), 0.5f, 1e-4);
    EXPECT_EQ(battle.loop.advance(kTick * 2.0, 0), 2);
    EXPECT_EQ(battle.game.getWorld().getTickCount(), 2);
    EXPECT_EQ(battle.afterTicks, 2);
    EXPECT_NEAR(battle.viewSeconds, kTick * 2.5, 1e-5) << "the view moves with the frames' time";

    // Five seconds without a frame: a few ticks now, the rest dropped, the view's time as it was.
    EXPECT_EQ(battle.loop.advance(5.0, 0), TickPacer::kMaxTicksPerFrame);
    EXPECT_EQ(battle.game.getWorld().getTickCount(), 2 + TickPacer::kMaxTicksPerFrame);
    EXPECT_EQ(battle.loop.advance(kTick * 0.5, 0), 0) << "nothing dropped is owed";
    EXPECT_EQ(battle.loop.getTicks(), 2 + TickPacer::kMaxTicksPerFrame);

    // A frame's ticks stop where the flow says the battle stopped.
    battle.hooks.afterTick = [] { return false; };
    battle.loop.setHooks(battle.hooks);
    EXPECT_EQ(battle.loop.advance(kTick * 3.0, 0), 1);
}

TEST_F(BattleLoopTest, APausedBattleRunsNothingAndOwesNothingOfItsPause) {
    LoopedBattle battle;
    ASSERT_TRUE(battle.started);
    battle.loop.startLocal();
    battle.loop.advance(kTick * 0.75, 0); // three quarters of a tick owed
    battle.loop.setPaused(true);
    const float viewBefore = battle.viewSeconds;
    EXPECT_EQ(battle.loop.advance(10.0, 0), 0);
    EXPECT_FALSE(battle.loop.step(0));
    EXPECT_EQ(battle.game.getWorld().getTickCount(), 0);
    EXPECT_EQ(battle.viewSeconds, viewBefore) << "a paused battle's zoom and messages stand";
    battle.loop.setPaused(false);
    EXPECT_EQ(battle.loop.advance(kTick * 0.5, 0), 0) << "the quarter owed before the pause is gone";
    EXPECT_EQ(battle.loop.advance(kTick * 0.5, 0), 1);
    EXPECT_TRUE(battle.loop.step(0));
    EXPECT_EQ(battle.game.getWorld().getTickCount(), 2);
}

TEST_F(BattleLoopTest, APlayedBattleIsRecordedAndItsReplayRunsToTheSameEnd) {
    Replay recording;
    std::uint64_t finalHash = 0;
    {
        LoopedBattle battle;
        ASSERT_TRUE(battle.started);
        battle.hooks.controls = [&battle] { return pattern(battle.game.getWorld().getTickCount()); };
        battle.loop.setHooks(battle.hooks);
        battle.loop.startLocal(&recording);
        for (int i = 0; i < 300; ++i)
            ASSERT_TRUE(battle.loop.step(0));
        finalHash = battle.game.getWorld().stateHash();
        EXPECT_NEAR(battle.viewSeconds, 300 * kTick, 1e-3) << "a stepped run's view moves a tick a step";
    }
    ASSERT_EQ(recording.ticks, 300u);
    EXPECT_EQ(recording.finalHash, finalHash);
    EXPECT_EQ(recording.inputAt(0)[0], Replay::quantize(pattern(0)[0])) << "the world got what the replay keeps";

    LoopedBattle watched;
    ASSERT_TRUE(watched.started);
    int overs = 0;
    watched.hooks.replayOver = [&](std::size_t ticks, std::uint64_t hash) {
        ++overs;
        EXPECT_EQ(ticks, 300u);
        EXPECT_EQ(hash, finalHash);
    };
    watched.loop.setHooks(watched.hooks);
    ReplayPlayback playback(recording);
    watched.loop.startReplay(playback);
    int ran = 0;
    while (watched.loop.step(0))
        ++ran;
    EXPECT_EQ(ran, 300);
    EXPECT_EQ(overs, 1);
    EXPECT_TRUE(watched.loop.replayOver());
    EXPECT_FALSE(watched.loop.replayDiverged());
    EXPECT_EQ(watched.game.getWorld().stateHash(), finalHash);

    // A replay whose inputs were changed parts from its hashes, and says so.
    Replay changed;
    for (std::size_t t = 0; t < recording.ticks; ++t) {
        TickInput input = recording.inputAt(t);
        if (t >= 100 && t < 160)
            input[0].turn = 1.0f;
        changed.addTick(input, 0);
    }
    changed.hashes = recording.hashes; // the recorded battle's hashes, which this one leaves
    changed.finalHash = recording.finalHash;
    LoopedBattle other;
    ASSERT_TRUE(other.started);
    ReplayPlayback otherPlayback(changed);
    other.loop.startReplay(otherPlayback);
    testing::internal::CaptureStdout();
    while (other.loop.step(0)) {
    }
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(other.loop.replayDiverged());
    EXPECT_NE(out.find("Replay diverged at tick"), std::string::npos) << out;
}

TEST_F(BattleLoopTest, TheHostTakesRemoteControlsForTheNextTickAndAClientTicksAsItsLinkSays) {
    LoopedBattle host;
    ASSERT_TRUE(host.started);
    host.hooks.controls = [] { return TickInput{PlayerInput{1.0f, 0.0f, false}, PlayerInput{1.0f, 1.0f, true}}; };
    host.loop.setHooks(host.hooks);
    FakeLink link;
    Replay recording;
    host.loop.startHost(link, &recording);
    EXPECT_EQ(host.loop.advance(kTick * 3.0, 0), 3);
    ASSERT_EQ(link.filledTicks, (std::vector<long>{1, 2, 3}));
    for (const PlayerInput &local : link.seenLocal)
        EXPECT_EQ(local, PlayerInput{}) << "another player's controls never come from this machine's keys";
    EXPECT_EQ(link.afterHost, 3);
    ASSERT_EQ(recording.ticks, 3u);
    EXPECT_EQ(recording.inputAt(0)[0].throttle, 1.0f);
    EXPECT_EQ(recording.inputAt(2)[1].throttle, -1.0f) << "the host records the remote player's controls";

    LoopedBattle client;
    ASSERT_TRUE(client.started);
    client.hooks.controls = [] { return TickInput{PlayerInput{0.5f, -0.5f, false}}; };
    client.loop.setHooks(client.hooks);
    FakeLink toHost;
    toHost.perPaced = 2; // running behind: two ticks for each paced one
    client.loop.startClient(toHost);
    EXPECT_EQ(client.loop.advance(kTick * 2.0, 0), 2);
    ASSERT_EQ(toHost.clientControls.size(), 4u);
    EXPECT_EQ(toHost.clientControls[0], (PlayerInput{0.5f, -0.5f, false}));
    EXPECT_EQ(client.game.getWorld().getTickCount(), 4);
    EXPECT_EQ(client.afterTicks, 2) << "the flow hears once for each paced tick";
}

} // namespace
