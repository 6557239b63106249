// Same seed, same data, same inputs: the same battle, tick for tick.
#include "game/GameClass.h"
#include "main/HeadlessBattle.h"
#include "support/BattleData.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

constexpr int kTicks = 3600; // a minute of play
constexpr std::uint32_t kSeed = 20261209u;

// A battle on the first level without a window, both players in it.
struct Battle {
    GameClass game;

    explicit Battle(std::uint32_t seed) {
        testing::internal::CaptureStdout();
        Level *level = HeadlessBattle::readWorld(game, "lvl1.lvl");
        game.getWorld().setHumanPlayers(2);
        game.getWorld().setBattleSeed(seed);
        started = level != nullptr && game.loadLevel(level);
        testing::internal::GetCapturedStdout();
    }

    std::uint64_t tick(const TickInput &input) {
        testing::internal::CaptureStdout(); // power-ups and the result have their lines
        game.tick(input);
        testing::internal::GetCapturedStdout();
        return game.getWorld().stateHash();
    }

    bool started = false;
};

// Both players drive, turn and fire in patterns of their own.
TickInput script(int tick) {
    TickInput input;
    input[0] = {tick % 240 < 180 ? 1.0f : -0.5f, std::sin(static_cast<float>(tick) * 0.01f), tick % 50 == 0};
    input[1] = {0.8f, tick % 300 < 150 ? -1.0f : 0.5f, tick % 37 == 0};
    return input;
}

class TickDeterminismTest : public ::testing::Test {
  protected:
    ScopedCwd cwd{battleData()};
};

TEST_F(TickDeterminismTest, TwoWorldsWithTheSameSeedAndInputsAgreeAtEveryTickAndOneChangedInputParts) {
    auto first = std::make_unique<Battle>(kSeed);
    auto second = std::make_unique<Battle>(kSeed);
    ASSERT_TRUE(first->started && second->started);
    ASSERT_EQ(first->game.getWorld().stateHash(), second->game.getWorld().stateHash());
    std::vector<std::uint64_t> hashes;
    int shots = 0;
    for (int t = 0; t < kTicks; ++t) {
        const TickInput input = script(t);
        hashes.push_back(first->tick(input));
        ASSERT_EQ(second->tick(input), hashes.back()) << "tick " << t;
        shots += static_cast<int>(first->game.getWorld().getProjektilvektor().size());
    }
    // The minute was a battle: shells flew and the computer tanks fought.
    EXPECT_GT(shots, 0);
    EXPECT_EQ(first->game.getWorld().getTickCount(), kTicks);
    second.reset();

    // Player two turns the other way for one tick: from that tick on the battles differ.
    constexpr int kChanged = 240, kWatched = 600;
    Battle third(kSeed);
    for (int t = 0; t < kChanged + kWatched; ++t) {
        TickInput input = script(t);
        if (t == kChanged) {
            ASSERT_NE(third.game.getWorld().getPlayer2Vehicle(), nullptr) << "player two's tank is still there to turn";
            input[1].turn = -input[1].turn;
        }
        const std::uint64_t hash = third.tick(input);
        if (t < kChanged)
            ASSERT_EQ(hash, hashes[static_cast<std::size_t>(t)]) << "tick " << t;
        else
            ASSERT_NE(hash, hashes[static_cast<std::size_t>(t)]) << "tick " << t;
    }
}

TEST_F(TickDeterminismTest, AnotherSeedIsAnotherBattle) {
    Battle one(kSeed), other(kSeed + 1);
    ASSERT_TRUE(one.started && other.started);
    std::uint64_t a = 0, b = 0;
    for (int t = 0; t < 600; ++t) {
        a = one.tick(TickInput{});
        b = other.tick(TickInput{});
    }
    EXPECT_NE(a, b); // the computer's brains drew other numbers
}

} // namespace
