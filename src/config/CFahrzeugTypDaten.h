#pragma once

#include <string>

// One vehicle type: driving values, life, ammunition, turret and muzzle offsets and model name.
class CFahrzeugTypDaten {
  public:
    CFahrzeugTypDaten() = default;

    float getAccel() const { return accel; }
    void setAccel(float f) { accel = f; }
    float getTurningrate() const { return turningrate; }
    void setTurningrate(float f) { turningrate = f; }
    float getMaxSpeedForward() const { return maxSpeedForward; }
    void setMaxSpeedForward(float f) { maxSpeedForward = f; }
    float getMaxSpeedReturn() const { return maxSpeedReturn; }
    void setMaxSpeedReturn(float f) { maxSpeedReturn = f; }
    unsigned int getAmmunition() const { return ammunition; }
    void setAmmunition(unsigned int u) { ammunition = u; }
    unsigned int getLife() const { return life; }
    void setLife(unsigned int u) { life = u; }
    unsigned int getMaxLife() const { return maxLife; }
    void setMaxLife(unsigned int u) { maxLife = u; }

    const float *getMuendungPos() const { return muendungPos; } // x, y, z
    void setMuendungPos(const float *xyz);                      // copies three floats
    const float *getTurmPos() const { return turmPos; }         // x, y, z
    void setTurmPos(const float *xyz);                          // copies three floats

    const std::string &getModellName() const { return modellName; }
    void setModellName(const std::string &s) { modellName = s; }
    const std::string &getName() const { return name; }
    void setName(const std::string &s) { name = s; }

  private:
    float accel = 0.0f;           // acceleration per second
    float turningrate = 0.0f;     // degrees per second
    float maxSpeedForward = 0.0f; // top speed forwards
    float maxSpeedReturn = 0.0f;  // top speed in reverse
    unsigned int ammunition = 0;  // shells
    unsigned int life = 0;        // life at start
    unsigned int maxLife = 0;     // life when undamaged
    float muendungPos[3] = {};    // muzzle offset from the vehicle origin, model units
    float turmPos[3] = {};        // turret offset from the vehicle origin, model units
    std::string modellName;       // model file name in the model registry
    std::string name;             // type name from the index file
};
