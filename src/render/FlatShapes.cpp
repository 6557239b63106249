#include "render/FlatShapes.h"

#include <GL/gl.h>

namespace FlatShapes {

void rectangle(float x1, float y1, float x2, float y2) {
    glBegin(GL_QUADS);
    glVertex2f(x1, y1);
    glVertex2f(x2, y1);
    glVertex2f(x2, y2);
    glVertex2f(x1, y2);
    glEnd();
}

void framedPicture(unsigned int texture, float left, float top, float side) {
    glColor3f(0, 0, 0);
    rectangle(left - 2, top - 2, left + side + 2, top + side + 2);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(left, top);
    glTexCoord2f(1, 0);
    glVertex2f(left + side, top);
    glTexCoord2f(1, 1);
    glVertex2f(left + side, top + side);
    glTexCoord2f(0, 1);
    glVertex2f(left, top + side);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

} // namespace FlatShapes
