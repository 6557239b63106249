#include "objects/PowerUpObject.h"

#include "config/CPowerUpData.h"
#include "render/GlowSprite.h"

#include <cmath>

namespace {
constexpr float kTwoPi = 6.2831853f;
constexpr float kGlowRadiusShare = 1.5f; // glow radius per trigger radius
} // namespace

PowerUpObject::PowerUpObject(const float *fPos, float fTimeToLife, const CPowerUpData *pPowerUpData)
    : type(pPowerUpData), timeToLife(fTimeToLife) {
    if (fPos != nullptr) {
        setPos(fPos);
    }
    if (type != nullptr) {
        getModell()->setScale(type->getSize());
    }
}

void PowerUpObject::take() {
    available = false;
    respawnLeft = type != nullptr ? type->getRespawn() : 0.0f;
}

bool PowerUpObject::step(float dt) {
    clock += dt;
    storeRotY(std::fmod(clock * kSpinDegreesPerSecond, 360.0f));
    if (available) {
        return false;
    }
    respawnLeft -= dt;
    if (respawnLeft > 0.0f) {
        return false;
    }
    respawnLeft = 0.0f;
    available = true;
    return true;
}

void PowerUpObject::getTriggerCentre(float *out) const {
    const float *pos = getPos();
    out[0] = pos[0];
    out[1] = pos[1] + 0.5f * getTriggerRadius();
    out[2] = pos[2];
}

float PowerUpObject::getTriggerRadius() const {
    return type != nullptr ? type->getRadius() : 1.0f;
}

float PowerUpObject::getPulse() const {
    return 0.5f + 0.5f * std::sin(clock / kPulseSeconds * kTwoPi);
}

void PowerUpObject::draw(float fRotX, float fRotY, bool wireframe, bool lightmap, int iDrawMode,
                         int iTextureMode, int iMipMappingMode) const {
    if (available) {
        SpielObject::draw(fRotX, fRotY, wireframe, lightmap, iDrawMode, iTextureMode, iMipMappingMode);
    }
}

void PowerUpObject::drawGlow() const {
    if (!available) {
        return;
    }
    static const float kWhite[3] = {1.0f, 1.0f, 1.0f};
    float centre[3];
    getTriggerCentre(centre);
    const float pulse = getPulse();
    GlowSprite::draw(centre, getTriggerRadius() * kGlowRadiusShare * (0.85f + 0.3f * pulse),
                     type != nullptr ? type->getGlowColor() : kWhite, 0.55f + 0.4f * pulse);
}
