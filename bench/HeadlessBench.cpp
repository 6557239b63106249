// panzer_bench_headless: how many times faster than real time a battle without a window runs, on
// every level the level choice offers.
//
//   panzer_bench_headless [data dir] [game seconds] [rounds] [autopilot] [seed]
//
// Each level is read as `panzerfeld --headless` reads it (HeadlessBattle::readWorld: no window, no
// sound, no textures but the height map) and started for two players, both tanks driven by the
// autopilot (default hard), the computer tanks at normal, one fixed battle seed. Then exactly the
// given game seconds of ticks (default 120) run one after another; a battle decided before that
// keeps ticking, so every level is timed over the same game time. Only the ticks are timed: reading
// the world and the level start are not. Needs no X display.
#include "BenchSupport.h"

#include "level/LevelIndex.h"
#include "main/HeadlessBattle.h"
#include "math/StateHash.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace bench;
namespace fs = std::filesystem;

constexpr std::uint32_t kDefaultSeed = 20261209u;
constexpr int kPlayers = 2; // both human tanks in the field, both on the autopilot

// One timed battle.
struct Run {
    bool started = false;                                 // the level was read and started
    double wallSeconds = 0;                               // of the ticks alone
    long ticks = 0;                                       // ticks run
    long decidedAt = -1;                                  // the tick that decided the battle; -1: never
    BattleRules::Outcome outcome = BattleRules::kRunning; // the result after the last tick
    std::size_t tanksAtStart = 0;                         // every tank of the level, the players' included
    std::size_t tanksAtEnd = 0;                           // those left after the last tick
    std::uint64_t hash = 0;                               // the state hash after the last tick
};

// A fresh world for every battle, as a fresh process would have it; the cooked-mesh cache is
// whatever the runs before left (the first start of a level cooks its hulls, untimed).
Run battle(const std::string &file, long ticks, AiDifficulty autopilot, std::uint32_t seed) {
    Run run;
    auto game = std::make_unique<GameClass>();
    Level *level = HeadlessBattle::readWorld(*game, file);
    if (level == nullptr)
        return run;
    game->getWorld().setHumanPlayers(kPlayers);
    game->getWorld().setBattleSeed(seed);
    game->getWorld().setAiDifficulty(AiDifficulty::Normal);
    game->getWorld().setAutopilot(true, autopilot);
    if (!game->loadLevel(level))
        return run;
    run.started = true;
    run.tanksAtStart = game->getWorld().getFahrzeugvektor().size();

    const TickInput idle{}; // nobody at the keys: the autopilot drives both human tanks
    const Clock::time_point start = Clock::now();
    while (game->getWorld().getTickCount() < ticks) {
        game->tick(idle);
        if (run.decidedAt < 0 && game->getWorld().getOutcome() != BattleRules::kRunning)
            run.decidedAt = game->getWorld().getTickCount();
    }
    run.wallSeconds = millisecondsSince(start) / 1000.0;

    run.ticks = game->getWorld().getTickCount();
    run.outcome = game->getWorld().getOutcome();
    run.tanksAtEnd = game->getWorld().getFahrzeugvektor().size();
    run.hash = game->getWorld().stateHash();
    return run;
}

const char *outcomeWord(BattleRules::Outcome outcome) {
    switch (outcome) {
    case BattleRules::kPlayerOneWins:
        return "player one won";
    case BattleRules::kPlayerTwoWins:
        return "player two won";
    case BattleRules::kFailed:
        return "failed";
    default:
        return "undecided";
    }
}

} // namespace

