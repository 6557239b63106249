#include "particles/CMuendungsFeuer.h"
#include "particles/CPeExplosion.h"
#include "particles/CPeFeuer.h"
#include "particles/CPeRauch.h"
#include "particles/ParticleRandom.h"
#include "render/ImageFiles.h" // also declares stb_image_write, compiled once for the tests
#include "render/TextureHolder.h"
#include "support/GlTestContext.h"
#include "support/TempDir.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr float kDegToRad = 0.017453292f;

// The game's orbit camera: pitch `angleX` (negative looks down), yaw `yaw`, at
// `distance` from `target`, projected like the scene (80 degrees, near 1, far 5000).
struct OrbitCamera {
    float target[3] = {0.0f, 0.0f, 0.0f};
    float angleX = -25.0f; // degrees
    float yaw = 30.0f;     // degrees
    float distance = 10.0f;

    void eye(float *out) const {
        const float a = angleX * kDegToRad, b = yaw * kDegToRad;
        out[0] = target[0] + distance * std::cos(a) * std::sin(b);
        out[1] = target[1] - distance * std::sin(a);
        out[2] = target[2] + distance * std::cos(a) * std::cos(b);
    }

    void apply(int width, int height) const {
        glViewport(0, 0, width, height);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(80.0, static_cast<double>(width) / height, 1.0, 5000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        float e[3];
        eye(e);
        gluLookAt(e[0], e[1], e[2], target[0], target[1], target[2], 0.0, 1.0, 0.0);
    }

    // Window pixel (from the top-left corner) of a world point under the applied matrices.
    void project(const float *world, double &x, double &y) const {
        GLdouble model[16], proj[16], z;
        GLint view[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, proj);
        glGetIntegerv(GL_VIEWPORT, view);
        gluProject(world[0], world[1], world[2], model, proj, view, &x, &y, &z);
        y = view[3] - 1 - y;
    }

    // The scene hands every effect its pitch and its yaw turned round.
    void drawSorted(ParticleEngine &e) const { e.drawSorted(angleX, yaw + 180.0f, 0.0f); }
};

// Brightness-weighted centre and total brightness of a frame over a black background.
struct Light {
    double x = 0.0, y = 0.0, total = 0.0;
    int lit = 0;
};

Light measure(const FrameCapture &frame) {
    Light l;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const FrameCapture::Pixel p = frame.at(x, y);
            const double v = p.r + p.g + p.b;
            if (v > 0) {
                l.x += v * x;
                l.y += v * y;
                l.total += v;
                ++l.lit;
            }
        }
    }
    if (l.total > 0) {
        l.x /= l.total;
        l.y /= l.total;
    }
    return l;
}

class ParticleRender : public GlTest {
  protected:
    static void SetUpTestSuite() {
        textures = std::make_unique<TextureHolder>();
        for (const char *name : {"Cloud.jpg", "Blow.jpg"}) {
            textures->setTextureByString(std::string(PANZER_SOURCE_DIR) + "/data/textures/" + name);
        }
    }
    static void TearDownTestSuite() { textures.reset(); }

    void SetUp() override {
        GlTest::SetUp();
        ASSERT_TRUE(textures->getTextureByString("Cloud.jpg")->hasPixels());
        ASSERT_TRUE(textures->getTextureByString("Blow.jpg")->hasPixels());
        width = GlTestContext::width();
        height = GlTestContext::height();
    }

