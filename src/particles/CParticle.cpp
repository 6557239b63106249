#include "particles/CParticle.h"

#include <GL/gl.h>

namespace {
// NaN fails every comparison, so it is tested first and becomes 0: a colour
// that went wrong shows nothing rather than poisoning the blend.
float clampUnit(float f) {
    if (!(f > 0.0f)) {
        return 0.0f;
    }
    return f > 1.0f ? 1.0f : f;
}
} // namespace

CParticle::CParticle()
    : life(0.0f), pos{0.0f, 0.0f, 0.0f, 0.0f}, dir{0.0f, 0.0f, 0.0f},
      speed(0.0f), color{0.0f, 0.0f, 0.0f, 0.0f}, fadeColor{0.0f, 0.0f, 0.0f, 0.0f},
      halfSquareLength(0.0f), posWC{0.0f, 0.0f, 0.0f} {}

CParticle::CParticle(const float *fPos, const float *fColor, float fHalfSquareLength) : CParticle() {
    setPos(fPos);
    setColor4f(fColor);
    halfSquareLength = fHalfSquareLength;
}

void CParticle::move(float dt) {
    const float step = speed * dt;
    for (int i = 0; i < 3; ++i) {
        pos[i] += dir[i] * step;
    }
    for (int i = 0; i < 4; ++i) {
        color[i] = clampUnit(color[i] - fadeColor[i] * dt);
    }
    life -= dt;
}

void CParticle::drawSquare() const {
    const float h = halfSquareLength;
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(h, h, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-h, h, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(h, -h, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-h, -h, 0.0f);
    glEnd();
}

void CParticle::draw() const {
    glPushMatrix();
    glColor4f(color[0], color[1], color[2], color[3]);
    glTranslatef(pos[0], pos[1], pos[2]);
    drawSquare();
    glPopMatrix();
}

void CParticle::draw(unsigned int texture, float xRot, float yRot) const {
    glPushMatrix();
    glColor4f(color[0], color[1], color[2], color[3]);
    glTranslatef(pos[0], pos[1], pos[2]);
    // Undo the camera's turn so the square lies across the line of sight.
    glRotatef(yRot, 0.0f, 1.0f, 0.0f);
    glRotatef(-xRot, 1.0f, 0.0f, 0.0f);
    glBindTexture(GL_TEXTURE_2D, texture);
    drawSquare();
    glPopMatrix();
}

void CParticle::setPos(const float *xyzw) {
    for (int i = 0; i < 4; ++i) {
        pos[i] = xyzw[i];
    }
}

void CParticle::setPos(float x, float y, float z) {
    pos[0] = x;
    pos[1] = y;
    pos[2] = z;
}

void CParticle::setDir(const float *xyz) {
    setDir(xyz[0], xyz[1], xyz[2]);
}

void CParticle::setDir(float x, float y, float z) {
    dir[0] = x;
    dir[1] = y;
    dir[2] = z;
}

void CParticle::setColor4f(float r, float g, float b, float a) {
    color[0] = r;
    color[1] = g;
    color[2] = b;
    color[3] = a;
}

void CParticle::setColor4f(const float *rgba) {
    setColor4f(rgba[0], rgba[1], rgba[2], rgba[3]);
}

void CParticle::setFadeColor4f(float r, float g, float b, float a) {
    fadeColor[0] = r;
    fadeColor[1] = g;
    fadeColor[2] = b;
    fadeColor[3] = a;
}

void CParticle::setPosWC(const float *xyz) {
    setPosWC(xyz[0], xyz[1], xyz[2]);
}

void CParticle::setPosWC(float x, float y, float z) {
    posWC[0] = x;
    posWC[1] = y;
    posWC[2] = z;
}
