#include "render/ShadowMap.h"

#include "render/GlExtensions.h"

#include "support/GlTestContext.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

namespace {
using Proc = ShadowMap::Proc;

// ---- poorer drivers ----

Proc noFramebufferDriver(const char *name) {
    return std::strstr(name, "Framebuffer") != nullptr ? nullptr : glutGetProcAddress(name);
}

bool withoutDepthTextures(const char *extension) {
    return std::strcmp(extension, "GL_ARB_depth_texture") != 0 && hasGlExtension(extension);
}

bool withoutCombine(const char *extension) {
    return std::strcmp(extension, "GL_ARB_texture_env_combine") != 0 && hasGlExtension(extension);
}

// ---- the scene: a box floating over a ground quad, the light above ----

const float kLight[3] = {-5.0f, 100.0f, -100.0f}; // the game's light position
const float kBoxLow[3] = {-10.0f, 10.0f, -10.0f};
const float kBoxHigh[3] = {10.0f, 20.0f, 10.0f};

// One quad wound counter-clockwise as seen from the side `outward` points to,
// so that face culling treats it as the game treats closed models.
void quad(const float (&p)[4][3], const float (&outward)[3]) {
    const float a[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
    const float b[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
    const float n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    const bool reversed = n[0] * outward[0] + n[1] * outward[1] + n[2] * outward[2] < 0.0f;
    for (int i = 0; i < 4; ++i) {
        glVertex3fv(p[reversed ? 3 - i : i]);
    }
}

void drawBox() {
    const float *lo = kBoxLow;
    const float *hi = kBoxHigh;
    glColor3f(0.9f, 0.9f, 0.9f);
    glBegin(GL_QUADS);
    for (int axis = 0; axis < 3; ++axis) {
        for (int side = 0; side < 2; ++side) {
            const int u = (axis + 1) % 3;
            const int v = (axis + 2) % 3;
            float p[4][3];
            const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            for (int c = 0; c < 4; ++c) {
                p[c][axis] = side == 0 ? lo[axis] : hi[axis];
                p[c][u] = uv[c][0] == 0 ? lo[u] : hi[u];
                p[c][v] = uv[c][1] == 0 ? lo[v] : hi[v];
            }
            float outward[3] = {0, 0, 0};
            outward[axis] = side == 0 ? -1.0f : 1.0f;
            quad(p, outward);
        }
    }
    glEnd();
}

void drawGround() {
    const float p[4][3] = {{-60, 0, -60}, {60, 0, -60}, {60, 0, 60}, {-60, 0, 60}};
    const float up[3] = {0, 1, 0};
    glColor3f(0.8f, 0.8f, 0.8f);
    glBegin(GL_QUADS);
    quad(p, up);
    glEnd();
}

GLenum drainErrors() {
    GLenum first = GL_NO_ERROR;
    for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError()) {
        if (first == GL_NO_ERROR) {
            first = e;
        }
    }
    return first;
}

class ShadowMapTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        glActiveTexture(GL_TEXTURE0);
        // The box's faces wind counter-clockwise; a level start earlier in this process (the game
        // draws its models clockwise) leaves the front face turned round, which would cull the
        // wrong faces in the depth pass.
        glFrontFace(GL_CCW);
    }

    void TearDown() override {
        glDisable(GL_CULL_FACE);
        glActiveTexture(GL_TEXTURE0);
    }

    static std::string initQuietly(ShadowMap &map, bool &ok) {
        std::fflush(stdout);
        CaptureStdout();
        ok = map.init();
        std::fflush(stdout);
        return GetCapturedStdout();
    }

    // One frame in the game's order: matrices, depth pass, scene with the
    // comparison, units off. Returns the picture.
    FrameCapture frame(ShadowMap &map, bool shadows) {
        // 1-4: the four matrices, each built from the identity on the model-view stack.
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        gluPerspective(80, 1, 1, 5000);
        map.setCameraProjectionMatrix();
        glLoadIdentity();
        gluLookAt(0, 150, 0, 0, 0, 0, 0, 0, -1);
        map.setCameraViewMatrix();
        glLoadIdentity();
        gluPerspective(50, 1, 50, 300);
        map.setLightProjectionMatrix();
        glLoadIdentity();
        gluLookAt(kLight[0], kLight[1], kLight[2], 0, 0, 0, 0, 1, 0);
        map.setLightViewMatrix();
        glPopMatrix();

        // 5: depth pass, objects only, back faces culled as the game does.
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        depthPasses = 0;
        if (shadows) {
            map.createShadowMap(
                [this](float rotY) {
                    ++depthPasses;
                    passedRotY = rotY;
                    drawBox();
                },
                33.0f);
        }

        // 6: the normal pass from the camera.
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(map.getCameraProjectionMatrix().entries);
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixf(map.getCameraViewMatrix().entries);
        glViewport(0, 0, GlTestContext::width(), GlTestContext::height());
        // 7: the comparison, then objects and terrain.
        if (shadows) {
            map.generateTextureMatrix();
        }
        glDisable(GL_CULL_FACE);
        drawBox();
        drawGround();
        map.disableShadowUnits();
        EXPECT_EQ(drainErrors(), static_cast<GLenum>(GL_NO_ERROR)) << "after a frame";
        return GlTestContext::readFrameBuffer();
    }

