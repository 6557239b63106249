#include "level/Level.h"
#include "level/SkyBoxFace.h"
#include "physics/PhysXAccess.h"
#include "render/TextureGenerator.h"

#include "LevelTestSupport.h"
#include "support/GameDataFixture.h"
#include "support/GlTestContext.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>

namespace {

using leveltest::exampleValue;
using leveltest::picture;
using leveltest::squareLevel;

struct LevelDrawTest : GlTest {
    GameDataFixture data;
    GameClass gc;

    void SetUp() override {
        GlTest::SetUp();
        gc.getTextureHolder()->setInMemoryGeneratedTexture(picture(4, 4, 3, [](int, int) { return 255; }),
                                                           "ground.png");
    }

    std::unique_ptr<Level> builtLevel(float size, const DevilImageDefinition &heightmap) {
        auto level = squareLevel(gc, size, heightmap);
        testing::internal::CaptureStdout();
        level->calculateSurfaceMesh();
        testing::internal::GetCapturedStdout();
        return level;
    }

    // Looks straight down on the terrain, which fills the window.
    static void topView(float half) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-half, half, -half, half, -100, 100);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRotatef(90, 1, 0, 0); // +y towards the viewer
    }
};

void expectVertex(const std::vector<float> &v, int index, float x, float y, float z) {
    EXPECT_NEAR(v[index * 3 + 0], x, 1e-5) << "vertex " << index;
    EXPECT_NEAR(v[index * 3 + 1], y, 1e-5) << "vertex " << index;
    EXPECT_NEAR(v[index * 3 + 2], z, 1e-5) << "vertex " << index;
}

TEST_F(LevelDrawTest, FirstDrawProducesThePhysicsMeshOnce) {
    auto level = builtLevel(10, picture(10, 10, 3, exampleValue));
    EXPECT_TRUE(level->isMeshPending());
    EXPECT_EQ(level->getMeshTriangleCount(), 0);

    level->drawSurface(false, true, 1, 0, 1, true);
    EXPECT_FALSE(level->isMeshPending());
    // Four cells of 5 x 5 units, two triangles of three fresh vertices each.
    ASSERT_EQ(level->getMeshVertexCount(), 24);
    ASSERT_EQ(level->getMeshTriangleCount(), 8);
    EXPECT_LE(level->getMeshTriangleCount(), level->getTriangleCapacity());
    const std::vector<float> &tri = level->getMeshTriangles();
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(tri[i], static_cast<float>(i)); // index triples (k, k+1, k+2), stored as floats
    }
    const std::vector<float> &v = level->getMeshVertices();
    const auto h = [](int c, int r) { return exampleValue(std::min(c, 9), std::min(r, 9)) / 30.0f; };
    // The first cell starts at x = z = -5: (A, B, C) then (A, C, D).
    expectVertex(v, 0, -5, h(0, 0), -5);
    expectVertex(v, 1, 0, h(5, 0), -5);
    expectVertex(v, 2, 0, h(5, 5), 0);
    expectVertex(v, 3, -5, h(0, 0), -5);
    expectVertex(v, 4, 0, h(5, 5), 0);
    expectVertex(v, 5, -5, h(0, 5), 0);
    // The last cell ends at the far corner, whose height repeats pixel (9, 9).
    expectVertex(v, 20, 5, h(10, 10), 5);

    const LightMap &lightMap = level->getLightMap();
    EXPECT_EQ(lightMap.getLightMapComputations(), 4);
    const TerrainBatch &batch = level->getTerrainBatch();
    ASSERT_EQ(batch.getAtlasPageCount(), 1); // the four maps share one texture
    const unsigned int atlas = batch.getAtlasTexture(0);
    EXPECT_NE(atlas, 0u);

    // Later frames draw the same cells but produce and compute nothing new.
    const std::vector<float> firstVertices = v;
    level->drawSurface(false, true, 1, 0, 1, true);
    level->drawSurface(false, false, 0, 1, 0, false);
    EXPECT_EQ(level->getMeshVertices(), firstVertices);
    EXPECT_EQ(level->getMeshTriangleCount(), 8);
    EXPECT_EQ(lightMap.getLightMapComputations(), 4);
    EXPECT_EQ(batch.getAtlasTexture(0), atlas);
    EXPECT_EQ(batch.getLastDrawCalls(), 1);
    EXPECT_TRUE(lightMap.isPreStepping());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(LevelDrawTest, LightMapDarkensTheGroundWithDistance) {
    auto level = builtLevel(10, picture(10, 10, 3, [](int, int) { return 0; }));
    level->getLightMap().setLightPosition(0, 200, 0); // 200 units above: intensity 0.25
    topView(5);

    level->drawSurface(false, false, 1, 0, 0, true);
    const FrameCapture plain = GlTestContext::readFrameBuffer();
    const FrameCapture::Pixel white = plain.at(plain.width() / 2, plain.height() / 2);
    EXPECT_GE(white.r, 250);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    level->drawSurface(false, true, 1, 0, 0, true);
    const FrameCapture lit = GlTestContext::readFrameBuffer();
    const FrameCapture::Pixel dark = lit.at(lit.width() / 2, lit.height() / 2);
    EXPECT_NEAR(dark.r, 63, 3);
    EXPECT_EQ(dark.r, dark.g); // a white light gives grey levels
    EXPECT_EQ(dark.g, dark.b);
    GLboolean unit0Texturing = GL_TRUE;
    glGetBooleanv(GL_TEXTURE_2D, &unit0Texturing);
    EXPECT_FALSE(unit0Texturing); // the terrain switches texturing off behind it
}

