#include "main/InputRules.h"

void pressKey(bool keys[kKeyCount], int code) {
    if (code >= 0 && code < kKeyCount)
        keys[code] = true;
}

KeyReleaseEffect releaseKey(bool keys[kKeyCount], int gameMode, int code) {
    KeyReleaseEffect effect;
    const bool escapeHeld = keys[kKeyEscape];
    if (gameMode == kModeMenu && escapeHeld)
        effect.exitProgram = true;
    if (gameMode == kModeGame) {
        effect.returnToMenu = escapeHeld;
        effect.miniMapOff = code == kKeyMiniMap;
    }
    if (code >= 0 && code < kKeyCount)
        keys[code] = false;
    return effect;
}

int heldOptionKeys(const bool keys[kKeyCount], int out[kLastOptionKey]) {
    int count = 0;
    for (int key = kFirstOptionKey; key <= kLastOptionKey; ++key)
        if (keys[key])
            out[count++] = key;
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
