#include "particles/ParticleEngine.h"

#include "particles/ParticleRandom.h"
#include "render/TextureHolder.h"

#include <GL/gl.h>

#include <cmath>

namespace {
// Every particle's square in one primitive, turned towards the camera here rather than by a
// matrix per particle: the same squares as CParticle::draw(texture, xRot, yRot), in one call.
template <class Iterator>
void drawFacingSquares(Iterator first, Iterator last, unsigned int texture, float fXRot, float fYRot) {
    constexpr float kRadians = 3.14159265358979f / 180.0f;
    const float a = -fXRot * kRadians;
    const float b = fYRot * kRadians;
    // The square's x and y axes after the turns about y (by fYRot) and x (by -fXRot).
    const float right[3] = {std::cos(b), 0.0f, -std::sin(b)};
    const float up[3] = {std::sin(a) * std::sin(b), std::cos(a), std::sin(a) * std::cos(b)};
    static const float kCorners[4][2] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}}; // also the texture corners
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    for (Iterator it = first; it != last; ++it) {
        const float *pos = it->getPos();
        const float h = it->getHalfSquareLength();
        glColor4fv(it->getColor());
        for (const auto &corner : kCorners) {
            glTexCoord2f(corner[0] > 0 ? 1.0f : 0.0f, corner[1] > 0 ? 1.0f : 0.0f);
            const float x = corner[0] * h, y = corner[1] * h;
            glVertex3f(pos[0] + x * right[0] + y * up[0], pos[1] + x * right[1] + y * up[1],
                       pos[2] + x * right[2] + y * up[2]);
        }
    }
    glEnd();
}
} // namespace

ParticleEngine::ParticleEngine() : rng(&ParticleRandom::shared()) {}

ParticleEngine::ParticleEngine(TextureHolder *pTextures, const float *fPos, const float *fColor,
                               int iAnzParticle, ParticleRandom *pRandom)
    : anzParticle(iAnzParticle), pTh(pTextures),
      rng(pRandom != nullptr ? pRandom : &ParticleRandom::shared()) {
    setPos(fPos);
    if (fColor != nullptr) {
        setColor4f(fColor);
    }
}

void ParticleEngine::draw(float fXRot, float fYRot, float fZRot) {
    (void)fXRot;
    (void)fYRot;
    (void)fZRot;
    const bool cull = beginAdditive(false);
    for (const CParticle &p : particles) {
        p.draw();
    }
    endAdditive(cull);
}

void ParticleEngine::doAction(float fFaktor, const float *fPos) {
    setPos(fPos);
    moveParticles(fFaktor);
}

void ParticleEngine::doAction(float fFaktor) {
    moveParticles(fFaktor);
}

void ParticleEngine::drawSorted(float fXRot, float fYRot, float fZRot) {
    (void)fXRot;
    (void)fYRot;
    (void)fZRot;
}

void ParticleEngine::sort() {
    for (std::size_t i = 1; i < particles.size(); ++i) {
        if (!(particles[i] < particles[i - 1]))
            continue;
        // Moves back past every particle with a greater key; equal keys stay in front.
        CParticle moving = particles[i];
        std::size_t place = i;
        while (place > 0 && moving < particles[place - 1]) {
            particles[place] = particles[place - 1];
            --place;
        }
        particles[place] = moving;
    }
}

void ParticleEngine::moveParticles(float fFaktor) {
    for (CParticle &p : particles) {
        p.move(fFaktor);
    }
}

void ParticleEngine::drawParticles(float fXRot, float fYRot, const std::string &texName) const {
    if (pTh == nullptr) {
        for (const CParticle &p : particles) {
            p.draw();
        }
        return;
    }
    drawFacingSquares(particles.begin(), particles.end(), pTh->getTextureIDByString(texName), fXRot, fYRot);
}

void ParticleEngine::drawSortedParticles(float fXRot, float fYRot, const std::string &texName) {
    const float angle = fYRot * 0.017453292f;
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    for (CParticle &p : particles) {
        const float *q = p.getPos();
        p.setPosWC(c * q[0] - s * q[2], q[1], s * q[0] + c * q[2]);
    }

    if (resortCountdown >= 0) {
        --resortCountdown;
    } else {
        // The list stays nearly sorted while the camera holds still, so only a
        // turn of the camera is worth a new sort.
        if (!sortedOnce || fXRot != lastRotX || fYRot != lastRotY) {
            sort();
            lastRotX = fXRot;
            lastRotY = fYRot;
            sortedOnce = true;
        }
        resortCountdown = rng->below(resortSpread);
    }

    // Greatest key first: that is the far end as seen by the scene's camera.
    if (pTh == nullptr) {
        for (auto it = particles.rbegin(); it != particles.rend(); ++it) {
            it->draw();
        }
        return;
    }
    drawFacingSquares(particles.rbegin(), particles.rend(), pTh->getTextureIDByString(texName), fXRot, fYRot);
}

void ParticleEngine::drawGlowing(float fXRot, float fYRot, const std::string &texName, bool bSorted,
                                 bool bModulate) {
    glDisable(GL_LIGHTING);
    glDepthMask(GL_FALSE);
    const bool cull = beginAdditive(pTh != nullptr);
    if (bModulate) {
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    if (bSorted) {
        drawSortedParticles(fXRot, fYRot, texName);
    } else {
        drawParticles(fXRot, fYRot, texName);
    }
    endAdditive(cull);
    glDepthMask(GL_TRUE);
    glEnable(GL_LIGHTING);
}

void ParticleEngine::startLife(CParticle &p, float fLife) {
    p.setLife(fLife);
    const float fade = 1.0f / fLife;
    if (fLife > 0.0f && std::isfinite(fade)) {
        p.setFadeSpeed(fade);
        return;
    }
    // Already spent: invisible now, respawned (where the effect respawns) once its life is below 0.
    p.setFadeSpeed(0.0f);
    const float *c = p.getColor();
    p.setColor4f(c[0], c[1], c[2], 0.0f);
}

void ParticleEngine::normalizeOr(float *v, float fx, float fy, float fz) {
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length > 0.0f && std::isfinite(length)) {
        for (int i = 0; i < 3; ++i) {
            v[i] /= length;
        }
        return;
    }
    v[0] = fx;
    v[1] = fy;
    v[2] = fz;
}

bool ParticleEngine::beginAdditive(bool bTextured) {
    const bool cull = glIsEnabled(GL_CULL_FACE) == GL_TRUE;
    glDisable(GL_CULL_FACE);
    if (bTextured) {
        glEnable(GL_TEXTURE_2D);
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    return cull;
}

void ParticleEngine::endAdditive(bool bCullFace) {
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    if (bCullFace) {
        glEnable(GL_CULL_FACE);
    }
}

void ParticleEngine::setPos(const float *xyz) {
    for (int i = 0; i < 3; ++i) {
        pos[i] = xyz[i];
    }
}

void ParticleEngine::setColor4f(const float *rgba) {
    setColor4f(rgba[0], rgba[1], rgba[2], rgba[3]);
}

void ParticleEngine::setColor4f(float r, float g, float b, float a) {
    color[0] = r;
    color[1] = g;
    color[2] = b;
    color[3] = a;
}

void ParticleEngine::setPosWC(const float *xyz) {
    for (int i = 0; i < 3; ++i) {
        posWC[i] = xyz[i];
    }
}

void ParticleEngine::setRandom(ParticleRandom *pRandom) {
    rng = pRandom != nullptr ? pRandom : &ParticleRandom::shared();
}
