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
    void setPos(int axis, float value) { // axis 0..2 (x, y, z)
        pos[axis] = value;
        if (axis == 1)
            hasHeight = true;
    }
    // False when the record gives no pos_y: the power-up then floats above the ground.
    bool hasPosY() const { return hasHeight; }
    // Why the record cannot be used (a value that is no number); empty when it can.
    const std::string &getProblem() const { return problem; }
    void setProblem(const std::string &s) { problem = s; }

  private:
    std::string name;         // key "PowerUpName"
    std::string typName;      // key "PowerUpTyp": a type of data/config/powerups.ini
    float pos[3] = {0, 0, 0}; // world position (keys pos_x, pos_y, pos_z)
    bool hasHeight = false;   // pos_y was given
    std::string problem;      // first unusable value, empty when none
};