    // Clears to black and draws the effect `times` times from the camera.
    FrameCapture render(ParticleEngine &e, const OrbitCamera &camera, int times = 1) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        camera.apply(width, height);
        for (int i = 0; i < times; ++i) {
            camera.drawSorted(e);
        }
        return GlTestContext::readFrameBuffer();
    }

    // The alpha-weighted mean particle position, projected.
    void projectedMean(const ParticleEngine &e, const OrbitCamera &camera, double &x, double &y) {
        float mean[3] = {0.0f, 0.0f, 0.0f};
        float weight = 0.0f;
        for (const CParticle &p : e.getParticles()) {
            const float a = p.getColor()[3];
            for (int i = 0; i < 3; ++i) {
                mean[i] += a * p.getPos()[i];
            }
            weight += a;
        }
        for (float &m : mean) {
            m /= weight;
        }
        camera.apply(width, height);
        camera.project(mean, x, y);
    }

    // Visible, additive (twice is brighter, and nowhere darker) and centred on its particles.
    void checkEffect(ParticleEngine &e, const OrbitCamera &camera, const char *what, int minLitPixels) {
        SCOPED_TRACE(what);
        const FrameCapture once = render(e, camera);
        const Light one = measure(once);
        EXPECT_GT(one.lit, minLitPixels) << "too little of the effect is visible";

        // Where one pass leaves room below white, a second pass must add about as much again.
        const FrameCapture twice = render(e, camera, 2);
        double faintOnce = 0.0, faintTwice = 0.0;
        int darker = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const auto a = once.at(x, y), b = twice.at(x, y);
                darker += (b.r < a.r || b.g < a.g || b.b < a.b) ? 1 : 0;
                if (a.r < 100 && a.g < 100 && a.b < 100) {
                    faintOnce += a.r + a.g + a.b;
                    faintTwice += b.r + b.g + b.b;
                }
            }
        }
        EXPECT_EQ(darker, 0);
        EXPECT_GT(faintOnce, 0.0);
        EXPECT_GT(faintTwice, faintOnce * 1.7) << "drawing twice should add the light up";

        double ex, ey;
        projectedMean(e, camera, ex, ey);
        EXPECT_NEAR(one.x, ex, width * 0.06);
        EXPECT_NEAR(one.y, ey, height * 0.06);

        // What the effects switch off comes back on, and blending and texturing end off.
        GLboolean depthMask = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
        EXPECT_EQ(depthMask, GL_TRUE);
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    static std::unique_ptr<TextureHolder> textures;
    int width = 0;
    int height = 0;
};

std::unique_ptr<TextureHolder> ParticleRender::textures;

TEST_F(ParticleRender, ExplosionIsVisibleAdditiveAndCentredOnItsCentre) {
    ParticleRandom random(1);
    const float centre[3] = {2.0f, 1.0f, -1.0f};
    const float colour[4] = {1.0f, 0.25f, 0.25f, 1.0f};
    CPeExplosion e(centre, colour, 250, 2.0f, 3.0f, textures.get(), &random);
    e.doAction(1.0f);
    OrbitCamera camera;
    camera.distance = 4.0f;
    camera.target[0] = centre[0];
    camera.target[1] = centre[1];
    camera.target[2] = centre[2];
    checkEffect(e, camera, "explosion", 2000);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));

    // The burst is round: its centre of light is the projected centre itself.
    const Light l = measure(render(e, camera));
    double cx, cy;
    camera.project(centre, cx, cy);
    EXPECT_NEAR(l.x, cx, width * 0.05);
    EXPECT_NEAR(l.y, cy, height * 0.05);
}

TEST_F(ParticleRender, SmokeRisesAboveItsVehicle) {
    ParticleRandom random(2);
    const float base[3] = {0.0f, 0.0f, 0.0f};
    const float green[4] = {0.5f, 1.0f, 0.5f, 1.0f};
    CPeRauch smoke(base, green, 200, 1.0f, 5.0f, 1.0f, textures.get(), &random);
    for (int i = 0; i < 100; ++i) {
        smoke.doAction(0.05f, base);
    }
    OrbitCamera camera;
    camera.target[1] = 2.0f;
    checkEffect(smoke, camera, "smoke", 2000);

    const Light l = measure(render(smoke, camera));
    double bx, by;
    camera.project(base, bx, by);
    EXPECT_LT(l.y, by) << "the smoke should show above its base";
}

TEST_F(ParticleRender, FireAndMuzzleFlashAreVisibleAndCentred) {
    ParticleRandom random(3);
    const float base[3] = {0.0f, 0.0f, 0.0f};
    const float orange[4] = {1.0f, 0.55f, 0.15f, 1.0f};
    CPeFeuer fire(base, orange, 200, 2.0f, 2.0f, 3.0f, 1.5f, textures.get(), &random);
    for (int i = 0; i < 60; ++i) {
        fire.doAction(0.05f, base);
    }
    OrbitCamera camera;
    camera.target[1] = 1.5f;
    camera.distance = 7.0f;
    checkEffect(fire, camera, "fire", 2000);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

    const float muzzle[3] = {0.0f, 1.0f, 0.0f};
    const float dir[3] = {1.0f, 0.0f, 0.0f};
    const float colour[3] = {1.0f, 0.5f, 0.5f};
    CMuendungsFeuer flash(muzzle, dir, colour, 20, 0.5f, 1.5f, textures.get(), &random);
    flash.doAction(0.1f, muzzle);
    OrbitCamera close;
    close.target[1] = 1.0f;
    close.distance = 2.5f;
    checkEffect(flash, close, "muzzle flash", 150);
}

