#pragma once

// Shared constants of the math types: the one value of pi every degree-based
// rotation converts with, so all builders agree to the last bit.
constexpr double kPi = 3.141592653589793;

// Degrees to radians as the rotation builders and vector rotations use it.
constexpr double degreesToRadians(double angle) {
    return kPi * angle / 180.0;
}
