#include "render/Font.h"

#include "support/GlTestContext.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>

namespace {
const float kWhite[3] = {1.0f, 1.0f, 1.0f};

struct Box {
    int minX = -1, minY = -1, maxX = -1, maxY = -1;
};

class FontTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        font.init(GlTestContext::width(), GlTestContext::height());
    }

    // Clears, lets `draw` run, and returns the box of everything it lit.
    template <typename Draw> Box drawn(Draw draw) {
        glClear(GL_COLOR_BUFFER_BIT);
        draw();
        Box box;
        lit = GlTestContext::readFrameBuffer().litBounds(box.minX, box.minY, box.maxX, box.maxY);
        return box;
    }

    Font font;
    bool lit = false; // whether the last drawn() lit any pixel
};

std::array<float, 16> matrix(GLenum which) {
    std::array<float, 16> m{};
    glGetFloatv(which, m.data());
    return m;
}
} // namespace

TEST_F(FontTest, DrawsAtWindowPixelsFromTheTopLeft) {
    ASSERT_GE(GlTestContext::height(), 200);
    const Box near = drawn([&] { font.drawHorizontal(8, 40, 0, kWhite, GLUT_BITMAP_9_BY_15, "H"); });
    ASSERT_TRUE(lit) << "nothing was drawn";
    // The glyph stands on its baseline at y = 40, starting at x = 8 and at
    // most one 9-pixel cell wide.
    EXPECT_GE(near.minX, 8);
    EXPECT_LE(near.maxX, 8 + 8);
    EXPECT_EQ(near.maxY, 39);
    EXPECT_GE(near.minY, 40 - 15);

    // Moving the position moves the glyph by exactly as many pixels.
    const Box far = drawn([&] { font.drawHorizontal(108, 140, 0, kWhite, GLUT_BITMAP_9_BY_15, "H"); });
    ASSERT_TRUE(lit);
    EXPECT_EQ(far.minX - near.minX, 100);
    EXPECT_EQ(far.maxX - near.maxX, 100);
    EXPECT_EQ(far.minY - near.minY, 100);
    EXPECT_EQ(far.maxY - near.maxY, 100);

    // The colour given is the colour drawn.
    const float red[3] = {1.0f, 0.0f, 0.0f};
    glClear(GL_COLOR_BUFFER_BIT);
    font.drawHorizontal(8, 40, 0, red, GLUT_BITMAP_9_BY_15, "H");
    const FrameCapture frame = GlTestContext::readFrameBuffer();
    int redPixels = 0;
    for (int y = near.minY; y <= near.maxY; ++y) {
        for (int x = near.minX; x <= near.maxX; ++x) {
            const FrameCapture::Pixel p = frame.at(x, y);
            EXPECT_TRUE(p.isBlack() || (p.r == 255 && p.g == 0 && p.b == 0)) << x << ", " << y;
            redPixels += p.isBlack() ? 0 : 1;
        }
    }
    EXPECT_EQ(redPixels, frame.litCount());
}

TEST_F(FontTest, HorizontalTextAdvancesOneCellPerGlyphOnOneLine) {
    const Box one = drawn([&] { font.drawHorizontal(20, 60, 0, kWhite, GLUT_BITMAP_9_BY_15, "H"); });
    const Box three = drawn([&] { font.drawHorizontal(20, 60, 0, kWhite, GLUT_BITMAP_9_BY_15, "HHH"); });
    EXPECT_EQ(three.maxX - one.maxX, 18);
    EXPECT_EQ(three.minY, one.minY);
    EXPECT_EQ(three.maxY, one.maxY);
    // A line feed is just another glyph: the text stays on one line.
    const Box withBreak = drawn([&] { font.drawHorizontal(20, 60, 0, kWhite, GLUT_BITMAP_9_BY_15, "H\nH"); });
    EXPECT_EQ(withBreak.maxY, one.maxY);
    EXPECT_EQ(withBreak.maxX - one.maxX, 18);
}

TEST_F(FontTest, SpacedAndVerticalTextKeepTheirSpacing) {
    const Box one = drawn([&] { font.drawSpaced(30, 50, kWhite, 2, GLUT_BITMAP_9_BY_15, "H"); });
    ASSERT_TRUE(lit);
    const Box spaced = drawn([&] { font.drawSpaced(30, 50, kWhite, 2, GLUT_BITMAP_9_BY_15, "HH"); });
    EXPECT_EQ(spaced.maxX - one.maxX, 11) << "9-pixel glyphs plus 2 pixels of spacing";
    EXPECT_EQ(spaced.maxY, one.maxY);

    const Box vertical = drawn([&] { font.drawVertical(30, 50, kWhite, 15, GLUT_BITMAP_9_BY_15, "HHH"); });
    EXPECT_EQ(vertical.minX, one.minX);
    EXPECT_EQ(vertical.maxX, one.maxX);
    EXPECT_EQ(vertical.minY, one.minY);
    EXPECT_EQ(vertical.maxY - one.maxY, 30) << "glyph i at y + 15·i";
}

TEST_F(FontTest, TextStartingOutsideTheWindowIsNotDrawn) {
    drawn([&] { font.drawHorizontal(-5, 40, 0, kWhite, GLUT_BITMAP_9_BY_15, "HHHH"); });
    EXPECT_FALSE(lit);
    drawn([&] {
        font.drawHorizontal(8, static_cast<float>(GlTestContext::height() + 20), 0, kWhite,
                            GLUT_BITMAP_9_BY_15, "H");
    });
    EXPECT_FALSE(lit);
    // Missing arguments draw nothing instead of crashing.
    drawn([&] {
        font.drawHorizontal(8, 40, 0, nullptr, GLUT_BITMAP_9_BY_15, "H");
        font.drawHorizontal(8, 40, 0, kWhite, GLUT_BITMAP_9_BY_15, nullptr);
        font.drawSpaced(8, 40, kWhite, 2, nullptr, "H");
        font.drawVertical(8, 40, kWhite, 15, GLUT_BITMAP_9_BY_15, "");
    });
    EXPECT_FALSE(lit);
}

TEST_F(FontTest, LeavesMatricesAsFoundAndLightingOn) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -1, 1, 1, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    const std::array<float, 16> projection = matrix(GL_PROJECTION_MATRIX);
    const std::array<float, 16> modelview = matrix(GL_MODELVIEW_MATRIX);
    GLint projectionDepth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionDepth);
    glDisable(GL_LIGHTING);

    const Box box = drawn([&] { font.drawHorizontal(8, 40, 0, kWhite, GLUT_BITMAP_9_BY_15, "H"); });
    EXPECT_TRUE(lit) << "the caller's 3D matrices do not move the text";
    EXPECT_EQ(box.maxY, 39);
    EXPECT_EQ(matrix(GL_PROJECTION_MATRIX), projection);
    EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), modelview);
    GLint depthAfter = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, projectionDepth);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
