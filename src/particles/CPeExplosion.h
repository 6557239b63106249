#pragma once

#include "particles/ParticleEngine.h"

// A burst: every particle flies straight out from the centre and reaches the
// end radius just as it fades out. Never respawned; its time to live runs
// down only through the positionless step.
class CPeExplosion : public ParticleEngine {
  public:
    CPeExplosion() = default;
    // fPos: x, y, z; fColor: r, g, b, a; fExplosionsDauer in seconds.
    CPeExplosion(const float *fPos, const float *fColor, int iAnzParticle, float fEndRadius,
                 float fExplosionsDauer, TextureHolder *pTh, ParticleRandom *pRandom = nullptr);

    using ParticleEngine::doAction;
    void draw(float fXRot, float fYRot, float fZRot) override;
    void doAction(float fFaktor) override;
    void drawSorted(float fXRot, float fYRot, float fZRot) override;

    static constexpr const char *kTexture = "Cloud.jpg";
};
