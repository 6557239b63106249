#include "particles/CPeExplosion.h"

#include "particles/ParticleRandom.h"

CPeExplosion::CPeExplosion(const float *fPos, const float *fColor, int iAnzParticle, float fEndRadius,
                           float fExplosionsDauer, TextureHolder *pTh, ParticleRandom *pRandom)
    : ParticleEngine(pTh, fPos, fColor, iAnzParticle, pRandom) {
    timeToLife = fExplosionsDauer;
    // An explosion without duration is over before it starts: its particles
    // stay where they are instead of flying off at infinite speed.
    const float speed = fExplosionsDauer > 0.0f ? fEndRadius / fExplosionsDauer : 0.0f;
    const float start[4] = {fPos[0], fPos[1], fPos[2], 1.0f};
    ParticleRandom &random = getRandom();
    for (int i = 0; i < iAnzParticle; ++i) {
        CParticle p(start, fColor, 0.25f);
        float dir[3];
        for (float &d : dir) {
            d = random.unit() - 0.5f;
        }
        normalizeOr(dir, 0.0f, 1.0f, 0.0f);
        p.setDir(dir);
        p.setSpeed(speed);
        startLife(p, fExplosionsDauer);
        particles.push_back(p);
    }
}

void CPeExplosion::draw(float fXRot, float fYRot, float fZRot) {
    (void)fZRot;
    drawGlowing(fXRot, fYRot, kTexture, false, true);
}

void CPeExplosion::doAction(float fFaktor) {
    timeToLife -= fFaktor;
    moveParticles(fFaktor);
}

void CPeExplosion::drawSorted(float fXRot, float fYRot, float fZRot) {
    (void)fZRot;
    drawGlowing(fXRot, fYRot, kTexture, true, true);
}
