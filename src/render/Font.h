#pragma once

// Draws short strings of GLUT bitmap text over the scene. Positions are window
// pixels from the top-left corner; each draw call switches to that 2D
// projection and back, leaving both matrix stacks as it found them.
class Font {
  public:
    // The window size in pixels; the session calls it whenever the window is resized.
    void init(int width, int height);

    void setOrthographicProjection() const;  // pushes the projection matrix, loads the pixel projection
    void resetPerspectiveProjection() const; // pops the projection matrix

    // Text on one line, the first glyph's origin (on the baseline) at (x, y, z).
    // `colour` is RGB; `font` a GLUT bitmap font such as GLUT_BITMAP_9_BY_15.
    // Lighting is switched on afterwards, as the 3D scene expects it.
    void drawHorizontal(float x, float y, float z, const float *colour, void *font, const char *text) const;
    // Text on one line with `spacing` extra pixels between the glyphs.
    void drawSpaced(float x, float y, const float *colour, int spacing, void *font, const char *text) const;
    // Text downwards, glyph i at y + spacing·i.
    void drawVertical(float x, float y, const float *colour, int spacing, void *font, const char *text) const;

    // The glyph loops of the three above, in whatever projection is current.
    void renderBitmapString(float x, float y, float z, const float *colour, void *font,
                            const char *text) const;
    void renderSpacedBitmapString(float x, float y, const float *colour, int spacing, void *font,
                                  const char *text) const;
    void renderVerticalBitmapString(float x, float y, const float *colour, int spacing, void *font,
                                    const char *text) const;

    int getWidth() const { return iWidth; }
    int getHeight() const { return iHeight; }

  private:
    void beginText() const;
    void endText() const;
    static bool canDraw(const float *colour, void *font, const char *text);

    int iWidth = 0;  // window width, pixels
    int iHeight = 0; // window height, pixels
};