TEST_F(LevelDrawTest, GroundFilteringFollowsTheTable) {
    auto level = builtLevel(10, picture(10, 10, 3, exampleValue));
    GLint mag = 0, min = 0;

    level->drawSurface(false, true, 1, 1, 0, true); // mipmap mode 0, quality 1
    const GLuint ground = gc.getTextureHolder()->getTextureIDByString("ground.png");
    glBindTexture(GL_TEXTURE_2D, ground);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
    EXPECT_EQ(mag, GL_NEAREST);

    level->drawSurface(false, true, 1, 0, 0, true); // mode 0, quality 0
    glBindTexture(GL_TEXTURE_2D, ground);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
    EXPECT_EQ(mag, GL_LINEAR);
    // Uploaded by the terrain with its mipmaps, the ground is minified through them.
    EXPECT_EQ(min, GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_FALSE(TextureGenerator::isMipmapGeneration());

    // A ground picture somebody uploaded before without mipmaps keeps a plain
    // filter: a mipmap filter would leave it incomplete and untextured.
    gc.getTextureHolder()->setInMemoryGeneratedTexture(picture(4, 4, 3, [](int, int) { return 200; }),
                                                       "plain.png");
    const GLuint plain = gc.getTextureHolder()->getTextureIDByString("plain.png");
    level->setBGPicture("plain.png");
    level->drawSurface(false, true, 1, 0, 2, true);
    glBindTexture(GL_TEXTURE_2D, plain);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
    EXPECT_EQ(min, GL_LINEAR);
}

TEST_F(LevelDrawTest, BatchedTerrainLooksLikeTheCellByCellTerrain) {
    // Hills, a light close above one corner, a ground picture whose texels all
    // differ: a light map in the wrong atlas slot, a bleeding border or a
    // turned coordinate would show.
    DevilImageDefinition ground = picture(8, 8, 3, [](int x, int y) { return 40 + 25 * x + 3 * y; });
    unsigned char *texels = ground.getIlImageData();
    for (int i = 0; i < 64; ++i) {
        texels[i * 3 + 1] = static_cast<unsigned char>(255 - texels[i * 3]);
    }
    gc.getTextureHolder()->setInMemoryGeneratedTexture(ground, "hills.png");
    auto level = builtLevel(100, picture(100, 100, 3, [](int x, int y) { return (x * 7 + y * 13) % 200; }));
    level->setBGPicture("hills.png");
    level->getLightMap().setLightPosition(-40, 30, -40);

    const double aspect = static_cast<double>(GlTestContext::width()) / GlTestContext::height();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(70, aspect, 1, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(-30, 45, -30, 15, 0, 15, 0, 1, 0);
    auto render = [&](bool batched) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        level->setBatchedTerrain(batched);
        level->drawSurface(false, true, 3, 0, 2, true);
        return GlTestContext::readFrameBuffer();
    };
    const FrameCapture cells = render(false);
    const FrameCapture batched = render(true);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHT0);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);

    EXPECT_EQ(level->getTerrainBatch().getLastChunksDrawn(), level->getTerrainBatch().getChunkCount());
    EXPECT_LE(level->getTerrainBatch().getLastDrawCalls(), 2);
    ASSERT_GT(cells.litCount(), cells.width() * cells.height() / 2); // the terrain fills the view
    int different = 0, worst = 0;
    for (std::size_t i = 0; i < cells.bytes().size(); ++i) {
        const int delta = std::abs(cells.bytes()[i] - batched.bytes()[i]);
        worst = std::max(worst, delta);
        different += delta > 2;
    }
    // Rounding in the filtering may differ by a step or two; nothing more.
    EXPECT_LE(different, static_cast<int>(cells.bytes().size() / 1000)) << "worst difference " << worst;
}

