#include "particles/CPeFeuer.h"

#include "particles/ParticleRandom.h"

#include <GL/gl.h>

namespace {
constexpr int kFirstLifeRange = 1000;   // first lives: up to 0.999 rise times
constexpr int kRespawnLifeRange = 1100; // later lives: up to 1.099, so puffs do not all vanish at one height
constexpr float kHalfSize = 0.25f;      // half side of a flame, world units
} // namespace

CPeFeuer::CPeFeuer(const float *fPos, const float *fColor, int iAnzParticle, float fRadius, float fHight,
                   float fAuftrieb, TextureHolder *m_pTh, ParticleRandom *pRandom)
    : ParticleEngine(m_pTh, fPos, fColor, iAnzParticle, pRandom),
      area(fHight, fAuftrieb, fRadius, 0.0f, 0.0f) {
    createParticles();
}

CPeFeuer::CPeFeuer(const float *fPos, const float *fColor, int iAnzParticle, float fLenghtX, float fLenghtZ,
                   float fHight, float fAuftrieb, TextureHolder *m_pTh, ParticleRandom *pRandom)
    : ParticleEngine(m_pTh, fPos, fColor, iAnzParticle, pRandom),
      area(fHight, fAuftrieb, 0.0f, fLenghtX, fLenghtZ) {
    createParticles();
}

void CPeFeuer::createParticles() {
    // The time to live stays 0: fire lives as long as its owner.
    for (int i = 0; i < anzParticle; ++i) {
        CParticle p;
        p.setHalfSquareLength(kHalfSize);
        p.setDir(0.0f, 1.0f, 0.0f);
        spawn(p, kFirstLifeRange);
        particles.push_back(p);
    }
}

void CPeFeuer::spawn(CParticle &p, int iLifeRange) {
    float start[4];
    area.spawn(pos, getRandom(), start);
    p.setPos(start);
    p.setSpeed(area.getAuftrieb());
    p.setColor4f(color);
    startLife(p, area.riseTime() * static_cast<float>(getRandom().below(iLifeRange)) / 1000.0f);
}

void CPeFeuer::doAction(float fFaktor, const float *fPos) {
    setPos(fPos);
    for (CParticle &p : particles) {
        if (p.getLife() < 0.0f) {
            spawn(p, kRespawnLifeRange);
        }
    }
    moveParticles(fFaktor);
}

void CPeFeuer::draw(float fXRot, float fYRot, float fZRot) {
    (void)fZRot;
    glDisable(GL_DEPTH_TEST);
    const bool cull = beginAdditive(pTh != nullptr);
    drawParticles(fXRot, fYRot, kTexture);
    endAdditive(cull);
    glEnable(GL_DEPTH_TEST);
}

void CPeFeuer::drawSorted(float fXRot, float fYRot, float fZRot) {
    draw(fXRot, fYRot, fZRot);
}
