#include "game/TickPacer.h"

#include <cmath>

int TickPacer::advance(double seconds) {
    if (std::isfinite(seconds) && seconds > 0.0)
        owed += seconds;
    int due = static_cast<int>(std::floor(owed / tick));
    if (due > kMaxTicksPerFrame) {
        due = kMaxTicksPerFrame;
        owed = 0.0; // the rest is dropped: the world slows down instead of jumping
    } else {
        owed -= due * tick;
    }
    return due;
}