int main(int argc, char **argv) {
    const std::string dataDir = argc > 1 ? argv[1] : "data";
    const double seconds = argc > 2 ? std::max(1.0, std::atof(argv[2])) : 120.0;
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    const std::optional<AiDifficulty> autopilot = parseDifficulty(argc > 4 ? argv[4] : "hard");
    const std::uint32_t seed =
        argc > 5 ? static_cast<std::uint32_t>(std::strtoul(argv[5], nullptr, 10)) : kDefaultSeed;
    if (!autopilot) {
        std::fprintf(stderr, "Error: the autopilot is easy, normal or hard, not \"%s\"\n", argv[4]);
        return 2;
    }

    QuietConsole console;
    FILE *out = console.out();
    DataTree tree(fs::absolute(dataDir));
    if (!tree.ok())
        return 1;
    const std::vector<std::string> files = offeredLevelFiles();
    if (files.empty()) {
        std::fprintf(stderr, "Error: no level to start in %s\n", LevelIndex::file().c_str());
        return 1;
    }
    const long ticks = std::lround(seconds / GameClass::kTickSeconds);
    const double gameSeconds = static_cast<double>(ticks) * GameClass::kTickSeconds;

    // Levels interleaved round by round, so that a busy spell of the machine spreads over all.
    std::vector<std::vector<Run>> runs(files.size());
    for (int r = 0; r < rounds; ++r) {
        for (std::size_t l = 0; l < files.size(); ++l) {
            runs[l].push_back(battle(files[l], ticks, *autopilot, seed));
            if (!runs[l].back().started) {
                std::fprintf(stderr, "Error: data/level/%s: the level did not start\n", files[l].c_str());
                return 1;
            }
        }
    }

    std::fprintf(out,
                 "panzer_bench_headless: %g game seconds (%ld ticks) per level, %d player%s on the "
                 "autopilot (%s), computer normal, seed %u; %d interleaved round%s, medians\n\n",
                 gameSeconds, ticks, kPlayers, kPlayers == 1 ? "" : "s", difficultyName(*autopilot),
                 static_cast<unsigned>(seed), rounds, rounds == 1 ? "" : "s");
    std::fprintf(out, "%-10s | %5s | %7s %8s | %9s %9s %12s | %-30s | %s\n", "level", "tanks", "game s",
                 "wall s", "x real", "range", "ticks/s", "result (game s), tanks left", "final hash");
    bool allAgree = true;
    for (std::size_t l = 0; l < files.size(); ++l) {
        std::vector<double> walls;
        bool agree = true;
        for (const Run &run : runs[l]) {
            walls.push_back(run.wallSeconds);
            agree = agree && run.hash == runs[l].front().hash && run.decidedAt == runs[l].front().decidedAt;
        }
        allAgree = allAgree && agree;
        const double wall = median(walls);
        const double fastest = *std::min_element(walls.begin(), walls.end());
        const double slowest = *std::max_element(walls.begin(), walls.end());
        const Run &first = runs[l].front();
        char result[64];
        if (first.decidedAt >= 0)
            std::snprintf(result, sizeof result, "%s (%.1f), %zu of %zu", outcomeWord(first.outcome),
                          static_cast<double>(first.decidedAt) * GameClass::kTickSeconds, first.tanksAtEnd,
                          first.tanksAtStart);
        else
            std::snprintf(result, sizeof result, "undecided, %zu of %zu", first.tanksAtEnd,
                          first.tanksAtStart);
        char range[32];
        std::snprintf(range, sizeof range, "%.0f-%.0f", gameSeconds / slowest, gameSeconds / fastest);
        std::fprintf(out, "%-10s | %5zu | %7.1f %8.2f | %9.1f %9s %12.0f | %-30s | %s%s\n", files[l].c_str(),
                     first.tanksAtStart, gameSeconds, wall, gameSeconds / wall, range,
                     static_cast<double>(first.ticks) / wall, result, StateHash::hex(first.hash).c_str(),
                     agree ? "" : " (differs between rounds!)");
    }
    std::fprintf(out,
                 "\nx real: game seconds over wall seconds of ticking (range: slowest-fastest round).\n");
    if (!allAgree)
        std::fprintf(stderr, "Error: a level's rounds ended in different states\n");
    std::fflush(out);
    return allAgree ? 0 : 1;
}
