// Which replays this program plays: only its own build's, and one of another physics says so.
#include "main/HeadlessBattle.h"

#include "game/GameClass.h"
#include "replay/BuildId.h"
#include "replay/ReplayFile.h"
#include "support/BattleData.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(HeadlessBattleTest, AReplayOfAnotherBuildOrAnotherPhysicsIsRefusedSayingWhich) {
    ScopedCwd cwd{battleData()};
    GameClass game;
    const std::string ours = buildId();
    const std::size_t at = ours.rfind("-bullet");
    ASSERT_NE(at, std::string::npos) << "the build id names the physics it was linked with: " << ours;
    const std::string physics = ours.substr(at + 7);
    ASSERT_FALSE(physics.empty());

    Replay replay;
    std::string problem;
    replay.buildId = "0123456789abcdef-bullet0.1";
    EXPECT_FALSE(HeadlessBattle::playable(game, replay, problem));
    EXPECT_EQ(problem, "recorded with another version of the physics library (Bullet 0.1, this game has Bullet " +
                           physics + "): its battle would not play the same");

    replay.buildId = "0123456789abcdef" + ours.substr(at); // the same physics, other sources
    EXPECT_FALSE(HeadlessBattle::playable(game, replay, problem));
    EXPECT_EQ(problem.rfind("recorded by another build of the game (", 0), 0u) << problem;
}

} // namespace
