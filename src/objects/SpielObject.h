#pragma once

#include "model/Modell.h"

#include <cstdint>
#include <string>
#include <vector>

class ObjectHost;
class ParticleEngine;

// The common base of every object in a level's world (vehicles, projectiles, explosions, level
// objects): where it is, where it heads, its model, its attached effects and the pose the physics
// gave it. Deliberately without virtual functions: subclasses hide operations by redeclaring them
// and every caller works through the static type it holds.
class SpielObject {
  public:
    SpielObject();
    ~SpielObject(); // deletes the attached effects
    // The object owns its effects, so a copy would delete them twice.
    SpielObject(const SpielObject &) = delete;
    SpielObject &operator=(const SpielObject &) = delete;

    float *getPos() { return pos; }
    const float *getPos() const { return pos; }
    void setPos(const float *xyz); // copies three floats

    float getRotY() const { return rotY; }
    // Stores the heading, corrected once by 360 into [0, 360] (800 stays 440), and points the
    // movement direction along it.
    void setRotY(float angle);
    const float *getMoveDirection() const { return moveDirection; }

    const float *getPosWC() const { return posWC; }
    void setPosWC(const float *xyz); // copies three floats

    // The world's number for the object, the same on every machine that plays the battle; 0 for none.
    std::uint32_t getSerial() const { return serial; }
    void setSerial(std::uint32_t number) { serial = number; }
    float getSpeed() const { return speed; }
    void setSpeed(float f) { speed = f; }

    bool isLighsource() const { return lightsource; }
    void setLighsource(bool b) { lightsource = b; }
    bool isCollision() const { return collision; }
    void setCollision(bool b) { collision = b; }
    bool isDestroyable() const { return destroyable; }
    void setDestroyable(bool b) { destroyable = b; }
    bool isThrowShadow() const { return throwShadow; }
    void setThrowsShadow(bool b) { throwShadow = b; }

    const std::string &getObjectName() const { return objectName; }
    void setObjectName(const std::string &s) { objectName = s; }
    std::string getActorName() const { return actorName; }
    void setActorName(const std::string &s) { actorName = s; }

    float *getColor() { return color; }
    const float *getColor() const { return color; }
    void setColor4f(const float *rgba); // copies four floats

    Modell *getModell() { return &modell; }
    const Modell *getModell() const { return &modell; }
    // The model's six border values: min x, max x, min y, max y, min z, max z.
    float *getRect() { return modell.getRect(); }
    const float *getRect() const { return modell.getBorder(); }

    ObjectHost *getGameClass() const { return game; }
    void setGameClass(ObjectHost *gc) { game = gc; }

    // Takes ownership of `effect`; a null effect is ignored.
    void addPertikleEffekt(ParticleEngine *effect);
    std::vector<ParticleEngine *> &getParticleEngineVector() { return particleEngines; }
    const std::vector<ParticleEngine *> &getParticleEngineVector() const { return particleEngines; }

    const float *getPhysicsPose() const { return physicsPose; }
    void setPhysicsPose(const float *matrix); // copies sixteen floats, column-major

    // The world is about to change by one tick: the pose now becomes the one the view blends from.
    void markTick();
    // Where the view draws the object `blend` of the way (0 to 1) from its pose before the last
    // tick to its pose now: between two ticks the picture moves on smoothly.
    void blendedPos(float blend, float out[3]) const;
    float blendedRotY(float blend) const; // the heading the shorter way round

    // Moves along the movement direction by speed * dt, then lets every effect follow.
    void move(float dt);

    // True when the two footprints in the horizontal plane overlap: half-widths from the border
    // box times the model scale, open intervals, so footprints that only touch do not overlap.
    bool detectCollison(const SpielObject *objA) const;

    // Orders by the depth of the view position, for back-to-front drawing.
    bool operator<(const SpielObject &other) const { return posWC[2] < other.posWC[2]; }

    // Draws frame 1 of the model at the object's pose: skin on texture unit 0, with `lightmap` the
    // object's light map (object name + "light") on unit 1 when one is registered, filtered by
    // iTextureMode (0 linear, 1 nearest) and iMipMappingMode (0 off, 1 nearest, 2 linear), and
    // submitted by iDrawMode (0 immediate, 1 the session's display list, 2 vertex arrays, 3 the same
    // arrays). Without a session there are no textures and no display lists.
    // Nothing without a model or with a model of a single frame. fRotX, fRotY and wireframe are
    // the scene's and change nothing here.
    void draw(float fRotX, float fRotY, bool wireframe, bool lightmap, int iDrawMode, int iTextureMode,
              int iMipMappingMode) const;
    // Draws every attached effect, camera rotations in degrees.
    void drawParticleEngine(float fRotX, float fRotY) const;

  protected:
    // Stores the heading as given, leaving it and the movement direction unnormalised (level
    // objects keep the angle of their record).
    void storeRotY(float angle) { rotY = angle; }

  private:
    float pos[3] = {0.0f, 0.0f, 0.0f};             // world position, y up
    float rotY = 0.0f;                             // heading, degrees about y
    float tickPos[3] = {0.0f, 0.0f, 0.0f};         // position before the last tick, for the view
    float tickRotY = 0.0f;                         // heading before the last tick, for the view
    bool ticked = false;                           // markTick has kept a pose since the object was made
    float moveDirection[3] = {0.0f, 0.0f, 1.0f};   // unit vector of the heading, y stays 0
    float posWC[3] = {0.0f, 0.0f, 0.0f};           // view-space corner; [2] is the drawing depth
    float speed = 0.0f;                            // world units per second
    std::uint32_t serial = 0;                      // see getSerial
    bool lightsource = false;                      // from the level record; stored only
    bool collision = false;                        // from the level record; stored only
    bool destroyable = false;                      // from the level record; stored only
    bool throwShadow = false;                      // from the level record; stored only
    std::string objectName;                        // level object name, stem of its light map
    std::string actorName;                         // physics registry key; empty for level objects
    float color[4] = {1.0f, 1.0f, 1.0f, 1.0f};     // RGBA
    Modell modell;                                 // scale, border box and the shared model
    ObjectHost *game = nullptr;                    // the game it belongs to, not owned
    std::vector<ParticleEngine *> particleEngines; // attached effects in the order added, owned
    float physicsPose[16] = {
        1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f,
        0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f}; // actor pose, physics axes, column-major
};
