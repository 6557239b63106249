#pragma once

#include "input/PadState.h"

#include <array>
#include <vector>

// Lets a pad work the menus: turns its readings over time into the key-table codes the screens
// already answer to. The d-pad and the left stick (pushed beyond half) give the arrow keys, which
// repeat while held as a keyboard's do; A gives Enter and B Escape, once per press.
class PadMenuKeys {
  public:
    static constexpr float kStickPushed = 0.5f;     // stick travel that counts as an arrow held
    static constexpr double kRepeatDelay = 0.4;     // seconds from the first press to the first repeat
    static constexpr double kRepeatInterval = 0.15; // seconds between repeats after that

    // The keys this reading presses; `seconds` is when it was taken (any clock that only goes
    // forward; a reading from before the last one counts as taken at the same time).
    std::vector<int> update(const PadState &pad, double seconds);
    // Counts what `pad` holds now as held already, so a button still down (the press that opened
    // a screen) gives no key until it is let go and pressed again.
    void reset(const PadState &pad);

  private:
    enum Arrow { kUp, kDown, kLeft, kRight, kArrowCount };

    static std::array<bool, kArrowCount> arrowsHeld(const PadState &pad);

    std::array<bool, kArrowCount> held{};         // arrows down at the last reading
    std::array<double, kArrowCount> nextRepeat{}; // seconds at which each held arrow repeats
    bool aHeld = false;                           // A down at the last reading
    bool bHeld = false;                           // B down at the last reading
    double lastSeconds = 0.0;                     // time of the last reading
};
