#pragma once

#include "config/PadBindings.h"
#include "input/PadState.h"
#include "objects/PlayerInput.h"

// How a pad's sticks and buttons become a player's controls. Pure functions of one reading, so
// they are the same for a real pad, a virtual one and a test.

// The dead zone a worn stick rests inside when no setting says otherwise (of full travel).
constexpr float kDefaultPadDeadZone = 0.12f;

// One stick axis with its dead zone taken out: 0 inside `deadZone` (of full travel), beyond it
// rising in proportion from 0 at the dead zone's edge to +-1 at full travel. A value beyond +-1
// counts as full travel; one that is not a number (a broken reading) as 0. A dead zone outside
// [0, 1) is taken to the nearest end of that range.
float stickAxis(float value, float deadZone);

// A player's controls from the pad: the left stick drives (pushed forward is full ahead, to the
// right a right turn) and the d-pad drives too, always at full strength, winning over the stick on
// its own axis; the fire and second fire buttons of `bindings` fire.
PlayerInput padDriving(const PadState &pad, const PadBindings &bindings, float deadZone);

// How fast the right stick turns the camera, each of [-1, 1] (a fraction of the camera's
// fastest turn): yaw +1 turns the view to the right, pitch +1 tilts it up. The stick's travel past
// the dead zone counts squared, so a small push aims finely and a full one still turns at full
// speed.
struct PadCamera {
    float yaw = 0.0f;   // -1 full left .. +1 full right
    float pitch = 0.0f; // -1 full down .. +1 full up
};
PadCamera cameraTurn(const PadState &pad, float deadZone);
