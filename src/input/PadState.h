#pragma once

#include "config/PadBindings.h"

#include <array>
#include <optional>
#include <string>

// What one pad reports at one moment, in the game's terms: sticks pushed up or right are positive,
// whatever the pad library counts as positive.
struct PadState {
    float leftX = 0.0f;                          // left stick, -1 left .. +1 right
    float leftY = 0.0f;                          // left stick, -1 pulled back .. +1 pushed forward
    float rightX = 0.0f;                         // right stick, -1 left .. +1 right
    float rightY = 0.0f;                         // right stick, -1 down .. +1 up
    float leftTrigger = 0.0f;                    // 0 released .. 1 pulled fully
    float rightTrigger = 0.0f;                   // 0 released .. 1 pulled fully
    std::array<bool, kPadButtonCount> buttons{}; // by PadButton; the triggers count beyond half travel

    bool pressed(PadButton button) const {
        const int b = static_cast<int>(button);
        return b >= 0 && b < kPadButtonCount && buttons[b];
    }
    void setButton(PadButton button, bool down) {
        const int b = static_cast<int>(button);
        if (b >= 0 && b < kPadButtonCount)
            buttons[b] = down;
    }
    // How far a trigger must be pulled to count as its button.
    static constexpr float kTriggerPressed = 0.5f;
};

// Which pad this is, across unplugging and the next start of the game: the pad library's GUID
// (the same for every pad of one make and model) and, to tell such pads apart, the pad's index
// among the connected pads of that GUID (the first one plugged in is 0).
struct PadId {
    static constexpr int kMaxIndex = 15; // more identical pads than this are not told apart

    std::string guid; // 32 lower-case hex digits
    int index = 0;    // 0 .. kMaxIndex

    // "030000005e0400008e02000014010000#1", as settings.ini stores it.
    std::string text() const { return guid + "#" + std::to_string(index); }
    // The id written as text() writes it (hex digits of either case); nullopt for anything else.
    static std::optional<PadId> parse(const std::string &text);

    bool operator==(const PadId &o) const { return index == o.index && guid == o.guid; }
    bool operator!=(const PadId &o) const { return !(*this == o); }
    bool operator<(const PadId &o) const { return guid != o.guid ? guid < o.guid : index < o.index; }
};
