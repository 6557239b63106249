// Fuzz target: the replay reader, and watching what it accepts (every tick's inputs, the hash
// checks, writing it again).
#include "FuzzSupport.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayPlayback.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// A short battle of both players: a few changes of each kind of input, a hash a second.
void writeSeeds(const std::string &dir) {
    Replay replay;
    replay.buildId = "0123456789abcdef";
    replay.levelFile = "lvl1.lvl";
    replay.seed = 7;
    replay.tickMicroseconds = 16667;
    for (int t = 0; t < 150; ++t) {
        TickInput input;
        input[0] = {t < 90 ? 1.0f : -0.5f, t % 40 < 20 ? 0.0f : -1.0f, t % 30 == 0};
        input[1] = {0.25f, 1.0f, t == 100};
        replay.addTick(input, static_cast<std::uint64_t>(t) * 977u);
    }
    const std::string bytes = replay.encode();
    std::ofstream(dir + "/seed.pzr", std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz::writeSeedsWhenAsked(writeSeeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    Replay replay;
    std::string problem;
    if (!Replay::decode(std::string(reinterpret_cast<const char *>(data), size), replay, problem))
        return 0;
    const std::string again = replay.encode();
    Replay twice;
    if (!Replay::decode(again, twice, problem) || twice.inputs != replay.inputs)
        std::abort(); // what was read must write and read back the same
    ReplayPlayback watch(std::move(replay));
    TickInput input;
    while (watch.nextInput(input))
        watch.check(0);
    (void)watch.statusLine();
    return 0;
}
