#pragma once

#include <array>

// The camera's view cone for culling: world points are taken into view space
// with the camera's yaw and pitch (the camera looks along -z) and tested
// against a near plane and two side planes 30 degrees off the view axis.
class ViewCone {
  public:
    enum Result { kVisible, kBehind, kBeside };

    static constexpr float kNearLimit = 0.1f;       // view-space z from which a point is behind the viewer
    static constexpr double kSideAngle = 30.0;      // degrees between the view axis and each side plane

    // `eye` in world space; yaw, pitch and the side planes' angle in degrees.
    ViewCone(const std::array<float, 3> &eye, float yaw, float pitch, double sideAngle = kSideAngle);
    // The side planes' angle for a view `aspect` wide per unit of height under a vertical field of
    // view of `fieldOfView` degrees: the usual planes, narrowed for a view narrower than the cone
    // (a split window's half) so that it keeps the same margin beside what it shows.
    static double sideAngleFor(double aspect, double fieldOfView);

    std::array<float, 3> toViewSpace(const float *point) const;
    Result classify(const float *point) const;
    Result classifyViewSpace(const std::array<float, 3> &view) const;
    // False only when the whole box (world min and max corners) lies behind
    // the viewer or beyond one side plane; a large box that the cone crosses
    // between its corners stays visible.
    bool mayShowBox(const float *min, const float *max) const;

  private:
    std::array<float, 3> eye; // camera position, world space
    float cosYaw, sinYaw;     // of the view yaw
    float cosPitch, sinPitch; // of the pitch
    float sinSide, cosSide;   // of the side planes' angle
};
