#pragma once

#include "objects/Sides.h"
#include "objects/SpielObject.h"

#include <cstddef>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

class AiData;
class CFahrzeugTypDaten;
class CPowerUp;
class CPowerUpData;
class Owner;
class Projektil;
class Turm;
class VehicleData;
class Weapon;

// A tank: a game object with driving values, life, a status, a turret carrying the muzzle, a
// weapon and an owner that sets its drive keys each step. It pushes its physics body, takes damage,
// darkens its smoke trail, and explodes when its life is used up.
class Fahrzeug : public SpielObject {
  public:
    static constexpr int kStatusIntact = 1;
    static constexpr int kStatusDamaged = 3;
    static constexpr int kStatusExploding = 4;
    static constexpr int kStatusDestroyed = 5;

    static constexpr float kDeathSeconds = 3.0f; // from the explosion to the removal
    static constexpr int kDefaultLife = 100;     // life and maximum life without a type

    // A vehicle with status 1, no turret, no AI data and a default weapon.
    Fahrzeug();
    // A vehicle from its level record, typed by the session's vehicle table; the owner is not owned.
    Fahrzeug(const VehicleData *data, ObjectHost *gc, Owner *owner);
    ~Fahrzeug();

    // Driving values, model, turret and maximum life from the type; without a type the defaults
    // (acceleration 10, turning 1.5, speeds 10 / -4, "tank1.md2", life 100, no turret).
    void initFromFahrzeugTypDaten(const CFahrzeugTypDaten *type);

    // Heading as for every object, then the turret follows: its mount offset is re-projected onto
    // the new heading and its muzzle turns by the change of heading.
    void setRotY(float angle);
    // Muzzle position in the world: position + mount offset + muzzle offset; the position without a
    // turret.
    void getPosMuendung(float *out) const;
    // "<name>-<n>" with n counting the shots of this vehicle from 1.
    std::string getNextProjektilID();

    // A new projectile from the muzzle, or null while reloading, exploding or destroyed.
    // Defined with the projectiles (FahrzeugShoot.cpp).
    Projektil *shoot();

    // One step: drive keys into speed and a drive push on the physics body (every step, also a zero
    // one), then the speed halves; the death timer of an exploding vehicle; spent effects removed
    // and the others following the vehicle.
    void move(float dt);
    // A hit: life falls by `points` (never below 0); an intact or damaged vehicle with effects
    // darkens its first one (its smoke) and counts as damaged; a damaged vehicle without life left
    // explodes. An exploding or destroyed vehicle ignores hits.
    void addDamage(unsigned int points);
    // A shell's hit: the vehicle's share of `points` (rounded) as damage.
    void takeHit(unsigned int points);
    // The share of a shell's points the vehicle takes, before an armour power-up's (default 1).
    void setHitShare(float share) { hitShare = share; }
    float getHitShare() const { return hitShare; }
    // Starts the three-second death: eight small bursts around the vehicle and one large one.
    void explode();

    // Takes ownership; null is ignored.
    void addPowerUp(CPowerUp *powerUp);
    std::size_t getPowerUpCount() const { return powerUps.size(); }
    // Takes a power-up of the type (Fahrzeug's power-ups live in FahrzeugPowerUps.cpp): repair adds
    // its amount to the life, up to the maximum; a timed effect starts, or starts afresh when the
    // vehicle carries it already. False (and nothing done) while exploding or destroyed, and for a
    // repair at full life.
    bool takePowerUp(const CPowerUpData &type);
    // Counts the carried effects down by dt; those that ran out are removed and their effects
    // (CPowerUpData::Effect) appended to `expired` when it is given.
    void stepPowerUps(float dt, std::vector<int> *expired = nullptr);
    // The factor of a carried effect, 1 when the vehicle does not carry it.
    float getPowerUpFactor(int effect) const;
    const std::vector<std::unique_ptr<CPowerUp>> &getPowerUps() const { return powerUps; }

