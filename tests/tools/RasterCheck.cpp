// Checks of the picture generator's raster library: coverage of shapes, mask operations,
// compositing and conversion to bytes.
#include "Canvas.h"
#include "Mask.h"
#include "ValueNoise.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;

Contour square(float x0, float y0, float x1, float y1) {
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

} // namespace

TEST(MaskCheck, PolygonCoverageIsTheCoveredAreaOfEachPixel) {
    Mask m(10, 10);
    m.fillRect(1.25f, 2.0f, 5.75f, 4.5f);
    EXPECT_NEAR(m.sum(), 4.5f * 2.5f, 1e-3f);
    EXPECT_NEAR(m.at(1, 2), 0.75f, 1e-3f); // left edge a quarter into the pixel
    EXPECT_NEAR(m.at(3, 3), 1.0f, 1e-6f);
    EXPECT_NEAR(m.at(5, 3), 0.75f, 1e-3f); // right edge
    EXPECT_NEAR(m.at(3, 4), 0.5f, 1e-3f);  // bottom edge halfway down the row
    EXPECT_EQ(m.at(0, 0), 0.0f);
    EXPECT_EQ(m.at(3, 5), 0.0f);
    EXPECT_EQ(m.at(-1, 3), 0.0f); // outside reads as empty
}

TEST(MaskCheck, CurvedShapesHaveTheirGeometricArea) {
    Mask circle(64, 64);
    circle.fillEllipse(32.0f, 32.0f, 20.0f, 20.0f);
    EXPECT_NEAR(circle.sum(), kPi * 400.0f, 0.1f);
    EXPECT_NEAR(circle.at(32, 32), 1.0f, 1e-6f);
    EXPECT_EQ(circle.at(32, 10), 0.0f);

    Mask rounded(64, 64);
    rounded.fillRoundedRect(4.0f, 4.0f, 44.0f, 24.0f, 6.0f);
    const float expected = 40.0f * 20.0f - (4.0f - kPi) * 36.0f; // rectangle less the four corner leftovers
    EXPECT_NEAR(rounded.sum(), expected, 0.1f);

    Mask line(32, 32);
    line.fillLine(4.0f, 16.0f, 28.0f, 16.0f, 2.0f);
    EXPECT_NEAR(line.sum(), 24.0f * 2.0f, 1e-3f);
}

TEST(MaskCheck, ContoursFollowTheNonZeroWindingRule) {
    // Two overlapping outlines in the same direction: the overlap is filled once.
    Mask same(20, 20);
    same.fillContours({square(2, 2, 12, 12), square(6, 6, 16, 16)});
    EXPECT_NEAR(same.sum(), 100.0f + 100.0f - 36.0f, 1e-2f);
    EXPECT_NEAR(same.at(8, 8), 1.0f, 1e-6f);

    // An inner outline in the opposite direction cuts a hole, as in the letter O.
    Contour hole = square(6, 6, 10, 10);
    std::reverse(hole.begin(), hole.end());
    Mask ring(20, 20);
    ring.fillContours({square(2, 2, 14, 14), hole});
    EXPECT_NEAR(ring.sum(), 144.0f - 16.0f, 1e-2f);
    EXPECT_EQ(ring.at(7, 7), 0.0f);

    // Shapes clipped by the mask border only fill what lies inside.
    Mask clipped(8, 8);
    clipped.fillRect(-4.0f, -4.0f, 4.0f, 4.0f);
    EXPECT_NEAR(clipped.sum(), 16.0f, 1e-3f);
}

