// panzer_bench_world: what starting a level and stepping the world cost.
//
//   panzer_bench_world [data dir] [rounds]
//
// 1. The start of every level the level choice offers (data/level/levels.ini;
//    loadLevel, in which the terrain joins the physics, plus the first frame,
//    which builds the terrain's light-map atlas and vertex buffer) with an
//    empty cooked-mesh cache against a warm one, one row per level.
// 2. One tick with 1, 10, 50 and 200 tanks on a generated flat
//    level, stepped 60 times a second as the game steps it: standing tanks
//    (player two's, no key held) and computer tanks (which patrol).
// 3. Steps and whole frames with 50 tanks firing at once (player two's shoot
//    key held; every tank of that level is player two's) against the same 50
//    tanks idle.
//
// Needs an X display (run under xvfb-run). The machine is shared and noisy:
// the cases are measured interleaved, round by round, and the results are
// given as ratios from the same run.
#include "BenchSupport.h"

#include "game/TickPacer.h"
#include "level/LevelIndex.h"
#include "objects/Fahrzeug.h"
#include "physics/PhysXAccess.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace bench;

constexpr float kStep = 1.0f / 60.0f; // seconds per step, the game's usual frame
constexpr int kTankCounts[] = {1, 10, 50, 200};
constexpr int kFlatSide = 250; // units (heightmap pixels; terrain cells are 5) of the generated levels
constexpr int kFiringTanks = 50;
constexpr int kSettleSteps = 120;     // tanks dropped onto the ground come to rest (and may fall asleep)
constexpr int kMeasuredSteps = 120;   // two seconds of play per measurement
constexpr double kFrameSeconds = 3.0; // wall-clock time of each frame measurement
constexpr const char *kFiringLevel = "bench_fire.lvl";

// The crowd levels: `tanks` computer tanks (patrolling), or as many of player
// two's tanks standing with no key held.
std::string crowdLevelName(int tanks, bool standing) {
    return (standing ? "bench_stand" : "bench_crowd") + std::to_string(tanks) + ".lvl";
}

std::string levelHead(const std::string &name) {
    const std::string half = std::to_string(kFlatSide / 2);
    return "[LEVELDETAILS]\nname=" + name + "\nfilename=bench\nx1=-" + half + "\ny1=-" + half +
           "\nx2=" + half + "\ny2=" + half +
           "\nbgpicture=ground.png\n\n[SURFACE]\nheightmap=bench_flat.png\n\n"
           "[LIGHT]\npos_x=-5\npos_y=60\npos_z=-10\nintentsy=1\nlightnumber=0\n\n";
}

// `tanks` tanks on a square grid 10 units apart around the middle;
// player one's tank parked in a corner, far out of their sight (they attack
// within 20 units), so nobody fires.
std::string crowdLevel(int tanks, bool standing) {
    std::string text =
        levelHead(crowdLevelName(tanks, standing)) + vehicleSection("player1", "spieler1", -115, -115, 45);
    const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(tanks))));
    const int rows = (tanks + columns - 1) / columns;
    for (int i = 0; i < tanks; ++i) {
        const float x = (i % columns - (columns - 1) / 2.0f) * 10.0f;
        const float z = (i / columns - (rows - 1) / 2.0f) * 10.0f;
        text += vehicleSection((standing ? "still" : "cpu") + std::to_string(i),
                               standing ? "spieler2" : "cpu", x, z, static_cast<float>(i * 37 % 360));
    }
    return text;
}

// 50 of player two's tanks in 5 rows of 10, 8 units apart, all facing -z, so
// that the shells of each row fly into the row in front; player one's tank
// stands behind them, so the camera looks over the whole battle.
std::string firingLevel() {
    std::string text = levelHead(kFiringLevel) + vehicleSection("player1", "spieler1", 0, 60, 180);
    for (int i = 0; i < kFiringTanks; ++i) {
        const float x = (i % 10 - 4.5f) * 8.0f;
        const float z = (i / 10 - 2.0f) * 8.0f;
        text += vehicleSection("gunner" + std::to_string(i), "spieler2", x, z, 180);
    }
    return text;
}

