#pragma once

#include "particles/ParticleEngine.h"
#include "particles/SpawnArea.h"

// Continuous fire rising straight up from an area that follows its owner;
// spent particles are respawned. Drawn over everything (no depth test), in
// list order: it has no sorted form of its own.
class CPeFeuer : public ParticleEngine {
  public:
    CPeFeuer() = default;
    // Radius form: particles start in the square of side fRadius with the emitter at one corner.
    CPeFeuer(const float *fPos, const float *fColor, int iAnzParticle, float fRadius, float fHight,
             float fAuftrieb, TextureHolder *m_pTh, ParticleRandom *pRandom = nullptr);
    // Rectangle form: particles start in the fLenghtX x fLenghtZ rectangle centred on the emitter.
    CPeFeuer(const float *fPos, const float *fColor, int iAnzParticle, float fLenghtX, float fLenghtZ,
             float fHight, float fAuftrieb, TextureHolder *m_pTh, ParticleRandom *pRandom = nullptr);

    using ParticleEngine::doAction;
    void draw(float fXRot, float fYRot, float fZRot) override;
    void doAction(float fFaktor, const float *fPos) override;
    void drawSorted(float fXRot, float fYRot, float fZRot) override;

    const SpawnArea &getSpawnArea() const { return area; }

    static constexpr const char *kTexture = "Cloud.jpg";

  private:
    void createParticles();
    // New start in the spawn area, speed, emitter colour and a life of the
    // rise time times below(iLifeRange) / 1000.
    void spawn(CParticle &p, int iLifeRange);

    SpawnArea area; // height, buoyancy and where particles start
};
