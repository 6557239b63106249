#include "input/PadMapping.h"

#include <cmath>

namespace {

// The d-pad's say on one axis: +1 or -1 while exactly one of its two buttons is held, else none.
std::optional<float> dpadAxis(const PadState &pad, PadButton positive, PadButton negative) {
    const bool plus = pad.pressed(positive), minus = pad.pressed(negative);
    if (plus == minus)
        return std::nullopt;
    return plus ? 1.0f : -1.0f;
}

} // namespace

float stickAxis(float value, float deadZone) {
    if (std::isnan(value))
        return 0.0f;
    if (!(deadZone >= 0.0f)) // negative or not a number
        deadZone = 0.0f;
    if (deadZone >= 1.0f)
        return 0.0f;
    const float travel = std::fmin(std::fabs(value), 1.0f);
    if (travel <= deadZone)
        return 0.0f;
    const float scaled = (travel - deadZone) / (1.0f - deadZone);
    return value < 0.0f ? -scaled : scaled;
}

PlayerInput padDriving(const PadState &pad, const PadBindings &bindings, float deadZone) {
    PlayerInput input;
    input.throttle =
        dpadAxis(pad, PadButton::DpadUp, PadButton::DpadDown).value_or(stickAxis(pad.leftY, deadZone));
    input.turn =
        dpadAxis(pad, PadButton::DpadRight, PadButton::DpadLeft).value_or(stickAxis(pad.leftX, deadZone));
    input.fire =
        pad.pressed(bindings.get(PadBindings::kFire)) || pad.pressed(bindings.get(PadBindings::kFireAlt));
    return input.limited();
}

PadCamera cameraTurn(const PadState &pad, float deadZone) {
    auto curve = [deadZone](float value) {
        const float v = stickAxis(value, deadZone);
        return v * std::fabs(v);
    };
    return {curve(pad.rightX), curve(pad.rightY)};
}
