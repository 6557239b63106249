#pragma once

// The geometry of a shot. Shells fly straight and level at constant speed from the muzzle along the
// tank's heading, so a hit needs the heading towards where the target will be when the shell
// arrives.
class Gunnery {
  public:
    // Heading in degrees (0 faces +z, 90 faces +x) from `from` towards `to`; heights ignored.
    static float headingTo(const float *from, const float *to);
    // Signed difference b - a brought into (-180, 180].
    static float headingDifference(float a, float b);
    // The point to aim at for a shell leaving `muzzle` at `shellSpeed` towards a target at
    // `target` moving with `velocity` (horizontal parts only): the meeting point when the shell can
    // catch the target, else the target itself. `flightTime` gets the shell's time to it.
    static void leadPoint(const float *muzzle, float shellSpeed, const float *target, const float *velocity,
                          float *aim, float *flightTime = nullptr);
    // The largest heading error, in degrees, at which a shell still meets a tank `distance` away.
    static float tolerance(float distance);
    // Time of closest approach (within [0, horizon] seconds) of a shell at `shell` flying with
    // `velocity` to the point `at`, and the horizontal miss distance then.
    static float closestApproach(const float *shell, const float *velocity, const float *at, float horizon,
                                 float *missDistance);
};
