#pragma once

#include "ai/AiMemory.h"

struct AiWorld;
struct AiTankView;
class AiRayCaster;
class AiSkill;
class Navigator;

// What a computer tank does in one step: which drive keys it holds, how far it turns and whether
// it fires.
struct AiCommand {
    bool forward = false;  // drive key forward
    bool backward = false; // drive key backward
    float turn = 0;        // degrees to turn in this step (positive: left), within the turning rate
    bool fire = false;     // pull the trigger
};

// The decision of one computer tank: a pure function of the world snapshot, its memory (with its
// own random sequence), its skill, the ray caster and the navigator. Nothing here draws, waits or
// touches a game object.
class TankBrain {
  public:
    static constexpr float kLowLifeShare = 0.3f;  // at or below this share of its life it retreats
    static constexpr float kBestRange = 18.0f;    // preferred distance to a target, units
    static constexpr float kMaxRange = 30.0f;     // beyond this it closes in before firing
    static constexpr float kArrive = 1.8f;        // a waypoint this close counts as reached
    static constexpr float kSeparation = 6.0f;    // other tanks closer than this push it aside
    static constexpr float kPatrolRadius = 15.0f; // patrol points lie this far around home
    static constexpr float kDodgeSeconds = 1.0f;  // one dodge lasts this long
    static constexpr float kDodgeMiss = 3.0f;     // shells passing closer than this are dodged
    static constexpr float kCoverRadius = 26.0f;  // how far it looks for cover, units
    static constexpr float kStuckSeconds = 1.2f;  // no progress for this long: back out and replan
    static constexpr int kGiveUpJams = 3;         // jams on one way before a patrol or search picks another goal
    static constexpr float kRoamAfter = 20.0f;    // seconds without contact before it roams towards the enemy
    static constexpr float kRoamSpread = 20.0f;   // how far from the enemy a roaming patrol point may lie
    static constexpr float kRepairShare = 0.6f;   // below this share of its life it fetches a repair it sees
    static constexpr float kRepairSight = 35.0f;  // how far it looks for a repair power-up, units

    static AiCommand think(const AiWorld &world, int self, AiMemory &memory, const AiSkill &skill,
                           const AiRayCaster &rays, Navigator &navigator);
    // A random number in [0, 1) from the tank's own sequence (the same on every platform).
    static float random01(AiMemory &memory);
    // Draws the heading error of the next shot.
    static void drawAimOffset(AiMemory &memory, const AiSkill &skill);

    // Whether the tank may close in on and attack `target` now: always within kBestRange (it defends
    // itself), else while fewer than the skill's maxAttackers of its side do; of those already at
    // it, the earlier in the list keep their places.
    static bool mayEngage(const AiWorld &world, int self, int target, const AiSkill &skill);
    // Where to fire at `target` (x, y, z) from: a reachable spot with a view of it, near the tank and
    // at a good range, on ground from which a flat shell meets the target's hull; false when none.
    static bool firingPosition(const AiTankView &me, const float *target, AiMemory &memory,
                               const Navigator &navigator, float *out);

  private:
    static void chooseState(const AiWorld &world, int self, int target, bool held, AiMemory &memory,
                            const Navigator &navigator);
    static void setGoal(AiMemory &memory, float x, float z, float time);
    static bool coverPosition(const AiTankView &me, const float *attacker, const Navigator &navigator,
                              float *out);
    // The nearest repair power-up within kRepairSight in free view of the tank; false when none.
    static bool repairInSight(const AiWorld &world, const AiTankView &me, const Navigator &navigator, float *out);
    static bool patrolPoint(const AiWorld &world, int self, AiMemory &memory, const Navigator &navigator,
                            float *out);
    static void drive(const AiWorld &world, int self, AiMemory &memory, Navigator &navigator,
                      AiCommand &command);
    static float steerTowards(const AiTankView &me, float desiredHeading, float dt);
    static void dodge(const AiWorld &world, int self, AiMemory &memory, AiCommand &command);
};
