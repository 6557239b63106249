#include "model/Modell.h"

#include "model/Md2Bytes.h"

#include <gtest/gtest.h>

namespace {
Md2Model load(const Md2Bytes &m) {
    Md2Model model;
    const std::string bytes = m.build();
    EXPECT_TRUE(
        model.readFromMemory(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size(), "m.md2"));
    return model;
}

// Two triangles whose frame-1 bytes span x 0..200, y 10..210 and z 4..8; an
// unused vertex far outside and a frame 0 elsewhere must not count.
Md2Bytes spanModel() {
    Md2Bytes m;
    Md2Bytes::Frame other;
    other.vertices = {{255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}};
    Md2Bytes::Frame pose;
    pose.scale[0] = 0.5f;
    pose.scale[1] = 0.5f;
    pose.scale[2] = 2.0f;
    pose.translate[0] = 100.0f; // ignored by the box
    pose.translate[1] = -7.0f;
    pose.translate[2] = 3.0f;
    pose.vertices = {{0, 10, 4}, {200, 10, 8}, {100, 210, 6}, {50, 50, 5}, {255, 255, 255}};
    m.frames = {other, pose};
    m.triangles = {{0, 1, 2, 0, 0, 0}, {0, 3, 2, 0, 0, 0}};
    return m;
}
} // namespace

TEST(ModellTest, DefaultAndQueryViewsStartEmpty) {
    Modell empty;
    EXPECT_EQ(empty.getScale(), 1.0f);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(empty.getFactors()[i], 1.0f);
    }
    EXPECT_EQ(empty.getModel(), nullptr);
    EXPECT_EQ(empty.getTrianglesCount(), 0);
    EXPECT_EQ(empty.getVerticesCount(), 0);
    EXPECT_EQ(empty.getAllVertices(), nullptr);
    EXPECT_EQ(empty.getAllTriangles(), nullptr);
    empty.calcBorder();
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(empty.getBorder()[i], 0.0f);
    }

    Md2Model model = load(spanModel());
    Modell view(&model);
    EXPECT_EQ(view.getModel(), &model);
    EXPECT_EQ(view.getScale(), 1.0f);
    EXPECT_EQ(view.getTrianglesCount(), 2);
    EXPECT_EQ(view.getVerticesCount(), 5);
    // The vertices are those of frame 1, the drawn pose.
    EXPECT_EQ(view.getAllVertices(), model.getFrame(1)->getVertices());
    EXPECT_EQ(view.getAllVertices()[1].v[0], 200);
    EXPECT_EQ(view.getAllTriangles()[1].vertexIndex[1], 3);

    view.setScale(0.01f);
    view.setFactors(0.2f, 0.3f, 0.4f);
    EXPECT_EQ(view.getScale(), 0.01f);
    EXPECT_EQ(view.getFactors()[2], 0.4f);

    Modell loose(nullptr);
    EXPECT_EQ(loose.getModel(), nullptr);
    EXPECT_EQ(loose.getTrianglesCount(), 0);
}

TEST(ModellTest, BorderSpansTriangleCornersShiftedByHalfTheExtent) {
    Md2Model model = load(spanModel());
    Modell view(&model);
    view.setScale(3.0f); // the box stays in model units
    view.calcBorder();
    const float *b = view.getBorder();
    // x: bytes 0..200 at scale 0.5 -> 0..100, extent 100 -> -50..50.
    EXPECT_NEAR(b[0], -50.0f, 1e-4);
    EXPECT_NEAR(b[1], 50.0f, 1e-4);
    // y: bytes 10..210 -> 5..105, extent 100 -> -45..55: only bytes that start
    // at 0 end up centred.
    EXPECT_NEAR(b[2], -45.0f, 1e-4);
    EXPECT_NEAR(b[3], 55.0f, 1e-4);
    // z: bytes 4..8 at scale 2 -> 8..16, extent 8 -> 4..12.
    EXPECT_NEAR(b[4], 4.0f, 1e-4);
    EXPECT_NEAR(b[5], 12.0f, 1e-4);
    EXPECT_EQ(view.getRect(), view.getBorder());

    // Recomputing after the model lost its triangles clears the box.
    Md2Bytes bare = spanModel();
    bare.triangles.clear();
    Md2Model flat = load(bare);
    view.setModel(&flat);
    view.calcBorder();
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(view.getBorder()[i], 0.0f);
    }
}
