#pragma once

#include <array>

// One player's orbit camera: pitch, yaw and distance around the tank it
// follows, and where it looked last, so that a view keeps its place once its
// tank is gone.
class OrbitCamera {
  public:
    static constexpr float kMinPitch = -80.0f;    // degrees, steepest look down
    static constexpr float kMaxPitch = -10.0f;    // degrees, flattest look
    static constexpr float kZoomPerSecond = 5.0f; // distance change while a zoom key is held
    static constexpr float kMinDistance = 12.0f;   // units: the zoom comes no nearer the tank
    static constexpr float kMaxDistance = 140.0f;  // units: nor farther, so the land always reaches the horizon

    void setAngleX(float angle); // only pitches within [kMinPitch, kMaxPitch] are taken
    float getAngleX() const { return angleX; }
    void setAngleY(float angle) { angleY = angle; }
    void addAngleY(float angle) { angleY += angle; }
    float getAngleY() const { return angleY; }
    void setCamDistance(float distance); // kept within [kMinDistance, kMaxDistance]
    float getCamDistance() const { return camDistance; }
    // Zooms by the keys held for dt seconds: in brings the camera nearer.
    void zoom(float dt, bool in, bool out);

    // The eye's offset from the target for the orbit yaw `extraYaw` plus the camera's own yaw.
    void calcViewPos(float extraYaw);
    const std::array<float, 3> &getViewPos() const { return viewPos; }
    void moveViewPos(int axis, float delta) { viewPos[axis] += delta; }

    // Follows a tank at `position` heading `headingDegrees`: the orbit swings behind it.
    void follow(const float *position, float headingDegrees);
    const std::array<float, 3> &getTarget() const { return target; }
    float getOrbitYaw() const { return orbitYaw; }
    float getViewYaw() const { return orbitYaw + angleY; } // degrees, the yaw the scene is seen with
    // The eye in the world: the offset of the last calcViewPos from `targetPosition`.
    std::array<float, 3> eyeAt(const float *targetPosition) const;
    std::array<float, 3> eye() const { return eyeAt(target.data()); }

  private:
    std::array<float, 3> viewPos{20, 70, 50}; // eye offset from the target
    float camDistance = kMinDistance;         // units from the target
    float angleX = 0;                         // pitch, degrees
    float angleY = 0;                         // the player's own yaw, degrees
    float orbitYaw = 0;                       // behind the followed tank in the last frame, degrees
    std::array<float, 3> target{};            // where the camera looked last
};
