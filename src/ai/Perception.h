#pragma once

struct AiMemory;
struct AiTankView;
struct AiWorld;
class AiRayCaster;
class AiSkill;

// What a computer tank knows about its enemies (the tanks no computer drives): it looks a few
// times a second by casting real rays from its turret, sees the nearest enemy in range with a free
// line of sight, notices a hidden one that comes close, and remembers where it last saw it.
class Perception {
  public:
    static constexpr float kLookInterval = 0.2f; // seconds between two looks
    static constexpr float kEyeHeight = 1.7f;    // turret above the tank's position
    static constexpr float kTargetHeight = 1.0f; // middle of a tank's hull above its position
    // A shell leaves the muzzle flat: it meets a tank whose hull spans its height, this far above
    // the tank's position.
    static constexpr float kHullLow = 0.0f;
    static constexpr float kHullHigh = 1.9f;
    static constexpr float kHearingShare =
        0.5f; // a hidden enemy is noticed within this share of the sight range
    static constexpr float kMemorySeconds = 20.0f; // a last sighting older than this is forgotten
    static constexpr int kRaysPerLook = 3;         // nearest enemies tried in one look

    // Updates the memory from the world; returns the index of the target in world.tanks, or -1.
    static int update(const AiWorld &world, int self, const AiSkill &skill, const AiRayCaster &rays,
                      AiMemory &memory);
    // A free line from the turret of `from` to the hull of `to`.
    static bool lineOfSight(const AiTankView &from, const AiTankView &to, const AiRayCaster &rays);
    // A shell fired now would reach the hull of `to`: the muzzle stands within its height, and
    // nothing stands on the flat line the shell flies.
    static bool lineOfFire(const AiTankView &from, const AiTankView &to, const AiRayCaster &rays);
    // How far a flat shell from a muzzle `muzzleHeight` high misses a hull standing at `hullHeight`
    // (both world y); 0 when it meets it.
    static float heightMiss(float muzzleHeight, float hullHeight);
    static bool isEnemy(const AiTankView &self, const AiTankView &other);
};
