#pragma once

#include "particles/ParticleEngine.h"

#include <string>

// The short flash at the muzzle of a shot: a spray of particles along the
// firing direction that fades out within its time to live. It stays where it
// was fired even though its owner drives on.
class CMuendungsFeuer : public ParticleEngine {
  public:
    CMuendungsFeuer() = default;
    // fPos, fDir: x, y, z; fColor: r, g, b (drawn with alpha 1); fTTL in seconds;
    // fEndSize: spread of the particles' speeds above the minimum of 0.25.
    CMuendungsFeuer(const float *fPos, const float *fDir, const float *fColor, int iAnzParticle, float fTTL,
                    float fEndSize, TextureHolder *pTh, ParticleRandom *pRandom = nullptr);

    using ParticleEngine::doAction;
    void draw(float fXRot, float fYRot, float fZRot) override;
    // Runs down the time to live and moves the particles; fPos is ignored.
    void doAction(float fFaktor, const float *fPos) override;
    void drawSorted(float fXRot, float fYRot, float fZRot) override;

    const std::string &getTextureName() const { return textureName; }

    static constexpr const char *kSortedTexture = "Cloud.jpg";

  private:
    std::string textureName = "Blow.jpg"; // sprite of the unsorted drawing
};
