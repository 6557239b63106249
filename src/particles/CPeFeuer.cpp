#include "particles/CPeFeuer.h"

#include "particles/ParticleRandom.h"

#include <GL/gl.h>

namespace {
constexpr float kHalfSize = 0.25f; // half side of a flame, world units
}

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
        spawn(p, getRandom().unit());
        particles.push_back(p);
    }
}

void CPeFeuer::spawn(CParticle &p, float fLifeFactor) {
    float start[4];
    area.spawn(pos, getRandom(), start);
    p.setPos(start);
    p.setSpeed(area.getAuftrieb());
    p.setColor4f(color);
    startLife(p, area.riseTime() * fLifeFactor);
}

void CPeFeuer::doAction(float fFaktor, const float *fPos) {
    setPos(fPos);
    for (CParticle &p : particles) {
        if (p.getLife() < 0.0f) {
            spawn(p, static_cast<float>(getRandom().below(1100)) / 1000.0f);
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
