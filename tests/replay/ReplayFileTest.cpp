#include "replay/ReplayFile.h"
#include "replay/ReplayPlayback.h"
#include "replay/ReplayStore.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// A minute of a four-player battle: player one drives in bursts and fires now and then, player two
// turns by halves, player four holds a pad's stick half forward and fires once (player three
// idles), and the hash of every tick is its number.
Replay minuteOfPlay() {
    Replay replay;
    replay.buildId = "build-1";
    replay.dataHash = 0x0123456789abcdefull;
    replay.levelFile = "lvl2.lvl";
    replay.players = 4;
    replay.difficulty = AiDifficulty::Hard;
    replay.seed = 4000000000u;
    replay.tickMicroseconds = 16667;
    for (int t = 0; t < 3600; ++t) {
        TickInput input;
        input[0] = {t % 200 < 120 ? 1.0f : 0.0f, 0.0f, t % 45 == 0};
        input[1] = {-1.0f, std::round(std::sin(t * 0.05f) * 2.0f) / 2.0f, false};
        input[3] = Replay::quantize({0.5f, t < 1800 ? 0.3f : -0.3f, t == 900});
        replay.addTick(input, static_cast<std::uint64_t>(t + 1) * 0x9e3779b97f4a7c15ull);
    }
    return replay;
}


// A replay file written field by field, so that each check of the reader meets a file whose
// checksum is right and whose one fault is the one under test.
struct ReplayBytes {
    std::uint16_t version = Replay::kVersion;
    std::uint8_t players = 2, skill = 1;
    std::uint32_t ticks = 120;
    std::string changes;          // the encoded changes
    std::uint32_t changeCount = 0;
    std::uint32_t hashCount = 2;  // ticks / 60
    std::size_t hashesWritten = 2;
    std::string tail;             // anything after the final hash
    bool cutHeader = false;

    template <typename T> static void put(std::string &out, T value) {
        for (std::size_t i = 0; i < sizeof(T); ++i)
            out.push_back(static_cast<char>((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xffu));
    }
    // One change as the file keeps it: ticks since the last, player, throttle, turn, fire.
    void change(std::uint8_t delta, std::uint8_t player, std::int8_t throttle = 127, std::uint8_t fire = 0) {
        changes += std::string{static_cast<char>(delta), static_cast<char>(player), static_cast<char>(throttle), 0,
                               static_cast<char>(fire)};
        ++changeCount;
    }
    std::string sealed() const {
        std::string out = "PZREPLAY";
        put(out, version);
        put<std::uint16_t>(out, 5);
        out += "build";
        put<std::uint16_t>(out, 8);
        out += "lvl1.lvl";
        put<std::uint64_t>(out, 42);
        put(out, players);
        if (!cutHeader) {
            put(out, skill);
            put<std::uint32_t>(out, 7);
            put<std::uint32_t>(out, 16667);
            put(out, ticks);
            put(out, changeCount);
            out += changes;
            put(out, hashCount);
            for (std::size_t i = 0; i < hashesWritten; ++i)
                put<std::uint64_t>(out, i + 1);
            put<std::uint64_t>(out, 99);
            out += tail;
        }
        put(out, static_cast<std::uint32_t>(crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef *>(out.data()),
                                                  static_cast<uInt>(out.size()))));
        return out;
    }
};

TEST(ReplayFileTest, AReplayReadsBackAsWrittenAndKeepsAMinuteInAFewKilobytes) {
    const Replay replay = minuteOfPlay();
    const std::string bytes = replay.encode();
    EXPECT_LT(bytes.size(), 4000u) << "only the changes of the inputs are kept";
    Replay back;
    std::string problem;
    ASSERT_TRUE(Replay::decode(bytes, back, problem)) << problem;
    EXPECT_EQ(back.buildId, replay.buildId);
    EXPECT_EQ(back.dataHash, replay.dataHash);
    EXPECT_EQ(back.levelFile, replay.levelFile);
    EXPECT_EQ(back.players, 4);
    EXPECT_EQ(back.difficulty, AiDifficulty::Hard);
    EXPECT_EQ(back.seed, replay.seed);
    EXPECT_EQ(back.tickMicroseconds, replay.tickMicroseconds);
    ASSERT_EQ(back.ticks, replay.ticks);
    EXPECT_EQ(back.changes, replay.changes);
    for (std::size_t t = 0; t < replay.ticks; t += 7)
        ASSERT_EQ(back.inputAt(t), replay.inputAt(t)) << "tick " << t;
    EXPECT_EQ(back.hashes, replay.hashes);
    EXPECT_EQ(back.hashes.size(), 60u);
    EXPECT_EQ(back.finalHash, replay.finalHash);
    EXPECT_EQ(back.encode(), bytes);

    // A stick's value is kept in 127ths, and the world is given the same.
    const PlayerInput stick = Replay::quantize({0.3f, -0.77f, true});
    EXPECT_EQ(Replay::quantize(stick), stick);
    EXPECT_NEAR(stick.throttle, 0.3f, 0.5f / 127);
    EXPECT_EQ(Replay::quantize({9.0f, std::nanf(""), false}), (PlayerInput{1.0f, 0.0f, false}));
}

