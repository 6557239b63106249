#pragma once

#include <gtest/gtest.h>

#include <vector>

// A copy of the colour buffer, rows top first so that (x, y) are window
// pixels from the top-left corner, like every 2D position in the game.
class FrameCapture {
  public:
    struct Pixel {
        unsigned char r, g, b;
        bool isBlack() const { return r == 0 && g == 0 && b == 0; }
    };

    FrameCapture(int width, int height, std::vector<unsigned char> rgb);

    int width() const { return w; }
    int height() const { return h; }
    const std::vector<unsigned char> &bytes() const { return rgb; } // RGB, rows top first
    Pixel at(int x, int y) const;                                   // x, y from the top-left corner

    // Bounding box of all pixels that are not black; false when there are none.
    bool litBounds(int &minX, int &minY, int &maxX, int &maxY) const;
    int litCount() const;

  private:
    int w;                          // pixels
    int h;                          // pixels
    std::vector<unsigned char> rgb; // 3 bytes per pixel, rows top first
};

// The one OpenGL window of a test process. The first acquire() opens it (GLUT,
// double-buffered RGBA with depth) and later calls reuse it. Without an X
// display the GL tests fail with a message instead of being skipped: run them
// under xvfb-run.
class GlTestContext {
  public:
    static constexpr int kWidth = 320;  // requested window width, pixels
    static constexpr int kHeight = 240; // requested window height, pixels

    // Makes the window current and puts the fixed-function state back to a
    // clean start: full-window viewport, identity matrices, lighting, depth
    // test, blending, texturing, colour material and fog off, the default
    // material and a white current colour, colour buffer cleared to black.
    static ::testing::AssertionResult acquire();

    static bool isOpen(); // the window exists (acquire succeeded once)
    static int width();   // actual window width in pixels, 0 without a window
    static int height();  // actual window height in pixels, 0 without a window

    // Reads the back buffer, where the tests draw without swapping.
    static FrameCapture readFrameBuffer();
};

// Base for tests that need OpenGL: fails the test up front without a context.
class GlTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(GlTestContext::acquire()); }
};
