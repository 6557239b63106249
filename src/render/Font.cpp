#include "render/Font.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>

void Font::init(int width, int height) {
    iWidth = width;
    iHeight = height;
}

void Font::setOrthographicProjection() const {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0, iWidth, 0, iHeight);
    // Flip y so that it grows downwards from the top-left corner, like the mouse.
    glScalef(1, -1, 1);
    glTranslatef(0, static_cast<float>(-iHeight), 0);
    glMatrixMode(GL_MODELVIEW);
}

void Font::resetPerspectiveProjection() const {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void Font::drawHorizontal(float x, float y, float z, const float *colour, void *font,
                          const char *text) const {
    beginText();
    renderBitmapString(x, y, z, colour, font, text);
    endText();
}

void Font::drawSpaced(float x, float y, const float *colour, int spacing, void *font,
                      const char *text) const {
    beginText();
    renderSpacedBitmapString(x, y, colour, spacing, font, text);
    endText();
}

void Font::drawVertical(float x, float y, const float *colour, int spacing, void *font,
                        const char *text) const {
    beginText();
    renderVerticalBitmapString(x, y, colour, spacing, font, text);
    endText();
}

void Font::renderBitmapString(float x, float y, float z, const float *colour, void *font,
                              const char *text) const {
    if (!canDraw(colour, font, text)) {
        return;
    }
    // The raster position takes the current colour, so the colour comes first.
    glColor3f(colour[0], colour[1], colour[2]);
    glRasterPos3f(x, y, z);
    for (const char *c = text; *c != '\0'; ++c) {
        glutBitmapCharacter(font, static_cast<unsigned char>(*c)); // advances the raster position
    }
}

void Font::renderSpacedBitmapString(float x, float y, const float *colour, int spacing, void *font,
                                    const char *text) const {
    if (!canDraw(colour, font, text)) {
        return;
    }
    int cx = static_cast<int>(x);
    for (const char *c = text; *c != '\0'; ++c) {
        const int character = static_cast<unsigned char>(*c);
        glColor3f(colour[0], colour[1], colour[2]);
        glRasterPos2f(static_cast<float>(cx), y);
        glutBitmapCharacter(font, character);
        cx += glutBitmapWidth(font, character) + spacing;
    }
}

void Font::renderVerticalBitmapString(float x, float y, const float *colour, int spacing, void *font,
                                      const char *text) const {
    if (!canDraw(colour, font, text)) {
        return;
    }
    for (int i = 0; text[i] != '\0'; ++i) {
        glColor3f(colour[0], colour[1], colour[2]);
        glRasterPos2f(x, y + static_cast<float>(spacing * i));
        glutBitmapCharacter(font, static_cast<unsigned char>(text[i]));
    }
}

void Font::beginText() const {
    glDisable(GL_LIGHTING); // bitmaps take the raster colour only when lighting is off
    setOrthographicProjection();
    glPushMatrix();
    glLoadIdentity();
}

void Font::endText() const {
    glPopMatrix();
    resetPerspectiveProjection();
    glEnable(GL_LIGHTING);
}

bool Font::canDraw(const float *colour, void *font, const char *text) {
    return colour != nullptr && font != nullptr && text != nullptr;
}
