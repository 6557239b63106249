#pragma once

#include "objects/SpielObject.h"

class CPowerUpData;

// A power-up placed in a level: a slowly turning model with a pulsing glow that the first tank to
// touch it takes (the session's PowerUpField decides), gone until its type's respawn time is over.
class PowerUpObject : public SpielObject {
  public:
    static constexpr float kSpinDegreesPerSecond = 60.0f; // turn of the model
    static constexpr float kPulseSeconds = 1.2f;          // one swell and fade of the glow

    PowerUpObject() = default;
    // fPos: x, y, z of the model's base; fTimeToLife in seconds (a placement stays for the whole
    // battle, so it is kept but not counted down); the type record is not owned and may be null.
    PowerUpObject(const float *fPos, float fTimeToLife, const CPowerUpData *pPowerUpData);

    const CPowerUpData *getType() const { return type; }
    float getTimeToLife() const { return timeToLife; }
    bool isAvailable() const { return available; }
    float getRespawnLeft() const { return respawnLeft; } // seconds until it is back; 0 while there
    // Taken: gone until the type's respawn time has passed.
    void take();
    // There to be taken or not, as another machine says: taken, it waits for that machine's word
    // to come back rather than for its own respawn clock.
    void setAvailable(bool there) {
        available = there;
        respawnLeft = there ? 0.0f : kAwaitingWord;
    }
    // Turns the model and runs the respawn clock; true in the step in which it comes back.
    bool step(float dt);
    // Where the trigger sphere sits: half a radius above the base.
    void getTriggerCentre(float *out) const;
    float getTriggerRadius() const;
    // Glow strength 0..1 at this moment of its pulse.
    float getPulse() const;

    // The model at its turn, then the glow around it (additive, after the opaque objects); nothing
    // while taken. The arguments are those of SpielObject::draw.
    void draw(float fRotX, float fRotY, bool wireframe, bool lightmap, int iDrawMode, int iTextureMode,
              int iMipMappingMode) const;
    void drawGlow() const;

  private:
    static constexpr float kAwaitingWord = 1.0e9f; // seconds: longer than any battle
    const CPowerUpData *type = nullptr; // not owned
    float timeToLife = 0.0f;            // seconds, as placed
    bool available = true;              // there to be taken
    float respawnLeft = 0.0f;           // seconds until it is back
    float clock = 0.0f;                 // seconds since placing; drives spin and pulse
};
