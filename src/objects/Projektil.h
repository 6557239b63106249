#pragma once

#include "objects/SpielObject.h"
#include "objects/Weapon.h"

#include <string>

class Fahrzeug;
class PhysXAccess;
class TextureHolder;
class Vector3D;

// A shell in flight: a game object with its own physics body that flies straight along the
// shooter's heading without gravity, a time to live, and an explosion phase in which only its
// explosion effect is left. The session lists it, moves it, sweeps it when its time is up and
// deletes it; the shell releases its body itself.
class Projektil : public SpielObject {
  public:
    static constexpr int kStatusFlying = 1;
    static constexpr int kStatusExploding = 2;
    static constexpr int kNoExplosion = 3; // what explode() answers for a weapon that does not burst

    static constexpr float kFlightSeconds = 10.0f; // time to live of a new shell
    static constexpr int kHitDamage = 10;          // life points a hit costs the struck vehicle
    static constexpr int kExplosionParticles = 200;
    static constexpr const char *kModelName = "bullet.md2"; // the shell model in the session's registry
    static constexpr const char *kMeshName = "projektil";   // the shell's cooked-mesh cache name
    // Shells are drawn and simulated at this fraction of "bullet.md2", which is built as large as the
    // physics packing allows (12 units long): 0.05 gives a shell of 0.6 units that can be seen in
    // flight (a hundredth, 0.12 units, all but vanishes). The physics hull is cooked at the same
    // scale, so what is seen is what hits.
    static constexpr float kScale = 0.05f;

    // A shell leaving `position` along `direction` (three floats each) at the weapon's speed plus the
    // shooter's speed value, with the shooter's heading, registered in the session's physics under
    // `id`. Any of weapon, shooter and session may be null: a default weapon, a standing shooter,
    // and no model, body or explosion texture stand in. Without `body` the shell is only drawn:
    // another machine's shell, placed from outside, that hits nothing here.
    Projektil(const float *position, const float *direction, const Weapon *weapon, Fahrzeug *shooter,
              ObjectHost *gc, const std::string &id, bool body = true);
    // Releases the physics body registered under the actor name.
    ~Projektil();

    int getStatus() const { return status; }
    float getTTL() const { return ttl; }
    // The vehicle that fired the shell. Only compared and handed on, never read through: the
    // session may have removed that vehicle while its shell still flies.
    Fahrzeug *getFahrzeug() const { return shooter; }
    // The shell's own copy of the shooter's weapon as it was at the shot, so it outlives the shooter.
    Weapon *getWeapon() { return &weapon; }
    const Weapon *getWeapon() const { return &weapon; }

    // The flight direction, which the shell keeps apart from its heading: it is the shooter's
    // movement direction at the shot and zero once the shell explodes.
    const float *getMoveDirection() const { return direction; }

    // One step: the attached effects advance where they are (the explosion stays where the shell
    // burst), then the time to live runs down. The position is the physics body's.
    void move(float dt);

    // Bursts the shell: it stops, shows its weapon's explosion for the explosion time (which becomes
    // its time to live), is no longer drawn and ignores further hits. The body flies on until the
    // shell is deleted. Returns the new status (kStatusExploding), that again for a shell already
    // exploding, and kNoExplosion when the weapon does not explode (then nothing changes).
    int explode();

    // The hit rule of a shell touching `vehicle`: a flying shell bursts and the vehicle loses
    // kHitDamage life points, unless the vehicle is already exploding (Fahrzeug::kStatusExploding) or
    // has no valid status. The shooter's own hull counts like any other. True when the rule applied.
    bool onHit(Fahrzeug *vehicle);

    // Mirrors the flight direction at the plane with the given normal; a zero normal changes nothing.
    void reflect(const Vector3D *pNormals);
    void reflect(const float *normals); // three floats

  private:
    int status = kStatusFlying;              // 1 flying, 2 exploding
    float ttl = kFlightSeconds;              // seconds left
    Fahrzeug *shooter = nullptr;             // who fired; not owned, never dereferenced after the shot
    Weapon weapon;                           // copy of the shooter's weapon at the shot
    float direction[3] = {0.0f, 0.0f, 1.0f}; // unit flight direction, game axes; zero once exploded
    PhysXAccess *physics = nullptr;          // where the body lives; not owned; null: no body
    TextureHolder *textures = nullptr;       // for the explosion effect; not owned
};
