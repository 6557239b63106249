// panzer_bench_render: frames per second of the first level for each render
// mode (0 immediate, 1 display lists, 2 vertex arrays, 3 vertex buffer
// objects), each with the shadow map on and off, beside the frame rate of an
// empty frame (clear and swap only), the floor of what the display can do;
// then one row per level that the level choice offers (data/level/levels.ini):
// its frame rate with the game's default options (display lists), shadows on
// and off. The single-view cases start the level for one player; the
// split-screen cases start it for two, three or four and draw every player's
// view, and are compared with the single view of the same render path. Each case starts the
// level afresh.
//
//   panzer_bench_render [data dir] [rounds] [seconds per case]
//
// A frame is what the game's callbacks do: the ticks that the time of
// the frame before asks for, then draw (which swaps), then glFinish so the frame is
// really done. Needs an X display (run under xvfb-run); under Xvfb the
// drawing runs on Mesa's software renderer. The cases are measured
// interleaved, round by round, and given as ratios to the floor.
#include "BenchSupport.h"

#include "game/TickPacer.h"
#include "physics/PhysXAccess.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace bench;

constexpr int kWarmupFrames = 3; // the first frames in a mode upload buffers or compile lists

struct Case {
    const char *name;
    int renderMode; // -1: the empty frame
    bool shadows;
    int players = 1; // 2 to 4: the window split between the players' views
};

const Case kCases[] = {
    {"empty frame (clear + swap)", -1, false},       {"mode 0 immediate, shadows on", 0, true},
    {"mode 0 immediate, shadows off", 0, false},     {"mode 1 display lists, shadows on", 1, true},
    {"mode 1 display lists, shadows off", 1, false}, {"mode 2 vertex arrays, shadows on", 2, true},
    {"mode 2 vertex arrays, shadows off", 2, false}, {"mode 3 VBOs, shadows on", 3, true},
    {"mode 3 VBOs, shadows off", 3, false},          {"split, mode 1, shadows on", 1, true, 2},
    {"split, mode 1, shadows off", 1, false, 2},
    {"three views, mode 1, shadows on", 1, true, 3}, {"three views, mode 1, shadows off", 1, false, 3},
    {"four views, mode 1, shadows on", 1, true, 4},  {"four views, mode 1, shadows off", 1, false, 4},
};
constexpr std::size_t kFirstSplitCase = 9; // the split cases come last

void setUp(GameClass &gc, const Case &c) {
    if (c.renderMode < 0)
        return;
    while (gc.getOptions().getRenderMode() != c.renderMode)
        gc.getOptions().changeRenderMode();
    if (gc.getOptions().getUseShadowmap() != c.shadows)
        gc.getOptions().setUseShadowmap(c.shadows);
}

void emptyFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
    glFinish();
}

// Milliseconds per frame over at least `seconds` (and at least 5 frames).
double timeFrames(GameClass &gc, const Case &c, double seconds) {
    bool keys[kKeyCount] = {};
    TickPacer pacer(GameClass::kTickSeconds);
    auto frame = [&](float dt) {
        if (c.renderMode < 0) {
            emptyFrame();
            return;
        }
        gc.frame(dt, keys);
        for (int due = pacer.advance(dt); due > 0; --due)
            gc.tick(gc.readKeyboard(keys));
        gc.getView().draw();
        glFinish();
    };
    Clock::time_point last = Clock::now();
    for (int i = 0; i < kWarmupFrames; ++i) {
        const Clock::time_point now = Clock::now();
        frame(std::chrono::duration<float>(now - last).count());
        last = now;
    }
    const Clock::time_point begin = Clock::now();
    last = begin;
    int frames = 0;
    while (frames < 5 || millisecondsSince(begin) < seconds * 1000.0) {
        const Clock::time_point now = Clock::now();
        frame(std::chrono::duration<float>(now - last).count());
        last = now;
        ++frames;
    }
    return millisecondsSince(begin) / frames;
}

} // namespace

