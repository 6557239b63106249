#include "config/PadBindings.h"

namespace {

struct ButtonNames {
    const char *file;  // settings.ini
    const char *label; // the screen
};

constexpr ButtonNames kButtons[kPadButtonCount] = {
    {"a", "A"},
    {"b", "B"},
    {"x", "X"},
    {"y", "Y"},
    {"back", "Back"},
    {"guide", "Guide"},
    {"start", "Start"},
    {"leftstick", "Left stick"},
    {"rightstick", "Right stick"},
    {"leftshoulder", "LB"},
    {"rightshoulder", "RB"},
    {"dpup", "D-pad up"},
    {"dpdown", "D-pad down"},
    {"dpleft", "D-pad left"},
    {"dpright", "D-pad right"},
    {"lefttrigger", "LT"},
    {"righttrigger", "RT"},
};

struct ActionNames {
    const char *file;
    const char *label;
    PadButton byDefault;
};

constexpr ActionNames kActions[PadBindings::kActionCount] = {
    {"padfire", "Pad fire", PadButton::A},
    {"padfire2", "Pad fire (second)", PadButton::RightTrigger},
    {"padzoomin", "Pad zoom in", PadButton::RightShoulder},
    {"padzoomout", "Pad zoom out", PadButton::LeftShoulder},
    {"padpause", "Pad pause", PadButton::Start},
    {"padleave", "Pad leave battle", PadButton::Back},
};

bool valid(PadButton button) {
    return static_cast<int>(button) >= 0 && button < PadButton::Count;
}

} // namespace

const char *padButtonName(PadButton button) {
    return valid(button) ? kButtons[static_cast<int>(button)].file : "";
}

const char *padButtonLabel(PadButton button) {
    return valid(button) ? kButtons[static_cast<int>(button)].label : "";
}

std::optional<PadButton> padButtonFromName(const std::string &name) {
    for (int b = 0; b < kPadButtonCount; ++b)
        if (name == kButtons[b].file)
            return static_cast<PadButton>(b);
    return std::nullopt;
}

const char *PadBindings::fileKey(Action action) {
    return action >= 0 && action < kActionCount ? kActions[action].file : "";
}

const char *PadBindings::label(Action action) {
    return action >= 0 && action < kActionCount ? kActions[action].label : "";
}

PadBindings PadBindings::defaults() {
    PadBindings bindings;
    for (int a = 0; a < kActionCount; ++a)
        bindings.buttons[a] = kActions[a].byDefault;
    return bindings;
}

PadBindings::Action PadBindings::actionFor(PadButton button, Action except) const {
    for (int a = 0; a < kActionCount; ++a)
        if (a != except && buttons[a] == button)
            return static_cast<Action>(a);
    return kActionCount;
}
