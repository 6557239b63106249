#pragma once

#include <string>

// The values that govern firing: shot delay and reload countdown, launch speed, muzzle flash and
// how the projectile explodes.
class Weapon {
  public:
    Weapon();

    float getShootDelay() const { return shootDelay; }
    void setShootDelay(float f) { shootDelay = f; }
    float getReloadTime() const { return reloadTime; }
    void setReloadTime(float f) { reloadTime = f; }
    float getSpeed() const { return speed; }
    void setSpeed(float f) { speed = f; }
    float getWeaponPower() const { return weaponPower; }
    void setWeaponPower(float f) { weaponPower = f; }

    const float *getMFColor4f() const { return mfColor; } // RGBA
    void setMFColor4f(const float *rgba);                 // copies four floats
    bool getMuendungsFeuer() const { return muendungsFeuer; }
    void setMuendungsFeuer(bool b) { muendungsFeuer = b; }
    bool getExplodiert() const { return explodiert; }
    void setExplodiert(bool b) { explodiert = b; }
    float getExplosionTime() const { return explosionTime; }
    void setExplosionTime(float f) { explosionTime = f; }
    const float *getExplosionsColor() const { return explosionsColor; } // RGBA
    void setExplosionsColor(const float *rgba);                         // copies four floats
    float getExplosionRadius() const { return explosionRadius; }
    void setExplosionRadius(float f) { explosionRadius = f; }

    const std::string &getWeaponName() const { return weaponName; }
    void setWeaponName(const std::string &s) { weaponName = s; }

    // True when the reload countdown has run out (at or below 0), so the next shot may leave.
    bool isReady() const { return reloadTime <= 0.0f; }
    // Lowers a running reload countdown by `dt` seconds; a countdown already at or below 0 is left
    // alone, so it never sinks further while nobody fires.
    void reload(float dt);
    // Starts the wait for the next shot: the countdown becomes the shoot delay.
    void startReload() { reloadTime = shootDelay; }

  private:
    float shootDelay;         // seconds between two shots
    float reloadTime;         // running reload countdown, seconds; a shot needs it at or below 0
    float speed;              // launch speed added to the shooter's speed
    float weaponPower;        // configured power; does not change the damage
    float mfColor[4];         // muzzle-flash colour, RGBA 0..1
    bool muendungsFeuer;      // a shot creates a muzzle flash
    bool explodiert;          // the projectile explodes on a hit or at the end of its flight
    float explosionTime;      // seconds the explosion lasts
    float explosionsColor[4]; // explosion colour, RGBA 0..1
    float explosionRadius;    // end radius of the explosion effect
    std::string weaponName;   // name from the weapon index file
};