    // Window pixel (top-left origin) of a world point seen by the camera.
    static void pixelOf(const ShadowMap &map, const float (&world)[3], int &x, int &y) {
        double model[16];
        double projection[16];
        for (int i = 0; i < 16; ++i) {
            model[i] = map.getCameraViewMatrix().entries[i];
            projection[i] = map.getCameraProjectionMatrix().entries[i];
        }
        const GLint viewport[4] = {0, 0, GlTestContext::width(), GlTestContext::height()};
        double wx = 0;
        double wy = 0;
        double wz = 0;
        gluProject(world[0], world[1], world[2], model, projection, viewport, &wx, &wy, &wz);
        x = static_cast<int>(wx);
        y = GlTestContext::height() - 1 - static_cast<int>(wy);
    }

    static int red(const ShadowMap &map, const FrameCapture &picture, const float (&world)[3]) {
        int x = 0;
        int y = 0;
        pixelOf(map, world, x, y);
        return picture.at(x, y).r;
    }

    // The ground point straight behind the box's centre as seen from the light.
    static void shadowPoint(float (&p)[3]) {
        const float centre[3] = {0, 15, 0};
        const float t = centre[1] / (kLight[1] - centre[1]); // along light -> centre, down to y = 0
        for (int a = 0; a < 3; ++a) {
            p[a] = centre[a] + (centre[a] - kLight[a]) * t;
        }
    }

    // Shadows on darken the ground behind the box to `share` of its lit
    // colour and change nothing else.
    void expectShadowUnderBox(ShadowMap &map, double share) {
        const FrameCapture off = frame(map, false);
        EXPECT_EQ(depthPasses, 0);
        const FrameCapture on = frame(map, true);
        EXPECT_EQ(depthPasses, 1);
        EXPECT_NEAR(passedRotY, 33.0f, 1e-6);

        float shaded[3];
        shadowPoint(shaded);
        const float litGround[3] = {-40, 0, -40};
        const float farGround[3] = {50, 0, 50};
        const float boxTop[3] = {0, 20, 0};
        const int lit = red(map, off, litGround);
        EXPECT_NEAR(lit, 204, 2) << "ground colour 0.8 without shadows";
        EXPECT_NEAR(red(map, off, shaded), lit, 1) << "no shadow with shadows off";
        EXPECT_NEAR(red(map, on, shaded), share * lit, 4) << "ground behind the box";
        EXPECT_NEAR(red(map, on, litGround), lit, 1) << "open ground stays lit";
        EXPECT_NEAR(red(map, on, farGround), lit, 1) << "open ground stays lit";

        // Shadows change the ground round the shadow point and nothing else,
        // also where the ground lies outside the light's view.
        int sx = 0;
        int sy = 0;
        pixelOf(map, shaded, sx, sy);
        int changed = 0;
        int changedFar = 0;
        for (int y = 0; y < on.height(); ++y) {
            for (int x = 0; x < on.width(); ++x) {
                if (on.at(x, y).r != off.at(x, y).r) {
                    ++changed;
                    changedFar += (x - sx) * (x - sx) + (y - sy) * (y - sy) > 30 * 30 ? 1 : 0;
                }
            }
        }
        EXPECT_GT(changed, 150) << "a shadow the size of the box";
        EXPECT_EQ(changedFar, 0) << "pixels changed away from the shadow";
        EXPECT_NEAR(red(map, on, boxTop), red(map, off, boxTop), 1) << "the box does not shadow itself";

        // The next frame without shadows leaves no trace of the comparison.
        const FrameCapture offAgain = frame(map, false);
        EXPECT_EQ(offAgain.bytes(), off.bytes());
        for (GLenum unit : {GL_TEXTURE2, GL_TEXTURE3}) {
            glActiveTexture(unit);
            EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
            EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_R));
        }
        glActiveTexture(GL_TEXTURE0);
    }

    int depthPasses = 0;     // calls of the draw callback in the last frame
    float passedRotY = 0.0f; // the yaw the callback received
};

