// panzer_bench_balance: who wins the shipped battlefields, by the computer's difficulty and the
// players' skill, measured with battles without a window.
//
//   panzer_bench_balance [--seeds N] [--seconds S] [--jobs J] [--players 1|2] [--computer D]
//                        [level file ...]
//
// For every level the level choice offers (or the files named), for one and for two players (or
// the one asked for), for each computer difficulty (or the one asked for) and each autopilot skill, the battle is played on
// seeds 1..N (default 24) as `panzerfeld --headless --level FILE --players P --autopilot SKILL --seed S` plays it with
// that difficulty in settings.ini, for at most S game seconds (default 300). The table
// shows per row the share of battles the players won, the share that ran out of time and the
// median game seconds of the decided ones. Under it, the rating each level file stores for the
// level choice (`challenge1`, `challenge2`). With two players "won" means the computer's tanks were
// all destroyed while a player still stood, whichever player then won the duel.
//
// Why 24 seeds: a share over n battles has a standard error of at most 0.5 / sqrt(n), ten points
// at 24, so a row at the 25 % or 60 % mark says on which side it lies within about one error,
// and the whole table (4 levels x 2 player counts x 9 rows) still plays in minutes on two cores.
// The battles are deterministic: every row comes out the same in every run on the same build.
//
// The battles run in J processes (default: the processors), each a fresh world per battle as
// a fresh process would have it. Needs no X display.
#include "BenchSupport.h"

#include "level/LevelIndex.h"
#include "main/HeadlessBattle.h"
#include "objects/Fahrzeug.h"
#include "objects/Sides.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace bench;

constexpr AiDifficulty kSkills[] = {AiDifficulty::Easy, AiDifficulty::Normal, AiDifficulty::Hard};

struct Battle {
    std::string level;
    int players = 1;
    AiDifficulty computer = AiDifficulty::Normal;
    AiDifficulty autopilot = AiDifficulty::Normal;
    std::uint32_t seed = 1;
};

enum Result : int { kNotStarted = 0, kWon, kLost, kTimeUp };

struct Outcome {
    Result result = kNotStarted;
    long ticks = 0; // when it was decided, or all it ran
};

Outcome play(const Battle &battle, long maxTicks) {
    Outcome out;
    auto game = std::make_unique<GameClass>();
    Level *level = HeadlessBattle::readWorld(*game, battle.level);
    if (level == nullptr)
        return out;
    BattleWorld &world = game->getWorld();
    world.setHumanPlayers(battle.players);
    world.setBattleSeed(battle.seed);
    world.setAiDifficulty(battle.computer);
    world.setAutopilot(true, battle.autopilot);
    if (!game->loadLevel(level))
        return out;
    const TickInput idle{}; // the autopilot drives the human tanks
    out.result = kTimeUp;
    while (world.getTickCount() < maxTicks) {
        game->tick(idle);
        int computerTanks = 0;
        for (const Fahrzeug *vehicle : world.getFahrzeugvektor())
            if (vehicle->getSide() == Sides::kComputer && vehicle->getOwner() != nullptr)
                ++computerTanks;
        bool playerStands = false;
        for (int player = 0; player < battle.players; ++player)
            playerStands = playerStands || world.getPlayerVehicle(player) != nullptr;
        if (computerTanks == 0 && playerStands) {
            out.result = kWon;
            break;
        }
        if (!playerStands || world.getOutcome() != BattleRules::kRunning) {
            out.result = BattleRules::winner(world.getOutcome()) >= 0 ? kWon : kLost;
            break;
        }
    }
    out.ticks = world.getTickCount();
    return out;
}

// Plays battles[i] for every i = job (mod jobs) in a child process, which writes "i result ticks"
// lines to `fd`.
void work(const std::vector<Battle> &battles, long maxTicks, int job, int jobs, int fd) {
    for (std::size_t i = static_cast<std::size_t>(job); i < battles.size(); i += static_cast<std::size_t>(jobs)) {
        const Outcome outcome = play(battles[i], maxTicks);
        char line[64];
        const int length = std::snprintf(line, sizeof line, "%zu %d %ld\n", i, static_cast<int>(outcome.result),
                                         outcome.ticks);
        if (write(fd, line, static_cast<std::size_t>(length)) != length)
            _exit(1);
    }
}

} // namespace

