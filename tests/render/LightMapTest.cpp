#include "render/LightMap.h"

#include "model/Md2Bytes.h"
#include "model/Md2Model.h"
#include "support/GlTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Light value of the texel at (row, column) of a model light map.
int texelAt(const DevilImageDefinition &image, int row, int column, int channel = 0) {
    return image.getIlImageData()[(row * image.getIlImageWidth() + column) * 3 + channel];
}

TEST(LightMapTest, IntensityIsFullWithinAHundredUnitsThenFallsWithTheSquare) {
    LightMap lightMap;
    const float *light = lightMap.getLightPosition();
    EXPECT_FLOAT_EQ(light[0], -75);
    EXPECT_FLOAT_EQ(light[1], -50);
    EXPECT_FLOAT_EQ(light[2], 75);

    const float at[3] = {-75, -50, 75};
    EXPECT_FLOAT_EQ(lightMap.lightIntensity(at), 1.0f); // no division by zero at the light
    const float near[3] = {-75 + 60, -50, 75 + 80};     // 100 units away
    EXPECT_FLOAT_EQ(lightMap.lightIntensity(near), 1.0f);
    const float far[3] = {-75, -50 + 200, 75}; // 200 units away
    EXPECT_FLOAT_EQ(lightMap.lightIntensity(far), 0.25f);
    const float farther[3] = {-75 + 400, -50, 75};
    EXPECT_FLOAT_EQ(lightMap.lightIntensity(farther), 1.0f / 16.0f);
}

TEST(LightMapTest, SurfacesGetUnitAxesTheirLengthsAndANormal) {
    LightMap lightMap;
    const float quad[4][3] = {{0, 0, 0}, {5, 0, 0}, {5, 0, 5}, {0, 0, 5}};
    const surface4 *s = lightMap.new_surface4(quad);
    ASSERT_NE(s, nullptr);
    EXPECT_FLOAT_EQ(s->lengthU, 5); // p0 -> p3
    EXPECT_FLOAT_EQ(s->lengthV, 5); // p0 -> p1
    EXPECT_FLOAT_EQ(s->u[2], 1);
    EXPECT_FLOAT_EQ(s->v[0], 1);
    EXPECT_FLOAT_EQ(s->normal[1], 1); // u x v = z x x = y: the quad faces up
    EXPECT_FLOAT_EQ(s->p2[0], 5);

    const float triangle[3][3] = {{0, 0, 0}, {0, 3, 0}, {4, 3, 0}};
    const surface3 *t = lightMap.new_surface3(triangle);
    ASSERT_NE(t, nullptr);
    EXPECT_FLOAT_EQ(t->lengthU, 4); // p1 - p2
    EXPECT_FLOAT_EQ(t->lengthV, 3); // p1 - p0
    EXPECT_FLOAT_EQ(t->u[0], -1);
    EXPECT_FLOAT_EQ(t->v[1], 1);
    EXPECT_FLOAT_EQ(t->normal[2], -1);

    // A collapsed quad keeps zero axes instead of NaN.
    const float flat[4][3] = {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}};
    const surface4 *d = lightMap.new_surface4(flat);
    EXPECT_EQ(d->lengthU, 0);
    EXPECT_EQ(d->u[0], 0);
    EXPECT_FALSE(std::isnan(d->normal[1]));
}