TEST_F(ShadowMapTest, InitCreatesAComparingDepthTextureOfTheMapSize) {
    ShadowMap map;
    EXPECT_FALSE(map.initialized());
    bool ok = false;
    EXPECT_EQ(initQuietly(map, ok), "Shadow Map Generated and Texture Assigned");
    ASSERT_TRUE(ok);
    EXPECT_TRUE(map.initialized());
    ASSERT_NE(map.getShadowTexture(), 0u);

    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0) << "init leaves the caller's texture bound";

    glBindTexture(GL_TEXTURE_2D, map.getShadowTexture());
    GLint width = 0;
    GLint height = 0;
    GLint depthBits = 0;
    GLint compareMode = 0;
    GLint compareFunc = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_DEPTH_SIZE, &depthBits);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE_ARB, &compareMode);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC_ARB, &compareFunc);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(width, static_cast<GLint>(ShadowMap::SHADOW_MAP_WIDTH));
    EXPECT_EQ(height, static_cast<GLint>(ShadowMap::SHADOW_MAP_HEIGHT));
    EXPECT_EQ(width, 1024);
    EXPECT_GT(depthBits, 0);
    EXPECT_EQ(compareMode, GL_COMPARE_R_TO_TEXTURE_ARB);
    EXPECT_EQ(compareFunc, GL_LEQUAL);
    EXPECT_EQ(drainErrors(), static_cast<GLenum>(GL_NO_ERROR));

    // A second init keeps the one texture.
    const unsigned int texture = map.getShadowTexture();
    EXPECT_TRUE(map.init());
    EXPECT_EQ(map.getShadowTexture(), texture);
}

TEST_F(ShadowMapTest, MatricesAreTakenFromTheMatrixBeingBuilt) {
    ShadowMap map;
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(map.getLightViewMatrix().entries[i], i % 5 == 0 ? 1.0f : 0.0f) << "identity at first";
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluPerspective(50, 1, 50, 300);
    map.setLightProjectionMatrix();
    GLfloat expected[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, expected);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(map.getLightProjectionMatrix().entries[i], expected[i]) << i;
    }

    // The window reshape records the camera projection with the projection
    // matrix current; that is the one to keep.
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(80, 4.0 / 3.0, 1, 5000);
    map.setCameraProjectionMatrix();
    glGetFloatv(GL_PROJECTION_MATRIX, expected);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(map.getCameraProjectionMatrix().entries[i], expected[i]) << i;
    }
    EXPECT_NEAR(map.getCameraProjectionMatrix().entries[0], 1.0 / std::tan(40 * M_PI / 180) / (4.0 / 3.0),
                1e-5);
}

TEST_F(ShadowMapTest, EyePlanesAreTheRowsOfBiasTimesLightProjectionTimesLightView) {
    ShadowMap map;
    bool ok = false;
    initQuietly(map, ok);
    ASSERT_TRUE(ok);
    ASSERT_TRUE(map.rendersOffscreen()) << "the driver here has framebuffer objects";
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluPerspective(50, 1, 50, 300);
    map.setLightProjectionMatrix();
    glLoadIdentity();
    gluLookAt(kLight[0], kLight[1], kLight[2], 0, 0, 0, 0, 1, 0);
    map.setLightViewMatrix();
    glLoadIdentity();

    // bias * P * V, column-major, computed here independently.
    const float *p = map.getLightProjectionMatrix().entries;
    const float *v = map.getLightViewMatrix().entries;
    double pv[16];
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            pv[4 * c + r] = 0;
            for (int k = 0; k < 4; ++k) {
                pv[4 * c + r] += static_cast<double>(p[4 * k + r]) * v[4 * c + k];
            }
        }
    }
    double t[16];
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            t[4 * c + r] = r < 3 ? 0.5 * pv[4 * c + r] + 0.5 * pv[4 * c + 3] : pv[4 * c + 3];
        }
    }

    map.generateTextureMatrix();
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE0) << "unit 0 active again for the objects' own textures";
    glActiveTexture(GL_TEXTURE2);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, static_cast<GLint>(map.getShadowTexture()));
    const GLenum coords[4] = {GL_S, GL_T, GL_R, GL_Q};
    const GLenum gens[4] = {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_Q};
    for (int k = 0; k < 4; ++k) {
        EXPECT_TRUE(glIsEnabled(gens[k])) << k;
        GLint mode = 0;
        glGetTexGeniv(coords[k], GL_TEXTURE_GEN_MODE, &mode);
        EXPECT_EQ(mode, GL_EYE_LINEAR);
        GLfloat plane[4];
        glGetTexGenfv(coords[k], GL_EYE_PLANE, plane); // given under the identity: unchanged
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(plane[c], t[4 * c + k], 1e-4 * (1 + std::abs(t[4 * c + k])))
                << "row " << k << " col " << c;
        }
    }
    map.disableShadowUnits();
    glActiveTexture(GL_TEXTURE2);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_Q));
    glActiveTexture(GL_TEXTURE0);
    EXPECT_EQ(drainErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShadowMapTest, BoxDarkensTheGroundBehindItOnlyWithShadowsOn) {
    ShadowMap map;
    bool ok = false;
    initQuietly(map, ok);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(map.rendersOffscreen());
    EXPECT_TRUE(map.usesDarkeningUnit()) << "Mesa has no compare-fail value";
    expectShadowUnderBox(map, ShadowMap::kShadowBrightness);

    // The depth pass restores what it changed.
    GLint cull = 0;
    GLint shade = 0;
    GLboolean mask[4] = {GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE};
    glGetIntegerv(GL_CULL_FACE_MODE, &cull);
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    EXPECT_EQ(cull, GL_BACK);
    EXPECT_EQ(shade, GL_SMOOTH);
    EXPECT_TRUE(mask[0] && mask[1] && mask[2] && mask[3]);
}

