#pragma once

#include <string>

// One POWERUP section of a level file: a placement of a power-up type.
class LevelPowerUpData {
  public:
    const std::string &getName() const { return name; }
    void setName(const std::string &s) { name = s; }
    const std::string &getTypName() const { return typName; }
    void setTypName(const std::string &s) { typName = s; }
    const float *getPos() const { return pos; }
    void setPos(int axis, float value) { pos[axis] = value; } // axis 0..2 (x, y, z)

  private:
    std::string name;         // key "PowerUpName"
    std::string typName;      // key "PowerUpTyp": a type of data/config/powerups.ini
    float pos[3] = {0, 0, 0}; // world position (keys pos_x, pos_y, pos_z)
};