    const std::string &getName() const { return name; }
    void setName(const std::string &s) { name = s; }
    float getAccel() const { return accel; }
    void setAccel(float f) { accel = f; }
    float getTurningrate() const { return turningrate; }
    void setTurningrate(float f) { turningrate = f; }
    float getMaxSpeedForward() const { return maxSpeedForward; }
    void setMaxSpeedForward(float f) { maxSpeedForward = f; }
    float getMaxSpeedReturn() const { return maxSpeedReturn; }
    void setMaxSpeedReturn(float f) { maxSpeedReturn = f; }
    int getStatus() const { return status; }
    int getLife() const { return life; }
    void setLife(int i) { life = i; }
    unsigned int getMaxLife() const { return maxLife; }
    void setMaxLife(unsigned int u) { maxLife = u; }
    unsigned int getAmmunition() const { return ammunition; }
    void setAmmunition(unsigned int u) { ammunition = u; }
    unsigned int getMaxAmmunition() const { return maxAmmunition; }
    void setMaxAmmunition(unsigned int u) { maxAmmunition = u; }
    float getDeathTimer() const { return deathTimer; }

    Turm *getTurm() const { return turm.get(); } // null without a vehicle type
    Weapon *getWeapon() const { return weapon.get(); }
    void setWeapon(Weapon *w); // takes ownership; the previous weapon is deleted
    Owner *getOwner() const { return owner; }
    void setOwner(Owner *o) { owner = o; }
    int getSide() const { return side; } // see Sides.h
    void setSide(int value) { side = value; }
    int getShotCount() const { return shotCount; }

    AiData *getAiData() const { return aiData.get(); }
    // Takes ownership. A template so that AiData is complete only where it is created: the deleter
    // is made there, and this class never needs AiData's definition.
    template <typename T> void setAiData(T *data) {
        static_assert(std::is_same<T, AiData>::value, "setAiData takes an AiData");
        aiData = AiDataOwner(data, [](T *p) { delete p; }); // T, not AiData: complete at the caller
    }
    void setAiData(std::nullptr_t) { aiData.reset(); }

    // What the owner asks of the drive this tick, both in [-1, 1]: throttle +1 full ahead, turn +1
    // a full turn to the right.
    void setDrive(float throttleValue, float turnValue) {
        throttle = throttleValue;
        turn = turnValue;
    }
    float getThrottle() const { return throttle; }
    float getTurn() const { return turn; }

  private:
    using AiDataOwner = std::unique_ptr<AiData, void (*)(AiData *)>;

    // Drops effects whose time to live ran out; the others follow the vehicle by dt.
    void stepEffects(float dt);

    std::vector<std::unique_ptr<CPowerUp>> powerUps; // carried timed effects, owned
    std::string name;                                // level name; actor name and stem of shot ids
    float accel = 0.0f;                              // speed gained per second at full throttle
    float turningrate = 0.0f;                        // degrees of heading per second at a full turn
    float maxSpeedForward = 0.0f;                    // upper clamp of the speed value
    float maxSpeedReturn = 0.0f;                     // lower clamp of the speed value, negative
    int status = kStatusIntact;                      // 1 intact, 3 damaged, 4 exploding, 5 destroyed
    int life = kDefaultLife;                         // life points, never below 0 through damage
    unsigned int maxLife = kDefaultLife;             // life points when undamaged
    unsigned int ammunition = 0;                     // shells; shooting does not count them
    unsigned int maxAmmunition = 0;                  // shells when full
    std::unique_ptr<Turm> turm;                      // owned; null without a vehicle type
    float turmMount[3] = {0.0f, 0.0f, 0.0f};         // turret mount in vehicle axes (+z ahead), scaled
    std::unique_ptr<Weapon> weapon;                  // the weapon in use, owned
    Owner *owner = nullptr;                          // who controls the vehicle, not owned
    int side = Sides::kNone;                         // whom it fights for
    int shotCount = 0;                               // projectile ids handed out
    AiDataOwner aiData{nullptr, nullptr};            // computer vehicles only, owned
    float throttle = 0.0f;                           // drive request of the current tick, [-1, 1]
    float turn = 0.0f;                               // turn request of the current tick, +1 right
    float deathTimer = 0.0f; // seconds left while exploding
    float hitShare = 1.0f;   // share of a hit's points it takes (a player's tank on an easier difficulty)
};
