// panzer_bench_ai: what the computer player costs per step with 10, 50 and 200 computer tanks
// that all see their target.
//
//   panzer_bench_ai [data dir] [seconds per count]
//
// A generated flat level: the computer tanks on a square grid 10 units apart, player one's tank
// standing still between them, every computer tank able to see it (sight range raised to cover the
// whole grid). Steps are paced at 60 a second as in the game; the time inside the computer
// player's doSomething is measured apart from the rest of the step. Needs an X display (the level
// start builds display lists): run under xvfb-run.
#include "BenchSupport.h"

#include "objects/ComputerSpieler.h"
#include "objects/Fahrzeug.h"
#include "objects/Owner.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace bench;

constexpr float kStep = 1.0f / 60.0f;
constexpr int kTankCounts[] = {10, 50, 200};
constexpr int kFlatSide = 250;
constexpr int kSettleSteps = 30;

// Forwards to the computer player and adds up the time it takes.
class TimedOwner : public Owner {
  public:
    explicit TimedOwner(Owner *inner) : inner(inner) { setOwnerTyp(inner->getOwnerTyp()); }
    Projektil *doSomething(Fahrzeug *vehicle, const PlayerInput &input, float dt) override {
        const Clock::time_point start = Clock::now();
        Projektil *shot = inner->doSomething(vehicle, input, dt);
        spent += millisecondsSince(start);
        return shot;
    }
    double spent = 0; // milliseconds since the last reset
  private:
    Owner *inner; // not owned
};

std::string levelName(int tanks) {
    return "bench_ai" + std::to_string(tanks) + ".lvl";
}

std::string level(int tanks) {
    const std::string half = std::to_string(kFlatSide / 2);
    std::string text = "[LEVELDETAILS]\nname=" + levelName(tanks) + "\nfilename=bench\nx1=-" + half +
                       "\ny1=-" + half + "\nx2=" + half + "\ny2=" + half +
                       "\nbgpicture=ground.png\n\n[SURFACE]\nheightmap=bench_flat.png\n\n"
                       "[LIGHT]\npos_x=-5\npos_y=60\npos_z=-10\nintentsy=1\nlightnumber=0\n\n" +
                       vehicleSection("player1", "spieler1", 5, 5, 0);
    const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(tanks))));
    const int rows = (tanks + columns - 1) / columns;
    for (int i = 0; i < tanks; ++i) {
        const float x = (i % columns - (columns - 1) / 2.0f) * 10.0f;
        const float z = (i / columns - (rows - 1) / 2.0f) * 10.0f;
        text += vehicleSection("cpu" + std::to_string(i), "cpu", x, z, static_cast<float>(i * 37 % 360));
    }
    return text;
}

struct Result {
    double aiMean = 0, aiP95 = 0, aiMax = 0, stepMean = 0;
    double raysPerStep = 0, searchesPerStep = 0;
    int shots = 0;
};

Result run(Session &session, int tanks, double seconds) {
    GameClass &gc = session.gc;
    session.startLevel(levelName(tanks));
    ComputerSpieler *cpu = gc.getWorld().getComputerSpieler();
    cpu->setDifficulty(AiDifficulty::Hard);
    AiSkill skill = cpu->getSkill();
    skill.sightRange = 200.0f; // every tank sees player one
    cpu->setSkill(skill);
    TimedOwner timed(cpu);
    for (Fahrzeug *v : gc.getWorld().getFahrzeugvektor())
        if (v->getOwner() == cpu)
            v->setOwner(&timed);
    bool keys[kKeyCount] = {};
    // Player one cannot be destroyed during the measurement.
    gc.getWorld().getPlayer1Vehicle()->setLife(1000000);

    const Clock::duration tick =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<float>(kStep));
    const int steps = static_cast<int>(seconds / kStep);
    std::vector<double> ai, whole;
    const long rays0 = cpu->getRayCount();
    const long searches0 = cpu->getNavigator().getSearchCount();
    Clock::time_point due = Clock::now();
    for (int i = 0; i < kSettleSteps + steps; ++i) {
        due += tick;
        if (Clock::now() < due)
            std::this_thread::sleep_until(due);
        timed.spent = 0;
        const Clock::time_point start = Clock::now();
        gc.tick(gc.readKeyboard(keys));
        if (i >= kSettleSteps) {
            whole.push_back(millisecondsSince(start));
            ai.push_back(timed.spent);
        }
    }
    Result r;
    r.aiMean = mean(ai);
    r.stepMean = mean(whole);
    std::sort(ai.begin(), ai.end());
    r.aiP95 = ai[ai.size() * 95 / 100];
    r.aiMax = ai.back();
    r.raysPerStep = static_cast<double>(cpu->getRayCount() - rays0) / (kSettleSteps + steps);
    r.searchesPerStep =
        static_cast<double>(cpu->getNavigator().getSearchCount() - searches0) / (kSettleSteps + steps);
    for (const Fahrzeug *v : gc.getWorld().getFahrzeugvektor())
        if (v->getAiData() != nullptr || v->getOwner() == &timed)
            r.shots += v->getShotCount();
    for (Fahrzeug *v : gc.getWorld().getFahrzeugvektor())
        if (v->getOwner() == &timed)
            v->setOwner(cpu);
    return r;
}

} // namespace

int main(int argc, char **argv) {
    if (!openWindow(argc, argv, "panzer_bench_ai"))
        return 1;
    const std::string dataDir = argc > 1 ? argv[1] : "data";
    const double seconds = argc > 2 ? std::max(1.0, std::atof(argv[2])) : 10.0;

    QuietConsole console;
    FILE *out = console.out();
    DataTree tree(std::filesystem::absolute(dataDir));
    if (!tree.ok())
        return 1;
    tree.write("textures/bench_flat.png", flatHeightmapPng(kFlatSide));
    for (int tanks : kTankCounts)
        tree.write("level/" + levelName(tanks), level(tanks));
    Session session;

    std::fprintf(out,
                 "panzer_bench_ai: %.0f s of play per count, 60 steps a second, difficulty hard, every "
                 "computer tank sees player one\n\n",
                 seconds);
    std::fprintf(out, "%6s | %12s %12s %12s %12s | %10s %10s | %12s | %s\n", "tanks", "AI ms/step", "95% ms",
                 "max ms", "us per tank", "rays/step", "paths/step", "step ms", "shells");
    for (int tanks : kTankCounts) {
        const Result r = run(session, tanks, seconds);
        std::fprintf(out, "%6d | %12.3f %12.3f %12.3f %12.2f | %10.1f %10.2f | %12.3f | %d\n", tanks,
                     r.aiMean, r.aiP95, r.aiMax, r.aiMean * 1000.0 / tanks, r.raysPerStep, r.searchesPerStep,
                     r.stepMean, r.shots);
        std::fflush(out);
    }
    return 0;
}
