#pragma once

#include <array>
#include <optional>
#include <string>

// A pad's buttons as the game knows them: the standard layout (an Xbox-style pad; other pads are
// mapped onto it), with the two triggers counted as buttons while pressed beyond half their travel.
// The order is the pad library's own button order, the triggers after it.
enum class PadButton {
    A,
    B,
    X,
    Y,
    Back,
    Guide,
    Start,
    LeftStick,
    RightStick,
    LeftShoulder,
    RightShoulder,
    DpadUp,
    DpadDown,
    DpadLeft,
    DpadRight,
    LeftTrigger,
    RightTrigger,
    Count
};
constexpr int kPadButtonCount = static_cast<int>(PadButton::Count);

// The names of the buttons in settings.ini ("a", "b", ..., "dpup", "lefttrigger") and back; no
// name: nullopt.
const char *padButtonName(PadButton button);
std::optional<PadButton> padButtonFromName(const std::string &name);
// What the player reads on the screen: "A", "Start", "LB", "D-pad up", "RT".
const char *padButtonLabel(PadButton button);

// What a player's pad buttons do in a battle, each action on one button. The sticks and the d-pad
// are not bound: the left stick and the d-pad drive, the right stick turns the camera.
class PadBindings {
  public:
    enum Action { kFire, kFireAlt, kZoomIn, kZoomOut, kPause, kLeave, kActionCount };

    static const char *fileKey(Action action); // "padfire", "padfire2", ..., "padleave"
    static const char *label(Action action);   // "Pad fire", ...
    // A fires, so does the right trigger; the shoulders zoom; Start pauses; Back leaves.
    static PadBindings defaults();

    PadButton get(Action action) const { return buttons[action]; }
    void set(Action action, PadButton button) { buttons[action] = button; }
    // The first action other than `except` on `button`, or kActionCount.
    Action actionFor(PadButton button, Action except = kActionCount) const;
    bool operator==(const PadBindings &o) const { return buttons == o.buttons; }
    bool operator!=(const PadBindings &o) const { return !(*this == o); }

  private:
    std::array<PadButton, kActionCount> buttons{};
};
