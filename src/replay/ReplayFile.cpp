#include "replay/ReplayFile.h"

#include <zlib.h>

#include <cmath>

namespace {

constexpr char kMagic[8] = {'P', 'Z', 'R', 'E', 'P', 'L', 'A', 'Y'};
constexpr std::size_t kMaxText = 4096; // longer names are no names of ours

std::int8_t toSteps(float value) {
    return static_cast<std::int8_t>(std::lround(value * 127.0f));
}

class Writer {
  public:
    void bytes(const void *data, std::size_t size) { out.append(static_cast<const char *>(data), size); }
    template <typename T> void number(T value) {
        for (std::size_t i = 0; i < sizeof(T); ++i)
            out.push_back(static_cast<char>((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xffu));
    }
    void text(const std::string &value) {
        number(static_cast<std::uint16_t>(value.size()));
        bytes(value.data(), value.size());
    }
    void varint(std::uint32_t value) {
        while (value >= 0x80u) {
            out.push_back(static_cast<char>((value & 0x7fu) | 0x80u));
            value >>= 7;
        }
        out.push_back(static_cast<char>(value));
    }
    std::string out;
};

// Reads what Writer wrote; every read past the end (or of a value out of range) fails the reader,
// after which all reads give zeros.
class Reader {
  public:
    Reader(const std::string &in, std::size_t end) : in(in), end(end) {}
    bool ok() const { return good; }
    std::size_t left() const { return end - at; }
    template <typename T> T number() {
        if (!take(sizeof(T)))
            return 0;
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            value |= static_cast<std::uint64_t>(static_cast<unsigned char>(in[at - sizeof(T) + i])) << (8 * i);
        return static_cast<T>(value);
    }
    std::string text() {
        const std::size_t size = number<std::uint16_t>();
        if (size > kMaxText || !take(size))
            return fail(), std::string();
        return in.substr(at - size, size);
    }
    std::uint32_t varint() {
        std::uint32_t value = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            const auto byte = number<std::uint8_t>();
            if (shift == 28 && byte > 0x0fu)
                break; // more than 32 bits
            value |= static_cast<std::uint32_t>(byte & 0x7fu) << shift;
            if ((byte & 0x80u) == 0)
                return good ? value : 0;
        }
        fail();
        return 0;
    }
    bool magic() {
        if (!take(sizeof kMagic))
            return false;
        return in.compare(at - sizeof kMagic, sizeof kMagic, kMagic, sizeof kMagic) == 0;
    }
    void fail() { good = false; }

  private:
    bool take(std::size_t size) {
        if (!good || size > end - at) {
            good = false;
            return false;
        }
        at += size;
        return true;
    }
    const std::string &in;
    std::size_t end;
    std::size_t at = 0;
    bool good = true;
};

std::uint32_t crc(const std::string &bytes, std::size_t size) {
    return static_cast<std::uint32_t>(
        crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef *>(bytes.data()), static_cast<uInt>(size)));
}

} // namespace

void Replay::addTick(const TickInput &input, std::uint64_t hashAfter) {
    for (std::size_t player = 0; player < input.size(); ++player) {
        const PlayerInput now = quantize(input[player]);
        if (now == lastRecorded[player])
            continue;
        changes.push_back({ticks, static_cast<std::uint8_t>(player), static_cast<std::int8_t>(toSteps(now.throttle)),
                           static_cast<std::int8_t>(toSteps(now.turn)), now.fire});
        lastRecorded[player] = now;
    }
    ++ticks;
    if (ticks % kTicksPerHash == 0)
        hashes.push_back(hashAfter);
    finalHash = hashAfter;
}

TickInput Replay::inputAt(std::size_t tick) const {
    TickInput input{};
    for (const Change &change : changes) {
        if (change.tick > tick)
            break;
        input[change.player] = change.input();
    }
    return input;
}

PlayerInput Replay::quantize(const PlayerInput &input) {
    const PlayerInput limited = input.limited();
    return {toSteps(limited.throttle) / 127.0f, toSteps(limited.turn) / 127.0f, limited.fire};
}

