// Draws every shipped model under OpenGL the way the game does (z-up model
// turned -90 degrees about x, glFrontFace(GL_CW)) with front faces green and
// back faces red, without culling: a correctly wound closed model shows no red
// from any side, so back-face culling in the game removes nothing visible.
#include "model/Md2Model.h"
#include "render/ReadMD2Model.h"

#include "support/GlTestContext.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace fs = std::filesystem;

namespace {
struct Colours {
    int front = 0; // green pixels
    int back = 0;  // red pixels
};

Colours drawFromAround(const Md2Model &model, GLenum frontFace, float yaw) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glFrontFace(frontFace);

    // Emission only: each side gets its flat colour whatever the light.
    glEnable(GL_LIGHTING);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    const GLfloat none[4] = {0, 0, 0, 1};
    const GLfloat green[4] = {0, 1, 0, 1};
    const GLfloat red[4] = {1, 0, 0, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, none);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, none);
    glMaterialfv(GL_FRONT, GL_EMISSION, green);
    glMaterialfv(GL_BACK, GL_EMISSION, red);
    const GLfloat noAmbient[4] = {0, 0, 0, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, noAmbient);

    // Frame the model's extent: every model stands on its origin.
    const Md2Frame &pose = *model.getPoseFrame();
    float size = 0.0f;
    for (int a = 0; a < 3; ++a) {
        int high = 0;
        for (const Md2Vertex &v : pose.vertices) {
            high = std::max(high, static_cast<int>(v.v[a]));
        }
        size = std::max(size, high * pose.scale[a]);
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(GlTestContext::width()) / GlTestContext::height(), 0.1, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const float d = size * 1.8f;
    const float rad = yaw * 3.14159265f / 180.0f;
    gluLookAt(d * std::sin(rad), d * 0.8f, d * std::cos(rad), 0, size * 0.25f, 0, 0, 1, 0);
    glRotatef(-90.0f, 1, 0, 0);

    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, model.getVertexPositions());
    glNormalPointer(GL_FLOAT, 0, model.getVertexNormals());
    glDrawElements(GL_TRIANGLES, 3 * model.getNumTriangles(), GL_UNSIGNED_INT, model.getIndices());
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisable(GL_LIGHTING);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
    const GLfloat defaultAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, defaultAmbient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, none);
    glFrontFace(GL_CCW);

    Colours counted;
    const FrameCapture frame = GlTestContext::readFrameBuffer();
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const FrameCapture::Pixel p = frame.at(x, y);
            counted.front += p.g > 128 && p.r < 64;
            counted.back += p.r > 128 && p.g < 64;
        }
    }
    return counted;
}
} // namespace

class ModelWindingGlTest : public GlTest {};

TEST_F(ModelWindingGlTest, ShippedModelsShowOnlyFrontFacesUnderClockwiseFronts) {
    const fs::path dir = fs::path(PANZER_SOURCE_DIR) / "data" / "model";
    ASSERT_TRUE(fs::is_directory(dir));
    int models = 0;
    for (const auto &entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() != ".md2") {
            continue;
        }
        SCOPED_TRACE(entry.path().filename().string());
        Md2Model model;
        ASSERT_EQ(ReadMD2Model(entry.path().string(), model), 1);
        ++models;
        for (float yaw : {30.0f, 120.0f, 210.0f, 300.0f}) {
            SCOPED_TRACE(yaw);
            const Colours seen = drawFromAround(model, GL_CW, yaw);
            EXPECT_GT(seen.front, 500) << "model out of view";
            // A handful of pixels may catch an inner face along an edge.
            EXPECT_LE(seen.back, seen.front / 200);
        }
        // The opposite convention sees the inside: the check can tell them apart.
        const Colours inverted = drawFromAround(model, GL_CCW, 30.0f);
        EXPECT_GT(inverted.back, inverted.front);
    }
    EXPECT_GT(models, 0);
}