TEST_F(LevelDrawTest, ChunksNearerThanTheFogsStartLookTheSameDrawnWithoutIt) {
    // A dark ground under the pale fallback haze, the eye outside one corner:
    // the near chunks lie within the fog's start, the far corner well beyond.
    gc.getTextureHolder()->setInMemoryGeneratedTexture(picture(4, 4, 3, [](int, int) { return 40; }),
                                                       "dark.png");
    auto level = builtLevel(300, picture(300, 300, 3, [](int x, int y) { return (x * 5 + y * 3) % 120; }));
    level->setBGPicture("dark.png");
    const float eye[3] = {-170, 40, -170};
    ASSERT_EQ(LandBorder::fogStart(level->getPlayableArea()), 225.0f);

    const double aspect = static_cast<double>(GlTestContext::width()) / GlTestContext::height();
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(70, aspect, 1, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye[0], eye[1], eye[2], 60, 0, 60, 0, 1, 0);
    enum class Fog { Off, Everywhere, WhereItShows };
    auto render = [&](Fog fog) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        level->setFog(fog != Fog::Off, fog == Fog::WhereItShows ? eye : nullptr);
        level->drawSurface(false, true, 3, 0, 2, true);
        level->setFog(false);
        return GlTestContext::readFrameBuffer();
    };
    const FrameCapture clear = render(Fog::Off);
    const FrameCapture hazy = render(Fog::Everywhere);
    const FrameCapture split = render(Fog::WhereItShows);
    glDisable(GL_DEPTH_TEST);

    const TerrainBatch &batch = level->getTerrainBatch();
    EXPECT_GT(batch.getLastFogFreeChunks(), 0);
    EXPECT_LT(batch.getLastFogFreeChunks(), batch.getLastChunksDrawn()); // the far ones kept their fog
    EXPECT_EQ(batch.getLastChunksDrawn(), batch.getChunkCount());
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    int hazed = 0, changed = 0;
    for (std::size_t i = 0; i < hazy.bytes().size(); ++i) {
        hazed += std::abs(hazy.bytes()[i] - clear.bytes()[i]) > 8;
        changed += std::abs(hazy.bytes()[i] - split.bytes()[i]) > 1;
    }
    EXPECT_GT(hazed, static_cast<int>(hazy.bytes().size() / 100)); // the fog shows in the distance
    EXPECT_EQ(changed, 0);
}

// Colour of quadrant (s, t) of sky face `face`: every texel of the box differs.
FrameCapture::Pixel skyColour(int face, int s, int t) {
    return FrameCapture::Pixel{static_cast<unsigned char>(30 + 40 * face),
                               static_cast<unsigned char>(60 + 120 * s),
                               static_cast<unsigned char>(60 + 120 * t)};
}