TEST_F(ParticleRender, SpritesFaceTheCameraEvenWithFaceCullingOn) {
    // A plain white sprite makes the drawn square itself visible.
    TempDir dir;
    TextureHolder white;
    white.setTextureByString(
        dir.write("Cloud.jpg", imagefiles::jpeg(imagefiles::solid(8, 8, 3, {255, 255, 255}))));
    // One particle standing still at the target.
    const float origin[3] = {0.0f, 0.0f, 0.0f};
    const float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    for (float yaw : {0.0f, 30.0f, 135.0f, 250.0f}) {
        for (float pitch : {-10.0f, -45.0f, -80.0f}) {
            SCOPED_TRACE("yaw " + std::to_string(yaw) + " pitch " + std::to_string(pitch));
            CPeExplosion one(origin, colour, 1, 0.0f, 10.0f, &white);
            OrbitCamera camera;
            camera.yaw = yaw;
            camera.angleX = pitch;
            camera.distance = 5.0f;
            glEnable(GL_CULL_FACE);
            const FrameCapture frame = render(one, camera);
            EXPECT_TRUE(glIsEnabled(GL_CULL_FACE)) << "culling is put back";
            glDisable(GL_CULL_FACE);
            int x0, y0, x1, y1;
            ASSERT_TRUE(frame.litBounds(x0, y0, x1, y1)) << "the sprite was culled";
            // Facing the viewer, the square stays an upright square that fills its box.
            const int w = x1 - x0 + 1, h = y1 - y0 + 1;
            EXPECT_NEAR(w, h, 2);
            EXPECT_GE(frame.litCount(), w * h * 95 / 100);
            // Side 0.5 at distance 5 with 80 degrees of view across the height.
            const double expected = 0.5 / (2.0 * 5.0 * std::tan(40.0 * kDegToRad)) * height;
            EXPECT_NEAR(h, expected, 3.0);
        }
    }
}

TEST_F(ParticleRender, TheFarthestParticleIsDrawnFirst) {
    // With the scene's yaw handed in, the list's end (drawn first) must be the far end.
    ParticleRandom random(4);
    const float origin[3] = {0.0f, 0.0f, 0.0f};
    const float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    for (float yaw : {0.0f, 60.0f, 200.0f}) {
        SCOPED_TRACE("yaw " + std::to_string(yaw));
        CPeExplosion e(origin, colour, 40, 6.0f, 1.0f, nullptr, &random);
        e.doAction(0.8f);
        OrbitCamera camera;
        camera.yaw = yaw;
        render(e, camera);
        float eye[3];
        camera.eye(eye);
        // Walking from the end, the distance along the (horizontal) line of sight only decreases.
        float previous = 1e9f;
        int outOfOrder = 0;
        for (auto it = e.getParticles().rbegin(); it != e.getParticles().rend(); ++it) {
            const float b = yaw * kDegToRad;
            const float along =
                (it->getPos()[0] - eye[0]) * -std::sin(b) + (it->getPos()[2] - eye[2]) * -std::cos(b);
            outOfOrder += along > previous + 1e-4f ? 1 : 0;
            previous = along;
        }
        EXPECT_EQ(outOfOrder, 0);
    }
}

