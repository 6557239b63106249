#include "input/PadMenuKeys.h"

#include "config/KeyNames.h"

std::array<bool, PadMenuKeys::kArrowCount> PadMenuKeys::arrowsHeld(const PadState &pad) {
    std::array<bool, kArrowCount> arrows{};
    // Comparisons with a reading that is not a number are false: no arrow.
    arrows[kUp] = pad.pressed(PadButton::DpadUp) || pad.leftY > kStickPushed;
    arrows[kDown] = pad.pressed(PadButton::DpadDown) || pad.leftY < -kStickPushed;
    arrows[kLeft] = pad.pressed(PadButton::DpadLeft) || pad.leftX < -kStickPushed;
    arrows[kRight] = pad.pressed(PadButton::DpadRight) || pad.leftX > kStickPushed;
    return arrows;
}

std::vector<int> PadMenuKeys::update(const PadState &pad, double seconds) {
    if (!(seconds >= lastSeconds)) // earlier, or not a number
        seconds = lastSeconds;
    lastSeconds = seconds;

    static const int kArrowKeys[kArrowCount] = {
        KeyNames::special(KeyNames::kGlutUp), KeyNames::special(KeyNames::kGlutDown),
        KeyNames::special(KeyNames::kGlutLeft), KeyNames::special(KeyNames::kGlutRight)};
    std::vector<int> keys;
    const std::array<bool, kArrowCount> arrows = arrowsHeld(pad);
    for (int a = 0; a < kArrowCount; ++a) {
        if (!arrows[a]) {
            held[a] = false;
            continue;
        }
        if (!held[a]) {
            held[a] = true;
            nextRepeat[a] = seconds + kRepeatDelay;
            keys.push_back(kArrowKeys[a]);
        } else if (seconds >= nextRepeat[a]) {
            // One key per reading: after a stall the menu moves one step, not a burst of them.
            nextRepeat[a] += kRepeatInterval;
            if (nextRepeat[a] <= seconds)
                nextRepeat[a] = seconds + kRepeatInterval;
            keys.push_back(kArrowKeys[a]);
        }
    }
    const bool a = pad.pressed(PadButton::A), b = pad.pressed(PadButton::B);
    if (a && !aHeld)
        keys.push_back(KeyNames::kEnter);
    if (b && !bHeld)
        keys.push_back(KeyNames::kEscape);
    aHeld = a;
    bHeld = b;
    return keys;
}

void PadMenuKeys::reset(const PadState &pad) {
    held = arrowsHeld(pad);
    // A held arrow waits out the full delay before it repeats, counted from the next reading.
    nextRepeat.fill(lastSeconds + kRepeatDelay);
    aHeld = pad.pressed(PadButton::A);
    bHeld = pad.pressed(PadButton::B);
}
