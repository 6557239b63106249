#include "particles/CPeRauch.h"

#include "particles/ParticleRandom.h"

#include <cmath>

namespace {
constexpr int kFirstLifeRange = 1000;   // first lives: up to 0.999 rise times
constexpr int kRespawnLifeRange = 1100; // later lives: up to 1.099, so puffs do not all vanish at one height
constexpr float kHalfSize = 0.5f;       // half side of a smoke puff, world units
} // namespace

CPeRauch::CPeRauch(const float *fPos, const float *fColor, int iAnzParticle, float fRadius, float fHight,
                   float fAuftrieb, TextureHolder *m_pTh, ParticleRandom *pRandom)
    : ParticleEngine(m_pTh, fPos, fColor, iAnzParticle, pRandom),
      area(fHight, fAuftrieb, fRadius, 0.0f, 0.0f) {
    createParticles();
}

CPeRauch::CPeRauch(const float *fPos, const float *fColor, int iAnzParticle, float fLenghtX, float fLenghtZ,
                   float fHight, float fAuftrieb, TextureHolder *m_pTh, ParticleRandom *pRandom)
    : ParticleEngine(m_pTh, fPos, fColor, iAnzParticle, pRandom),
      area(fHight, fAuftrieb, 0.0f, fLenghtX, fLenghtZ) {
    createParticles();
}

void CPeRauch::createParticles() {
    timeToLife = 1.0f;
    for (int i = 0; i < anzParticle; ++i) {
        CParticle p;
        p.setHalfSquareLength(kHalfSize);
        spawn(p, kFirstLifeRange);
        particles.push_back(p);
    }
}

void CPeRauch::spawn(CParticle &p, int iLifeRange) {
    ParticleRandom &random = getRandom();
    float start[4];
    area.spawn(pos, random, start);
    p.setPos(start);

    // Horizontal unit vector from the particle towards the centre. A particle
    // born exactly on the centre has none, so it gets a random heading.
    float nx = pos[0] - start[0];
    float nz = pos[2] - start[2];
    const float length = std::sqrt(nx * nx + nz * nz);
    if (length > 0.0f && std::isfinite(length)) {
        nx /= length;
        nz /= length;
    } else {
        const float heading = static_cast<float>(random.below(3600)) * (6.2831853f / 3600.0f);
        nx = std::cos(heading);
        nz = std::sin(heading);
    }
    const float dx = static_cast<float>(random.below(500)) / 1000.0f - 0.25f;
    const float dz = static_cast<float>(random.below(500)) / 1000.0f - 0.25f;
    p.setDir(dx * nx, 1.0f, dz * nz);

    p.setSpeed(area.getAuftrieb());
    p.setColor4f(color);
    startLife(p, area.riseTime() * static_cast<float>(getRandom().below(iLifeRange)) / 1000.0f);
}

void CPeRauch::doAction(float fFaktor, const float *fPos) {
    setPos(fPos);
    for (CParticle &p : particles) {
        if (p.getLife() < 0.0f) {
            spawn(p, kRespawnLifeRange);
        }
    }
    moveParticles(fFaktor);
}

void CPeRauch::draw(float fXRot, float fYRot, float fZRot) {
    (void)fZRot;
    drawGlowing(fXRot, fYRot, kTexture, false, true);
}

void CPeRauch::drawSorted(float fXRot, float fYRot, float fZRot) {
    (void)fZRot;
    drawGlowing(fXRot, fYRot, kTexture, true, true);
}