// Mean milliseconds of a tick over `steps` steps paced at 60 a second: the
// physics advances by the wall-clock time between steps, as in the game.
// `late` counts the steps that began after their tick (the world could not
// keep up).
double pacedSteps(GameClass &gc, bool *keys, int steps, int &late) {
    const Clock::duration tick =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<float>(kStep));
    const Clock::time_point begin = Clock::now();
    double total = 0;
    late = 0;
    for (int i = 0; i < steps; ++i) {
        const Clock::time_point due = begin + tick * (i + 1);
        if (Clock::now() > due)
            ++late;
        else
            std::this_thread::sleep_until(due);
        const Clock::time_point start = Clock::now();
        gc.tick(gc.readKeyboard(keys));
        total += millisecondsSince(start);
    }
    return total / steps;
}

// Starts the level, draws its first frame and lets the tanks settle (long
// enough for standing tanks to fall asleep).
bool prepare(Session &session, const std::string &level, bool *keys) {
    if (!session.startLevel(level)) {
        std::fprintf(stderr, "Error: level \"%s\" is not registered\n", level.c_str());
        return false;
    }
    session.gc.getView().draw();
    glFinish();
    int late = 0;
    pacedSteps(session.gc, keys, kSettleSteps, late);
    return true;
}

struct StartTime {
    double load = 0;       // loadLevel, ms
    double firstFrame = 0; // the first draw, ms
    int cooked = 0;        // meshes cooked rather than read from the cache
};

StartTime timeStart(Session &session, const DataTree &tree, const std::string &level, bool cold) {
    if (cold)
        tree.clearCookedCache();
    PhysXAccess &physics = *session.gc.getPhysXAccess();
    const int cookedBefore = physics.getCookCount();
    StartTime t;
    glFinish();
    const Clock::time_point start = Clock::now();
    session.startLevel(level);
    t.load = millisecondsSince(start);
    const Clock::time_point frame = Clock::now();
    session.gc.getView().draw();
    glFinish();
    t.firstFrame = millisecondsSince(frame);
    t.cooked = physics.getCookCount() - cookedBefore;
    return t;
}

struct FrameTime {
    double step = 0; // the ticks of a frame, ms
    double draw = 0; // draw and swap per frame, ms
    int frames = 0;
    std::size_t peakShells = 0;
};

// Whole frames as the idle and display callbacks run them, each step given
// the wall-clock time of the frame before, for `seconds`.
FrameTime timeFrames(GameClass &gc, bool *keys, double seconds) {
    FrameTime t;
    TickPacer pacer(GameClass::kTickSeconds);
    const Clock::time_point begin = Clock::now();
    Clock::time_point last = begin;
    while (millisecondsSince(begin) < seconds * 1000.0) {
        const Clock::time_point now = Clock::now();
        const float dt = std::chrono::duration<float>(now - last).count();
        last = now;
        gc.frame(dt, keys);
        for (int due = pacer.advance(dt); due > 0; --due)
            gc.tick(gc.readKeyboard(keys));
        t.step += millisecondsSince(now);
        const Clock::time_point drawn = Clock::now();
        gc.getView().draw();
        glFinish();
        t.draw += millisecondsSince(drawn);
        t.peakShells = std::max(t.peakShells, gc.getWorld().getProjektilvektor().size());
        ++t.frames;
    }
    t.step /= t.frames;
    t.draw /= t.frames;
    return t;
}

int shotsFired(GameClass &gc) {
    int shots = 0;
    for (const Fahrzeug *tank : gc.getWorld().getFahrzeugvektor())
        shots += tank->getShotCount();
    return shots;
}

// Hits taken by all tanks together: every hit costs 10 life points.
int hitsTaken(GameClass &gc) {
    int lost = 0;
    for (const Fahrzeug *tank : gc.getWorld().getFahrzeugvektor())
        lost += static_cast<int>(tank->getMaxLife()) - tank->getLife();
    return lost / 10;
}

} // namespace

