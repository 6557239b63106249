// panzer_bench_net: what a network battle costs, on every level the level choice offers: the
// payload bytes per second each client receives from the host and sends to it (ENet's and UDP's
// headers not counted), and the host's time per tick for its world and for its two clients.
//
//   panzer_bench_net [data dir] [game seconds] [seed]
//
// Each level is played by a host and two clients in one process (NetBattleRig) over a simulated
// network with a 150 ms round trip, 20 ms of jitter and 2 % loss, for the given game seconds
// (default 60): player one at the host and both clients' players drive, turn and fire by a script,
// the computer tanks fight as usual. Then two crowded battles: lvl1 with computer tanks added on a
// grid until 30 and 100 tanks stand on it. Needs no X display.
#include "BenchSupport.h"

#include "level/LevelIndex.h"
#include "support/NetBattleRig.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kDefaultSeed = 20261209u;
constexpr int kClients = 2;

PlayerInput script(long tick, long phase) {
    const long t = tick + phase;
    return PlayerInput{t % 400 < 300 ? 1.0f : -0.6f, t % 500 < 250 ? -0.7f : 0.5f, t % 45 == 0};
}

// lvl1 with computer tanks added on a grid 12 units apart, `extra` of them, as data/level/`name`.
std::string crowdedLevel(const bench::DataTree &tree, const std::string &name, int extra) {
    std::ifstream source(tree.root() / "data" / "level" / "lvl1.lvl");
    std::stringstream text;
    text << source.rdbuf();
    std::string level = text.str();
    level.replace(level.find("name=lvl1.lvl"), 13, "name=" + name); // a level is known by its name
    for (int i = 0; i < extra; ++i)
        level += "\n[VEHICLE]\nname=crowd" + std::to_string(i) + "\nmodel=tank1.md2\nowner=cpu\nfahrzeugtyp=tank\n"
                 "weapon=cannon\npos_x=" + std::to_string(-60 + 12 * (i % 11)) + "\npos_y=6\npos_z=" +
                 std::to_string(-60 + 12 * (i / 11)) + "\nrotation=" + std::to_string(i * 37 % 360) +
                 "\nsize=1\nlife=100\n";
    tree.write("level/" + name, level);
    return name;
}

} // namespace

int main(int argc, char **argv) {
    const std::string dataDir = argc > 1 ? argv[1] : "data";
    const double seconds = argc > 2 ? std::max(1.0, std::atof(argv[2])) : 60.0;
    const std::uint32_t seed = argc > 3 ? static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10)) : kDefaultSeed;

    bench::QuietConsole console;
    FILE *out = console.out();
    bench::DataTree tree(std::filesystem::absolute(dataDir));
    if (!tree.ok())
        return 1;

    std::vector<LevelIndex::Entry> index;
    if (!LevelIndex::read(LevelIndex::file(), index)) {
        std::fprintf(stderr, "Error: %s: cannot read the level index\n", LevelIndex::file().c_str());
        return 1;
    }
    SimulatedNetwork::Conditions conditions;
    conditions.latencyMs = 75;
    conditions.jitterMs = 20;
    conditions.loss = 0.02;
    std::fprintf(out, "%-12s %6s %12s %12s %14s %14s %8s\n", "level", "tanks", "down B/s", "up B/s", "world ms/tick",
                "net ms/tick", "net/world");
    std::vector<std::string> levels;
    for (const LevelIndex::Entry &entry : index)
        levels.push_back(entry.file);
    // lvl1 has 7 tanks for three players: 23 and 93 more make 30 and 100.
    levels.push_back(crowdedLevel(tree, "crowd30.lvl", 23));
    levels.push_back(crowdedLevel(tree, "crowd100.lvl", 93));
    for (const std::string &file : levels) {
        NetBattleRig rig(file, conditions, kClients, seed);
        if (!rig.join()) {
            std::fprintf(stderr, "Error: %s: the battle did not start\n", file.c_str());
            return 1;
        }
        const std::size_t tanks = rig.hostGame().getWorld().getFahrzeugvektor().size();
        const std::size_t downBefore = rig.network().bytesFromHost(), upBefore = rig.network().bytesToHost();
        rig.run(static_cast<std::uint32_t>(seconds * 1000.0), [](long tick) { return script(tick, 0); },
                [](long tick) { return script(tick, 137); });
        const double down = static_cast<double>(rig.network().bytesFromHost() - downBefore) / seconds / kClients;
        const double up = static_cast<double>(rig.network().bytesToHost() - upBefore) / seconds / kClients;
        const double ticks = static_cast<double>(rig.hostGame().getWorld().getTickCount());
        const double world = rig.hostTickSeconds() * 1000.0 / ticks, network = rig.hostNetworkSeconds() * 1000.0 / ticks;
        std::fprintf(out, "%-12s %6zu %12.0f %12.0f %14.3f %14.3f %8.2f\n", file.c_str(), tanks, down, up, world,
                    network, network / world);
        std::fflush(out);
    }
    return 0;
}
