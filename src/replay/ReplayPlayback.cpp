#include "replay/ReplayPlayback.h"

#include <cstdio>

bool ReplayPlayback::nextInput(TickInput &input) {
    if (isOver())
        return false;
    for (; nextChange < replay.changes.size() && replay.changes[nextChange].tick <= ticksDone; ++nextChange)
        current[replay.changes[nextChange].player] = replay.changes[nextChange].input();
    input = current;
    ++ticksDone;
    return true;
}

bool ReplayPlayback::check(std::uint64_t hash) {
    if (hasDiverged() || replay.agrees(ticksDone, hash))
        return false;
    divergedAt = ticksDone;
    return true;
}

bool ReplayPlayback::keyDown(int code) {
    switch (code) {
    case kPauseKey:
        paused = !paused;
        return true;
    case kHalfSpeedKey:
        speed = 0.5;
        return true;
    case kNormalSpeedKey:
        speed = 1.0;
        return true;
    case kFastKey:
        speed = 4.0;
        return true;
    case kFollowKey:
        followed = (followed + 1) % replay.players;
        return true;
    default:
        return false;
    }
}

std::string ReplayPlayback::statusLine() const {
    const double seconds = replay.tickMicroseconds * 1e-6;
    char line[200];
    std::snprintf(line, sizeof line,
                  "REPLAY %s  %.0f / %.0f s  %s  |  Space pause  1 half  2 normal  4 fast  Tab follow player %d",
                  isOver() ? "over" : paused ? "paused" : "", static_cast<double>(ticksDone) * seconds,
                  static_cast<double>(replay.ticks) * seconds,
                  speed == 0.5 ? "x0.5" : speed == 4.0 ? "x4" : "x1", (followed + 1) % replay.players + 1);
    return line;
}
