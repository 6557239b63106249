#include "game/BattleRules.h"
#include "game/ScoreSheet.h"

#include <gtest/gtest.h>

namespace {

TEST(BattleRulesTest, EveryFieldHasItsResult) {
    using B = BattleRules;
    EXPECT_EQ(B::decide(2, true, true), B::kRunning);
    EXPECT_EQ(B::decide(2, true, false), B::kRunning);
    EXPECT_EQ(B::decide(1, false, true), B::kRunning) << "player two fights on for both";
    EXPECT_EQ(B::decide(0, true, true), B::kRunning) << "last man standing between the players";
    EXPECT_EQ(B::decide(0, true, false), B::kPlayerOneWins);
    EXPECT_EQ(B::decide(0, false, true), B::kPlayerTwoWins);
    EXPECT_EQ(B::decide(3, false, false), B::kFailed);
    EXPECT_EQ(B::decide(0, false, false), B::kFailed);
    EXPECT_STREQ(B::text(B::kPlayerOneWins), "MISSION COMPLETE!");
    EXPECT_STREQ(B::text(B::kPlayerTwoWins), "PLAYER TWO WINS");
    EXPECT_STREQ(B::text(B::kFailed), "MISSION FAILED");
}

TEST(BattleRulesTest, WithFourPlayersTheLastHumanTankStandingWinsAndIsNamed) {
    using B = BattleRules;
    EXPECT_EQ(B::decide(0, {false, true, true, false}), B::kRunning);
    EXPECT_EQ(B::decide(1, {false, false, true, false}), B::kRunning) << "player three fights on for all";
    EXPECT_EQ(B::decide(0, {false, false, true, false}), B::kPlayerThreeWins);
    EXPECT_EQ(B::decide(0, {false, false, false, true}), B::kPlayerFourWins);
    EXPECT_EQ(B::decide(2, {false, false, false, false}), B::kFailed);
    for (int player = 0; player < kMaxPlayers; ++player) {
        std::array<bool, kMaxPlayers> alive{};
        alive[static_cast<std::size_t>(player)] = true;
        EXPECT_EQ(B::winner(B::decide(0, alive)), player);
    }
    EXPECT_EQ(B::winner(B::kFailed), -1);
    EXPECT_EQ(B::winner(B::kRunning), -1);
    EXPECT_STREQ(B::text(B::kPlayerThreeWins), "PLAYER THREE WINS");
    EXPECT_STREQ(B::text(B::kPlayerFourWins), "PLAYER FOUR WINS");
}

TEST(ScoreSheetTest, HitsKillsAndTheWinnersBonus) {
    ScoreSheet sheet;
    sheet.hit(0, ScoreSheet::kComputer, false);
    sheet.hit(0, ScoreSheet::kComputer, true);
    sheet.hit(1, ScoreSheet::kHuman, true);
    sheet.hit(-1, ScoreSheet::kHuman, true); // a computer's shell scores for nobody
    EXPECT_EQ(sheet.get(0), 2 * ScoreSheet::kHit + ScoreSheet::kComputerDestroyed);
    EXPECT_EQ(sheet.get(1), ScoreSheet::kHit + ScoreSheet::kPlayerDestroyed);
    sheet.win(0, 100.5f, 240);
    EXPECT_EQ(sheet.get(0), 2 * ScoreSheet::kHit + ScoreSheet::kComputerDestroyed + ScoreSheet::kWin +
                                139 * ScoreSheet::kPerSecondLeft);
    sheet.win(1, 500, 240); // past the par time: the bonus alone
    EXPECT_EQ(sheet.get(1), ScoreSheet::kHit + ScoreSheet::kPlayerDestroyed + ScoreSheet::kWin);
    sheet.hit(3, ScoreSheet::kComputer, true); // player four scores for itself
    sheet.hit(kMaxPlayers, ScoreSheet::kComputer, true);
    EXPECT_EQ(sheet.get(3), ScoreSheet::kHit + ScoreSheet::kComputerDestroyed);
    EXPECT_EQ(sheet.get(2), 0);
    EXPECT_EQ(sheet.get(kMaxPlayers), 0) << "no such player: no points, and no read past the sheet";
    EXPECT_EQ(sheet.listed(1), "1315 and 760") << "the log always names two";
    EXPECT_EQ(sheet.listed(4), "1315, 760, 0 and 110");
    sheet.reset();
    EXPECT_EQ(sheet.get(0) + sheet.get(1) + sheet.get(3), 0);
}

} // namespace
