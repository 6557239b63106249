#include "particles/CMuendungsFeuer.h"

#include "particles/ParticleRandom.h"

namespace {
constexpr int kResortSpread = 20; // a resort check every 2 to 21 frames
}

CMuendungsFeuer::CMuendungsFeuer(const float *fPos, const float *fDir, const float *fColor, int iAnzParticle,
                                 float fTTL, float fEndSize, TextureHolder *pTh, ParticleRandom *pRandom)
    : ParticleEngine(pTh, fPos, nullptr, iAnzParticle, pRandom) {
    // The colour has no alpha of its own: the flash starts fully opaque.
    setColor4f(fColor[0], fColor[1], fColor[2], 1.0f);
    timeToLife = fTTL;
    resortSpread = kResortSpread;
    const float start[4] = {fPos[0], fPos[1], fPos[2], 1.0f};
    ParticleRandom &random = getRandom();
    for (int i = 0; i < iAnzParticle; ++i) {
        CParticle p(start, color, 0.125f);
        float dir[3];
        for (int k = 0; k < 3; ++k) {
            dir[k] = fDir[k] + static_cast<float>(random.below(800)) / 1000.0f - 0.4f;
        }
        normalizeOr(dir, 0.0f, 1.0f, 0.0f);
        p.setDir(dir);
        p.setSpeed(fEndSize * random.unit() + 0.25f);
        startLife(p, fTTL);
        particles.push_back(p);
    }
}

void CMuendungsFeuer::draw(float fXRot, float fYRot, float fZRot) {
    (void)fZRot;
    drawGlowing(fXRot, fYRot, textureName, false, false);
}

void CMuendungsFeuer::doAction(float fFaktor, const float *fPos) {
    (void)fPos;
    timeToLife -= fFaktor;
    moveParticles(fFaktor);
}

void CMuendungsFeuer::drawSorted(float fXRot, float fYRot, float fZRot) {
    (void)fZRot;
    drawGlowing(fXRot, fYRot, kSortedTexture, true, true);
}