std::string Replay::encode() const {
    Writer w;
    w.bytes(kMagic, sizeof kMagic);
    w.number(kVersion);
    w.text(buildId);
    w.text(levelFile);
    w.number(dataHash);
    w.number(static_cast<std::uint8_t>(players));
    w.number(static_cast<std::uint8_t>(difficulty));
    w.number(seed);
    w.number(tickMicroseconds);
    w.number(ticks);
    w.number(static_cast<std::uint32_t>(changes.size()));
    std::uint32_t lastTick = 0;
    for (const Change &change : changes) {
        w.varint(change.tick - lastTick);
        w.number(change.player);
        w.number(change.throttle);
        w.number(change.turn);
        w.number(static_cast<std::uint8_t>(change.fire ? 1 : 0));
        lastTick = change.tick;
    }
    w.number(static_cast<std::uint32_t>(hashes.size()));
    for (std::uint64_t hash : hashes)
        w.number(hash);
    w.number(finalHash);
    w.number(crc(w.out, w.out.size()));
    return w.out;
}

namespace {
// Reads `bytes` into `out`, which may hold part of them when it fails.
bool read(const std::string &bytes, Replay &out, std::string &problem) {
    if (bytes.size() < sizeof kMagic + 4) {
        problem = "too short to be a replay (" + std::to_string(bytes.size()) + " bytes)";
        return false;
    }
    Reader head(bytes, bytes.size());
    if (!head.magic()) {
        problem = "not a replay file (its first bytes are not \"PZREPLAY\")";
        return false;
    }
    const std::size_t body = bytes.size() - 4; // the checksum is the last four bytes
    std::uint32_t stored = 0;
    for (int i = 0; i < 4; ++i)
        stored |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[body + static_cast<std::size_t>(i)]))
                  << (8 * i);
    if (stored != crc(bytes, body)) {
        problem = "its checksum does not match: the file is cut short or damaged";
        return false;
    }
    Reader r(bytes, body);
    r.magic();
    const auto version = r.number<std::uint16_t>();
    if (version != Replay::kVersion) {
        problem = "format version " + std::to_string(version) + ", this game reads version " +
                  std::to_string(Replay::kVersion);
        return false;
    }
    out.buildId = r.text();
    out.levelFile = r.text();
    out.dataHash = r.number<std::uint64_t>();
    out.players = r.number<std::uint8_t>();
    const auto skill = r.number<std::uint8_t>();
    out.seed = r.number<std::uint32_t>();
    out.tickMicroseconds = r.number<std::uint32_t>();
    const auto ticks = r.number<std::uint32_t>();
    if (!r.ok()) {
        problem = "its header is cut short";
        return false;
    }
    if (out.players < 1 || out.players > kMaxPlayers || skill >= kDifficultyCount || ticks > Replay::kMaxTicks ||
        out.tickMicroseconds == 0 || out.levelFile.empty() ||
        out.levelFile.find('/') != std::string::npos) {
        problem = "its header holds a value out of range";
        return false;
    }
    out.difficulty = static_cast<AiDifficulty>(skill);
    const auto changes = r.number<std::uint32_t>();
    if (changes > r.left() / 5) { // each change takes five bytes at least
        problem = "it counts more input changes than it holds";
        return false;
    }
    out.ticks = ticks;
    out.changes.reserve(changes); // no more than the bytes left can hold: five each at least
    std::uint64_t tick = 0;
    for (std::uint32_t i = 0; i < changes && r.ok(); ++i) {
        tick += r.varint();
        const auto player = r.number<std::uint8_t>();
        const auto throttle = static_cast<std::int8_t>(r.number<std::uint8_t>());
        const auto turn = static_cast<std::int8_t>(r.number<std::uint8_t>());
        const auto fire = r.number<std::uint8_t>();
        const bool inOrder = out.changes.empty() || tick > out.changes.back().tick || player > out.changes.back().player;
        if (!r.ok() || tick >= ticks || player >= kMaxPlayers || fire > 1 || throttle < -127 || turn < -127 ||
            !inOrder) {
            problem = "input change " + std::to_string(i) + " is out of range";
            return false;
        }
        out.changes.push_back({static_cast<std::uint32_t>(tick), player, throttle, turn, fire == 1});
    }
    const auto hashCount = r.number<std::uint32_t>();
    if (!r.ok() || hashCount != ticks / Replay::kTicksPerHash || r.left() != 8ull * hashCount + 8) {
        problem = "its state hashes do not match its length";
        return false;
    }
    for (std::uint32_t i = 0; i < hashCount; ++i)
        out.hashes.push_back(r.number<std::uint64_t>());
    out.finalHash = r.number<std::uint64_t>();
    if (!r.ok() || r.left() != 0) {
        problem = "it is longer than its contents";
        return false;
    }
    return true;
}
} // namespace

bool Replay::decode(const std::string &bytes, Replay &out, std::string &problem) {
    Replay replay;
    const bool ok = read(bytes, replay, problem);
    out = ok ? std::move(replay) : Replay(); // a refused file leaves nothing behind
    return ok;
}
