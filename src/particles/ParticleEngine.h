#pragma once

#include "particles/CParticle.h"

#include <string>
#include <vector>

class ParticleRandom;
class TextureHolder;

// Base of every particle effect: owns the particles, knows where the effect
// stands and how long its owner should keep it, and draws the particles
// unsorted or sorted back to front. The concrete effects decide how particles
// are spawned and respawned and with which texture and render state they are
// drawn; owners hold them through this base.
class ParticleEngine {
  public:
    ParticleEngine();
    virtual ~ParticleEngine() = default; // owners delete effects through this base

    // Unsorted drawing; the base draws every particle untextured, additively.
    // Rotations are the camera's, in degrees about x and y; fZRot is unused.
    virtual void draw(float fXRot, float fYRot, float fZRot);
    // Moves the effect to fPos (three floats), then advances every particle by fFaktor seconds.
    virtual void doAction(float fFaktor, const float *fPos);
    // Advances every particle by fFaktor seconds.
    virtual void doAction(float fFaktor);
    // Drawing sorted back to front; the base draws nothing.
    virtual void drawSorted(float fXRot, float fYRot, float fZRot);

    // Orders the particles ascending by depth key; a stable insertion sort,
    // cheap on the nearly sorted list it normally gets.
    void sort();

    // Emitters compare by the third value of their depth position.
    bool operator<(const ParticleEngine &other) const { return posWC[2] < other.posWC[2]; }
    bool operator>(const ParticleEngine &other) const { return posWC[2] > other.posWC[2]; }
    // True when this emitter's depth key is the greater (the scene's "nearer first" order).
    bool leq(const ParticleEngine &other) const { return posWC[2] > other.posWC[2]; }

    float getTimeToLife() const { return timeToLife; } // seconds until the owner deletes the effect
    const float *getPos() const { return pos; }        // x, y, z
    void setPos(const float *xyz);                     // copies three floats
    const float *getColor4f() const { return color; }  // r, g, b, a of new particles
    void setColor4f(const float *rgba);                // copies four floats
    void setColor4f(float r, float g, float b, float a);
    const float *getPosWC() const { return posWC; } // camera-space position; [2] is the sort key
    void setPosWC(const float *xyz);                // copies three floats
    int getAnzParticle() const { return anzParticle; }
    TextureHolder *getTextureHolder() const { return pTh; }
    int getResortCountdown() const { return resortCountdown; }

    const std::vector<CParticle> &getParticles() const { return particles; }
    void addParticle(const CParticle &p) { particles.push_back(p); }

    // The generator new particles draw from; not owned. Without one the shared generator is used.
    void setRandom(ParticleRandom *pRandom);
    ParticleRandom &getRandom() const { return *rng; }

  protected:
    // Stores the registry (may be null), position, colour (four floats, or null
    // to leave it 0) and requested count; creates no particles.
    ParticleEngine(TextureHolder *pTextures, const float *fPos, const float *fColor, int iAnzParticle,
                   ParticleRandom *pRandom);

    void moveParticles(float fFaktor);
    // Every particle in list order, textured with `texName` when there is a
    // registry, else untextured.
    void drawParticles(float fXRot, float fYRot, const std::string &texName) const;
    // The sorted procedure without the render state: depth keys in the camera's
    // yaw, the resort check, then every particle from the back of the list to the front.
    void drawSortedParticles(float fXRot, float fYRot, const std::string &texName);
    // The glowing effects' drawing: lighting and depth writes off, additive
    // blending, then the particles in list order or (bSorted) back to front.
    // bModulate lets the texture modulate the particle colour; without it the
    // texture environment is left as it is.
    void drawGlowing(float fXRot, float fYRot, const std::string &texName, bool bSorted, bool bModulate);

    // Gives a particle its life and lets its alpha run out with it. A life that
    // is not positive, or so short that 1 / life overflows, gives a particle
    // that is invisible at once and fades no further, never an infinite fade.
    static void startLife(CParticle &p, float fLife);
    // Scales v (three floats) to unit length; a zero or non-finite v becomes `fallback`.
    static void normalizeOr(float *v, float fx, float fy, float fz);

    // The state every effect draws in: additive blending (GL_SRC_ALPHA, GL_ONE)
    // and, with a registry, GL_TEXTURE_2D. Sprites are seen from either side,
    // so face culling is off meanwhile; returns whether it was on, for endAdditive.
    static bool beginAdditive(bool bTextured);
    // Blending and texturing off, culling back as it was.
    static void endAdditive(bool bCullFace);

    std::vector<CParticle> particles; // owned by value, never removed
    float timeToLife = 0.0f;          // seconds; the owner deletes the effect below 0
    float pos[3] = {};                // emitter position, world units
    float color[4] = {};              // r, g, b, a given to new and respawned particles
    int anzParticle = 0;              // particles requested at construction
    TextureHolder *pTh = nullptr;     // texture registry, not owned; null draws untextured
    float posWC[3] = {};              // camera-space position set by the scene for sorting
    int resortCountdown = -1;         // frames to wait before the next resort check
    float lastRotX = 0.0f;            // camera rotation about x at the last sort, degrees
    float lastRotY = 0.0f;            // camera rotation about y at the last sort, degrees
    bool sortedOnce = false;          // whether lastRotX / lastRotY hold a sort's rotation yet
    int resortSpread = 1;             // the resort delay is drawn from 0 .. resortSpread-1 frames
    ParticleRandom *rng;              // not owned
};