int main(int argc, char **argv) {
    if (!openWindow(argc, argv, "panzer_bench_world"))
        return 1;
    const std::string dataDir = argc > 1 ? argv[1] : "data";
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;

    QuietConsole console;
    FILE *out = console.out();
    DataTree tree(std::filesystem::absolute(dataDir));
    if (!tree.ok())
        return 1;
    tree.write("textures/bench_flat.png", flatHeightmapPng(kFlatSide));
    for (int tanks : kTankCounts)
        for (bool standing : {true, false})
            tree.write("level/" + crowdLevelName(tanks, standing), crowdLevel(tanks, standing));
    tree.write(std::string("level/") + kFiringLevel, firingLevel());

    Session session;
    GameClass &gc = session.gc;
    bool keys[kKeyCount] = {};
    const unsigned char shoot2 = static_cast<unsigned char>(session.getPlayerConfig().getShootButton2());

    // 1. Level start, every offered level. A level's first start also uploads its textures and
    // compiles display lists, which later starts find done: it is left out.
    const std::vector<Session::BenchLevel> levels = session.offeredLevels();
    if (levels.empty()) {
        std::fprintf(stderr, "Error: no level to start in %s\n", LevelIndex::file().c_str());
        return 1;
    }
    struct StartRows {
        std::vector<double> coldTotal, warmTotal, coldLoad, warmLoad, coldFrame, warmFrame;
        int coldCooked = 0, warmCooked = 0;
    };
    std::vector<StartRows> starts(levels.size());
    for (const Session::BenchLevel &level : levels) {
        if (!session.startLevel(level.name)) {
            std::fprintf(stderr, "Error: level \"%s\" is not registered\n", level.name.c_str());
            return 1;
        }
        gc.getView().draw();
    }
    for (int r = 0; r < rounds; ++r) {
        for (std::size_t l = 0; l < levels.size(); ++l) {
            const StartTime cold = timeStart(session, tree, levels[l].name, true);
            const StartTime warm = timeStart(session, tree, levels[l].name, false);
            StartRows &row = starts[l];
            row.coldTotal.push_back(cold.load + cold.firstFrame);
            row.warmTotal.push_back(warm.load + warm.firstFrame);
            row.coldLoad.push_back(cold.load);
            row.warmLoad.push_back(warm.load);
            row.coldFrame.push_back(cold.firstFrame);
            row.warmFrame.push_back(warm.firstFrame);
            row.coldCooked = cold.cooked;
            row.warmCooked = warm.cooked;
        }
    }

    // 2. Steps by number of tanks, standing and patrolling, interleaved round by round.
    const std::size_t counts = std::size(kTankCounts);
    std::vector<std::vector<double>> stepMs[2]{std::vector<std::vector<double>>(counts),
                                               std::vector<std::vector<double>>(counts)};
    std::vector<int> lateSteps[2]{std::vector<int>(counts, 0), std::vector<int>(counts, 0)};
    for (int r = 0; r < rounds; ++r) {
        for (std::size_t k = 0; k < counts; ++k) {
            for (int standing : {1, 0}) {
                if (!prepare(session, crowdLevelName(kTankCounts[k], standing == 1), keys))
                    return 1;
                int late = 0;
                stepMs[standing][k].push_back(pacedSteps(gc, keys, kMeasuredSteps, late));
                lateSteps[standing][k] += late;
            }
        }
    }

    // 3. Fifty tanks idle and firing: steps, then whole frames.
    std::vector<double> idleStep, fireStep, idleFrameStep, fireFrameStep, idleDraw, fireDraw, idleFps,
        fireFps;
    int idleShots = 0, fireShots = 0, fireHits = 0;
    std::size_t firePeakShells = 0;
    for (int r = 0; r < rounds; ++r) {
        for (bool firing : {false, true}) {
            keys[shoot2] = false;
            if (!prepare(session, kFiringLevel, keys))
                return 1;
            keys[shoot2] = firing;
            int late = 0;
            (firing ? fireStep : idleStep).push_back(pacedSteps(gc, keys, kMeasuredSteps, late));
            (firing ? fireShots : idleShots) += shotsFired(gc);
            if (firing)
                fireHits += hitsTaken(gc);

            keys[shoot2] = false;
            prepare(session, kFiringLevel, keys);
            keys[shoot2] = firing;
            const FrameTime frames = timeFrames(gc, keys, kFrameSeconds);
            (firing ? fireFrameStep : idleFrameStep).push_back(frames.step);
            (firing ? fireDraw : idleDraw).push_back(frames.draw);
            (firing ? fireFps : idleFps).push_back(1000.0 / (frames.step + frames.draw));
            if (firing)
                firePeakShells = std::max(firePeakShells, frames.peakShells);
        }
    }
    keys[shoot2] = false;

    const GLubyte *renderer = glGetString(GL_RENDERER);
    std::fprintf(out, "panzer_bench_world: %d interleaved rounds, medians; renderer: %s\n\n", rounds,
                 renderer != nullptr ? reinterpret_cast<const char *>(renderer) : "unknown");

    std::fprintf(out, "Level start (loadLevel + first frame), empty vs warm cooked-mesh cache, ms:\n");
    std::fprintf(out, "%-16s | %8s %9s %8s %6s | %8s %9s %8s %6s | %s\n", "level", "load", "1st frame",
                 "total", "cooked", "load", "1st frame", "total", "cooked", "empty/warm total");
    std::fprintf(out, "%-16s | %-35s | %-35s |\n", "", "empty cache", "warm cache");
    for (std::size_t l = 0; l < levels.size(); ++l) {
        const StartRows &row = starts[l];
        std::fprintf(out, "%-16s | %8.1f %9.1f %8.1f %6d | %8.1f %9.1f %8.1f %6d | %.2f\n",
                     levels[l].file.c_str(), median(row.coldLoad), median(row.coldFrame),
                     median(row.coldTotal), row.coldCooked, median(row.warmLoad), median(row.warmFrame),
                     median(row.warmTotal), row.warmCooked, median(row.coldTotal) / median(row.warmTotal));
    }
    std::fprintf(out, "\n");

    std::fprintf(
        out,
        "One tick on a flat %dx%d level (plus player one's tank, parked out of the computer "
        "tanks' sight), 60 steps a second:\n",
        kFlatSide, kFlatSide);
    for (int standing : {1, 0}) {
        std::fprintf(out, "%s\n",
                     standing == 1 ? "tanks standing (player two's, no key held):"
                                   : "computer tanks (patrolling around their start):");
        std::fprintf(out, "%8s | %10s %12s %10s %12s %10s | %s\n", "tanks", "step ms", "us per tank",
                     "vs 1 tank", "per tank vs 1", "vs 10", "late steps");
        const double one = median(stepMs[standing][0]);
        const double ten = median(stepMs[standing][1]);
        for (std::size_t k = 0; k < counts; ++k) {
            const double ms = median(stepMs[standing][k]);
            const double n = kTankCounts[k];
            std::fprintf(out, "%8d | %10.3f %12.1f %10.2f %12.2f %10.2f | %d of %d\n", kTankCounts[k], ms,
                         ms * 1000.0 / n, ms / one, (ms / n) / one, ms / ten, lateSteps[standing][k],
                         kMeasuredSteps * rounds);
        }
    }

    std::fprintf(out, "\n%d tanks, idle vs all firing (shoot key held; %.0f s of steps, %.0f s of frames):\n",
                 kFiringTanks, kMeasuredSteps * kStep, kFrameSeconds);
    std::fprintf(out, "%8s | %10s | %14s %10s %8s | %s\n", "tanks", "step ms", "frame step ms", "draw ms",
                 "fps", "shots in the steps");
    std::fprintf(out, "%8s | %10.3f | %14.3f %10.1f %8.2f | %d\n", "idle", median(idleStep),
                 median(idleFrameStep), median(idleDraw), median(idleFps), idleShots);
    std::fprintf(out,
                 "%8s | %10.3f | %14.3f %10.1f %8.2f | %d, %d hits (up to %zu shells alive in the frames)\n",
                 "firing", median(fireStep), median(fireFrameStep), median(fireDraw), median(fireFps),
                 fireShots, fireHits, firePeakShells);
    std::fprintf(out, "firing/idle: step %.2f, frame step %.2f, draw %.2f, frame time %.2f\n",
                 median(fireStep) / median(idleStep), median(fireFrameStep) / median(idleFrameStep),
                 median(fireDraw) / median(idleDraw), median(idleFps) / median(fireFps));
    std::fflush(out);
    return 0;
}