TEST(LightMapTest, QuadMapSamplesTexelCentresAlongBothAxes) {
    LightMap lightMap;
    lightMap.setLightPosition(0, 0, 0);
    // A quad from 100 to 300 units away along x (p0 -> p1) and z (p0 -> p3).
    const float quad[4][3] = {{100, 0, 0}, {300, 0, 0}, {300, 0, 200}, {100, 0, 200}};
    const surface4 *s = lightMap.new_surface4(quad);
    unsigned char rgb[16 * 16 * 3];
    lightMap.generateLightmap4(*s, rgb);
    for (int i = 0; i < 16; i += 5) {
        for (int j = 0; j < 16; j += 3) {
            const float point[3] = {100 + 200 * (i + 0.5f) / 16, 0, 200 * (j + 0.5f) / 16};
            const int expected = static_cast<int>(255 * lightMap.lightIntensity(point));
            EXPECT_NEAR(rgb[(i * 16 + j) * 3], expected, 1) << i << ", " << j;
            EXPECT_EQ(rgb[(i * 16 + j) * 3], rgb[(i * 16 + j) * 3 + 2]); // grey levels
        }
    }
    EXPECT_GT(rgb[0], rgb[(15 * 16 + 0) * 3]); // rows run away from the light
    EXPECT_GT(rgb[0], rgb[(0 * 16 + 15) * 3]); // so do columns

    lightMap.setLightColor(1, 0.5f, 0);
    lightMap.generateLightmap4(*s, rgb);
    EXPECT_NEAR(rgb[1], rgb[0] / 2, 1);
    EXPECT_EQ(rgb[2], 0);
}

TEST(LightMapTest, GeneratedTextureIsBlackRgb) {
    const DevilImageDefinition image = LightMap::generateTexture(32, 32);
    EXPECT_EQ(image.getIlImageWidth(), 32);
    EXPECT_EQ(image.getIlImageHeight(), 32);
    EXPECT_EQ(image.getIlImageColorDepth(), 3);
    EXPECT_EQ(image.getIlImageFormat(), GL_RGB);
    ASSERT_EQ(image.getImageDataSize(), 32u * 32u * 3u);
    for (std::size_t i = 0; i < image.getImageDataSize(); ++i) {
        ASSERT_EQ(image.getIlImageData()[i], 0);
    }
}

// Two triangles side by side in the skin: A fills the top-left half of the
// texture, B the bottom-right half, laid out point-symmetrically. In the model
// (z up) A lies in the plane x = +10 and B in x = -10.
std::vector<LightMapTriangle> twoSidedModel() {
    LightMapTriangle a{{{10, 0, 0}, {10, 4, 0}, {10, 0, 4}}, {{0, 0}, {1, 0}, {0, 1}}};
    LightMapTriangle b{{{-10, 0, 0}, {-10, 4, 0}, {-10, 0, 4}}, {{1, 1}, {0, 1}, {1, 0}}};
    return {a, b};
}

TEST(LightMapTest, ModelMapFollowsTheObjectsTurnAndPlacement) {
    LightMap lightMap;
    // The light lies 150 units towards -z from the object.
    const float pos[3] = {-75, -50, 75 + 150};
    const std::vector<LightMapTriangle> model = twoSidedModel();

    // Turned 90 degrees about y as the drawing code turns it (x -> -z), A
    // faces the light and is the brighter half; turned -90 it is B.
    const DevilImageDefinition towards = lightMap.calcModelLightMapTexture(model, pos, 90, 1);
    EXPECT_EQ(towards.getIlImageWidth(), 32);
    EXPECT_EQ(towards.getIlImageHeight(), 32);
    EXPECT_EQ(towards.getIlImageColorDepth(), 3);
    EXPECT_GT(texelAt(towards, 2, 2), texelAt(towards, 29, 29) + 5);
    const DevilImageDefinition away = lightMap.calcModelLightMapTexture(model, pos, -90, 1);
    EXPECT_LT(texelAt(away, 2, 2) + 5, texelAt(away, 29, 29));
    // Unturned, both halves lie at the same distance.
    const DevilImageDefinition side = lightMap.calcModelLightMapTexture(model, pos, 0, 1);
    EXPECT_NEAR(texelAt(side, 2, 2), texelAt(side, 29, 29), 2);

    // The exact value of one texel: centre (2.5, 2.5) of 32 lies at
    // s = t = 2.5 / 32 in A, i.e. model (10, 4·s, 4·t) before the transform.
    // Scale 2 scales the model, not the position.
    const DevilImageDefinition scaled = lightMap.calcModelLightMapTexture(model, pos, 90, 2);
    const float s = 2.5f / 32, t = 2.5f / 32;
    // Model (x, y, z) -> upright (x, z, -y) -> turned 90 about y (z, y, -x).
    const float world[3] = {pos[0] + 2 * (-4 * s), pos[1] + 2 * (4 * t), pos[2] - 2 * 10};
    EXPECT_NEAR(texelAt(scaled, 2, 2), static_cast<int>(255 * lightMap.lightIntensity(world)), 1);
}

