// Fuzz target: the network packet reader, and what it promises of every packet it accepts (written
// again, it reads back to the same bytes; a snapshot applied to a base or to none gives a world in
// id order and within the limits, and the difference of that world from the base rebuilds it).
#include "FuzzSupport.h"
#include "net/Protocol.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace NetProtocol;

// The world a client holds after tick 100: three tanks (one burning out) and two shells.
const WorldState &base() {
    static const WorldState world = [] {
        WorldState w;
        w.tick = 100;
        w.battleTicks = 90;
        w.scores = {100, 0, 50, 0};
        w.powerUps = 0x5;
        w.tanks = {{0, {100, 20, -300}, {5, 0, 0}, 1000, 40, 900, 1},
                   {3, {-2000, 25, 800}, {}, 30000, 0, 500, 3},
                   {7, {0, 0, 0}, {}, 0, 0, 0, 5}};
        w.shells = {{2, 0, {110, 30, -290}, {600, 10, 0}, 1}, {9, 3, {-1990, 30, 800}, {0, 0, 0}, 2}};
        return w;
    }();
    return world;
}

// Equal, but that a position may stand a step off.
template <typename Item> bool near(std::vector<Item> a, const std::vector<Item> &b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        for (std::size_t axis = 0; axis < 3; ++axis)
            if (std::abs(a[i].pos[axis] - b[i].pos[axis]) <= 1)
                a[i].pos[axis] = b[i].pos[axis];
        if (!(a[i] == b[i]))
            return false;
    }
    return true;
}

// The same world, but that a tank or shell a snapshot left out (driven or carried on by its reader)
// may stand a step from where it is.
bool same(const WorldState &a, const WorldState &b) {
    return a.tick == b.tick && a.outcome == b.outcome && a.battleTicks == b.battleTicks &&
           a.scores == b.scores && a.pausedBy == b.pausedBy && a.inputLead == b.inputLead &&
           a.powerUps == b.powerUps && near(a.tanks, b.tanks) && near(a.shells, b.shells);
}

void write(const std::string &path, const Message &message) {
    const std::vector<std::uint8_t> bytes = encode(message);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// One packet of every type, and a snapshot whole and as the difference from the base.
void writeSeeds(const std::string &dir) {
    write(dir + "/hello", Hello{kVersion, "build-1", "Anna", 0x0123456789abcdefu});
    write(dir + "/hello_v1", Hello{1, "build-1", "Anna"});
    write(dir + "/welcome", Welcome{kVersion, "build-1", "lvl2.lvl", "0123456789abcdef", 3, 2, 12345, false, 77});
    write(dir + "/ready", Ready{"0123456789abcdef"});
    write(dir + "/refused", Refused{Refusal::kVersion, "build-0"});
    write(dir + "/start", Start{1});
    write(dir + "/input", Input{103, {{1.0f, -0.5f, false}, {1.0f, 0.0f, true}, {-1.0f, 1.0f, false}}, 100});
    WorldState next = base();
    next.tick = 103;
    next.tanks[0].pos[0] = 130;
    next.tanks[1].life = 450;
    next.tanks[1].heading = 30100;
    next.tanks.erase(next.tanks.begin() + 2);
    next.shells.erase(next.shells.begin() + 1);
    next.shells.push_back({11, 0, {100, 22, -280}, {600, 0, 0}, 1});
    write(dir + "/snapshot_whole", diff(next, nullptr));
    write(dir + "/snapshot_delta", diff(next, &base()));
    write(dir + "/events", Events{103, {{1, {100, 20, -300}, 0}, {4, {0, 0, 0}, -1}}});
    write(dir + "/pause", Pause{true, 1});
    write(dir + "/player_status", PlayerStatus{1, PlayerStatus::kLost});
    write(dir + "/bye", Bye{});
}

template <typename Item> bool ascending(const std::vector<Item> &items) {
    for (std::size_t i = 1; i < items.size(); ++i)
        if (items[i - 1].id >= items[i].id)
            return false;
    return true;
}

void checkWorld(const WorldState &world, const WorldState *from) {
    if (!ascending(world.tanks) || !ascending(world.shells) || world.tanks.size() > kMaxTanks ||
        world.shells.size() > kMaxShells)
        std::abort();
    const std::optional<WorldState> again = apply(diff(world, from), from);
    if (!again || !same(*again, world))
        std::abort(); // the difference from a base must rebuild the world from that base
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz::writeSeedsWhenAsked(writeSeeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::optional<Message> message = decode(data, size);
    if (!message)
        return 0;
    const std::vector<std::uint8_t> bytes = encode(*message);
    const std::optional<Message> again = decode(bytes.data(), bytes.size());
    if (!again || again->index() != message->index() || encode(*again) != bytes)
        std::abort();
    if (const Snapshot *snapshot = std::get_if<Snapshot>(&*message)) {
        if (const std::optional<WorldState> world = apply(*snapshot, &base()))
            checkWorld(*world, &base());
        if (const std::optional<WorldState> world = apply(*snapshot, nullptr))
            checkWorld(*world, nullptr);
    }
    return 0;
}
