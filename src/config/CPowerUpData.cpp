#include "config/CPowerUpData.h"

namespace {

// Each effect with its name in the type files and what it does unless its file says otherwise.
struct EffectDefaults {
    CPowerUpData::Effect effect;
    const char *name;
    float amount;   // life points (repair) or factor
    float duration; // seconds
    float glow[3];  // RGB
};

constexpr EffectDefaults kEffects[] = {
    {CPowerUpData::kRepair, "repair", 30.0f, 0.0f, {0.2f, 1.0f, 0.3f}},
    {CPowerUpData::kRapidFire, "rapidfire", 0.5f, 15.0f, {1.0f, 0.55f, 0.1f}},
    {CPowerUpData::kSpeed, "speed", 1.5f, 15.0f, {0.2f, 0.7f, 1.0f}},
    {CPowerUpData::kArmour, "armour", 0.5f, 20.0f, {0.85f, 0.85f, 1.0f}},
};

} // namespace

CPowerUpData::Effect CPowerUpData::effectFromName(const std::string &text) {
    for (const EffectDefaults &entry : kEffects) {
        if (text == entry.name) {
            return entry.effect;
        }
    }
    return kNone;
}

const char *CPowerUpData::effectName(int effect) {
    for (const EffectDefaults &entry : kEffects) {
        if (entry.effect == effect) {
            return entry.name;
        }
    }
    return "none";
}

void CPowerUpData::setEffectWithDefaults(Effect effect) {
    typ = effect;
    for (const EffectDefaults &entry : kEffects) {
        if (entry.effect == effect) {
            amount = entry.amount;
            duration = entry.duration;
            setGlowColor(entry.glow[0], entry.glow[1], entry.glow[2]);
        }
    }
}

void CPowerUpData::setGlowColor(float r, float g, float b) {
    glow[0] = r;
    glow[1] = g;
    glow[2] = b;
}