TEST(ReplayFileTest, EveryDamagedOrCutFileIsRefusedWithOneLineSayingWhy) {
    const std::string good = minuteOfPlay().encode();
    Replay out;
    std::string problem;
    // Every length short of the whole, and every single flipped bit of the first kilobyte.
    for (std::size_t size = 0; size < good.size(); size += 7) {
        EXPECT_FALSE(Replay::decode(good.substr(0, size), out, problem)) << size;
        EXPECT_EQ(problem.find('\n'), std::string::npos);
    }
    for (std::size_t bit = 0; bit < 8 * 1024; bit += 3) {
        std::string bad = good;
        bad[bit / 8] = static_cast<char>(bad[bit / 8] ^ (1 << (bit % 8)));
        EXPECT_FALSE(Replay::decode(bad, out, problem)) << "bit " << bit;
    }
    EXPECT_FALSE(Replay::decode(good + "x", out, problem));
    EXPECT_FALSE(Replay::decode("\x89PNG\r\n\x1a\n and so on, a picture", out, problem));
    EXPECT_NE(problem.find("not a replay"), std::string::npos) << problem;
}

TEST(ReplayFileTest, WatchingPlaysEveryTickSaysOnceWhereItDivergesAndTakesItsKeys) {
    const Replay replay = minuteOfPlay();
    ReplayPlayback watch(replay);
    TickInput input;
    std::size_t diverged = 0;
    for (std::uint64_t t = 1; watch.nextInput(input); ++t) {
        ASSERT_EQ(input, replay.inputAt(t - 1));
        // From tick 1000 on the world is another: the next second's hash tells, once.
        const std::uint64_t hash = t < 1000 ? t * 0x9e3779b97f4a7c15ull : t;
        if (watch.check(hash))
            diverged = watch.getDivergedAt();
    }
    EXPECT_TRUE(watch.isOver());
    EXPECT_EQ(diverged, 1020u);
    EXPECT_EQ(watch.getTicksDone(), 3600u);

    EXPECT_EQ(watch.getSpeed(), 1.0);
    EXPECT_TRUE(watch.keyDown(ReplayPlayback::kFastKey));
    EXPECT_EQ(watch.getSpeed(), 4.0);
    EXPECT_TRUE(watch.keyDown(ReplayPlayback::kPauseKey));
    EXPECT_EQ(watch.getSpeed(), 0.0);
    EXPECT_TRUE(watch.keyDown(ReplayPlayback::kHalfSpeedKey));
    EXPECT_TRUE(watch.keyDown(ReplayPlayback::kPauseKey));
    EXPECT_EQ(watch.getSpeed(), 0.5);
    EXPECT_EQ(watch.getFollowed(), 0);
    for (int player : {1, 2, 3, 0}) { // Tab goes round every player of the battle
        EXPECT_TRUE(watch.keyDown(ReplayPlayback::kFollowKey));
        EXPECT_EQ(watch.getFollowed(), player);
    }
    EXPECT_FALSE(watch.keyDown('w')); // not the watcher's: left to the game
}