TEST(MaskCheck, SecondShapeUnitesWithTheFirst) {
    Mask m(4, 4);
    m.fillRect(0.0f, 0.0f, 1.0f, 0.5f);    // half of pixel (0, 0)
    m.fillRect(0.0f, 0.5f, 1.0f, 1.0f);    // the other half, drawn separately
    EXPECT_NEAR(m.at(0, 0), 0.75f, 1e-3f); // a + c (1 - a): seams stay faint, never overshoot
    m.fillRect(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_NEAR(m.at(0, 0), 1.0f, 1e-6f);
}

TEST(MaskCheck, BlurKeepsTheAmountAndSpreadsIt) {
    Mask dot(41, 41);
    dot.fillRect(20.0f, 20.0f, 21.0f, 21.0f);
    const Mask soft = dot.blurred(4);
    EXPECT_NEAR(soft.sum(), 1.0f, 1e-3f);
    EXPECT_LT(soft.at(20, 20), 0.1f);
    EXPECT_GT(soft.at(23, 20), 0.0f);
    EXPECT_NEAR(soft.at(17, 20), soft.at(23, 20), 1e-6f); // symmetric
    EXPECT_NEAR(soft.at(20, 17), soft.at(20, 23), 1e-6f);
    EXPECT_EQ(dot.blurred(0).sum(), dot.sum());
}

TEST(MaskCheck, DilationGrowsByTheRadius) {
    Mask dot(31, 31);
    dot.set(15, 15, 1.0f);
    const Mask grown = dot.dilated(5.0f);
    EXPECT_NEAR(grown.sum(), kPi * 25.0f, kPi * 25.0f * 0.1f);
    EXPECT_NEAR(grown.at(15, 11), 1.0f, 1e-6f);
    EXPECT_NEAR(grown.at(15, 10), 0.5f, 1e-6f); // the rim pixel is cut in half by the disc's edge
    EXPECT_EQ(grown.at(15, 9), 0.0f);
    EXPECT_EQ(grown.at(15, 15), 1.0f);
}

TEST(MaskCheck, ShiftAndSetOperations) {
    Mask a(6, 6);
    a.fillRect(0.0f, 0.0f, 3.0f, 3.0f);
    const Mask moved = a.shifted(2, 1);
    EXPECT_EQ(moved.at(2, 1), 1.0f);
    EXPECT_EQ(moved.at(4, 3), 1.0f);
    EXPECT_EQ(moved.at(1, 1), 0.0f);
    EXPECT_NEAR(moved.sum(), 9.0f, 1e-6f);
    EXPECT_NEAR(a.shifted(5, 0).sum(), 3.0f, 1e-6f); // only one column stays inside

    Mask rim = a;
    rim.subtract(moved);
    EXPECT_EQ(rim.at(0, 0), 1.0f);
    EXPECT_EQ(rim.at(2, 2), 0.0f);
    Mask both = a;
    both.intersect(moved);
    EXPECT_NEAR(both.sum(), 2.0f, 1e-6f); // overlap (2..3) x (1..3)
    Mask all = a;
    all.unite(moved);
    EXPECT_NEAR(all.sum(), 16.0f, 1e-6f);
    all.invert();
    EXPECT_NEAR(all.sum(), 20.0f, 1e-6f);
    all.multiply(3.0f);
    EXPECT_EQ(all.at(5, 5), 1.0f); // clamped
}

TEST(CanvasCheck, PaintCompositesSourceOverDestination) {
    Canvas c(2, 1, Color::hex(0x0000ff));
    Mask m(2, 1, 1.0f);
    m.set(1, 0, 0.5f);
    c.paint(m, Color{1.0f, 0.0f, 0.0f, 0.5f});
    EXPECT_NEAR(c.at(0, 0).r, 0.5f, 1e-6f);
    EXPECT_NEAR(c.at(0, 0).b, 0.5f, 1e-6f);
    EXPECT_NEAR(c.at(0, 0).a, 1.0f, 1e-6f);
    EXPECT_NEAR(c.at(1, 0).r, 0.25f, 1e-6f); // half coverage of half opacity

    // On a transparent canvas the colour is kept and only the opacity reflects coverage.
    Canvas clear(1, 1);
    clear.paint(Mask(1, 1, 0.5f), Color::hex(0x336699));
    EXPECT_NEAR(clear.at(0, 0).g, 0x66 / 255.0f, 1e-6f);
    EXPECT_NEAR(clear.at(0, 0).a, 0.5f, 1e-6f);

    // The mask lands at the offset; the part outside the canvas is ignored.
    Canvas offset(4, 4, Color::hex(0x000000));
    offset.paint(Mask(3, 3, 1.0f), Color::hex(0xffffff), 2, 2);
    EXPECT_EQ(offset.at(1, 1).r, 0.0f);
    EXPECT_EQ(offset.at(2, 2).r, 1.0f);
    EXPECT_EQ(offset.at(3, 3).r, 1.0f);
}

TEST(CanvasCheck, GlowBrightensWithoutOvershootAndDarkenMultiplies) {
    Canvas c(1, 1, Color{0.5f, 0.5f, 0.5f, 1.0f});
    c.glow(Mask(1, 1, 1.0f), Color{1.0f, 0.0f, 0.5f, 1.0f});
    EXPECT_NEAR(c.at(0, 0).r, 1.0f, 1e-6f);  // screen: 1 - 0.5 * 0
    EXPECT_NEAR(c.at(0, 0).g, 0.5f, 1e-6f);  // no light in green
    EXPECT_NEAR(c.at(0, 0).b, 0.75f, 1e-6f); // 1 - 0.5 * 0.5
    c.darken(Mask(1, 1, 1.0f), Color{0.0f, 0.0f, 0.0f, 0.5f});
    EXPECT_NEAR(c.at(0, 0).r, 0.5f, 1e-6f);
    EXPECT_NEAR(c.at(0, 0).a, 1.0f, 1e-6f);
}

TEST(CanvasCheck, HardenedEdgesTakeNeighbourColours) {
    Canvas c(4, 1);
    c.set(0, 0, Color{1.0f, 0.0f, 0.0f, 0.8f});
    c.set(1, 0, Color{0.0f, 1.0f, 0.0f, 0.3f});
    c.hardenAlpha(0.5f);
    EXPECT_EQ(c.at(0, 0).a, 1.0f);
    EXPECT_EQ(c.at(1, 0).a, 0.0f);
    c.bleedIntoTransparent(2);
    EXPECT_EQ(c.at(1, 0).a, 0.0f);          // still transparent ...
    EXPECT_NEAR(c.at(1, 0).r, 1.0f, 1e-6f); // ... but red like its opaque neighbour
    EXPECT_NEAR(c.at(2, 0).r, 1.0f, 1e-6f);
    EXPECT_EQ(c.at(3, 0).r, 0.0f); // beyond the number of passes
    EXPECT_NEAR(c.at(0, 0).r, 1.0f, 1e-6f);
}

TEST(CanvasCheck, BytesAreRoundedRowsTopFirst) {
    Canvas c(2, 2, Color{0.0f, 0.0f, 0.0f, 1.0f});
    c.set(1, 0, Color{0.5f, 1.5f, -0.2f, 0.25f});
    c.set(0, 1, Color{1.0f, 1.0f, 1.0f, 1.0f});
    const auto rgba = c.toBytes(4, false);
    ASSERT_EQ(rgba.size(), 16u);
    EXPECT_EQ(rgba[4], 128); // 0.5 * 255 = 127.5 rounds up
    EXPECT_EQ(rgba[5], 255); // clamped
    EXPECT_EQ(rgba[6], 0);
    EXPECT_EQ(rgba[7], 64);
    EXPECT_EQ(rgba[8], 255); // second row
    const auto rgb = c.toBytes(3, false);
    ASSERT_EQ(rgb.size(), 12u);
    EXPECT_EQ(rgb[3], 128);

    // Dither moves values by less than one step and the same way on every call.
    Canvas grey(64, 64, Color{0.5f, 0.5f, 0.5f, 1.0f});
    const auto a = grey.toBytes(3, true), b = grey.toBytes(3, true);
    EXPECT_EQ(a, b);
    int low = 0;
    for (auto v : a) {
        EXPECT_TRUE(v == 127 || v == 128);
        low += v == 127;
    }
    EXPECT_GT(low, 0);
    EXPECT_LT(low, static_cast<int>(a.size()));
}

TEST(ValueNoiseCheck, DeterministicSmoothAndInRange) {
    const ValueNoise n(42), same(42), other(43);
    float lowest = 1.0f, highest = 0.0f;
    int differs = 0;
    for (int i = 0; i < 400; ++i) {
        const float x = static_cast<float>(i) * 0.37f - 50.0f, y = static_cast<float>(i % 17) * 1.3f - 9.0f;
        const float v = n.at(x, y);
        EXPECT_EQ(v, same.at(x, y));
        differs += v != other.at(x, y);
        lowest = std::min(lowest, v);
        highest = std::max(highest, v);
        EXPECT_NEAR(n.at(x + 0.001f, y), v, 0.01f); // continuous
        const float f = n.fractal(x, y, 5);
        EXPECT_GE(f, 0.0f);
        EXPECT_LE(f, 1.0f);
    }
    EXPECT_GT(differs, 390);
    EXPECT_GE(lowest, 0.0f);
    EXPECT_LE(highest, 1.0f);
    EXPECT_GT(highest - lowest, 0.5f);              // not flat
    EXPECT_EQ(n.at(3.0f, -2.0f), n.lattice(3, -2)); // passes through the lattice values
    EXPECT_NE(ValueNoise::hash(1), ValueNoise::hash(2));
}
