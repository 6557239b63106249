#pragma once

#include <string>

// One [OBJECT] section of a level file: a static scenery object with its
// model, placement and flags. Vehicles extend it (VehicleData).
class ObjectData {
  public:
    const std::string &getName() const { return name; }
    void setName(const std::string &s) { name = s; }
    const std::string &getModel() const { return model; }
    void setModel(const std::string &s) { model = s; }
    const float *getPos() const { return pos; }
    void setPos(int axis, float value) { pos[axis] = value; } // axis 0..2 (x, y, z)
    void setPos(float x, float y, float z) {
        pos[0] = x;
        pos[1] = y;
        pos[2] = z;
    }
    float getRotation() const { return rotation; }
    void setRotation(float degrees) { rotation = degrees; }
    float getSize() const { return size; }
    void setSize(float scale) { size = scale; }
    bool isCollision() const { return collision; }
    void setCollision(bool on) { collision = on; }
    bool isDestroyable() const { return destroyable; }
    void setDestroyable(bool on) { destroyable = on; }
    bool isLightsource() const { return lightsource; }
    void setLightsource(bool on) { lightsource = on; }
    bool isThrowsShadow() const { return throwsShadow; }
    void setThrowsShadow(bool on) { throwsShadow = on; }
    const float *getColor() const { return color; }
    void setColor(int component, float value) { color[component] = value; } // component 0..2
    bool isStatic() const { return bStatic; }
    void setStatic(bool on) { bStatic = on; }

  private:
    std::string name;           // unique within the level: names the physics body and the light map
    std::string model;          // model file name in data/model/
    float pos[3] = {0, 0, 0};   // world position, y up
    float rotation = 0;         // degrees about the vertical axis
    float size = 1.0f;          // uniform model scale
    bool collision = true;      // stored; the physics scene collides everything
    bool destroyable = true;    // stored, read by nobody
    bool lightsource = false;   // stored, read by nobody
    bool throwsShadow = true;   // stored, read by nobody
    float color[3] = {1, 1, 1}; // keys color_r, color_b, color_g fill 0, 1, 2 in that order
    bool bStatic = false;       // set only by the "static" key; read by nobody
};
