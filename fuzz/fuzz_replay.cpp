// Fuzz target: the replay reader, and watching what it accepts (every tick's inputs, the hash
// checks, writing it again). Each input's last four bytes are made its right checksum first (a
// mutation almost never keeps one), so the fuzzer reaches the checks of the body; the checksum's
// own check has unit tests.
#include "FuzzSupport.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayPlayback.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include <zlib.h>

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
    std::string bytes(reinterpret_cast<const char *>(data), size);
    if (bytes.size() >= 4) {
        const std::size_t body = bytes.size() - 4;
        const auto sum = static_cast<std::uint32_t>(
            crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef *>(bytes.data()), static_cast<uInt>(body)));
        for (std::size_t i = 0; i < 4; ++i)
            bytes[body + i] = static_cast<char>((sum >> (8 * i)) & 0xffu);
    }
    Replay replay;
    std::string problem;
    if (!Replay::decode(bytes, replay, problem)) {
        if (problem.empty() || replay.ticks != 0 || !replay.changes.empty())
            std::abort(); // a refusal says why and leaves nothing behind
        return 0;
    }
    const std::string again = replay.encode();
    Replay twice;
    if (!Replay::decode(again, twice, problem) || twice.ticks != replay.ticks || twice.changes != replay.changes)
        std::abort(); // what was read must write and read back the same
    ReplayPlayback watch(std::move(replay));
    TickInput input;
    while (watch.nextInput(input))
        watch.check(0);
    (void)watch.statusLine();
    return 0;
}