TEST_F(ShadowMapTest, CopyingTheWindowDepthGivesTheSameShadowWithoutFramebufferObjects) {
    ShadowMap map(noFramebufferDriver, hasGlExtension);
    bool ok = false;
    initQuietly(map, ok);
    ASSERT_TRUE(ok);
    EXPECT_FALSE(map.rendersOffscreen());
    expectShadowUnderBox(map, ShadowMap::kShadowBrightness);
    // The window is smaller than the map: only the part it could fill is used.
    const int filled = std::min(GlTestContext::width(), GlTestContext::height());
    const MATRIX4X4 pv = map.getLightProjectionMatrix() * map.getLightViewMatrix();
    const float half = 0.5f * static_cast<float>(filled) / 1024.0f;
    EXPECT_NEAR(map.shadowTextureMatrix().entries[0], half * pv.entries[0] + half * pv.entries[3], 1e-5);
}

TEST_F(ShadowMapTest, WithoutTheCombinerShadowsAreBlackRatherThanDarkened) {
    ShadowMap map(glutGetProcAddress, withoutCombine);
    bool ok = false;
    initQuietly(map, ok);
    ASSERT_TRUE(ok);
    EXPECT_FALSE(map.usesDarkeningUnit());
    expectShadowUnderBox(map, 0.0);
}

TEST_F(ShadowMapTest, WithoutDepthTexturesShadowsStayOffWithOneMessage) {
    ShadowMap map(glutGetProcAddress, withoutDepthTextures);
    CaptureStderr();
    bool ok = true;
    const std::string out = initQuietly(map, ok);
    const std::string errors = GetCapturedStderr();
    EXPECT_FALSE(ok);
    EXPECT_FALSE(map.initialized());
    EXPECT_EQ(out, "");
    EXPECT_EQ(errors.rfind("Error: ", 0), 0u) << errors;
    EXPECT_EQ(errors.find('\n'), errors.size() - 1) << "one line: " << errors;
    EXPECT_EQ(map.getShadowTexture(), 0u);

    // Asked for shadows anyway: no depth pass, no comparison, no GL error.
    const FrameCapture off = frame(map, false);
    const FrameCapture on = frame(map, true);
    EXPECT_EQ(depthPasses, 0);
    EXPECT_EQ(on.bytes(), off.bytes());
    map.generateTextureMatrix();
    glActiveTexture(GL_TEXTURE2);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glActiveTexture(GL_TEXTURE0);
    EXPECT_EQ(drainErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

// The session hands itself in; its drawObjects draws the depth pass.
struct FakeSession {
    int drawObjects(float fRotY) {
        calls += 1;
        lastRotY = fRotY;
        drawBox();
        return 0;
    }
    int calls = 0;
    float lastRotY = 0.0f;
};

TEST_F(ShadowMapTest, TheSessionDrawsTheDepthPassThroughItsDrawObjects) {
    ShadowMap map;
    bool ok = false;
    initQuietly(map, ok);
    ASSERT_TRUE(ok);
    FakeSession session;
    map.createShadowMap(&session, 12.5f);
    EXPECT_EQ(session.calls, 1);
    EXPECT_NEAR(session.lastRotY, 12.5f, 1e-6);
    EXPECT_EQ(drainErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
