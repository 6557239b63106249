#pragma once

#include <string>

// One power-up type from data/config/powerups.ini and its type file: what it does to the tank that
// takes it, for how long, how soon it comes back, and how it looks.
class CPowerUpData {
  public:
    // What a power-up does; the value of the "effect" key names it.
    enum Effect { kNone = 0, kRepair = 1, kRapidFire = 2, kSpeed = 3, kArmour = 4 };

    static constexpr const char *kDefaultModel = "powerup.md2";

    CPowerUpData() = default;

    // kNone for a name that is no effect ("repair", "rapidfire", "speed", "armour").
    static Effect effectFromName(const std::string &text);
    static const char *effectName(int effect); // "none" for anything else
    // Sets the effect and the amount, duration and glow colour it has unless its file says otherwise.
    void setEffectWithDefaults(Effect effect);

    const std::string &getName() const { return name; }
    void setName(const std::string &s) { name = s; }
    int getTyp() const { return typ; } // an Effect
    void setTyp(int i) { typ = i; }
    const std::string &getModellName() const { return modellName; }
    void setModellName(const std::string &s) { modellName = s; }
    float getSize() const { return size; }
    void setSize(float f) { size = f; }
    float getAmount() const { return amount; }
    void setAmount(float f) { amount = f; }
    float getDuration() const { return duration; }
    void setDuration(float f) { duration = f; }
    float getRespawn() const { return respawn; }
    void setRespawn(float f) { respawn = f; }
    float getRadius() const { return radius; }
    void setRadius(float f) { radius = f; }
    const float *getGlowColor() const { return glow; } // RGB
    void setGlowColor(float r, float g, float b);

  private:
    std::string name;                       // type name from the index file
    int typ = kNone;                        // the effect
    std::string modellName = kDefaultModel; // model file name in the model registry
    float size = 1.0f;                      // scale of the model
    float amount = 0.0f;                // repair: life points; the others: factor on reload, speed or damage
    float duration = 0.0f;              // seconds a timed effect lasts; 0 for repair
    float respawn = 30.0f;              // seconds until a taken power-up is back
    float radius = 1.5f;                // units: a tank this close to the centre takes it
    float glow[3] = {1.0f, 1.0f, 1.0f}; // glow colour, RGB 0..1
};
