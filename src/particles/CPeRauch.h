#pragma once

#include "particles/ParticleEngine.h"
#include "particles/SpawnArea.h"

// Continuous smoke that rises above its owner and follows it: spent particles
// are respawned around the emitter's newest position, each drifting a little
// towards or away from the centre. Lives as long as its owner.
class CPeRauch : public ParticleEngine {
  public:
    CPeRauch() = default;
    // Radius form: particles start in the square of side fRadius with the emitter at one corner.
    CPeRauch(const float *fPos, const float *fColor, int iAnzParticle, float fRadius, float fHight,
             float fAuftrieb, TextureHolder *m_pTh, ParticleRandom *pRandom = nullptr);
    // Rectangle form: particles start in the fLenghtX x fLenghtZ rectangle centred on the emitter.
    CPeRauch(const float *fPos, const float *fColor, int iAnzParticle, float fLenghtX, float fLenghtZ,
             float fHight, float fAuftrieb, TextureHolder *m_pTh, ParticleRandom *pRandom = nullptr);

    using ParticleEngine::doAction;
    void draw(float fXRot, float fYRot, float fZRot) override;
    void doAction(float fFaktor, const float *fPos) override;
    void drawSorted(float fXRot, float fYRot, float fZRot) override;

    const SpawnArea &getSpawnArea() const { return area; }

    static constexpr const char *kTexture = "Cloud.jpg";

  private:
    void createParticles();
    // New start in the spawn area, drift, speed, emitter colour and a life of
    // the rise time times below(iLifeRange) / 1000.
    void spawn(CParticle &p, int iLifeRange);

    SpawnArea area; // height, buoyancy and where particles start
};