TEST_F(LevelDrawTest, SkyBoxShowsEachPictureInItsDirection) {
    const auto &faces = SkyBoxFace::all();
    for (int f = 0; f < 6; ++f) {
        DevilImageDefinition image;
        unsigned char *texels = image.allocateImageData(2, 2, 3);
        for (int t = 0; t < 2; ++t) {
            for (int s = 0; s < 2; ++s) {
                const FrameCapture::Pixel c = skyColour(f, s, t);
                unsigned char *texel = texels + (t * 2 + s) * 3;
                texel[0] = c.r;
                texel[1] = c.g;
                texel[2] = c.b;
            }
        }
        gc.getTextureHolder()->setInMemoryGeneratedTexture(image, faces[f].picture);
    }
    auto level = builtLevel(10, picture(10, 10, 3, exampleValue));
    const std::array<float, 3> eye = gc.getCameraPos(); // the box travels with the camera

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE); // the game's winding: front faces clockwise, back faces culled
    glFrontFace(GL_CW);
    glCullFace(GL_BACK);
    const double aspect = static_cast<double>(GlTestContext::width()) / GlTestContext::height();
    for (int f = 0; f < 6; ++f) {
        SCOPED_TRACE(faces[f].picture);
        float centre[3];
        faces[f].direction(0.5f, 0.5f, centre);
        const bool vertical = centre[1] != 0;
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(70, aspect, 1, 1000);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(eye[0], eye[1], eye[2], eye[0] + centre[0], eye[1] + centre[1], eye[2] + centre[2], 0,
                  vertical ? 0 : 1, vertical ? -1 : 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        level->drawLvlHintergrund(1, 1, 1);
        const FrameCapture frame = GlTestContext::readFrameBuffer();

        GLdouble model[16], projection[16];
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        for (int t = 0; t < 2; ++t) {
            for (int s = 0; s < 2; ++s) {
                float d[3];
                faces[f].direction(0.25f + 0.5f * s, 0.25f + 0.5f * t, d);
                GLdouble wx = 0, wy = 0, wz = 0;
                ASSERT_TRUE(gluProject(eye[0] + d[0] * 100, eye[1] + d[1] * 100, eye[2] + d[2] * 100, model,
                                       projection, viewport, &wx, &wy, &wz));
                const FrameCapture::Pixel seen =
                    frame.at(static_cast<int>(wx), frame.height() - 1 - static_cast<int>(wy));
                const FrameCapture::Pixel want = skyColour(f, s, t);
                EXPECT_NEAR(seen.r, want.r, 2) << "quadrant " << s << ", " << t;
                EXPECT_NEAR(seen.g, want.g, 2) << "quadrant " << s << ", " << t;
                EXPECT_NEAR(seen.b, want.b, 2) << "quadrant " << s << ", " << t;
            }
        }
    }
    // The sky leaves repeat wrapping for later uploads and lighting on.
    EXPECT_EQ(TextureGenerator::getTexWrapMode(), static_cast<unsigned int>(GL_REPEAT));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glFrontFace(GL_CCW);
}

} // namespace

namespace {

TEST_F(LevelDrawTest, TheFirstFrameHandsTheTerrainToPhysicsOnce) {
    PhysXAccess physics; // caches its meshes below the fixture's temporary folder
    physics.initialPhysX();
    auto level = builtLevel(10, picture(10, 10, 3, [](int, int) { return 60; })); // 2 units high
    level->setPhysXAccess(&physics);

    level->drawSurface(false, true, 1, 0, 1, true);
    EXPECT_TRUE(level->isMeshHandedOver());
    ASSERT_TRUE(physics.hasActor("heightmap"));
    EXPECT_EQ(physics.getTriangleMeshCount(), 1);
    float min[3], max[3];
    ASSERT_TRUE(physics.getActorBounds("heightmap", min, max));
    // The body covers the drawn terrain: -5..5 on x and z, 2 units up.
    EXPECT_NEAR(min[0], -5, 0.1);
    EXPECT_NEAR(max[0], 5, 0.1);
    EXPECT_NEAR(min[2], -5, 0.1);
    EXPECT_NEAR(max[2], 5, 0.1);
    EXPECT_NEAR(max[1], 2, 0.1);

    level->drawSurface(false, true, 1, 0, 1, true);
    EXPECT_EQ(physics.getTriangleMeshCount(), 1); // later frames only draw

    // A facade set after the first frame still gets the terrain, once.
    auto late = builtLevel(10, picture(10, 10, 3, exampleValue));
    late->drawSurface(false, true, 1, 0, 1, true);
    EXPECT_FALSE(late->isMeshHandedOver());
    PhysXAccess second;
    second.initialPhysX();
    late->setPhysXAccess(&second);
    late->drawSurface(false, true, 1, 0, 1, true);
    late->drawSurface(false, true, 1, 0, 1, true);
    EXPECT_TRUE(second.hasActor("heightmap"));
    EXPECT_EQ(second.getTriangleMeshCount(), 1);
}

} // namespace
