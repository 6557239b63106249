#include "main/InputRules.h"

void pressKey(bool keys[kKeyCount], int code) {
    if (code >= 0 && code < kKeyCount)
        keys[code] = true;
}

void releaseKey(bool keys[kKeyCount], int code) {
    if (code >= 0 && code < kKeyCount)
        keys[code] = false;
}

int heldOptionKeys(const bool keys[kKeyCount], int out[kOptionKeyCount]) {
    int count = 0;
    for (int key = kFirstOptionKey; key <= kLastOptionKey; ++key)
        if (keys[key])
            out[count++] = key - KeyNames::kSpecialBase;
    return count;
}

FrameClock::Tick FrameClock::advance(double now) {
    Tick tick;
    if (lTimeStamp == 0) {
        lTimeStamp = now;
        return tick;
    }
    tick.step = true;
    tick.dt = now - lTimeStamp;
    lTimeStamp += tick.dt;
    dFPSTimer += tick.dt;
    if (dFPSTimer > 1.0) {
        tick.fpsDue = true;
        tick.fps = 1.0 / tick.dt;
        dFPSTimer -= 1.0;
    }
    return tick;
}
