#pragma once

#include <string>

// One particle: a square that flies along a direction at constant speed while
// its colour fades, drawn as a camera-facing sprite by its emitter.
class CParticle {
  public:
    CParticle(); // everything 0
    CParticle(const CParticle &) = default;
    CParticle &operator=(const CParticle &) = default;
    // Position (four floats), colour (RGBA) and half side; no fade, no motion.
    CParticle(const float *fPos, const float *fColor, float fHalfSquareLength);

    // Advances by dt seconds: moves, fades, keeps the colour in 0..1 and
    // shortens the life (which may become negative).
    void move(float dt);

    // The untextured square at the particle's position, in the current orientation.
    void draw() const;
    // The textured square, turned back by the camera's rotations (degrees about
    // y and x) so that it faces the viewer.
    void draw(unsigned int texture, float xRot, float yRot) const;

    // Ordered by the depth key, the third value of the depth position.
    bool operator<(const CParticle &other) const { return posWC[2] < other.posWC[2]; }

    float getLife() const { return life; }
    void setLife(float f) { life = f; }
    const float *getPos() const { return pos; } // x, y, z, w
    void setPos(const float *xyzw);             // copies four floats
    void setPos(float x, float y, float z);     // keeps w
    const float *getDir() const { return dir; } // x, y, z
    void setDir(const float *xyz);              // copies three floats
    void setDir(float x, float y, float z);
    float getSpeed() const { return speed; }
    void setSpeed(float f) { speed = f; }
    const float *getColor() const { return color; } // r, g, b, a
    void setColor4f(float r, float g, float b, float a);
    void setColor4f(const float *rgba);                     // copies four floats
    const float *getFadeColor() const { return fadeColor; } // r, g, b, a per second
    void setFadeColor4f(float r, float g, float b, float a);
    void setFadeSpeed(float fAlphaPerSecond) { fadeColor[3] = fAlphaPerSecond; }
    float getHalfSquareLength() const { return halfSquareLength; }
    void setHalfSquareLength(float f) { halfSquareLength = f; }
    const std::string &getName() const { return name; }
    const float *getPosWC() const { return posWC; } // depth position; [2] is the sort key
    void setPosWC(const float *xyz);                // copies three floats
    void setPosWC(float x, float y, float z);

  private:
    void drawSquare() const; // the strip of four corners around the origin

    float life;             // seconds left; negative once expired
    float pos[4];           // x, y, z world units; w copied along, unused
    float dir[3];           // direction of flight, any length
    float speed;            // world units per second along dir
    float color[4];         // r, g, b, a, each 0..1
    float fadeColor[4];     // subtracted from color per second
    float halfSquareLength; // half the side of the drawn square, world units
    std::string name;       // unused, empty
    float posWC[3];         // position turned into the camera's yaw for sorting
};
