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

    // `eye` in world space; yaw and pitch in degrees.
    ViewCone(const std::array<float, 3> &eye, float yaw, float pitch);

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
