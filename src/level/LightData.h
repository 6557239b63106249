#pragma once

// One [LIGHT] section of a level file. The first record's position is the
// point light of the light maps; its optional sun direction (keys sun_x,
// sun_y, sun_z) turns the scene's directional light and its shadows.
class LightData {
  public:
    const float *getPos() const { return pos; }
    void setPos(int axis, float value) { pos[axis] = value; } // axis 0..3 (x, y, z, w)
    const float *getDirection() const { return direction; }
    void setDirection(int axis, float value) { direction[axis] = value; } // axis 0..2
    const float *getColor() const { return color; }
    void setColor(int component, float value) { color[component] = value; } // component 0..3
    float getIntensity() const { return intensity; }
    void setIntensity(float value) { intensity = value; }
    float getSpare() const { return spare; }
    void setSpare(float value) { spare = value; }
    // Towards the sun, any length; only meaningful when hasSun().
    const float *getSun() const { return sun; }
    void setSun(int axis, float value) {
        sun[axis] = value;
        sunGiven = true;
    } // axis 0..2
    bool hasSun() const { return sunGiven; }
    int getLightNumber() const { return lightNumber; }
    void setLightNumber(int number) { lightNumber = number; }

  private:
    float pos[4] = {0, 0, 0, 0};               // world position; w has no key
    float direction[3] = {0, 0, 0};            // spot direction
    float color[4] = {0.5f, 0.5f, 0.5f, 0.5f}; // keys color_r, color_b, color_g fill 0, 1, 2 in that order
    float intensity = 0.5f;                    // key "intentsy"
    float spare = 0;                           // no key
    float sun[3] = {0, 0, 0};                  // direction towards the sun, keys sun_x, sun_y, sun_z
    bool sunGiven = false;                     // a sun key was read
    int lightNumber = 0;                       // OpenGL light 0..7 when it is one
};