TEST(ReplayFileTest, EachCheckOfAWellSealedFileRefusesItAndSaysWhich) {
    Replay out;
    std::string problem;
    ReplayBytes good;
    good.change(0, 0);
    good.change(30, 1, -127, 1);
    ASSERT_TRUE(Replay::decode(good.sealed(), out, problem)) << problem;
    EXPECT_EQ(out.ticks, 120u);
    EXPECT_EQ(out.inputAt(29)[0], (PlayerInput{1.0f, 0.0f, false}));
    EXPECT_EQ(out.inputAt(30)[1], (PlayerInput{-1.0f, 0.0f, true}));

    const auto refused = [&](const ReplayBytes &file, const std::string &why) {
        EXPECT_FALSE(Replay::decode(file.sealed(), out, problem)) << why;
        EXPECT_NE(problem.find(why), std::string::npos) << problem;
        EXPECT_TRUE(out.changes.empty() && out.ticks == 0) << "a refused file leaves nothing behind";
    };
    ReplayBytes file = good;
    file.version = 2;
    refused(file, "format version 2");
    file = good;
    file.cutHeader = true;
    refused(file, "its header is cut short");
    file = good;
    file.players = 5;
    refused(file, "its header holds a value out of range");
    file = good;
    file.ticks = Replay::kMaxTicks + 1;
    refused(file, "its header holds a value out of range");
    file = good;
    file.changeCount = 1000000; // five bytes each at least: far more than the file holds
    refused(file, "it counts more input changes than it holds");
    file = good;
    file.change(200, 0); // at tick 230 of 120
    refused(file, "input change 2 is out of range");
    file = good;
    file.change(0, 4);
    refused(file, "input change 2 is out of range");
    file = good;
    file.change(0, 1); // player two twice in one tick
    refused(file, "input change 2 is out of range");
    file = good;
    file.change(1, 0, -128);
    refused(file, "input change 2 is out of range");
    file = good;
    file.change(1, 0, 0, 2);
    refused(file, "input change 2 is out of range");
    file = good;
    file.hashCount = 3;
    file.hashesWritten = 3;
    refused(file, "its state hashes do not match its length");
    file = good;
    file.tail = "x";
    refused(file, "its state hashes do not match its length");
}

TEST(ReplayFileTest, AFileClaimingADayOfTicksCostsNoMoreThanItHolds) {
    // A day of ticks and not one change: refused by its hashes before anything the size of the
    // day is made.
    ReplayBytes file;
    file.ticks = Replay::kMaxTicks;
    file.hashCount = Replay::kMaxTicks / Replay::kTicksPerHash;
    Replay out;
    std::string problem;
    EXPECT_FALSE(Replay::decode(file.sealed(), out, problem));
    EXPECT_NE(problem.find("state hashes"), std::string::npos) << problem;

    // The same day with its hashes is a replay, kept as the one change it holds.
    file.hashesWritten = file.hashCount;
    file.change(0, 0);
    ASSERT_TRUE(Replay::decode(file.sealed(), out, problem)) << problem;
    EXPECT_EQ(out.ticks, Replay::kMaxTicks);
    EXPECT_EQ(out.changes.size(), 1u);
    EXPECT_LT(out.changes.capacity() * sizeof(Replay::Change), 64u);
    ReplayPlayback watch(out);
    TickInput input;
    for (int t = 0; t < 1000; ++t)
        ASSERT_TRUE(watch.nextInput(input));
    EXPECT_EQ(input[0].throttle, 1.0f);
}

TEST(ReplayFileTest, TheStoreKeepsTheNewestTenAndReadsThemBack) {
    TempDir dir;
    ScopedCwd cwd(dir.path());
    const Replay replay = minuteOfPlay();
    std::string problem;
    std::vector<std::string> saved;
    for (int i = 0; i < 12; ++i)
        saved.push_back(ReplayStore::save(replay, "20261209T1200" + std::to_string(10 + i / 2), problem));
    EXPECT_EQ(saved[0], "data/replays/replay-20261209T120010.pzr");
    EXPECT_EQ(saved[1], "data/replays/replay-20261209T120010-2.pzr"); // the same second
    int kept = 0;
    for (const fs::directory_entry &entry : fs::directory_iterator("data/replays"))
        kept += entry.path().extension() == ".pzr" ? 1 : 0;
    EXPECT_EQ(kept, ReplayStore::kKept);
    EXPECT_FALSE(fs::exists(saved[0]));
    EXPECT_FALSE(fs::exists(saved[1]));
    EXPECT_TRUE(fs::exists(saved[2]));
    Replay back;
    ASSERT_TRUE(ReplayStore::load(saved.back(), back, problem)) << problem;
    EXPECT_EQ(back.finalHash, replay.finalHash);

    EXPECT_FALSE(ReplayStore::load("data/replays/none.pzr", back, problem));
    fs::create_directories("data/replays/folder.pzr");
    EXPECT_FALSE(ReplayStore::load("data/replays/folder.pzr", back, problem));
}

} // namespace