int main(int argc, char **argv) {
    if (!openWindow(argc, argv, "panzer_bench_render"))
        return 1;
    const std::string dataDir = argc > 1 ? argv[1] : "data";
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const double seconds = argc > 3 ? std::max(0.2, std::atof(argv[3])) : 1.5;

    QuietConsole console;
    FILE *out = console.out();
    DataTree tree(std::filesystem::absolute(dataDir));
    if (!tree.ok())
        return 1;
    Session session;
    session.gc.getWorld().setHumanPlayers(1);
    const std::vector<Session::BenchLevel> levels = session.offeredLevels();
    if (levels.empty() || !session.startLevel(levels[0].name)) {
        std::fprintf(stderr, "Error: no level to start in data/level/levels.ini\n");
        return 1;
    }
    const std::string firstLevel = levels[0].file;
    GameClass &gc = session.gc;
    const bool shadowsAvailable =
        gc.getOptions().getUseShadowmap(); // the level start turns them off without driver support

    const std::size_t cases = std::size(kCases);
    std::vector<std::vector<double>> ms(cases);
    for (int r = 0; r < rounds; ++r) {
        for (std::size_t k = 0; k < cases; ++k) {
            if (kCases[k].shadows && !shadowsAvailable)
                continue;
            if (kCases[k].renderMode >= 0) {
                // Every case from a fresh start, so that each is timed at the same moment of the
                // battle (the computer tanks plan their paths in the first seconds).
                gc.getWorld().setHumanPlayers(kCases[k].players);
                session.startLevel(levels[0].name);
            }
            setUp(gc, kCases[k]);
            ms[k].push_back(timeFrames(gc, kCases[k], seconds));
        }
    }

    const GLubyte *renderer = glGetString(GL_RENDERER);
    std::fprintf(out,
                 "panzer_bench_render: \"%s\" in a %dx%d window, %d interleaved rounds of %.1f s per case, "
                 "medians; renderer: %s\n",
                 firstLevel.c_str(), kWindowWidth, kWindowHeight, rounds, seconds,
                 renderer != nullptr ? reinterpret_cast<const char *>(renderer) : "unknown");
    if (!shadowsAvailable)
        std::fprintf(out, "(no shadow map on this driver: the shadow cases were skipped)\n");
    std::fprintf(out, "%-36s | %10s %8s | %s\n", "case", "ms/frame", "fps", "frame time vs empty frame");
    const double floor = median(ms[0]);
    for (std::size_t k = 0; k < cases; ++k) {
        if (ms[k].empty())
            continue;
        const double m = median(ms[k]);
        std::fprintf(out, "%-36s | %10.2f %8.1f | %.1f\n", kCases[k].name, m, 1000.0 / m, m / floor);
    }
    // Shadow pass share per mode: what turning the shadow map off saves.
    if (shadowsAvailable) {
        std::fprintf(out, "shadows on/off per mode:");
        for (std::size_t k = 1; k + 1 < kFirstSplitCase; k += 2)
            std::fprintf(out, " %d: %.2f", kCases[k].renderMode, median(ms[k]) / median(ms[k + 1]));
        std::fprintf(out, "\n");
    }

    // Every offered level with the game's default options, one player, interleaved round by round.
    gc.getWorld().setHumanPlayers(1);
    const Case perLevel[] = {{"shadows on", 1, true}, {"shadows off", 1, false}};
    std::vector<std::vector<double>> levelMs(levels.size() * 2);
    for (int r = 0; r < rounds; ++r) {
        for (std::size_t l = 0; l < levels.size(); ++l) {
            if (!session.startLevel(levels[l].name))
                continue;
            for (int k = 0; k < 2; ++k) {
                if (perLevel[k].shadows && !shadowsAvailable)
                    continue;
                setUp(gc, perLevel[k]);
                levelMs[l * 2 + k].push_back(timeFrames(gc, perLevel[k], seconds));
            }
        }
    }
    std::fprintf(out, "\nEvery level, mode 1 display lists (the default):\n");
    std::fprintf(out, "%-16s | %10s %8s | %10s %8s\n", "level", "ms/frame", "fps", "ms/frame", "fps");
    std::fprintf(out, "%-16s | %-19s | %-19s\n", "", "shadows on", "shadows off");
    for (std::size_t l = 0; l < levels.size(); ++l) {
        std::fprintf(out, "%-16s", levels[l].file.c_str());
        for (int k = 0; k < 2; ++k) {
            const std::vector<double> &times = levelMs[l * 2 + k];
            if (times.empty())
                std::fprintf(out, " | %10s %8s", "-", "-");
            else
                std::fprintf(out, " | %10.2f %8.1f", median(times), 1000.0 / median(times));
        }
        std::fprintf(out, "\n");
    }
    // What the further views cost: a split frame over the single view of the same path and shadows
    // (the goal for four views: at most twice the single view).
    std::fprintf(out, "views / single view, mode 1:\n");
    for (std::size_t k = kFirstSplitCase; k < cases; ++k)
        if (!ms[k].empty())
            std::fprintf(out, "  %d views, shadows %s: %.2f\n", kCases[k].players, kCases[k].shadows ? "on" : "off",
                         median(ms[k]) / median(ms[kCases[k].shadows ? 3 : 4]));
    std::fflush(out);
    return 0;
}