TEST(LightMapTest, ModelMapTurnsZUpModelsUpright) {
    LightMap lightMap;
    const float below[3] = {-75, 100, 75}; // 150 units straight above the light
    // A high triangle (model z = 20) and a low one (z = 0): upright, the high
    // one is farther from the light below and therefore darker.
    LightMapTriangle high{{{0, 0, 20}, {1, 0, 20}, {0, 1, 20}}, {{0, 0}, {1, 0}, {0, 1}}};
    LightMapTriangle low{{{0, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{1, 0}, {1, 1}, {0, 1}}};
    const DevilImageDefinition image = lightMap.calcModelLightMapTexture({high, low}, below, 0, 1);
    EXPECT_LT(texelAt(image, 2, 2) + 5, texelAt(image, 29, 29));
}

TEST(LightMapTest, EveryTexelOfAModelMapIsLit) {
    LightMap lightMap;
    const float pos[3] = {0, 0, 0};
    // One small triangle in a corner of the skin and one thinner than a texel.
    LightMapTriangle small{{{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, {{0.1f, 0.1f}, {0.3f, 0.1f}, {0.1f, 0.3f}}};
    LightMapTriangle sliver{{{0, 0, 0}, {1, 0, 0}, {0, 0, 1}},
                            {{0.8f, 0.8f}, {0.801f, 0.8f}, {0.8f, 0.801f}}};
    const DevilImageDefinition image = lightMap.calcModelLightMapTexture({small, sliver}, pos, 0, 1);
    int black = 0;
    for (int i = 0; i < 32 * 32 * 3; ++i) {
        black += image.getIlImageData()[i] == 0 ? 1 : 0;
    }
    EXPECT_EQ(black, 0); // gaps take their neighbours' light, so filtering never pulls in black

    // Without triangles the whole map takes the light at the object.
    const float far[3] = {-75, 150, 75};
    const DevilImageDefinition empty = lightMap.calcModelLightMapTexture({}, far, 0, 1);
    EXPECT_EQ(texelAt(empty, 0, 0), 63);
    EXPECT_EQ(texelAt(empty, 31, 31), 63);

    // Texture coordinates outside 0..1 wrap like the repeating texture.
    LightMapTriangle wrapped{{{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, {{1.1f, 2.1f}, {1.5f, 2.1f}, {1.1f, 2.5f}}};
    const DevilImageDefinition repeat = lightMap.calcModelLightMapTexture({wrapped}, far, 0, 1);
    EXPECT_EQ(texelAt(repeat, 4, 4), 63);
}

struct LightMapGlTest : GlTest {};

TEST_F(LightMapGlTest, TerrainMapsAreComputedInTheFirstFrameAndReused) {
    LightMap lightMap;
    const float quads[2][4][3] = {{{0, 0, 0}, {5, 0, 0}, {5, 0, 5}, {0, 0, 5}},
                                  {{5, 0, 0}, {10, 0, 0}, {10, 0, 5}, {5, 0, 5}}};
    lightMap.initial();
    EXPECT_TRUE(lightMap.isRecompute());
    lightMap.RenderLMOnPoly4(quads[0], 0, true);
    lightMap.RenderLMOnPoly4(quads[1], 0, true);
    EXPECT_EQ(lightMap.getSurfaceIndex(), 2);
    EXPECT_EQ(lightMap.getLightMapComputations(), 2);
    const unsigned int first = lightMap.getSurfaceTexture(0);
    const unsigned int second = lightMap.getSurfaceTexture(1);
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    EXPECT_NE(first, second);

    // The uploaded map is the computed one, 16 x 16.
    GLint width = 0;
    glBindTexture(GL_TEXTURE_2D, second);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 16);
    std::vector<unsigned char> uploaded(16 * 16 * 3), computed(16 * 16 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, uploaded.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    lightMap.generateLightmap4(*lightMap.new_surface4(quads[1]), computed.data());
    EXPECT_EQ(uploaded, computed);

    // The second frame binds the same textures without computing.
    lightMap.initial();
    EXPECT_FALSE(lightMap.isRecompute());
    EXPECT_EQ(lightMap.getSurfaceIndex(), 0);
    lightMap.RenderLMOnPoly4(quads[0], 0, true);
    lightMap.RenderLMOnPoly4(quads[1], 0, false);
    EXPECT_EQ(lightMap.getLightMapComputations(), 2);
    EXPECT_EQ(lightMap.getSurfaceTexture(0), first);
    EXPECT_EQ(lightMap.getSurfaceTexture(1), second);
    // A quad the first frame did not have gets its map when it first shows.
    lightMap.RenderLMOnPoly4(quads[0], 0, true);
    EXPECT_NE(lightMap.getSurfaceTexture(2), 0u);
    EXPECT_EQ(lightMap.getLightMapComputations(), 3);
    lightMap.finishSurfaces();

    lightMap.freeLightMapIDs();
    EXPECT_EQ(lightMap.getSurfaceTextureCount(), 0);
    EXPECT_FALSE(glIsTexture(first));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace

namespace {

TEST(LightMapModelTest, ModelTrianglesComeFromTheDrawnPoseAndTheSkin) {
    Md2Bytes bytes = Md2Bytes::triangle();
    bytes.frames[0].vertices = {{9, 9, 9}, {9, 9, 9}, {9, 9, 9}}; // frame 0 is never used
    bytes.frames[1].scale[0] = 0.5f;
    bytes.frames[1].translate[2] = 3.0f;
    bytes.frames[1].vertices = {{10, 0, 0}, {0, 20, 0}, {0, 0, 40}};
    bytes.texCoords = {{0, 0}, {64, 0}, {0, 32}};
    bytes.triangles = {{0, 1, 2, 0, 1, 2}};
    const std::string file = bytes.build();
    Md2Model model;
    ASSERT_TRUE(
        model.readFromMemory(reinterpret_cast<const unsigned char *>(file.data()), file.size(), "t.md2"));

    const std::vector<LightMapTriangle> triangles = LightMap::modelTriangles(model);
    ASSERT_EQ(triangles.size(), 1u);
    const LightMapTriangle &t = triangles[0];
    EXPECT_FLOAT_EQ(t.corner[0][0], 5.0f); // 0.5 * 10
    EXPECT_FLOAT_EQ(t.corner[0][2], 3.0f);
    EXPECT_FLOAT_EQ(t.corner[1][1], 20.0f);
    EXPECT_FLOAT_EQ(t.corner[2][2], 43.0f);
    EXPECT_FLOAT_EQ(t.texCoord[1][0], 0.5f); // 64 / skin width 128
    EXPECT_FLOAT_EQ(t.texCoord[2][1], 0.5f); // 32 / skin height 64

    LightMap lightMap;
    const float pos[3] = {0, 0, 0};
    const DevilImageDefinition image = lightMap.calcModelLightMapTexture(&model, "thing", pos, 0, 1);
    EXPECT_EQ(image.getIlImageWidth(), 32);
    EXPECT_TRUE(image.hasPixels());
    // An empty model and a null one are lit evenly by the light at the object.
    const float far[3] = {-75, 150, 75};
    Md2Model empty;
    EXPECT_TRUE(LightMap::modelTriangles(empty).empty());
    EXPECT_EQ(texelAt(lightMap.calcModelLightMapTexture(&empty, "e", far, 0, 1), 5, 5), 63);
    EXPECT_EQ(texelAt(lightMap.calcModelLightMapTexture(nullptr, "n", far, 0, 1), 5, 5), 63);
}

} // namespace
