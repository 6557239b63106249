#pragma once

// The fixed numbers of the physics world. Bullet's damping is a fraction of velocity lost per
// second (0..1), not a rate, so "a very strong damping" becomes a value close to 1 here.
namespace PhysXTuning {

constexpr float kGravityY = -9.8f;   // world units per second squared, downward
constexpr float kPi = 3.14159265f;   // degrees to radians for headings and the terrain tilt
constexpr float kCookScale = 0.048f; // packed MD2 byte -> physics units, standing in for the frame scale

// Materials. Bullet multiplies the two partners' values, so a partner of 1.0 hands the other
// side's value through unchanged.
constexpr float kDefaultFriction = 0.5f;    // level objects and projectiles
constexpr float kDefaultRestitution = 0.5f; // level objects and projectiles
constexpr float kGroundFriction = 0.4f;     // the ground plane
constexpr float kGroundRestitution = 0.1f;  // the ground plane
constexpr float kTerrainFriction = 0.4f;    // the terrain mesh drives like the ground plane
constexpr float kTerrainRestitution = 0.1f;
// Vehicles get a low friction: every frame presses them down with an extra impulse, which raises
// the normal force far above the weight (and the more, the higher the frame rate). A low friction
// keeps the drive nearly the same at 30 and at 144 frames per second; the linear damping below
// limits the speed and brings a coasting tank to rest within about two seconds.
constexpr float kVehicleFriction = 0.1f;
// No bounce: the downward push every frame must not make a tank hop.
constexpr float kVehicleRestitution = 0.0f;

// Bodies.
constexpr float kDensity = 500.0f;               // mass per cubic unit of a convex hull
constexpr float kMinBodyMass = 1.0f;             // a flat hull has no volume but must stay dynamic
constexpr float kVehicleMass = 600.0f;           // set by every drive push
constexpr float kDriveImpulseFactor = 450.0f;    // drive vector -> impulse, horizontal axes
constexpr float kPressImpulse = -200.0f;         // downward impulse after every drive push
constexpr float kStrongAngularDamping = 0.95f;   // projectiles barely turn from hits
constexpr float kVehicleLinearDamping = 0.45f;   // a held drive key levels off near 13 units/s
constexpr float kProjectileLinearDamping = 0.0f; // shells keep their speed
// Vehicle bodies do not turn at all: a hit or a slope can neither tip nor flip a tank. Yaw is locked
// too, because the heading belongs to the game, which never turns the body: a hull spun by friction
// or a hit would only drift away from the tank that is drawn (sliding boxes pick up such a spin).
constexpr float kVehicleAngularFactorX = 0.0f;
constexpr float kVehicleAngularFactorY = 0.0f;
constexpr float kVehicleAngularFactorZ = 0.0f;
// Shells are small and fast: continuous collision with a swept sphere of this share of the
// hull's smallest half extent keeps them from passing through a thin wall between two substeps.
constexpr float kCcdRadiusShare = 0.8f;
constexpr float kCcdMinRadius = 0.02f; // world units

// Shapes.
constexpr float kCollisionMargin = 0.01f; // convex hull margin, the scene's skin width
constexpr float kTouchDistance = 0.01f;   // contact points this close count as touching

// Stepping. Bullet integrates in fixed substeps; a frame's elapsed time is cut into them. A frame
// longer than kMaxSubsteps substeps (a stall, the first frame after loading) is clamped, so the
// world slows down for a moment instead of taking one huge, unstable step.
constexpr float kFixedSubstep = 1.0f / 120.0f; // seconds
constexpr int kMaxSubsteps = 10;
constexpr float kMaxFrameStep = kMaxSubsteps * kFixedSubstep; // seconds

// A body slower than Bullet's thresholds (0.8 units/s, 1 radian/s) for this long falls asleep and
// costs nothing per step until a drive push or a contact wakes it.
constexpr float kSleepAfter = 0.5f; // seconds

// The solver's seed. Its random order of constraints stays off; the seed is fixed all the same, so
// a world behaves the same whichever world came before it.
constexpr unsigned long kSolverSeed = 0;

// Ray casts are "unlimited"; the ray is cut at this length, far beyond any level.
constexpr float kRayLength = 100000.0f; // world units

// The walls around the playable area: thick and high enough that no push carries a tank over or
// through them. Only vehicles meet them: shells fly out of the field and rays see past them.
constexpr float kWallThickness = 20.0f;  // world units
constexpr float kWallLow = -50.0f;       // world units, below the lowest ground
constexpr float kWallHigh = 500.0f;      // world units, far above anything that drives
constexpr int kBoundaryGroup = 1 << 6;   // collision group of the walls
constexpr int kProjectileGroup = 1 << 7; // collision group of the shells, which the walls let pass

} // namespace PhysXTuning