int main(int argc, char **argv) {
    int seeds = 24, jobs = std::max(1, static_cast<int>(std::thread::hardware_concurrency())), onlyPlayers = 0;
    double seconds = 300.0;
    std::optional<AiDifficulty> onlyComputer;
    std::vector<std::string> levels;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool valued = i + 1 < argc;
        if (arg == "--seeds" && valued)
            seeds = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--seconds" && valued)
            seconds = std::max(1.0, std::atof(argv[++i]));
        else if (arg == "--jobs" && valued)
            jobs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--players" && valued)
            onlyPlayers = std::atoi(argv[++i]);
        else if (arg == "--computer" && valued && parseDifficulty(argv[i + 1]))
            onlyComputer = parseDifficulty(argv[++i]);
        else if (arg.rfind("--", 0) == 0) {
            std::fprintf(stderr, "Error: unknown option \"%s\" (--seeds N, --seconds S, --jobs J, --players 1|2, --computer easy|normal|hard)\n",
                         arg.c_str());
            return 2;
        } else
            levels.push_back(arg);
    }
    if (levels.empty())
        levels = offeredLevelFiles();
    if (levels.empty()) {
        std::fprintf(stderr, "Error: no level to play in %s\n", LevelIndex::file().c_str());
        return 1;
    }
    const long maxTicks = std::lround(seconds / GameClass::kTickSeconds);

    std::vector<Battle> battles;
    for (const std::string &level : levels)
        for (int players = 1; players <= 2; ++players)
            for (AiDifficulty computer : kSkills)
                for (AiDifficulty autopilot : kSkills)
                    for (int seed = 1; seed <= seeds && (onlyPlayers == 0 || onlyPlayers == players) &&
                                       (!onlyComputer || *onlyComputer == computer);
                         ++seed)
                        battles.push_back({level, players, computer, autopilot, static_cast<std::uint32_t>(seed)});

    QuietConsole console;
    FILE *out = console.out();
    std::vector<int> pipes;
    std::vector<pid_t> children;
    for (int job = 0; job < jobs; ++job) {
        int fds[2];
        if (pipe(fds) != 0) {
            std::fprintf(stderr, "Error: cannot make a pipe for the workers\n");
            return 1;
        }
        const pid_t child = fork();
        if (child == 0) {
            close(fds[0]);
            work(battles, maxTicks, job, jobs, fds[1]);
            _exit(0);
        }
        close(fds[1]);
        pipes.push_back(fds[0]);
        children.push_back(child);
    }
    std::vector<Outcome> outcomes(battles.size());
    std::size_t received = 0;
    for (int fd : pipes) {
        FILE *in = fdopen(fd, "r");
        std::size_t index = 0;
        int result = 0;
        long ticks = 0;
        while (in != nullptr && std::fscanf(in, "%zu %d %ld", &index, &result, &ticks) == 3) {
            if (index < outcomes.size()) {
                outcomes[index] = {static_cast<Result>(result), ticks};
                ++received;
            }
        }
        if (in != nullptr)
            std::fclose(in);
    }
    bool workersOk = true;
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        workersOk = workersOk && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    if (!workersOk || received != battles.size()) {
        std::fprintf(stderr, "Error: the workers played %zu of %zu battles\n", received, battles.size());
        return 1;
    }

    std::fprintf(out, "panzer_bench_balance: %d seeds per row, at most %g game seconds a battle\n\n", seeds,
                 seconds);
    std::fprintf(out, "%-10s | %7s | %-8s | %-9s | %5s | %8s | %8s\n", "level", "players", "computer", "autopilot",
                 "won", "time up", "median s");
    bool started = true;
    for (std::size_t row = 0; row < battles.size(); row += static_cast<std::size_t>(seeds)) {
        int won = 0, timeUp = 0;
        std::vector<double> lengths;
        for (int s = 0; s < seeds; ++s) {
            const Outcome &outcome = outcomes[row + static_cast<std::size_t>(s)];
            started = started && outcome.result != kNotStarted;
            won += outcome.result == kWon;
            timeUp += outcome.result == kTimeUp;
            if (outcome.result == kWon || outcome.result == kLost)
                lengths.push_back(static_cast<double>(outcome.ticks) * GameClass::kTickSeconds);
        }
        const Battle &first = battles[row];
        char length[16] = "-";
        if (!lengths.empty())
            std::snprintf(length, sizeof length, "%.0f", median(lengths));
        std::fprintf(out, "%-10s | %7d | %-8s | %-9s | %4.0f%% | %7.0f%% | %8s\n", first.level.c_str(), first.players,
                     difficultyName(first.computer), difficultyName(first.autopilot), 100.0 * won / seeds,
                     100.0 * timeUp / seeds, length);
    }
    // The rating a level file stores for the level choice (keys challenge1 and challenge2): the
    // players' mean win share over the three autopilot skills against the default difficulty.
    std::fprintf(out, "\nchallenge (mean win share of the three skills at normal):\n");
    for (const std::string &level : levels) {
        std::fprintf(out, "%-10s |", level.c_str());
        for (int players = 1; players <= 2; ++players) {
            int won = 0, played = 0;
            for (std::size_t i = 0; i < battles.size(); ++i)
                if (battles[i].level == level && battles[i].players == players &&
                    battles[i].computer == AiDifficulty::Normal) {
                    won += outcomes[i].result == kWon;
                    ++played;
                }
            if (played == 0)
                continue;
            const double share = 100.0 * won / played;
            const char *word = share >= 60 ? "gentle" : share >= 40 ? "fair" : share >= 20 ? "tough"
                               : share >= 5 ? "hard" : "brutal";
            std::fprintf(out, " challenge%d=%s (%.0f%%)", players, word, share);
        }
        std::fprintf(out, "\n");
    }
    std::fflush(out);
    if (!started) {
        std::fprintf(stderr, "Error: a level did not start\n");
        return 1;
    }
    return 0;
}
