#pragma once

#include <string>

// One power-up type: a placeholder record that the level's power-up placements refer to by name.
class CPowerUpData {
  public:
    CPowerUpData() = default;

    const std::string &getName() const { return name; }
    void setName(const std::string &s) { name = s; }
    int getTyp() const { return typ; }
    void setTyp(int i) { typ = i; }
    const std::string &getModellName() const { return modellName; }
    void setModellName(const std::string &s) { modellName = s; }
    float getSize() const { return size; }
    void setSize(float f) { size = f; }

  private:
    std::string name;       // type name from the index file
    int typ = 0;            // kind of power-up; no kinds are defined yet
    std::string modellName; // model file name in the model registry
    float size = 0.0f;      // scale of the model
};