// Four effects side by side on a dark ground, as in the game. Written to the
// path in PANZER_PARTICLES_PICTURE when it is set (see docs/architecture.md).
TEST_F(ParticleRender, ShowcasePictureOfTheFourEffects) {
    ParticleRandom random(2024);
    const float ground[3] = {0.0f, 0.0f, 0.0f};
    struct Tile {
        std::string label;
        std::unique_ptr<ParticleEngine> effect;
        OrbitCamera camera;
    };
    std::vector<Tile> tiles;

    {
        const float colour[4] = {1.0f, 0.25f, 0.25f, 1.0f};
        const float centre[3] = {0.0f, 1.5f, 0.0f};
        auto e = std::make_unique<CPeExplosion>(centre, colour, 250, 2.5f, 3.0f, textures.get(), &random);
        e->doAction(1.2f);
        OrbitCamera c;
        c.target[1] = 1.5f;
        c.distance = 4.0f;
        c.angleX = -15.0f;
        tiles.push_back({"explosion", std::move(e), c});
    }
    {
        const float green[4] = {0.5f, 1.0f, 0.5f, 1.0f};
        auto e = std::make_unique<CPeRauch>(ground, green, 200, 1.0f, 5.0f, 1.0f, textures.get(), &random);
        for (int i = 0; i < 160; ++i) {
            e->doAction(0.05f, ground);
        }
        OrbitCamera c;
        c.target[0] = 0.5f;
        c.target[1] = 2.6f;
        c.target[2] = 0.5f;
        c.distance = 5.0f;
        c.angleX = -12.0f;
        tiles.push_back({"smoke", std::move(e), c});
    }
    {
        const float orange[4] = {1.0f, 0.45f, 0.12f, 1.0f};
        auto e =
            std::make_unique<CPeFeuer>(ground, orange, 300, 2.0f, 2.0f, 2.5f, 1.5f, textures.get(), &random);
        for (int i = 0; i < 80; ++i) {
            e->doAction(0.05f, ground);
        }
        OrbitCamera c;
        c.target[1] = 1.2f;
        c.distance = 4.0f;
        c.angleX = -15.0f;
        tiles.push_back({"fire", std::move(e), c});
    }
    {
        const float muzzle[3] = {0.0f, 1.0f, 0.0f};
        const float dir[3] = {1.0f, 0.0f, 0.0f};
        const float colour[3] = {1.0f, 0.5f, 0.5f};
        auto e =
            std::make_unique<CMuendungsFeuer>(muzzle, dir, colour, 20, 0.5f, 1.5f, textures.get(), &random);
        e->doAction(0.2f, muzzle);
        OrbitCamera c;
        c.target[0] = 0.2f;
        c.target[1] = 1.0f;
        c.distance = 1.25f;
        c.angleX = -15.0f;
        tiles.push_back({"muzzle flash", std::move(e), c});
    }

    std::vector<unsigned char> picture(static_cast<std::size_t>(width) * 4 * height * 3);
    for (std::size_t t = 0; t < tiles.size(); ++t) {
        Tile &tile = tiles[t];
        glClearColor(0.06f, 0.07f, 0.09f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        tile.camera.apply(width, height);
        // A faint ground grid gives the picture depth.
        glDisable(GL_LIGHTING);
        glEnable(GL_DEPTH_TEST);
        glColor3f(0.16f, 0.18f, 0.2f);
        glBegin(GL_LINES);
        for (int i = -10; i <= 10; ++i) {
            glVertex3f(static_cast<float>(i), 0.0f, -10.0f);
            glVertex3f(static_cast<float>(i), 0.0f, 10.0f);
            glVertex3f(-10.0f, 0.0f, static_cast<float>(i));
            glVertex3f(10.0f, 0.0f, static_cast<float>(i));
        }
        glEnd();
        tile.camera.drawSorted(*tile.effect);
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);

        // The label, in window pixels.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluOrtho2D(0, width, height, 0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor3f(0.85f, 0.85f, 0.85f);
        glRasterPos2i(8, height - 10);
        for (const char *c = tile.label.c_str(); *c != '\0'; ++c) {
            glutBitmapCharacter(GLUT_BITMAP_9_BY_15, *c);
        }

        const FrameCapture frame = GlTestContext::readFrameBuffer();
        const Light l = measure(frame);
        EXPECT_GT(l.lit, width * height / 2) << tile.label; // the background counts too
        for (int y = 0; y < height; ++y) {
            const auto *row = frame.bytes().data() + static_cast<std::size_t>(y) * width * 3;
            std::copy(row, row + width * 3,
                      picture.begin() + static_cast<std::ptrdiff_t>((static_cast<std::size_t>(y) * width * 4 +
                                                                     t * static_cast<std::size_t>(width)) *
                                                                    3));
        }
    }
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);

    const char *target = std::getenv("PANZER_PARTICLES_PICTURE");
    if (target != nullptr && *target != '\0') {
        EXPECT_NE(stbi_write_png(target, width * 4, height, 3, picture.data(), width * 4 * 3), 0) << target;
    }
}

} // namespace
