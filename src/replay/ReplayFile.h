#pragma once

#include "config/Difficulty.h"
#include "objects/PlayerInput.h"

#include <cstdint>
#include <string>
#include <vector>

// One recorded battle: what it needs to be played again (the build and data it was played with, its
// level, players, computer skill, seed and tick length) and each tick's inputs, with the state hash
// once a second to tell whether the battle played again is the one recorded.
//
// On disk (all numbers little-endian):
//   "PZREPLAY", format version (u16);
//   build id, level file name (each a u16 length and its bytes), data hash (u64);
//   players (u8), computer skill (u8), seed (u32), tick length in microseconds (u32);
//   ticks (u32), then the input changes: each a varint of ticks since the last change (the first
//     counts from tick 0), the player (u8), throttle and turn (i8 each, in 127ths) and fire (u8);
//     a count (u32) comes first; within a tick the players' changes come in the players' order;
//   hashes (u32 count), one u64 after every kTicksPerHash ticks, then the hash after the last tick;
//   a CRC-32 of every byte before it (u32).
struct Replay {
    static constexpr std::uint16_t kVersion = 1;
    static constexpr int kTicksPerHash = 60; // one second of ticks
    static constexpr std::uint32_t kMaxTicks = 60u * 60u * 60u * 24u; // a day of play: longer is no replay

    std::string buildId;
    std::uint64_t dataHash = 0;
    std::string levelFile;
    int players = 2;
    AiDifficulty difficulty = AiDifficulty::Normal;
    std::uint32_t seed = 0;
    std::uint32_t tickMicroseconds = 0;
    // One player's controls from `tick` on, as the file keeps them: throttle and turn in 127ths.
    // Eight bytes each, so a replay read into memory costs little more than its file.
    struct Change {
        std::uint32_t tick = 0;
        std::uint8_t player = 0;
        std::int8_t throttle = 0, turn = 0;
        bool fire = false;

        PlayerInput input() const { return {throttle / 127.0f, turn / 127.0f, fire}; }
        bool operator==(const Change &o) const {
            return tick == o.tick && player == o.player && throttle == o.throttle && turn == o.turn && fire == o.fire;
        }
        bool operator!=(const Change &o) const { return !(*this == o); }
    };

    std::uint32_t ticks = 0;            // ticks recorded
    std::vector<Change> changes;        // in the order of their ticks and players, at most one a player a tick
    std::vector<std::uint64_t> hashes;  // after tick kTicksPerHash * (i + 1)
    std::uint64_t finalHash = 0;        // after the last tick
    TickInput lastRecorded{};           // the controls of the last tick addTick took

    // Records one tick: its inputs (as quantize keeps them, a change only where a player's differ
    // from the tick before) and the state hash after it (kept once a second, and as the final hash).
    void addTick(const TickInput &input, std::uint64_t hashAfter);
    // The controls of tick `tick` (0 .. ticks - 1) as recorded.
    TickInput inputAt(std::size_t tick) const;
    // False when the replay holds a hash for the state after `ticks` ticks and `hash` is another.
    bool agrees(std::size_t ticks, std::uint64_t hash) const {
        if (ticks == this->ticks && hash != finalHash)
            return false;
        return ticks % kTicksPerHash != 0 || ticks / kTicksPerHash == 0 || ticks / kTicksPerHash > hashes.size() ||
               hashes[ticks / kTicksPerHash - 1] == hash;
    }

    // The controls as a replay keeps them: throttle and turn in steps of 1/127. The world is given
    // exactly these, so that playing the file again gives the same battle.
    static PlayerInput quantize(const PlayerInput &input);

    std::string encode() const;
    // Reads `bytes`; false with `problem` set (one line) when the checksum, the header, a length or
    // a value is wrong. Never reads beyond the bytes given, whatever they hold.
    static bool decode(const std::string &bytes, Replay &out, std::string &problem);
};
